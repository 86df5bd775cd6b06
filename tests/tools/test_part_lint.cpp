// The data-tree checks of `vor-cli lint`: a small clean tree made here, then
// damaged one way per case, must give exactly the finding an author needs;
// the generated sample tree is clean and the imperfect tree gives one
// finding per deliberate fault.
#include <doctest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "catalog/part_lint.h"
#include "lint_tree.h"
#include "test_support.h"
#include "tools/gen-sample/sample_tree.h"

using namespace linttree;

namespace {

void WriteText(const std::string &path, const std::string &text)
{
    ScratchFolder::WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

void Remove(const std::string &path)
{
    std::remove(ScratchFolder::Native(path).c_str());
}

// "error<TAB>PATH[:LINE]" for each finding, in report order.
std::vector<std::string> Where(const LintReport &report)
{
    std::vector<std::string> out;
    for (const LintFinding &f : report.findings)
        out.push_back(std::string(f.severity == LINT_ERROR ? "error\t" : "warning\t") + f.path +
                      (f.line ? ":" + std::to_string(f.line) : ""));
    return out;
}

LintReport Lint(const std::string &data)
{
    LintReport report;
    REQUIRE(PartLint_Run(data.c_str(), &report));
    return report;
}

}  // namespace

TEST_CASE("the clean tree has no findings")
{
    ScratchFolder scratch;
    LintReport report = Lint(CleanTree(scratch.path));
    CHECK(Where(report) == std::vector<std::string>{});
    CHECK(report.errors == 0);
    CHECK(report.warnings == 0);
}

TEST_CASE("each kind of fault gives its one finding, where the author has to look")
{
    struct Case {
        const char *what;
        std::function<void(const std::string &data)> damage;
        std::vector<std::string> where;
        const char *says;  // part of the (only or first) message
    } cases[] = {
        {"a part folder without vor.inf", [](const std::string &d) { Remove(d + "dress\\d1\\vor.inf"); },
         {"error\tdress\\d1\\"}, "vor.inf가 없어"},
        {"a definition without Name",
         [](const std::string &d) { WriteText(d + "eye\\e1\\vor.inf", "Folder = \"e1\";\n"); },
         {"error\teye\\e1\\vor.inf"}, "Name 문이 없어"},
        {"a definition without Folder",
         [](const std::string &d) { WriteText(d + "eye\\e1\\vor.inf", "Name = \"e1\";\n"); },
         {"error\teye\\e1\\vor.inf"}, "Folder 문이 없어"},
        {"an include that cannot be opened, with its line",
         [](const std::string &d) {
             WriteText(d + "hair\\h1\\vor.inf",
                       std::string("Name = \"h1\";\n#include \"gone.inf\"\nFolder = \"h1\";\n") + CLEAN_CREDITS);
         },
         {"error\thair\\h1\\vor.inf:2"}, "gone.inf"},
        {"one Folder key in two folders of a kind",
         [](const std::string &d) {
             Fixture_WriteInf(d + "accesary\\copy\\", "사본", "a1", nullptr, CLEAN_CREDITS);
             Image(d + "accesary\\copy\\a1_b.png");
         },
         {"error\taccesary\\copy\\vor.inf"}, "Folder \"a1\""},
        {"a required layer missing, named by its role",
         [](const std::string &d) { Remove(d + "hair\\h1\\after\\h1_b.png"); }, {"warning\thair\\h1\\after\\h1_b.png"},
         "뒷머리 고정색 층"},
        {"expressions of a face part without any image",
         [](const std::string &d) {
             for (const char *x : {"naki", "ikari"})
                 Remove(d + "hoho\\c1\\" + x + "_b.png");
         },
         {"error\thoho\\c1\\"}, "naki(", },
        {"an accessory without any image", [](const std::string &d) { Remove(d + "accesary\\a1\\a1_a.png"); },
         {"error\taccesary\\a1\\"}, "그림이 하나도 없어"},
        {"a text file under an image name",
         [](const std::string &d) { WriteText(d + "mouth\\m1\\niko_b.png", "not an image"); },
         {"error\tmouth\\m1\\niko_b.png"}, "PNG 파일이 아닙니다"},
        {"a damaged PNG",
         [](const std::string &d) { WriteText(d + "mouth\\m1\\niko_b.png", "\x89PNG\r\n\x1A\nbroken after the signature"); },
         {"error\tmouth\\m1\\niko_b.png"}, "손상"},
        {"an image larger than the picture",
         [](const std::string &d) { Image(d + "dress\\d1\\d1_b.png", GREY, 361, 10); },
         {"warning\tdress\\d1\\d1_b.png"}, "361 x 10"},
        {"a required layer that is fully transparent",
         [](const std::string &d) {
             const unsigned char clear[4] = {128, 128, 128, 0};
             Image(d + "dress\\d1\\d1_a.png", clear);
         },
         {"warning\tdress\\d1\\d1_a.png"}, "완전히 투명"},
        {"a face layer empty in every expression",
         [](const std::string &d) {
             const unsigned char clear[4] = {0, 0, 0, 0};
             for (const char *x : EXPRESSIONS)
                 Image(d + "braw\\b1\\" + x + "_a.png", clear);
         },
         {"warning\tbraw\\b1\\"}, "모든 표정"},
        {"a coloured image where grey is tinted",
         [](const std::string &d) { Image(d + "hair\\h1\\before\\h1_a.png", RED); },
         {"warning\thair\\h1\\before\\h1_a.png"}, "100%"},
        {"a misspelt image name", [](const std::string &d) { Image(d + "eye\\e1\\sumasi_a.png"); },
         {"warning\teye\\e1\\sumasi_a.png"}, "sumashi_a.png"},
        {"a misspelt kind folder", [](const std::string &d) { Image(d + "brow\\x\\sumashi_a.png"); },
         {"warning\tbrow\\"}, "braw"},
        {"a name that is not CP949",
         [](const std::string &d) { Fixture_WriteInf(d + "hair\\h1\\", "\xB1\x30", "h1", nullptr, CLEAN_CREDITS); },
         {"warning\thair\\h1\\vor.inf"}, "CP949"},
        {"a name longer than the lists show",
         [](const std::string &d) {
             Fixture_WriteInf(d + "hair\\h1\\", "아주아주아주아주긴이름입니다", "h1", nullptr, CLEAN_CREDITS);
         },
         {"warning\thair\\h1\\vor.inf"}, "28바이트"},
        {"a blink frame that cannot be decoded",
         [](const std::string &d) { WriteText(d + "eye\\e1\\sumashi_close_b.png", "not an image"); },
         {"error\teye\\e1\\sumashi_close_b.png"}, "감은 눈 고정색 층"},
        {"a talking frame of another size than the image it stands in for",
         [](const std::string &d) { Image(d + "mouth\\m1\\niko_talk_a.png", GREY, 20, 16); },
         {"warning\tmouth\\m1\\niko_talk_a.png"}, "niko_a.png(16 x 16)"},
        {"a coloured talking frame where grey is tinted",
         [](const std::string &d) { Image(d + "mouth\\m1\\niko_talk_a.png", RED); },
         {"warning\tmouth\\m1\\niko_talk_a.png"}, "말하는 입 색칠 층"},
        {"a misspelt frame name", [](const std::string &d) { Image(d + "eye\\e1\\sumashi_closed_b.png"); },
         {"warning\teye\\e1\\sumashi_closed_b.png"}, "sumashi_close_b.png"},
        {"a palette statement of no list", [](const std::string &d) { WriteText(d + "palette.inf", "Skin = 0x102030;\n"); },
         {"error\tpalette.inf:1"}, "Skin"},
        {"a palette include that cannot be opened, with its line",
         [](const std::string &d) { WriteText(d + "palette.inf", "Hair = 0x102030;\n#include \"gone.inf\"\n"); },
         {"error\tpalette.inf:2"}, "gone.inf"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.what);
        ScratchFolder scratch;
        std::string data = CleanTree(scratch.path);
        c.damage(data);
        LintReport report = Lint(data);
        CHECK(Where(report) == c.where);
        if (!report.findings.empty())
            CHECK(report.findings[0].message.find(c.says) != std::string::npos);
    }
}

TEST_CASE("frames are read, not strays, and the notes name the expressions without one")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    auto notes = [](const LintReport &r) {
        std::vector<std::string> out;
        for (const LintFinding &f : r.notes) {
            CHECK(f.severity == LINT_NOTE);
            out.push_back(f.path + "\t" + f.message);
        }
        return out;
    };
    // Without any frame: one note per eye and mouth shape, nothing counted.
    LintReport bare = Lint(data);
    CHECK(bare.errors + bare.warnings == 0);
    CHECK(notes(bare) == std::vector<std::string>{"eye\\e1\\\t눈 깜빡임 프레임이 없습니다: 내보낸 캐릭터가 움직이지 않습니다",
                                                  "mouth\\m1\\\t말하는 입 프레임이 없습니다: 내보낸 캐릭터가 움직이지 않습니다"});
    // Frames for some expressions, each with any of its three images.
    for (const char *x : {"sumashi", "makka", "naki", "ikari", "odoroki", "nikkori"})
        Image(data + "eye\\e1\\" + x + "_close_b.png");
    Image(data + "eye\\e1\\sumashi_close_a.png");
    for (const char *x : EXPRESSIONS)
        for (const char *r : {"_talk_a", "_talk_h"})
            Image(data + "mouth\\m1\\" + x + r + ".png");
    LintReport framed = Lint(data);
    CHECK(Where(framed) == std::vector<std::string>{});
    CHECK(notes(framed) == std::vector<std::string>{"eye\\e1\\\t눈 깜빡임 프레임이 없는 표정: niko(^-^), utumuki(T.T)"});
}

