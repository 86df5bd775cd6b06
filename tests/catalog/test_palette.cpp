// The colour dialog's presets read from palette.inf: a list named in the file
// replaces its built-in colours, a broken statement is reported and skipped,
// and the lists left out keep their defaults.
#include <doctest.h>

#include <string>
#include <vector>

#include "catalog/palette.h"
#include "test_support.h"

namespace {

bool Same(HlsColour a, HlsColour b)
{
    return a.hue == b.hue && a.luminance == b.luminance && a.saturation == b.saturation;
}

// The palette a file gives over the defaults, with its problems.
Palette ReadText(const ScratchFolder &dir, const std::string &text, std::vector<PaletteProblem> *problems)
{
    ScratchFolder::WriteBytes(dir / "palette.inf", std::vector<unsigned char>(text.begin(), text.end()));
    Palette p;
    Palette_Defaults(&p);
    CHECK(Palette_Read((dir / "palette.inf").c_str(), &p, problems));
    return p;
}

}  // namespace

TEST_CASE("palette: built-in lists fit the dialog and differ between kinds")
{
    Palette p;
    Palette_Defaults(&p);
    for (int k = 0; k < PALETTE_KINDS; k++) {
        CAPTURE(k);
        CHECK(p.count[k] >= 8);
        CHECK(p.count[k] <= PALETTE_MAX_SWATCHES);
        // No colour twice in one row.
        for (int i = 0; i < p.count[k]; i++)
            for (int j = i + 1; j < p.count[k]; j++)
                CHECK_FALSE(Same(p.colours[k][i], p.colours[k][j]));
    }
    CHECK_FALSE(Same(p.colours[PALETTE_HAIR][0], p.colours[PALETTE_MOUTH][0]));
    CHECK(std::string(Palette_ListName(PALETTE_NEUTRAL)) == "Neutral");
}

TEST_CASE("palette.inf: named lists replace the defaults, problems are reported and skipped")
{
    Palette defaults;
    Palette_Defaults(&defaults);
    struct Case {
        const char *text;
        int hairCount;         // -1: the built-in hair list stays
        HlsColour firstHair;
        int eyeCount;          // -1: the built-in eye list stays
        size_t problems;
    } cases[] = {
        {"Hair = 0x102030, 0x405060;", 2, {0x10, 0x20, 0x30}, -1, 0},
        {"#define DARK 0x0A1E28\nHair = DARK;\nEye = 0x96A0B4, DARK, 0x000000;", 1, {10, 30, 40}, 3, 0},
        {"Hair = 0x102030 0x405060;\nEye = 0x010203;", -1, {}, 1, 1},   // a missing comma
        {"Skin = 0x102030;\nEye = 0x010203;", -1, {}, 1, 1},             // an unknown list
        {"Hair = \"red\";", -1, {}, -1, 1},                               // not a number
        {"Hair = ;", -1, {}, -1, 1},                                      // no colour
        {"Eye = 1,2,3,4,5,6,7,8,9,10,11,12,13,14;", -1, {}, 12, 1},       // too many: the first twelve
        {"#include \"gone.inf\"\nHair = 0xFFFFFF;", 1, {255, 255, 255}, -1, 1},
    };
    for (const Case &c : cases) {
        CAPTURE(c.text);
        ScratchFolder dir;
        std::vector<PaletteProblem> problems;
        Palette p = ReadText(dir, c.text, &problems);
        CHECK(problems.size() == c.problems);
        if (c.hairCount < 0) {
            CHECK(p.count[PALETTE_HAIR] == defaults.count[PALETTE_HAIR]);
            CHECK(Same(p.colours[PALETTE_HAIR][0], defaults.colours[PALETTE_HAIR][0]));
        } else {
            CHECK(p.count[PALETTE_HAIR] == c.hairCount);
            CHECK(Same(p.colours[PALETTE_HAIR][0], c.firstHair));
        }
        CHECK(p.count[PALETTE_EYE] == (c.eyeCount < 0 ? defaults.count[PALETTE_EYE] : c.eyeCount));
        CHECK(p.count[PALETTE_NEUTRAL] == defaults.count[PALETTE_NEUTRAL]);
        for (const PaletteProblem &problem : problems)
            CHECK_FALSE(problem.message.empty());
    }
}

TEST_CASE("palette.inf: colours out of range are refused with their lines")
{
    struct Case {
        const char *text;
        int line;           // of the one problem; 0 for none
        const char *shown;  // how the message shows the value
        int hairCount;      // -1: the built-in hair list stays
    } cases[] = {
        {"Hair = 0xFFFFFF, 0;", 0, "", 2},
        {"Hair = 0x1000000;", 1, "0x1000000", -1},
        {"\nHair = 0x102030,\n 1.5;", 3, "1.5", -1},
        {"Eye = 1;\n\nHair = 0xFFFFFFFF;", 3, "0xFFFFFFFF", -1},
        {"Hair = 16777216;", 1, "0x1000000", -1},
        {"Hair = 99999999999999999999;", 1, "", -1},
    };
    for (const Case &c : cases) {
        CAPTURE(c.text);
        ScratchFolder dir;
        std::vector<PaletteProblem> problems;
        Palette p = ReadText(dir, c.text, &problems);
        if (c.line == 0) {
            CHECK(problems.empty());
        } else {
            REQUIRE(problems.size() == 1);
            CHECK(problems[0].line == c.line);
            CHECK(problems[0].message.find(c.shown) != std::string::npos);
            CHECK(problems[0].message.find("0xFFFFFF까지") != std::string::npos);
        }
        Palette defaults;
        Palette_Defaults(&defaults);
        CHECK(p.count[PALETTE_HAIR] == (c.hairCount < 0 ? defaults.count[PALETTE_HAIR] : c.hairCount));
    }
}

TEST_CASE("palette.inf: a missing file leaves the palette alone")
{
    ScratchFolder dir;
    Palette p;
    Palette_Defaults(&p);
    p.count[PALETTE_EYE] = 3;
    std::vector<PaletteProblem> problems;
    CHECK_FALSE(Palette_Read((dir / "palette.inf").c_str(), &p, &problems));
    CHECK(p.count[PALETTE_EYE] == 3);
    CHECK(problems.empty());
}
