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
#include <vector>

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

TEST_CASE("vor-cli export: its usage, help and refusals come from the format table")
{
    ScratchFolder dir;
    std::string project = "'" + WriteProject(dir) + "'";
    struct {
        std::string arguments;
        int status;
        std::vector<std::string> said;  // on stdout for help, on stderr otherwise
    } cases[] = {
        // Every folder option, every option a format takes, every file written.
        {"help export", 0, {"--out DIR", "--layered psd|ora", "--renpy DIR", "--tag TAG", "-j N", ".png", "macro.txt",
                            "CREDITS.txt", ".psd", ".ora", "TAG.rpy", "\"error\""}},
        {"exprot " + project, 2, {"unknown command \"exprot\"", "usage:"}},
        {"export " + project, 2,
         {"export: give --out DIR, --renpy DIR, --webgal DIR or --atlas DIR", "--renpy DIR [--tag TAG]"}},
        {"export " + project + " --renpy", 2, {"--renpy needs a value", "--out DIR [--layered psd|ora]"}},
        {"export " + project + " --out x --tag t", 2, {"--tag goes with --renpy"}},
        {"export " + project + " --out x --layered tiff", 2, {"--layered takes psd or ora"}},
        {"export " + project + " --out x --out y", 2, {"--out given twice"}},
        {"export " + project + " --out x --width 3", 2, {"unknown option --width"}},
    };
    for (const auto &c : cases) {
        CAPTURE(c.arguments);
        Run r = RunCli(dir, c.arguments);
        CHECK(r.status == c.status);
        const std::string &text = c.status == 0 ? r.out : r.err;
        for (const std::string &s : c.said)
            CHECK_MESSAGE(text.find(s) != std::string::npos, s, "\n", text);
        if (c.status != 0)
            CHECK(r.out.empty());
    }
    CHECK_FALSE(FileSys_FolderExists((dir / "x").c_str()));
}

TEST_CASE("vor-cli export: the PNG files and the Ren'Py character from one run")
{
    ScratchFolder dir;
    std::string project = "'" + WriteProject(dir) + "'";
    Run both = RunCli(dir, "export " + project + " --out '" + dir / "png" + "' --renpy '" + dir / "game" + "' --tag abc");
    REQUIRE(both.status == 0);
    Run png = RunCli(dir, "export " + project + " --out '" + dir / "png2" + "'");
    // The PNG export's lines first, then the Ren'Py character's, the script last.
    std::string expected = png.out;
    for (size_t at; (at = expected.find("/png2/")) != std::string::npos;)
        expected.replace(at, 6, "/png/");
    CHECK(both.out.compare(0, expected.size(), expected) == 0);
    CHECK(both.out.find("/game/abc.rpy\n") == both.out.size() - strlen("/game/abc.rpy\n"));
    // The speaker is defined unless the game defines its own.
    for (bool own : {false, true}) {
        std::string game = dir / (own ? "own" : "defined");
        REQUIRE(RunCli(dir, "export " + project + " --renpy '" + game + "' --tag abc" + (own ? " --no-character" : "")).status == 0);
        std::vector<unsigned char> script = ScratchFolder::ReadBytes(game + "/abc.rpy");
        CHECK((std::string(script.begin(), script.end()).find("define abc = Character(") == std::string::npos) == own);
    }
}

TEST_CASE("vor-cli --json: a refused input still prints one document saying why; a usage error prints none")
{
    ScratchFolder dir;
    std::string project = "'" + WriteProject(dir) + "'";
    ScratchFolder::WriteBytes((dir / "afile").c_str(), {'x'});
    struct {
        std::string arguments;
        int status;
        std::vector<std::string> said;  // in the document on stdout
    } cases[] = {
        {"--json export nosuch.vor --out x", 1, {"\"written\": []", "\"failed\": []", "\"error\": \"nosuch.vor: cannot be read"}},
        {"--json export " + project + " --out '" + dir / "afile" + "'", 1, {"\"written\": []", "afile: is a file, not a folder\""}},
        {"--json project nosuch.vor", 1, {"\"error\": \"nosuch.vor: cannot be read"}},
        {"--json --data nowhere catalog", 1, {"\"error\": \"no data folder"}},
        {"--json --data nowhere lint", 1, {"\"error\": \"cannot read the data folder"}},
        {"--json export " + project, 2, {}},
    };
    for (const auto &c : cases) {
        CAPTURE(c.arguments);
        Run r = RunCli(dir, c.arguments);
        CHECK(r.status == c.status);
        if (c.said.empty())
            CHECK(r.out.empty());
        else
            CHECK(r.out.front() == '{');
        for (const std::string &s : c.said)
            CHECK_MESSAGE(r.out.find(s) != std::string::npos, s, "\n", r.out);
    }
}
