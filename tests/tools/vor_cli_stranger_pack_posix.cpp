// What a stranger's part pack and a script's odd input do to vor-cli, one
// row each: the command, its exit status, what stdout and stderr must say,
// and what must (or must not) stand on disk afterwards.
//
// - a pack whose credits carry line breaks and an escape sequence: lint
//   refuses them, and CREDITS.txt (the PNG export's and the Ren'Py copy)
//   shows them as \xHH instead of forging an entry or clearing a terminal;
// - a Ren'Py tag that is a Windows device name: refused before anything is
//   written;
// - numbers with a sign or spaces: usage errors;
// - JSON paths through folders whose names are not UTF-8: they open the
//   files written;
// - render's out-of-range indices and unreadable projects: which, and why.
#include <doctest.h>

#include <cstring>
#include <functional>
#include <string>

#include <json.hpp>

#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "output/fixture_tree.h"
#include "output/headless.h"
#include "project/project_model.h"
#include "cli_run_posix.h"
#include "test_support.h"

namespace {

using clirun::CliRun;

// The credits the attack put into a part: a forged entry after two line
// breaks, and "clear the screen" for whoever runs `cat CREDITS.txt`.
const char EVIL_CREDITS[] = "Author = \"evil\\r\\n\\r\\n[장신구] 가짜 (fake)\\r\\n그린 사람: someone\\x1b[2J\";\n"
                            "License = \"CC0\\x7F\";\nUrl = \"http://x/\\x85\";\n";

// A project over the fixture tree named `name`, with one checked style.
std::string WriteProject(const ScratchFolder &dir, const std::string &data, const char *name, const char *file)
{
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    Project *p = Project_MakeDefault(&h.catalog, "C:\\out\\");
    free(p->name);
    p->name = strdup(name);
    Style_SetText(&((DressStyle *)PtrList_Get(p->styles, 0))->outputFolder, "school");
    std::string path = dir / file;
    ProjectKeySource keys = Project_CatalogKeys(&h.catalog);
    REQUIRE(Project_WriteFile(path.c_str(), p, &keys));
    Project_Free(p);
    Headless_Close(&h);
    return path;
}

std::string Read(const std::string &programPath)
{
    std::vector<unsigned char> bytes = ScratchFolder::ReadBytes(programPath);
    return std::string(bytes.begin(), bytes.end());
}

// CREDITS.txt with the pack's controls shown, never written: CR LF pairs
// only at line ends, no other control byte, the author one line.
void CheckCreditsShown(const std::string &programPath)
{
    std::string text = Read(programPath);
    REQUIRE(!text.empty());
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char c = (unsigned char)text[i];
        CAPTURE(i);
        bool printable = c >= 0x20 && c != 0x7F;
        bool lineEnd = (c == '\r' && text[i + 1] == '\n') || (c == '\n' && i > 0 && text[i - 1] == '\r');
        CHECK((printable || lineEnd));
    }
    CHECK(text.find("evil\\x0D\\x0A\\x0D\\x0A[") != std::string::npos);
    CHECK(text.find("someone\\x1B[2J\r\n") != std::string::npos);
    CHECK(text.find("CC0\\x7F\r\n") != std::string::npos);
    CHECK(text.find("http://x/\\x85\r\n") != std::string::npos);
}

// A JSON path back to the file system's bytes, as `vor-cli help` says.
std::string PathBytes(const std::string &json)
{
    std::string out;
    for (size_t i = 0; i < json.size(); i++) {
        if (json.compare(i, 2, "\\x") == 0 && i + 3 < json.size()) {
            out += (char)std::stoi(json.substr(i + 2, 2), nullptr, 16);
            i += 3;
        } else {
            out += json[i];
        }
    }
    return out;
}

// Every path the --json export names opens the file it wrote; returns how many.
size_t CheckWrittenOpen(const std::string &out, const char *mustHold)
{
    nlohmann::json document = nlohmann::json::parse(out);
    size_t opened = 0;
    for (const auto &path : document["written"]) {
        std::string text = path.get<std::string>();
        CAPTURE(text);
        CHECK(text.find("\xEF\xBF\xBD") == std::string::npos);  // no U+FFFD
        CHECK(text.find(mustHold) != std::string::npos);
        FILE *f = fopen(PathBytes(text).c_str(), "rb");
        CHECK(f != nullptr);
        if (f) {
            fclose(f);
            opened++;
        }
    }
    return opened;
}

}  // namespace

