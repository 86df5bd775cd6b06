// vor-cli's writing commands when files cannot be written, and the paths
// it refuses: exit 1 with one line per failed file and a summary; a folder
// or an empty path where a file or folder belongs is refused up front.
#include <doctest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <cstdio>
#include <string>

#include "core/services/filesys.h"
#include "output/fixture_tree.h"
#include "output/headless.h"
#include "project/project_model.h"
#include "cli_run_posix.h"
#include "test_support.h"

namespace {

using Run = clirun::CliRun;

Run RunCli(const ScratchFolder &dir, const std::string &arguments)
{
    return clirun::Run(dir, arguments);
}

size_t Lines(const std::string &text)
{
    size_t n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

// The fixture tree and a default project "Abc" with `styles` checked
// styles, the first "one".
std::string WriteProject(const ScratchFolder &dir, int styles = 1)
{
    std::string data = Fixture_BuildTree(dir.path);
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    Project *p = Project_MakeDefault(&h.catalog, "C:\\out\\");
    free(p->name);
    p->name = strdup("Abc");
    Style_SetText(&((DressStyle *)PtrList_Get(p->styles, 0))->outputFolder, "one");
    for (int i = 1; i < styles; i++)
        PtrList_Add(p->styles, CopyStyle((const DressStyle *)PtrList_Get(p->styles, 0)));
    std::string path = dir / "abc.vor";
    ProjectKeySource keys = Project_CatalogKeys(&h.catalog);
    REQUIRE(Project_WriteFile(path.c_str(), p, &keys));
    Project_Free(p);
    Headless_Close(&h);
    return path;
}

}  // namespace

TEST_CASE("vor-cli export: exit 1, a line per failed file and a summary")
{
    ScratchFolder dir;
    std::string project = WriteProject(dir);
    std::string data = "--data '" + dir / "data" + "' ";
    Run ok = RunCli(dir, data + "export '" + project + "' --out '" + dir / "out" + "'");
    CHECK(ok.status == 0);
    CHECK(Lines(ok.out) == 10);  // eight pictures, macro.txt and CREDITS.txt

    // A file where the character's folder should be.
    FileSys_MakeFolder((dir / "blocked").c_str());
    ScratchFolder::WriteBytes(dir / "blocked\\Abc", {'x'});
    Run blocked = RunCli(dir, data + "export '" + project + "' --out '" + dir / "blocked" + "'");
    CHECK(blocked.status == 1);
    CHECK(blocked.out.empty());
    CHECK(Lines(blocked.err) == 11);
    CHECK(blocked.err.find("10 of 10 files not written") != std::string::npos);

    // Over-long: the pictures fail with their reason, macro.txt is written;
    // CREDITS.txt, two bytes longer, fails too.
    std::string base = dir.path;
    while (base.size() < 244)
        base += "b";
    Run longOut = RunCli(dir, data + "export '" + project + "' --out '" + base + "'");
    CHECK(longOut.status == 1);
    CHECK(Lines(longOut.out) == 1);
    CHECK(Lines(longOut.err) == 10);
    CHECK(longOut.err.find("CREDITS.txt: cannot be written: path too long") != std::string::npos);
    CHECK(longOut.err.find("path too long") != std::string::npos);
}

TEST_CASE("vor-cli refuses folders and empty paths where a file or a folder belongs")
{
    ScratchFolder dir;
    std::string project = WriteProject(dir);
    std::string data = "--data '" + dir / "data" + "' ";
    ScratchFolder::WriteBytes(dir / "plain", {'x'});
    struct Case {
        std::string arguments;
        int status;
    } cases[] = {
        {"tokens '" + dir.path + "'", 1},
        {"inf '" + dir.path + "'", 1},
        {"project '" + dir.path + "'", 1},
        {data + "export '" + project + "' --out ''", 1},
        {data + "export '" + project + "' --out '" + dir / "plain" + "'", 1},
        {data + "render '" + project + "' --style 0 --expression 0 --out ''", 1},
        {data + "render '" + project + "' --style 0 --expression 0 --out '" + dir.path + "'", 1},
        {data + "sheet '" + project + "' --out '" + dir.path + "'", 1},
        {data + "render '" + project + "' --style 0 --expression 0 --out '" + dir / "r.png" + "'", 0},
    };
    for (const Case &c : cases) {
        CAPTURE(c.arguments);
        Run r = RunCli(dir, c.arguments);
        CHECK(r.status == c.status);
        CHECK((r.err.empty()) == (c.status == 0));
    }
}

TEST_CASE("vor-cli writes over no link, pipe or socket: refused by name before anything is written")
{
    ScratchFolder dir;
    std::string project = WriteProject(dir);
    std::string data = "--data '" + dir / "data" + "' ";
    ScratchFolder::WriteBytes(dir / "target", {'T'});
    REQUIRE(symlink("target", ScratchFolder::Native(dir / "link.png").c_str()) == 0);
    REQUIRE(symlink("target", ScratchFolder::Native(dir / "link.vor").c_str()) == 0);
    REQUIRE(symlink("/dev/null", ScratchFolder::Native(dir / "null.png").c_str()) == 0);
    REQUIRE(mkfifo(ScratchFolder::Native(dir / "pipe.png").c_str(), 0600) == 0);
    struct Case {
        std::string arguments, name;
    } cases[] = {
        {data + "render '" + project + "' --style 0 --expression 0 --out '" + dir / "link.png" + "'", "link.png"},
        {data + "render '" + project + "' --style 0 --expression 0 --out '" + dir / "null.png" + "'", "null.png"},
        {data + "sheet '" + project + "' --out '" + dir / "pipe.png" + "'", "pipe.png"},
        {data + "random --seed 1 --out '" + dir / "link.vor" + "'", "link.vor"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.arguments);
        Run r = RunCli(dir, c.arguments);
        CHECK(r.status == 1);
        CHECK(r.err.find(c.name + ": ") != std::string::npos);
        CHECK(r.err.find("not a regular file") != std::string::npos);
        struct stat st;
        REQUIRE(lstat(ScratchFolder::Native(dir / c.name).c_str(), &st) == 0);
        CHECK(!S_ISREG(st.st_mode));
    }
    CHECK(ScratchFolder::ReadBytes(dir / "target") == std::vector<unsigned char>{'T'});
}

TEST_CASE("vor-cli random takes digits only as a seed; sheet names its size limit")
{
    ScratchFolder dir;
    std::string project = WriteProject(dir, 60);
    std::string data = "--data '" + dir / "data" + "' ";
    struct Case {
        const char *seed;
        int status;
    } seeds[] = {{"' -1'", 2}, {"' 1'", 2}, {"+1", 2}, {"-1", 2}, {"1x", 2}, {"18446744073709551616", 2}, {"7", 0}};
    for (const Case &c : seeds) {
        CAPTURE(c.seed);
        CHECK(RunCli(dir, data + "random --seed " + c.seed + " --out '" + dir / "r.vor" + "'").status == c.status);
    }
    Run sheet = RunCli(dir, data + "sheet '" + project + "' --out '" + dir / "s.png" + "'");
    CHECK(sheet.status == 1);
    CHECK(sheet.err.find("60 checked styles make too large a sheet: at most") != std::string::npos);
}

TEST_CASE("vor-cli tokens: a path typed with / finds includes beside the file")
{
    ScratchFolder dir;
    FileSys_MakeFolder((dir / "pack").c_str());
    ScratchFolder::WriteBytes(dir / "pack\\part.inf", {'p'});
    std::string top = "a\n#include \"part.inf\"\n";
    ScratchFolder::WriteBytes(dir / "pack\\vor.inf", std::vector<unsigned char>(top.begin(), top.end()));
    std::string slashed = ScratchFolder::Native(dir / "pack\\vor.inf");
    Run r = RunCli(dir, "tokens '" + slashed + "'");
    CHECK(r.status == 0);
    CHECK(r.out == "1\ta\n1\tp\n");
}

TEST_CASE("vor-cli prints paths in the host's form and takes either separator")
{
    ScratchFolder dir;
    std::string project = WriteProject(dir);
    std::string native = ScratchFolder::Native(dir.path);  // ends with `/`
    // One spelling all `\`, one all `/`, for --data, FILE and --out alike.
    struct Spelling {
        std::string data, file, out;
    } spellings[] = {
        {dir / "data", project, dir / "out1"},
        {native + "data", ScratchFolder::Native(project), native + "out2"},
    };
    std::string lines[2];
    for (int i = 0; i < 2; i++) {
        const Spelling &s = spellings[i];
        Run r = RunCli(dir, "--data '" + s.data + "' export '" + s.file + "' --out '" + s.out + "'");
        CAPTURE(s.out);
        CHECK(r.status == 0);
        CHECK(r.out.find('\\') == std::string::npos);
        CHECK(r.out.find("/Abc/one/") != std::string::npos);
        CHECK(r.out.find("/Abc/macro.txt\n") != std::string::npos);
        // Every printed path names a file that is there.
        size_t at = 0, end;
        int lineCount = 0;
        while ((end = r.out.find('\n', at)) != std::string::npos) {
            std::string path = r.out.substr(at, end - at);
            CHECK(path.find(native + "out" + std::to_string(i + 1) + "/Abc/") == 0);
            CHECK(access(path.c_str(), F_OK) == 0);
            lines[i] += path.substr(native.size() + 4) + "\n";
            lineCount++;
            at = end + 1;
        }
        CHECK(lineCount == 10);
    }
    CHECK(lines[0] == lines[1]);

    // Failure lines and refusals name the path in the same form.
    FileSys_MakeFolder((dir / "blocked").c_str());
    ScratchFolder::WriteBytes(dir / "blocked\\Abc", {'x'});
    Run blocked = RunCli(dir, "--data '" + native + "data' export '" + project + "' --out '" + dir / "blocked" + "'");
    CHECK(blocked.status == 1);
    CHECK(blocked.err.find("vor-cli: " + native + "blocked/Abc/one/") != std::string::npos);
    CHECK(blocked.err.find('\\') == std::string::npos);
    Run missing = RunCli(dir, "project '" + (dir / "none.vor") + "'");
    CHECK(missing.status == 1);
    CHECK(missing.err == "vor-cli: " + native + "none.vor: cannot be read: no such file\n");
    Run rendered = RunCli(dir, "--data '" + native + "data' render '" + project +
                                   "' --style 0 --expression 0 --out '" + (dir / "r.png") + "'");
    CHECK(rendered.status == 0);
    CHECK(access((native + "r.png").c_str(), F_OK) == 0);
}