TEST_CASE("files a definition includes are read, not strays")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    WriteText(data + "hair\\h1\\vor.inf",
              std::string("#include \"common.inf\"\nName = \"h1\";\nFolder = \"h1\";\n") + CLEAN_CREDITS);
    WriteText(data + "hair\\h1\\common.inf", "#define SOFT 1\n");
    CHECK(Where(Lint(data)) == std::vector<std::string>{});
}

TEST_CASE("a sound palette.inf and the file it includes are read, not strays")
{
    ScratchFolder scratch;
    std::string data = CleanTree(scratch.path);
    WriteText(data + "palette.inf", "#include \"tones.inf\"\nHair = DARK, 0x1EAAAA;\nEye = 0x96A0B4;\n");
    WriteText(data + "tones.inf", "#define DARK 0x0A1E28\n");
    CHECK(Where(Lint(data)) == std::vector<std::string>{});
}

TEST_CASE("a folder that cannot be read is refused")
{
    ScratchFolder scratch;
    LintReport report;
    CHECK(PartLint_Run((scratch.path + "nothing\\").c_str(), &report) == 0);
    CHECK(report.findings.empty());
}

TEST_CASE("the helpers: coloured share, showable names, name distance")
{
    const unsigned char pixels[] = {
        100, 100, 100, 255,  // grey
        100, 104, 110, 255,  // grey within the tolerance
        0, 0, 255, 255,      // red
        0, 0, 255, 8,        // red but too faint to count
    };
    CHECK(PartLint_ColouredShare(pixels, 4) == 33);
    CHECK(PartLint_ColouredShare(pixels, 2) == 0);
    CHECK(PartLint_ColouredShare(pixels + 12, 1) == 0);

    const struct {
        const char *text;
        int showable;
    } names[] = {{"abc", 1}, {"\xB1\xE8", 1}, {"\xB1", 0}, {"\xB1\x20", 0}, {"a\tb", 0}, {"\x80", 0}, {"\x81\x41", 1}};
    for (const auto &n : names) {
        CAPTURE(n.text);
        CHECK(PartLint_IsShowableCp949(n.text) == n.showable);
    }

    CHECK(PartLint_NameDistance("sumasi_a.png", "sumashi_a.png") == 1);
    CHECK(PartLint_NameDistance("Niko_A.png", "niko_a.png") == 0);
    CHECK(PartLint_NameDistance("", "abc") == 3);
    CHECK(PartLint_NameDistance("brow", "braw") == 1);
}

