// Random looks with locks and casts over the sample tree: over a hundred
// seeds a kept trait never changes and every other trait changes, for every
// single lock and every "all but one"; the trait names parse and print back;
// a cast has distinct seeds, looks and names, letterable on the sheet, the
// same for the same seed, and locks that leave too few looks are refused
// instead of searched for ever.
#include <doctest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "output/cast_sheet.h"
#include "project/project_model.h"
#include "project/random_cast.h"
#include "project/random_character.h"
#include "project/random_locks.h"
#include "shared_sample_tree.h"
#include "test_support.h"
#include "tools/gen-sample/sample_tree.h"

namespace {

std::string Colour(HlsColour c)
{
    return std::to_string(c.hue) + "," + std::to_string(c.luminance) + "," + std::to_string(c.saturation);
}

std::string Styles(const Project *p, const std::function<std::string(const DressStyle *)> &part)
{
    std::string s;
    for (int i = 0; i < PtrList_Count(p->styles); i++)
        s += part((const DressStyle *)PtrList_Get(p->styles, i)) + "|";
    return s;
}

// What each trait is, read off a project. The cheeks are not in a project:
// their row reads the name, which no look may change either.
const std::function<std::string(const Project *)> TRAIT_OF[RANDOM_TRAIT_COUNT] = {
    [](const Project *p) {
        return std::to_string(p->hair.index) + "/" + std::to_string(p->backHair.index) + "/" +
               std::to_string(p->separateBackHair);
    },
    [](const Project *p) { return Colour(p->hairColour); },
    [](const Project *p) { return std::to_string(p->eye.index); },
    [](const Project *p) { return Colour(p->eyeColour); },
    [](const Project *p) { return std::to_string(p->brow.index) + "/" + Colour(p->browColour); },
    [](const Project *p) { return std::to_string(p->mouth.index) + "/" + Colour(p->mouthColour); },
    [](const Project *p) { return std::string(p->name); },
    [](const Project *p) { return Styles(p, [](const DressStyle *s) { return std::to_string(s->dress); }); },
    [](const Project *p) { return Styles(p, [](const DressStyle *s) { return Colour(s->colour); }); },
    [](const Project *p) {
        return Styles(p, [](const DressStyle *s) {
            std::string a;
            for (int i = 0; i < AccessorySet_Count(s->accessories); i++) {
                const AccessoryPlacement *x = AccessorySet_Get(s->accessories, i);
                a += std::to_string(x->kind) + ":" + Colour(x->colour) + ";";
            }
            return a;
        });
    },
};

// A record copy through its file image, keys resolved.
Project *Copy(const Project *p, const PartCatalog *catalog)
{
    ProjectKeySource keys = Project_CatalogKeys(catalog);
    size_t size = 0;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    Project *copy = nullptr;
    REQUIRE(Project_Parse(bytes, size, &copy) == PROJECT_OK);
    free(bytes);
    Project_ResolveKeys(copy, catalog);
    return copy;
}

// The base every lock test starts from: seed 5's character with a second
// style, so that the styles after the first are rolled too.
Project *TwoStyleBase(const PartCatalog *catalog)
{
    RandomLook look;
    RandomLook_Roll(catalog, 5, &look);
    Project *p = RandomLook_ToProject(&look, 5);
    REQUIRE(p);
    DressStyle *second = CopyStyle((const DressStyle *)PtrList_Get(p->styles, 0));
    REQUIRE(second);
    Style_SetText(&second->outputFolder, "second");
    REQUIRE(PtrList_Add(p->styles, second) >= 0);
    return p;
}

std::vector<unsigned char> Bytes(const Project *p, const PartCatalog *catalog)
{
    ProjectKeySource keys = Project_CatalogKeys(catalog);
    size_t size = 0;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    REQUIRE(bytes);
    std::vector<unsigned char> out(bytes, bytes + size);
    free(bytes);
    return out;
}

}  // namespace

