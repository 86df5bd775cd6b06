// Seeded random characters: the generator's numbers, one seed's project bytes
// over the sample tree (the same on every platform), and two hundred seeds
// that each give a project the export takes whole, in colours that stay
// inside their palettes.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "output/export.h"
#include "output/headless.h"
#include "project/project_model.h"
#include "project/random_character.h"
#include "shared_sample_tree.h"
#include "test_support.h"
#include "tools/gen-sample/sample_tree.h"

namespace {

std::vector<unsigned char> ProjectBytes(const PartCatalog *catalog, uint64_t seed)
{
    RandomLook look;
    RandomLook_Roll(catalog, seed, &look);
    Project *p = RandomLook_ToProject(&look, seed);
    REQUIRE(p);
    ProjectKeySource keys = Project_CatalogKeys(catalog);
    size_t size = 0;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    Project_Free(p);
    REQUIRE(bytes);
    std::vector<unsigned char> out(bytes, bytes + size);
    free(bytes);
    return out;
}

uint64_t Fnv1a(const std::vector<unsigned char> &bytes)
{
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char b : bytes)
        h = (h ^ b) * 0x100000001B3ull;
    return h;
}

}  // namespace

TEST_CASE("the generator gives the published splitmix64 numbers and bounded draws")
{
    RandomState r;
    Random_Seed(&r, 0);
    CHECK(Random_Next(&r) == 0xE220A8397B1DCDAFull);
    CHECK(Random_Next(&r) == 0x6E789E6AA1B965F4ull);
    Random_Seed(&r, 7);
    std::set<int> seen;
    for (int i = 0; i < 200; i++) {
        int v = Random_Below(&r, 5);
        CHECK(v >= 0);
        CHECK(v < 5);
        seen.insert(v);
    }
    CHECK(seen.size() == 5);
    CHECK(Random_Below(&r, 0) == 0);
}

TEST_CASE("seed 42 over the sample tree: these bytes, the same twice")
{
    std::string data = SharedSampleTree() / "data\\";
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    std::vector<unsigned char> bytes = ProjectBytes(&catalog, 42);
    CHECK(ProjectBytes(&catalog, 42) == bytes);
    CHECK(ProjectBytes(&catalog, 43) != bytes);
    CHECK(bytes.size() == 191);
    CHECK(Fnv1a(bytes) == 0x8635A3ED09ED4F0Dull);

    // The same bytes read as the fields they carry.
    Project *p = nullptr;
    REQUIRE(Project_Parse(bytes.data(), bytes.size(), &p) == PROJECT_OK);
    CHECK(std::string(p->name) == "random42");
    CHECK(std::string(p->hair.key) == "short");
    CHECK(std::string(p->backHair.key) == "short");
    CHECK(std::string(p->eye.key) == "tsuri");
    CHECK(std::string(p->brow.key) == "futo");
    CHECK(std::string(p->mouth.key) == "futsu");
    CHECK(std::string(p->expression.key) == "sumashi");
    CHECK(p->hairColour.hue == 21);
    CHECK(p->hairColour.luminance == 130);
    CHECK(p->hairColour.saturation == 124);
    CHECK(p->hairDefaultColour == 0);
    REQUIRE(PtrList_Count(p->styles) == 1);
    const DressStyle *style = (const DressStyle *)PtrList_Get(p->styles, 0);
    CHECK(std::string(style->dressKey) == "yukata");
    CHECK(style->checkState == STYLE_CHECKED);
    REQUIRE(AccessorySet_Count(style->accessories) == 1);
    CHECK(std::string(AccessorySet_Get(style->accessories, 0)->key) == "catusya");
    Project_Free(p);
    PartCatalog_Free(&catalog);
}

