// vor-cli export --renpy from outside: what it prints and writes, each
// refusal with its message and nothing written, a folder that cannot be
// written counted, and the PNG export beside it unchanged to the byte.
#include <doctest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/services/filesys.h"
#include "output/fixture_tree.h"
#include "output/headless.h"
#include "project/project_model.h"
#include "test_support.h"

namespace {

std::string VorCliPath()
{
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "";
    self[n] = 0;
    std::string path = self;
    path = path.substr(0, path.rfind('/'));
    path = path.substr(0, path.rfind('/'));
    return path + "/tools/vor-cli";
}

struct CliRun {
    std::string out, err;
    int status;
};

CliRun Cli(const ScratchFolder &dir, const std::string &arguments)
{
    CliRun r = {"", "", -1};
    std::string errPath = ScratchFolder::Native(dir / "stderr.txt");
    std::string command = "'" + VorCliPath() + "' --data '" + dir / "data" + "' " + arguments + " 2>'" + errPath + "'";
    FILE *p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
        r.out.append(buffer, n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::vector<unsigned char> err = ScratchFolder::ReadBytes(dir / "stderr.txt");
    r.err.assign(err.begin(), err.end());
    return r;
}

// The fixture tree and a project named `name` with two checked styles.
std::string WriteProjectFile(const ScratchFolder &dir, const char *name, const char *secondFolder)
{
    std::string data = Fixture_BuildTree(dir.path);
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    Project *p = Project_MakeDefault(&h.catalog, "C:\\out\\");
    free(p->name);
    p->name = strdup(name);
    DressStyle *first = (DressStyle *)PtrList_Get(p->styles, 0);
    Style_SetText(&first->outputFolder, "school");
    DressStyle *second = CopyStyle(first);
    second->dress = 1;
    Style_SetText(&second->outputFolder, secondFolder);
    PtrList_Add(p->styles, second);
    std::string path = dir / (std::string(secondFolder) + ".vor");
    ProjectKeySource keys = Project_CatalogKeys(&h.catalog);
    REQUIRE(Project_WriteFile(path.c_str(), p, &keys));
    Project_Free(p);
    Headless_Close(&h);
    return path;
}

}  // namespace

TEST_CASE("vor-cli export --renpy: the files it names, and the PNG export unchanged beside it")
{
    ScratchFolder dir;
    std::string project = WriteProjectFile(dir, "Abc", "outing");
    CliRun png = Cli(dir, "export '" + project + "' --out '" + dir / "png" + "'");
    REQUIRE(png.status == 0);
    auto pngBefore = ScratchFolder::ReadBytes(dir / "png\\Abc\\macro.txt");

    CliRun rp = Cli(dir, "export '" + project + "' --renpy '" + dir / "game" + "'");
    CHECK(rp.status == 0);
    CHECK(rp.err.empty());
    // One line per file, the script last, each file there.
    std::string last = rp.out.substr(rp.out.rfind('\n', rp.out.size() - 2) + 1);
    CHECK(last == ScratchFolder::Native(dir / "game\\abc.rpy") + "\n");
    size_t lines = 0;
    for (size_t at = 0, end; (end = rp.out.find('\n', at)) != std::string::npos; at = end + 1, lines++)
        CHECK(File_Exists(rp.out.substr(at, end - at).c_str()));
    CHECK(lines >= 3);
    // The PNG export of the same project again: the same bytes.
    CliRun again = Cli(dir, "export '" + project + "' --out '" + dir / "png2" + "'");
    REQUIRE(again.status == 0);
    CHECK(ScratchFolder::ReadBytes(dir / "png2\\Abc\\macro.txt") == pngBefore);
    CHECK(ScratchFolder::ReadBytes(dir / "png2\\Abc\\outing\\niko.png") ==
          ScratchFolder::ReadBytes(dir / "png\\Abc\\outing\\niko.png"));
}

TEST_CASE("vor-cli export --renpy refuses, with its message and nothing written")
{
    ScratchFolder dir;
    std::string named = WriteProjectFile(dir, "유나", "outing");
    std::string clash = WriteProjectFile(dir, "Abc", "niko");
    std::string spaced = WriteProjectFile(dir, "Abc", "two words");
    struct {
        std::string arguments, said;
        int status;
    } cases[] = {
        {"export '" + named + "' --renpy '" + dir / "game" + "'", "태그를 입력해 주세요", 1},
        {"export '" + named + "' --renpy '" + dir / "game" + "' --tag 1st", "\"1st\"", 1},
        {"export '" + named + "' --renpy '" + dir / "game" + "' --tag in", "예약", 1},
        {"export '" + clash + "' --renpy '" + dir / "game" + "'", "표정 \"niko\"", 1},
        {"export '" + spaced + "' --renpy '" + dir / "game" + "'", "\"two words\"", 1},
        {"export '" + spaced + "' --renpy", "usage:", 2},
        {"export '" + spaced + "' --renpy '" + dir / "game" + "' --out x", "usage:", 2},
        {"export '" + spaced + "' --renpy ''", "empty folder", 1},
    };
    for (const auto &c : cases) {
        CAPTURE(c.arguments);
        CliRun r = Cli(dir, c.arguments);
        CHECK(r.status == c.status);
        CHECK(r.out.empty());
        CHECK_MESSAGE(r.err.find(c.said) != std::string::npos, r.err);
        CHECK_FALSE(FileSys_FolderExists((dir / "game").c_str()));
    }
    // A tag given for a name Ren'Py cannot take as one.
    CliRun tagged = Cli(dir, "export '" + named + "' --renpy '" + dir / "game" + "' --tag yuna");
    CHECK(tagged.status == 0);
    CHECK(File_Exists((dir / "game\\yuna.rpy").c_str()));
}

TEST_CASE("vor-cli export --renpy into a folder it cannot write: a line per file and the count")
{
    ScratchFolder dir;
    std::string project = WriteProjectFile(dir, "Abc", "outing");
    FileSys_MakeFolder((dir / "game").c_str());
    ScratchFolder::WriteBytes(dir / "game\\images", {'x'});
    CliRun r = Cli(dir, "export '" + project + "' --renpy '" + dir / "game" + "'");
    CHECK(r.status == 1);
    // Only the script could be written.
    CHECK(r.out == ScratchFolder::Native(dir / "game\\abc.rpy") + "\n");
    CHECK(r.err.find("images/abc/abc_") != std::string::npos);
    CHECK(r.err.find("cannot be created") != std::string::npos);
    CHECK(r.err.find(" files not written") != std::string::npos);
}