TEST_CASE("locks: over a hundred seeds kept traits never change and every other one does")
{
    std::string data = SharedSampleTree() / "data\\";
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    Project *base = TwoStyleBase(&catalog);

    std::vector<RandomKeep> lockSets = {0, RANDOM_KEEP_ALL, RANDOM_KEEP_DEFAULT};
    for (int t = 0; t < RANDOM_TRAIT_COUNT; t++) {
        lockSets.push_back(1u << t);
        lockSets.push_back(RANDOM_KEEP_ALL & ~(1u << t));
    }
    for (RandomKeep keep : lockSets) {
        char names[256];
        RandomKeep_Format(keep, names, sizeof names);
        CAPTURE(names);
        int changed[RANDOM_TRAIT_COUNT] = {};
        for (uint64_t seed = 1; seed <= 100; seed++) {
            Project *p = Copy(base, &catalog);
            REQUIRE(RandomLook_ApplyLocked(&catalog, seed, keep, p));
            for (int t = 0; t < RANDOM_TRAIT_COUNT; t++) {
                bool same = TRAIT_OF[t](p) == TRAIT_OF[t](base);
                if ((keep >> t & 1u) || RandomTrait_IsFixed(t)) {
                    CAPTURE(seed);
                    CAPTURE(RandomTrait_Name(t));
                    CHECK(same);
                }
                changed[t] += !same;
            }
            // A look that is applied again is the same look.
            Project *again = Copy(base, &catalog);
            REQUIRE(RandomLook_ApplyLocked(&catalog, seed, keep, again));
            CHECK(Bytes(again, &catalog) == Bytes(p, &catalog));
            Project_Free(again);
            Project_Free(p);
        }
        for (int t = 0; t < RANDOM_TRAIT_COUNT; t++)
            if (!(keep >> t & 1u) && !RandomTrait_IsFixed(t)) {
                CAPTURE(RandomTrait_Name(t));
                CHECK(changed[t] > 0);
            }
    }
    Project_Free(base);
    PartCatalog_Free(&catalog);
}

TEST_CASE("locks: with nothing kept the look is the seed's own, and unkept traits ignore the other locks")
{
    std::string data = SharedSampleTree() / "data\\";
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    Project *base = TwoStyleBase(&catalog);
    RandomLook look;
    RandomLook_Roll(&catalog, 77, &look);
    Project *rolled = RandomLook_ToProject(&look, 77);
    Project *open = Copy(base, &catalog);
    REQUIRE(RandomLook_ApplyLocked(&catalog, 77, 0, open));
    Project *eyesKept = Copy(base, &catalog);
    REQUIRE(RandomLook_ApplyLocked(&catalog, 77, 1u << RANDOM_TRAIT_EYES | 1u << RANDOM_TRAIT_DRESSES, eyesKept));
    for (int t = 0; t < RANDOM_TRAIT_COUNT; t++) {
        CAPTURE(RandomTrait_Name(t));
        if (t != RANDOM_TRAIT_CHEEKS && t < RANDOM_TRAIT_DRESSES)
            CHECK(TRAIT_OF[t](open) == TRAIT_OF[t](rolled));
        if (t != RANDOM_TRAIT_EYES && t != RANDOM_TRAIT_DRESSES)
            CHECK(TRAIT_OF[t](eyesKept) == TRAIT_OF[t](open));
    }
    // The first style wears the seed's own dress; the second one its own roll.
    const DressStyle *first = (const DressStyle *)PtrList_Get(open->styles, 0);
    CHECK(first->dress == look.dress);
    CHECK(first->dressKey == nullptr);
    CHECK(open->hairDefaultColour == 0);

    // A hair that applies its own colour shows that colour: it is the one
    // kept, and the brows follow it.
    Project *own = Copy(base, &catalog);
    own->hairDefaultColour = 1;
    REQUIRE(RandomLook_ApplyLocked(&catalog, 77, 1u << RANDOM_TRAIT_HAIR | 1u << RANDOM_TRAIT_HAIR_COLOUR, own));
    const PartEntry *hair = (const PartEntry *)PtrList_Get(catalog.hairStyles, own->hair.index);
    REQUIRE(hair);
    CHECK(Colour(own->hairColour) == Colour(hair->color));
    CHECK(Colour(own->browColour) == Colour(RandomLook_BrowColour(hair->color)));
    CHECK(own->hairDefaultColour == 1);
    Project_Free(own);
    for (Project *p : {base, rolled, open, eyesKept})
        Project_Free(p);
    PartCatalog_Free(&catalog);
}

