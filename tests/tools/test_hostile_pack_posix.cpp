// Part packs made to hurt: folder links that loop or lead out of the tree,
// includes that climb out of it, a flood of broken statements, parts the
// program refuses by their size, names that differ only in case and paths
// too long to open. Each ends, quickly and in bounded memory, with the
// finding that names the fault. The cases named "runaway" ran for ever
// before; CTest stops them (test_tools_runaway) instead of a clock here.
#include <doctest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "catalog/part_catalog.h"
#include "catalog/part_lint.h"
#include "core/services/filesys.h"
#include "lint_tree.h"
#include "test_support.h"

using namespace linttree;

namespace {

void WriteText(const std::string &path, const std::string &text)
{
    ScratchFolder::WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

LintReport Lint(const std::string &data)
{
    LintReport report;
    REQUIRE(PartLint_Run(data.c_str(), &report));
    return report;
}

// The findings whose path and message hold the given texts.
int Count(const LintReport &report, const std::string &path, const std::string &says)
{
    int n = 0;
    for (const LintFinding &f : report.findings)
        n += f.path.find(path) != std::string::npos && f.message.find(says) != std::string::npos;
    return n;
}

// A PNG signature and header of w x h and nothing after: enough for the
// header, never a picture.
void PngHeader(const std::string &path, unsigned w, unsigned h)
{
    std::vector<unsigned char> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (unsigned v : {w, h})
        for (int shift = 24; shift >= 0; shift -= 8)
            b.push_back((unsigned char)(v >> shift));
    b.insert(b.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});
    ScratchFolder::WriteBytes(path, b);
}

}  // namespace

TEST_CASE("runaway: folder links to the tree itself and to the root are never walked")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    for (const char *link : {"a", "b"})
        REQUIRE(symlink(".", ScratchFolder::Native(data + link).c_str()) == 0);
    REQUIRE(symlink("/", ScratchFolder::Native(data + "hair\\root").c_str()) == 0);
    REQUIRE(symlink("../h1", ScratchFolder::Native(data + "hair\\h1\\loop").c_str()) == 0);
    LintReport report = Lint(data);
    // The links read as files nobody asked for, and nothing below them.
    for (const LintFinding &f : report.findings) {
        CAPTURE(f.path);
        for (const char *through : {"a\\", "b\\", "root\\", "loop\\"})
            CHECK(f.path.find(through) == std::string::npos);
    }
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    CHECK(PtrList_Count(PartCatalog_List(&catalog, PART_LIST_HAIR)) == 1);
    PartCatalog_Free(&catalog);
}

TEST_CASE("an include that leaves the data folder is refused by name, one inside it is read")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    WriteText(scratch / "secret.inf", "Name = \"leaked\";\n");
    WriteText(data + "shared.inf", "#define KEY \"h1\"\n");
    REQUIRE(symlink("../../../secret.inf", ScratchFolder::Native(data + "hair\\h1\\link.inf").c_str()) == 0);
    WriteText(data + "hair\\h1\\vor.inf", "#include \"..\\..\\shared.inf\"\n#include \"..\\..\\..\\secret.inf\"\n"
                                          "#include \"link.inf\"\nName = \"h\"; Folder = KEY;\n");
    LintReport report = Lint(data);
    CHECK(Count(report, "hair\\h1\\vor.inf", "secret.inf 데이터 폴더 밖의 파일은 포함할 수 없음") == 1);
    CHECK(Count(report, "hair\\h1\\vor.inf", "link.inf 데이터 폴더 밖의 파일은 포함할 수 없음") == 1);
    CHECK(Count(report, "", "leaked") == 0);
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    const PartEntry *hair = (const PartEntry *)PtrList_Get(PartCatalog_List(&catalog, PART_LIST_HAIR), 0);
    REQUIRE(hair);
    CHECK(std::string(hair->name) == "h");  // the shared include inside the tree was read
    CHECK(std::string(hair->folder) == "h1");
    PartCatalog_Free(&catalog);
}

TEST_CASE("runaway: a flood of broken calls and empty statements gives bounded findings and a count of the rest")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    std::string calls = "#define F(x) x\n", semicolons;
    for (int i = 0; i < 20000; i++)
        calls += "F ";
    semicolons.assign(20000, ';');
    WriteText(data + "flood.inf", calls);
    WriteText(data + "hair\\h1\\vor.inf", "#include \"..\\..\\flood.inf\"\n#include \"..\\..\\flood.inf\"\n"
                                          "Name = \"h\"; Folder = \"h1\";\n");
    WriteText(data + "palette.inf", semicolons);
    LintReport report = Lint(data);
    CHECK(report.findings.size() <= 3 * LINT_MAX_PER_FILE + 1);
    CHECK(report.errors > 1000);  // counted, though not all kept
    REQUIRE(!report.findings.empty());
    const LintFinding &last = report.findings.back();
    CHECK(last.message.find("그 밖에") == 0);
    CHECK(Count(report, "palette.inf", "건 더 있습니다") == 1);
}

TEST_CASE("lint refuses a part over 4096 pixels a side from its header, as the program does")
{
    struct Case {
        unsigned w, h;
        const char *says;
    } cases[] = {
        {4097, 480, "4097 x 480"},
        {16384, 4096, "16384 x 4096"},
        {480, 4097, "480 x 4097"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.says);
        ScratchFolder scratch;
        std::string data = CleanTree(scratch.path);
        PngHeader(data + "dress\\d1\\d1_b.png", c.w, c.h);
        LintReport report = Lint(data);
        CHECK(report.errors == 1);
        CHECK(Count(report, "dress\\d1\\d1_b.png", c.says) == 1);
        CHECK(Count(report, "dress\\d1\\d1_b.png", "4096 x 4096") == 1);
    }
}

TEST_CASE("folders and files that differ only in case are one on Windows: an error, and no false duplicate")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    Fixture_WriteInf(data + "hair\\Twin\\", "포니", "ponny", nullptr);
    Fixture_WriteInf(data + "hair\\twin\\", "단발", "bob", nullptr);
    Image(data + "eye\\e1\\NIKO_a.png");
    LintReport report = Lint(data);
    CHECK(Count(report, "hair\\twin\\", "대소문자만 다릅니다") == 1);
    CHECK(Count(report, "eye\\e1\\niko_a.png", "대소문자만 다릅니다") == 1);
    CHECK(Count(report, "", "Folder \"") == 0);  // ponny and bob are two keys
    // A real duplicate key in two case-different folders is still found.
    Fixture_WriteInf(data + "hair\\twin\\", "포니", "ponny", nullptr);
    CHECK(Count(Lint(data), "hair\\twin\\vor.inf", "Folder \"ponny\"") == 1);
}

TEST_CASE("paths of 260 bytes or more are named by lint and counted by the catalogue")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    std::string prefix = data + "hair\\";
    REQUIRE(prefix.size() < 100);
    std::string folder = prefix + std::string(VOR_MAX_PATH - prefix.size(), 'x');  // 260 bytes
    REQUIRE(mkdir(ScratchFolder::Native(folder).c_str(), 0777) == 0);
    LintReport report = Lint(data);
    CHECK(Count(report, "hair\\x", "259바이트를 넘어") == 1);
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    CHECK(catalog.longPaths == 1);
    PartCatalog_Free(&catalog);
}
