// The definition reader: the three statements, skipping of everything else,
// values stored as soon as they are seen.
#include <doctest.h>

#include <cstring>

#include "catalog/part_definition.h"
#include "catalog_test_support.h"
#include "test_support.h"

struct DefinitionCase {
    const char *input;
    const char *name;    // nullptr: absent
    const char *folder;  // nullptr: absent
    int h, l, s;
};

static void CheckDefinition(const DefinitionCase &c)
{
    CAPTURE(c.input);
    Preprocessor *pp = Preprocessor_OpenMemory("vor.inf", c.input, (unsigned)strlen(c.input), nullptr);
    REQUIRE(pp);
    PartDefinition *def = ReadPartDefinition(pp);
    Preprocessor_Close(pp);
    REQUIRE(def);
    if (c.name) {
        REQUIRE(def->name);
        CHECK(std::string(def->name) == c.name);
    } else {
        CHECK(def->name == nullptr);
    }
    if (c.folder) {
        REQUIRE(def->folder);
        CHECK(std::string(def->folder) == c.folder);
    } else {
        CHECK(def->folder == nullptr);
    }
    CHECK(def->color.hue == c.h);
    CHECK(def->color.luminance == c.l);
    CHECK(def->color.saturation == c.s);
    CHECK(def->path == nullptr);
    PartDefinition_Free(def);
}

TEST_CASE("definition statements in any order and layout")
{
    const DefinitionCase cases[] = {
        {"Name = \"Wave\";\nFolder = \"wavelong\";\nColor = 0x0080FF;\n", "Wave", "wavelong", 0, 128, 255},
        {"Color=0x0080FF;Folder=\"wavelong\";Name=\"Wave\";", "Wave", "wavelong", 0, 128, 255},
        {"/* head */ Name\n=\n\"Wave\" // tail\n;\n\nFolder /*x*/ = \"wavelong\" ;", "Wave", "wavelong", 0, 0, 0},
        {"", nullptr, nullptr, 0, 0, 0},
        {"\n\n", nullptr, nullptr, 0, 0, 0},
        {"Color = 8421631;", nullptr, nullptr, 128, 128, 255},
        {"Color = 0x8080FF;", nullptr, nullptr, 128, 128, 255},
        {"Color = 0x123456.9;", nullptr, nullptr, 0x12, 0x34, 0x56},
        {"Color = 1.9;", nullptr, nullptr, 0, 0, 1},
        {"Color = 0xFFFFFFFF;", nullptr, nullptr, 255, 255, 255},
        {"Color = 99999999999;", nullptr, nullptr, 0x76, 0xE7, 0xFF},  // wraps at 32 bits
        {"#define BLUE 0x0080FF\nColor = BLUE;", nullptr, nullptr, 0, 128, 255},
        {"#define N(x) Name = x;\nN(\"m\")", "m", nullptr, 0, 0, 0},
        {"Name = \"a\" \"b\";", "ab", nullptr, 0, 0, 0},
        {"Name = \"first\"; Name = \"second\";", "second", nullptr, 0, 0, 0},
        {"Name = \"say \\\"hi\\\"\";", "say \"hi\"", nullptr, 0, 0, 0},
        {"Name = \"웨이브\";", "웨이브", nullptr, 0, 0, 0},
        {"Name = \"\x83\x5C\x83\x8B\";", "\x83\x5C\x83\x8B", nullptr, 0, 0, 0},  // code page 932 with a 0x5C trail
    };
    for (const DefinitionCase &c : cases)
        CheckDefinition(c);
}

TEST_CASE("malformed statements are skipped up to their semicolon")
{
    const DefinitionCase cases[] = {
        {"name = \"x\"; Folder = \"f\";", nullptr, "f", 0, 0, 0},
        {"Name = x; Folder = \"f\";", nullptr, "f", 0, 0, 0},
        {"Name = ; Folder = \"f\";", nullptr, "f", 0, 0, 0},
        {"Name \"x\"; Folder = \"f\";", nullptr, "f", 0, 0, 0},
        {"Author = \"someone\"; Name = \"x\";", "x", nullptr, 0, 0, 0},
        {"int x = 5; Name = \"x\";", "x", nullptr, 0, 0, 0},
        {"Color = -5; Name = \"x\";", "x", nullptr, 0, 0, 0},
        {"Color = \"red\"; Name = \"x\";", "x", nullptr, 0, 0, 0},
        {"Name = 5; Color = 1;", nullptr, nullptr, 0, 0, 1},
        {"Name == \"x\"; Folder = \"f\";", nullptr, "f", 0, 0, 0},
        // a value is stored before its statement breaks off
        {"Name = \"x\" Folder = \"f\"; Color = 2;", "x", nullptr, 0, 0, 2},
        {"Name = \"x\"", "x", nullptr, 0, 0, 0},
        {"Color = 7 Name = \"x\";", nullptr, nullptr, 0, 0, 7},
        // a statement that breaks off at its own `;` skips nothing more
        {"Name = ; Folder = \"f\";", nullptr, "f", 0, 0, 0},
        {";;; Name = \"x\";;", "x", nullptr, 0, 0, 0},
        {"{ Name = \"x\"; }", nullptr, nullptr, 0, 0, 0},
        {"Folder = \"f\"; junk", nullptr, "f", 0, 0, 0},
    };
    for (const DefinitionCase &c : cases)
        CheckDefinition(c);
}

TEST_CASE("a definition keeps reading after an included file")
{
    // The included file ends on a stray statement; the including file's own
    // statements after the directive still count.
    ScratchFolder dir;
    std::string common = "#define HAIR_COLOR 0x102030\nColor = 1; stray;";
    std::string top = "Name = \"x\";\n#include \"common.inf\"\nFolder = \"f\"; Color = HAIR_COLOR;\n";
    ScratchFolder::WriteBytes(dir / "common.inf", std::vector<unsigned char>(common.begin(), common.end()));
    ScratchFolder::WriteBytes(dir / "vor.inf", std::vector<unsigned char>(top.begin(), top.end()));
    Preprocessor *pp = Preprocessor_Open((dir / "vor.inf").c_str(), nullptr);
    REQUIRE(pp);
    PartDefinition *def = ReadPartDefinition(pp);
    Preprocessor_Close(pp);
    REQUIRE(def);
    CHECK(std::string(def->name) == "x");
    REQUIRE(def->folder);
    CHECK(std::string(def->folder) == "f");
    CHECK(def->color.hue == 0x10);
    CHECK(def->color.luminance == 0x20);
    CHECK(def->color.saturation == 0x30);
    PartDefinition_Free(def);
}