TEST_CASE("locks: trait names parse, refuse what they do not know, and print back")
{
    const struct {
        const char *text;
        int ok;
        RandomKeep keep;
        const char *bad;
    } cases[] = {
        {"", 1, 0, ""},
        {"hair", 1, 1u << RANDOM_TRAIT_HAIR, ""},
        {"eyes,hair-colour,eyes", 1, 1u << RANDOM_TRAIT_EYES | 1u << RANDOM_TRAIT_HAIR_COLOUR, ""},
        {"dresses,dress-colours,accessories", 1, RANDOM_KEEP_DEFAULT, ""},
        {"Hair", 0, 0, "Hair"},
        {"hair,,eyes", 0, 0, ""},
        {"hair,eye", 0, 0, "eye"},
        {"hair-colours", 0, 0, "hair-colours"},
    };
    for (const auto &c : cases) {
        CAPTURE(c.text);
        RandomKeep keep = 0xDEAD;
        char bad[32] = "?";
        CHECK(RandomKeep_Parse(c.text, &keep, bad, sizeof bad) == c.ok);
        if (c.ok)
            CHECK(keep == c.keep);
        else {
            CHECK(keep == 0xDEAD);
            CHECK(std::string(bad) == c.bad);
        }
    }
    for (RandomKeep keep = 0; keep <= RANDOM_KEEP_ALL; keep++) {
        char text[256];
        RandomKeep_Format(keep, text, sizeof text);
        RandomKeep back = ~0u;
        REQUIRE(RandomKeep_Parse(text, &back, nullptr, 0));
        CHECK(back == keep);
    }
}

TEST_CASE("a cast of fifty: distinct seeds, looks and names, the same twice; impossible locks refused")
{
    std::string data = SharedSampleTree() / "data\\";
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
    RandomCast cast, again;
    REQUIRE(RandomCast_Make(&catalog, 2024, 50, nullptr, 0, &cast) == CAST_OK);
    REQUIRE(RandomCast_Make(&catalog, 2024, 50, nullptr, 0, &again) == CAST_OK);
    REQUIRE(cast.members.size() == 50);
    std::set<uint64_t> seeds;
    std::set<std::string> names, looks;
    for (size_t i = 0; i < cast.members.size(); i++) {
        const CastMember &m = cast.members[i];
        seeds.insert(m.seed);
        names.insert(m.project->name);
        CHECK(CastSheet_CanLetter(m.project->name));
        CHECK(Bytes(m.project, &catalog) == Bytes(again.members[i].project, &catalog));
        std::string look;
        for (int t = 0; t < RANDOM_TRAIT_COUNT; t++)
            if (t != RANDOM_TRAIT_CHEEKS)
                look += TRAIT_OF[t](m.project) + "#";
        looks.insert(look);
    }
    CHECK(seeds.size() == 50);
    CHECK(names.size() == 50);
    CHECK(looks.size() == 50);

    // More members than names: the names come round again with a number.
    RandomCast big;
    int count = RandomCast_NameCount() + 3;
    REQUIRE(RandomCast_Make(&catalog, 1, count, nullptr, 0, &big) == CAST_OK);
    names.clear();
    for (const CastMember &m : big.members) {
        names.insert(m.project->name);
        CHECK(CastSheet_CanLetter(m.project->name));
    }
    CHECK((int)names.size() == count);

    // Everything kept but the eyes: as many looks as eye shapes, no more.
    Project *base = TwoStyleBase(&catalog);
    RandomKeep keep = RANDOM_KEEP_ALL & ~(1u << RANDOM_TRAIT_EYES);
    int eyes = PtrList_Count(catalog.eyeShapes);
    CHECK(RandomCast_Make(&catalog, 3, eyes, base, keep, &big) == CAST_OK);
    CHECK(RandomCast_Make(&catalog, 3, eyes + 1, base, keep, &big) == CAST_TOO_FEW_LOOKS);
    CHECK(big.members.empty());
    CHECK(RandomCast_Make(&catalog, 3, 0, nullptr, 0, &big) == CAST_TOO_FEW_LOOKS);
    Project_Free(base);
    for (RandomCast *c : {&cast, &again, &big})
        RandomCast_Free(c);
    PartCatalog_Free(&catalog);
}