TEST_CASE("a stranger's pack and a script's odd input: each refused or shown harmlessly, with its reason")
{
    ScratchFolder dir;
    std::string data = Fixture_BuildTree(dir.path);
    for (const char *h : {"h1", "h2"})
        Fixture_WriteInf(data + "hair\\" + h + "\\", h, h, "0x0A64C8", EVIL_CREDITS);
    std::string abc = WriteProject(dir, data, "Abc", "abc.vor");
    std::string con = WriteProject(dir, data, "Con", "con.vor");
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    int expressions = PtrList_Count(h.catalog.expressions);
    Headless_Close(&h);
    std::string odd = dir / "odd\xFF";  // not UTF-8, nor CP949
    std::string korean = dir / "유나";    // CP949 bytes, as an older program named it
    FileSys_MakeFolder(odd.c_str());
    FileSys_MakeFolder(korean.c_str());
    std::string game = dir / "game";

    struct Case {
        const char *what;
        std::string arguments;  // after --data and --encoding cp949 (the messages' stored bytes)
        int status;
        const char *out, *err;  // must be found in stdout, stderr ("" for anything)
        std::function<void(const CliRun &)> then;  // more checks, or nullptr
    } cases[] = {
        // Control characters in a pack's credits and names.
        {"lint refuses control characters in credits", "lint", 1,
         "error\thair\\h1\\vor.inf\tAuthor 값에 줄바꿈, ESC 같은 제어 문자가 있습니다", "",
         [](const CliRun &r) {
             CHECK(r.out.find("error\thair\\h2\\vor.inf\tLicense 값에") != std::string::npos);
             CHECK(r.out.find("error\thair\\h2\\vor.inf\tUrl 값에") != std::string::npos);
         }},
        {"CREDITS.txt shows them as \\xHH", "export '" + abc + "' --out '" + dir / "png" + "'", 0, "CREDITS.txt\n", "",
         [&](const CliRun &) { CheckCreditsShown(dir / "png\\Abc\\CREDITS.txt"); }},
        {"so does the Ren'Py export's copy", "export '" + abc + "' --renpy '" + game + "'", 0, "abc.rpy\n", "",
         [&](const CliRun &) { CheckCreditsShown(game + "\\images\\abc\\CREDITS.txt"); }},

        // Ren'Py tags that are Windows device names, before anything is written.
        {"a character named Con", "export '" + con + "' --renpy '" + dir / "dev1" + "'", 1, "",
         "Windows 장치 이름", [&](const CliRun &r) {
             CHECK(r.out.empty());
             CHECK_FALSE(FileSys_FolderExists((dir / "dev1").c_str()));
         }},
        {"a typed tag LPT9", "export '" + abc + "' --renpy '" + dir / "dev2" + "' --tag LPT9", 1, "", "Windows 장치 이름",
         [&](const CliRun &) { CHECK_FALSE(FileSys_FolderExists((dir / "dev2").c_str())); }},
        {"nul", "export '" + abc + "' --renpy '" + dir / "dev3" + "' --tag nul", 1, "", "Windows 장치 이름", nullptr},
        {"com10 is no device", "export '" + abc + "' --renpy '" + dir / "dev4" + "' --tag com10", 0, "com10.rpy\n", "",
         nullptr},

        // Numbers: ASCII digits only.
        {"--count with a space", "random --seed 1 --count ' 5' --out '" + dir / "cast1" + "'", 2, "", "usage:", nullptr},
        {"--count with a plus", "random --seed 1 --count +5 --out '" + dir / "cast2" + "'", 2, "", "usage:", nullptr},
        {"--count with a trailing space", "random --seed 1 --count '5 ' --out '" + dir / "cast3" + "'", 2, "", "usage:",
         nullptr},
        {"--count negative", "random --seed 1 --count -5 --out '" + dir / "cast4" + "'", 2, "", "usage:", nullptr},
        {"--count of digits", "random --seed 1 --count 2 --out '" + dir / "cast5" + "'", 0, "char-002.vor", "",
         nullptr},
        {"--style with a plus", "render '" + abc + "' --style +0 --expression 0 --out '" + dir / "r.png" + "'", 2, "",
         "usage:", nullptr},
        {"--expression with a space", "render '" + abc + "' --style 0 --expression ' 0' --out '" + dir / "r.png" + "'",
         2, "", "usage:", nullptr},
        {"-j with a plus", "export '" + abc + "' --out '" + dir / "j" + "' -j +2", 2, "", "usage:", nullptr},

        // JSON paths that open what was written.
        {"a folder with the byte 0xFF", "--json export '" + abc + "' --out '" + odd + "'", 0, "\"written\"", "",
         [&](const CliRun &r) { CHECK(CheckWrittenOpen(r.out, "odd\\xFF/Abc/") >= 3); }},
        {"a folder named in CP949", "--json export '" + abc + "' --out '" + korean + "'", 0, "\"written\"", "",
         [&](const CliRun &r) { CHECK(CheckWrittenOpen(r.out, "/\\xC0\\xAF\\xB3\\xAA/Abc/") >= 3); }},

        // render's and the project reader's reasons.
        {"a style out of range", "render '" + abc + "' --style 5 --expression 0 --out '" + dir / "r.png" + "'", 1, "",
         "--style 5 is out of range: the project has 1 style (0 .. 0)\n", nullptr},
        {"an expression out of range",
         "render '" + abc + "' --style 0 --expression 99 --out '" + dir / "r.png" + "'", 1, "",
         nullptr /* set below */, nullptr},
        {"no such file", "render '" + dir / "nosuch.vor" + "' --style 0 --expression 0 --out '" + dir / "r.png" + "'", 1,
         "", "nosuch.vor: cannot be read: no such file\n", nullptr},
        {"a folder", "project '" + dir / "game" + "'", 1, "", "game: cannot be read: is a folder\n", nullptr},
        {"random --from a missing project",
         "random --seed 1 --from '" + dir / "gone.vor" + "' --out '" + dir / "x.vor" + "'", 1, "",
         "gone.vor: cannot be read: no such file\n", nullptr},
    };
    std::string expressionSaid = "--expression 99 is out of range: the data tree has " + std::to_string(expressions) +
                                 " expressions (0 .. " + std::to_string(expressions - 1) + ")\n";
    for (Case &c : cases) {
        if (!c.err)
            c.err = expressionSaid.c_str();
        std::string what = c.what;
        CAPTURE(what);
        CAPTURE(c.arguments);
        CliRun r = clirun::Run(dir, "--data '" + data + "' --encoding cp949 " + c.arguments);
        CHECK(r.status == c.status);
        CHECK_MESSAGE(r.out.find(c.out) != std::string::npos, r.out);
        CHECK_MESSAGE(r.err.find(c.err) != std::string::npos, r.err);
        if (c.then)
            c.then(r);
    }
}