TEST_CASE("the sample tree lints clean; the imperfect tree gives one finding per fault")
{
    ScratchFolder sample, broken;
    WriteLog log = {};
    std::string sampleRoot = sample.path.substr(0, sample.path.size() - 1);
    std::string brokenRoot = broken.path.substr(0, broken.path.size() - 1);
    REQUIRE(SampleTree_Write(sampleRoot.c_str(), &log));
    REQUIRE(BrokenTree_Write(brokenRoot.c_str(), &log));

    LintReport clean = Lint(sample.path + "data\\");
    CHECK(Where(clean) == std::vector<std::string>{});

    LintReport faults = Lint(broken.path + "data\\");
    CHECK(Where(faults) == std::vector<std::string>{"error\teye\\partial\\", "error\thair\\nofolder\\vor.inf",
                                                     "error\thair\\noinf\\", "error\tmouth\\badpng\\sumashi_a.png"});
    REQUIRE(faults.findings.size() == 4);
    CHECK(faults.findings[0].message.find("nikkori") != std::string::npos);
    CHECK(faults.findings[0].message.find("ikari") != std::string::npos);
    CHECK(faults.findings[0].message.find("odoroki") == std::string::npos);
}

TEST_CASE("lint decoding on many threads gives the findings of one thread, in the same order")
{
    // One tree with every kind of image fault at once, and the imperfect tree.
    ScratchFolder scratch, broken;
    std::string data = CleanTree(scratch.path);
    const unsigned char clear[4] = {128, 128, 128, 0};
    WriteText(data + "mouth\\m1\\niko_b.png", "not an image");
    WriteText(data + "mouth\\m1\\sumashi_b.png", "\x89PNG\r\n\x1A\nbroken after the signature");
    Image(data + "dress\\d1\\d1_b.png", GREY, 361, 10);
    Image(data + "dress\\d1\\d1_a.png", clear);
    Image(data + "hair\\h1\\before\\h1_a.png", RED, 400, 500);
    Image(data + "eye\\e1\\sumasi_a.png", RED);
    for (const char *x : EXPRESSIONS)
        Image(data + "braw\\b1\\" + x + "_a.png", clear);
    WriteLog log = {};
    std::string brokenRoot = broken.path.substr(0, broken.path.size() - 1);
    REQUIRE(BrokenTree_Write(brokenRoot.c_str(), &log));

    for (const std::string &tree : {data, broken.path + "data\\"}) {
        CAPTURE(tree);
        LintReport one, many;
        LintOptions single = {1, nullptr, nullptr};
        REQUIRE(PartLint_RunWith(tree.c_str(), &single, &one));
        auto progress = [](void *user, int done, int total) {
            int *last = (int *)user;
            CHECK(done >= last[0]);
            last[0] = done;
            last[1] = total;
        };
        int last[2] = {-1, -1};
        LintOptions threaded = {7, progress, last};
        REQUIRE(PartLint_RunWith(tree.c_str(), &threaded, &many));
        CHECK(last[0] == last[1]);  // the last report counts every image
        CHECK(last[1] > 0);
        REQUIRE(one.findings.size() == many.findings.size());
        CHECK(one.errors == many.errors);
        CHECK(one.warnings == many.warnings);
        for (size_t i = 0; i < one.findings.size(); i++) {
            CAPTURE(one.findings[i].path);
            CHECK(one.findings[i].severity == many.findings[i].severity);
            CHECK(one.findings[i].path == many.findings[i].path);
            CHECK(one.findings[i].line == many.findings[i].line);
            CHECK(one.findings[i].message == many.findings[i].message);
        }
    }
}