TEST_CASE("two hundred seeds: valid choices, colours in their palettes, and every one exports")
{
    const ScratchFolder &tree = SharedSampleTree();
    std::string data = tree / "data\\";
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    const PartCatalog &catalog = h.catalog;
    ScratchFolder out;
    std::string projectPath = out / "r.vor";
    std::set<int> hairHues, dresses;
    int separate = 0, withAccessories = 0;
    for (uint64_t seed = 1; seed <= 200; seed++) {
        CAPTURE(seed);
        RandomLook look;
        RandomLook_Roll(&catalog, seed, &look);
        CHECK(look.hair >= 0);
        CHECK(look.hair < PtrList_Count(catalog.hairStyles));
        CHECK(look.eye < PtrList_Count(catalog.eyeShapes));
        CHECK(look.dress < PtrList_Count(catalog.dresses));
        CHECK((look.backHair == look.hair || look.separateBackHair));
        // Hair is never a glaring primary nor too dark to shade; brows follow it.
        CHECK(look.hairColour.luminance >= 20);
        CHECK(look.hairColour.luminance <= 245);
        CHECK(look.hairColour.saturation <= 200);
        CHECK(look.browColour.hue == look.hairColour.hue);
        CHECK(look.browColour.luminance <= look.hairColour.luminance);
        CHECK(look.eyeColour.luminance >= 20);
        CHECK(look.eyeColour.luminance <= 170);
        for (int i = 0; i < look.accessoryCount; i++)
            CHECK(look.accessoryKinds[i] >= 1);
        if (look.accessoryCount == 2)
            CHECK(look.accessoryKinds[0] != look.accessoryKinds[1]);
        hairHues.insert(look.hairColour.hue / 16);
        dresses.insert(look.dress);
        separate += look.separateBackHair;
        withAccessories += look.accessoryCount > 0;

        Project *p = RandomLook_ToProject(&look, seed);
        REQUIRE(p);
        ProjectKeySource keys = Project_CatalogKeys(&catalog);
        REQUIRE(Project_WriteFile(projectPath.c_str(), p, &keys));
        Project_Free(p);
        REQUIRE(Headless_LoadProject(&h, projectPath.c_str()) == PROJECT_OK);
        char problem[512];
        REQUIRE(Export_Validate(h.ch.name, h.w.styles, problem, sizeof problem));
        char base[VOR_MAX_PATH];
        REQUIRE(Export_FreeFolderBase((out / "export").c_str(), base));
        ExportOptions options = {2, nullptr, nullptr};
        ExportStats stats;
        int files = Export_RunHeadless(&h.ch, &h.w, base, &options, &stats);
        INFO("first failure ", stats.tally.firstFailure, " at ", stats.tally.firstFailedPath);
        CHECK(files == PART_EXPRESSION_COUNT + 2);  // the pictures, macro.txt and CREDITS.txt
        CHECK(stats.images == PART_EXPRESSION_COUNT);
    }
    int dressCount = PtrList_Count(catalog.dresses);
    Headless_Close(&h);
    // Not one look repeated: hues spread, every dress worn, both kinds of hair.
    CHECK(hairHues.size() >= 6);
    CHECK((int)dresses.size() == dressCount);
    CHECK(separate > 20);
    CHECK(separate < 80);
    CHECK(withAccessories > 80);
    CHECK(withAccessories < 160);
}

TEST_CASE("a look applied to the character being edited keeps its name, expression and styles")
{
    std::string data = SharedSampleTree() / "data\\";
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    Character_SetName(&h.ch, "kim");
    Character_ChooseExpression(&h.ch, 3);
    int styles = PtrList_Count(h.w.styles);
    const DressStyle *shown = Wardrobe_StyleAt(&h.w, h.w.shown);
    REQUIRE(shown);
    int dress = shown->dress;

    // A seed that rolls a separate back hair, so the flag's order is tested too.
    RandomLook look;
    uint64_t seed = 1;
    for (;; seed++) {
        RandomLook_Roll(&h.catalog, seed, &look);
        if (look.separateBackHair && look.backHair != look.hair)
            break;
    }
    RandomLook_ApplyToCharacter(&look, &h.ch);
    Headless_LoadNow(&h);
    CHECK(std::string(h.ch.name) == "kim");
    CHECK(h.ch.expression == 3);
    CHECK(PtrList_Count(h.w.styles) == styles);
    CHECK(Wardrobe_StyleAt(&h.w, h.w.shown)->dress == dress);
    CHECK(h.ch.frontHair == look.hair);
    CHECK(h.ch.backHair == look.backHair);
    CHECK(h.ch.separateBackHair == 1);
    CHECK(h.ch.eye == look.eye);
    CHECK(h.ch.brow == look.brow);
    CHECK(h.ch.mouth == look.mouth);
    const struct {
        int32_t slot;
        HlsColour expected;
    } slots[] = {{ID_HAIR, look.hairColour}, {ID_EYE, look.eyeColour}, {ID_BROW, look.browColour},
                 {ID_MOUTH, look.mouthColour}};
    for (const auto &s : slots) {
        CAPTURE(s.slot);
        HlsColour c;
        Character_ReadSlot(&h.ch, s.slot, &c);
        CHECK(c.hue == s.expected.hue);
        CHECK(c.luminance == s.expected.luminance);
        CHECK(c.saturation == s.expected.saturation);
    }
    // The hair shows in the rolled colour, not the style's own.
    Layer *hair = Layer_Find(Character_FindLayer(&h.ch, ID_HAIR, ID_FRONT_HAIR), ID_IMAGE_A);
    REQUIRE(hair);
    REQUIRE(Layer_GetImage(hair)->image);
    CHECK(Layer_GetImage(hair)->colour.hue == look.hairColour.hue);
    Headless_Close(&h);
}
