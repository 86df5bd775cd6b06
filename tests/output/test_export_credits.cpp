// The export's CREDITS.txt: over a test tree where some parts carry an
// author, a licence and an address and others carry nothing (as older
// packs do), the file lists exactly the parts the exported pictures use,
// in UTF-8, unknown where a part does not say, counted and reported after
// macro.txt; an unchecked style's dress and accessories are not listed
// until the style is checked; the parts window's list is the same text.
#include <doctest.h>

#include <string>
#include <vector>

#include "core/text_cp949.h"
#include "fixture_tree.h"
#include "output/credits.h"
#include "output/export.h"
#include "output/headless.h"

namespace {

// The fixture tree with credits on three of its parts.
std::string CreditedTree(const std::string &root)
{
    std::string data = Fixture_BuildTree(root);
    Fixture_WriteInf(data + "hair\\h2\\", "h2", "h2", "0x146ED2",
                     "Author = \"김하늘\";\nLicense = \"CC-BY-4.0\";\nUrl = \"https://example.com/h2\";\n");
    Fixture_WriteInf(data + "dress\\d1\\", "d1", "d1", "0x1E7882", "Author = \"박옷감\";\n");
    Fixture_WriteInf(data + "accesary\\a1\\", "a1", "a1", "0x32A0AA",
                     "License = \"CC0-1.0\";\nAuthor = \"A. Maker\";\n");
    return data;
}

std::string Part(const char *kind, const char *key, const char *author, const char *licence, const char *url)
{
    const char *unknown = u8"알 수 없음";
    return std::string(u8"\r\n[") + kind + "] " + key + " (" + key + u8")\r\n그린 사람: " + (author ? author : unknown) +
           u8"\r\n사용 조건: " + (licence ? licence : unknown) + u8"\r\n주소: " + (url ? url : unknown) + "\r\n";
}

struct Files {
    std::vector<std::string> paths;
};
void Record(void *context, const char *path, int failure)
{
    if (failure == EXPORT_WRITTEN)
        ((Files *)context)->paths.push_back(path);
}

}  // namespace

TEST_CASE("CREDITS.txt lists exactly the parts of the exported pictures, with their credits or unknown")
{
    ScratchFolder dir;
    std::string data = CreditedTree(dir.path);
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    // Older definitions without the keys read as before; the new keys are kept.
    const PartEntry *h1 = (const PartEntry *)PtrList_Get(h.catalog.hairStyles, 0);
    CHECK(std::string(h1->name) == "h1");
    CHECK(h1->color.hue == 0x0A);
    CHECK(h1->author == nullptr);
    CHECK(h1->license == nullptr);
    const PartEntry *h2 = (const PartEntry *)PtrList_Get(h.catalog.hairStyles, 1);
    REQUIRE(h2->url);
    CHECK(std::string(h2->url) == "https://example.com/h2");

    Character_SetName(&h.ch, "Abc");
    // Front hair h2 and a separate back hair h1: both are drawn.
    Character_ChooseHair(&h.ch, 1, 0, {10, 100, 200}, 1, 0);
    DressStyle *first = Wardrobe_StyleAt(&h.w, 0);
    Style_SetText(&first->outputFolder, "one");
    // The second style wears d2 and the accessory but is not exported; the
    // third wears d2 too and is drawn with the third check picture only.
    DressStyle *second = CopyStyle(first);
    second->checkState = STYLE_UNCHECKED;
    second->dress = 1;
    AccessoryPlacement a = {};
    a.kind = 1;
    REQUIRE(AccessorySet_Add(second->accessories, &a) >= 0);
    Style_SetText(&second->outputFolder, "two");
    DressStyle *third = CopyStyle(first);
    third->checkState = STYLE_THIRD;
    third->dress = 1;
    PtrList_Add(h.w.styles, second);
    PtrList_Add(h.w.styles, third);

    char base[VOR_MAX_PATH];
    REQUIRE(Export_FreeFolderBase((dir / "out").c_str(), base));
    std::string heading = u8"; CREDITS.txt: \"Abc\"의 그림에 쓰인 부품\r\n";
    std::string faces = Part(u8"눈", "e1", nullptr, nullptr, nullptr) + Part(u8"눈썹", "b1", nullptr, nullptr, nullptr) +
                        Part(u8"입", "m1", nullptr, nullptr, nullptr) + Part(u8"볼", "c1", nullptr, nullptr, nullptr);
    std::string hair = Part(u8"머리", "h1", nullptr, nullptr, nullptr) +
                       Part(u8"머리", "h2", u8"김하늘", "CC-BY-4.0", "https://example.com/h2");
    std::string d1 = Part(u8"옷", "d1", u8"박옷감", nullptr, nullptr);
    std::string d2 = Part(u8"옷", "d2", nullptr, nullptr, nullptr);
    std::string a1 = Part(u8"장신구", "a1", "A. Maker", "CC0-1.0", nullptr);
    std::string credits = dir / "out\\Abc\\CREDITS.txt";

    Files files;
    ExportOptions options = {2, &files, Record};
    ExportStats stats;
    CHECK(Export_RunHeadless(&h.ch, &h.w, base, &options, &stats) == PART_EXPRESSION_COUNT + 2);
    REQUIRE(files.paths.size() == PART_EXPRESSION_COUNT + 2);
    CHECK(files.paths[PART_EXPRESSION_COUNT] == dir / "out\\Abc\\macro.txt");
    CHECK(files.paths[PART_EXPRESSION_COUNT + 1] == credits);
    std::vector<unsigned char> bytes = ScratchFolder::ReadBytes(credits);
    CHECK(std::string(bytes.begin(), bytes.end()) == heading + hair + d1 + faces);

    // The window's list for the character as it stands is the same text.
    ExportCredits shown;
    Credits_NoteExport(&shown, &h.ch, &h.w);
    CHECK(shown.pictures == PART_EXPRESSION_COUNT);
    CHECK(Cp949_ToUtf8(Credits_Text(&shown, &h.catalog, h.ch.name).c_str()) == heading + hair + d1 + faces);

    // Checking the second style brings its dress and accessory in.
    second->checkState = STYLE_CHECKED;
    files.paths.clear();
    CHECK(Export_RunHeadless(&h.ch, &h.w, base, &options, &stats) == 2 * PART_EXPRESSION_COUNT + 2);
    bytes = ScratchFolder::ReadBytes(credits);
    CHECK(std::string(bytes.begin(), bytes.end()) == heading + hair + d1 + d2 + faces + a1);

    // Nothing exported: the file says so rather than listing parts no picture uses.
    first->checkState = second->checkState = STYLE_UNCHECKED;
    CHECK(Export_RunHeadless(&h.ch, &h.w, base, &options, &stats) == 2);
    bytes = ScratchFolder::ReadBytes(credits);
    CHECK(std::string(bytes.begin(), bytes.end()) == heading + u8"\r\n(내보내는 그림이 없습니다)\r\n");
    Headless_Close(&h);
}
