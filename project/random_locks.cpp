// Random looks with locks (see random_locks.h).
//
// The look is always rolled whole from the seed, and the kept traits are
// then simply not copied: so a trait that is not kept comes out the same
// whatever else is kept, and a seed still names one look for a catalogue.
#include "project/random_locks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/dress_style.h"
#include "project/random_character.h"

const RandomKeep RANDOM_KEEP_DEFAULT =
    (1u << RANDOM_TRAIT_DRESSES) | (1u << RANDOM_TRAIT_DRESS_COLOURS) | (1u << RANDOM_TRAIT_ACCESSORIES);

namespace {

// Names and labels in RandomTrait order.
const struct {
    const char *name;
    const char *label;
} TRAITS[RANDOM_TRAIT_COUNT] = {
    {"hair", "머리 모양"},
    {"hair-colour", "머리 색"},
    {"eyes", "눈"},
    {"eye-colour", "눈 색"},
    {"brows", "눈썹"},
    {"mouth", "입"},
    {"cheeks", "볼 (항상 유지)"},
    {"dresses", "옷"},
    {"dress-colours", "옷 색"},
    {"accessories", "장신구"},
};

bool Kept(RandomKeep keep, int trait)
{
    return (keep >> trait & 1u) != 0;
}

void Choose(PartChoice *choice, int32_t index)
{
    free(choice->key);
    choice->key = nullptr;
    choice->index = index;
}

// The seeds of the styles after the first, one draw each from a generator
// of their own, so the first style's look is the seed's own.
const uint64_t STYLE_SEED_SALT = 0x5354594C45ull;  // "STYLE"

// Gives the style the dress, colour and accessories of `look` not kept.
int ApplyToStyle(const RandomLook *look, RandomKeep keep, DressStyle *style)
{
    if (!Kept(keep, RANDOM_TRAIT_DRESSES)) {
        style->dress = look->dress;
        Style_SetText(&style->dressKey, nullptr);
    }
    if (!Kept(keep, RANDOM_TRAIT_DRESS_COLOURS))
        style->colour = look->dressColour;
    if (Kept(keep, RANDOM_TRAIT_ACCESSORIES))
        return 1;
    AccessorySet *set = AccessorySet_Create(-1);
    if (!set)
        return 0;
    for (int i = 0; i < look->accessoryCount; i++) {
        AccessoryPlacement a = {};
        a.depth = RANDOM_ACCESSORY_DEPTH;
        a.kind = look->accessoryKinds[i];
        a.colour = look->accessoryColours[i];
        if (AccessorySet_Add(set, &a) < 0) {
            AccessorySet_Free(set);
            return 0;
        }
    }
    AccessorySet_Free(style->accessories);
    style->accessories = set;
    return 1;
}

}  // namespace

const char *RandomTrait_Name(int trait)
{
    return trait >= 0 && trait < RANDOM_TRAIT_COUNT ? TRAITS[trait].name : nullptr;
}

const char *RandomTrait_Label(int trait)
{
    return trait >= 0 && trait < RANDOM_TRAIT_COUNT ? TRAITS[trait].label : nullptr;
}

int RandomTrait_IsFixed(int trait)
{
    return trait == RANDOM_TRAIT_CHEEKS;
}

int RandomKeep_Parse(const char *text, RandomKeep *keep, char *bad, size_t size)
{
    RandomKeep parsed = 0;
    const char *p = text ? text : "";
    while (*p) {
        const char *end = strchr(p, ',');
        size_t length = end ? (size_t)(end - p) : strlen(p);
        int found = -1;
        for (int t = 0; t < RANDOM_TRAIT_COUNT && found < 0; t++)
            if (strlen(TRAITS[t].name) == length && memcmp(TRAITS[t].name, p, length) == 0)
                found = t;
        if (found < 0) {
            if (bad && size > 0)
                snprintf(bad, size, "%.*s", (int)length, p);
            return 0;
        }
        parsed |= 1u << found;
        p += length;
        if (*p == ',')
            p++;
    }
    *keep = parsed;
    return 1;
}

void RandomKeep_Format(RandomKeep keep, char *text, size_t size)
{
    std::string joined;
    for (int t = 0; t < RANDOM_TRAIT_COUNT; t++)
        if (Kept(keep, t))
            joined += (joined.empty() ? "" : ",") + std::string(TRAITS[t].name);
    if (size > 0)
        snprintf(text, size, "%s", joined.c_str());
}

int RandomSeed_Parse(const char *text, uint64_t *seed)
{
    if (!text || !*text)
        return 0;
    uint64_t value = 0;
    for (const char *p = text; *p; p++) {
        if (*p < '0' || *p > '9')
            return 0;
        unsigned digit = (unsigned)(*p - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    *seed = value;
    return 1;
}

int RandomLook_ApplyLocked(const PartCatalog *catalog, uint64_t seed, RandomKeep keep, Project *p)
{
    RandomLook look;
    RandomLook_Roll(catalog, seed, &look);
    // The colour the character shows: a hair that applies its own colour
    // shows that one, whatever the record holds (as the program opens it).
    const PartEntry *hair = (const PartEntry *)PtrList_Get(catalog->hairStyles, p->hair.index);
    if (p->hairDefaultColour && hair)
        p->hairColour = hair->color;
    if (!Kept(keep, RANDOM_TRAIT_HAIR)) {
        Choose(&p->hair, look.hair);
        Choose(&p->backHair, look.backHair);
        p->separateBackHair = look.separateBackHair;
    }
    if (!Kept(keep, RANDOM_TRAIT_HAIR_COLOUR))
        p->hairColour = look.hairColour;
    // A hair applying its own colour would replace the kept or rolled one.
    if (!Kept(keep, RANDOM_TRAIT_HAIR) || !Kept(keep, RANDOM_TRAIT_HAIR_COLOUR))
        p->hairDefaultColour = 0;
    if (!Kept(keep, RANDOM_TRAIT_EYES))
        Choose(&p->eye, look.eye);
    if (!Kept(keep, RANDOM_TRAIT_EYE_COLOUR))
        p->eyeColour = look.eyeColour;
    if (!Kept(keep, RANDOM_TRAIT_BROWS)) {
        Choose(&p->brow, look.brow);
        p->browColour = RandomLook_BrowColour(p->hairColour);
    }
    if (!Kept(keep, RANDOM_TRAIT_MOUTH)) {
        Choose(&p->mouth, look.mouth);
        p->mouthColour = look.mouthColour;
    }

    RandomState styleSeeds;
    Random_Seed(&styleSeeds, seed ^ STYLE_SEED_SALT);
    for (int i = 0; i < PtrList_Count(p->styles); i++) {
        RandomLook styleLook = look;
        if (i > 0)
            RandomLook_Roll(catalog, Random_Next(&styleSeeds), &styleLook);
        if (!ApplyToStyle(&styleLook, keep, (DressStyle *)PtrList_Get(p->styles, i)))
            return 0;
    }
    return 1;
}
