// Seeded random characters (see random_character.h).
//
// Every draw goes through Random_Next in a fixed order, so a seed names one
// character for a given catalogue; adding a draw changes every character
// after it, which the tests pin on purpose.
#include "project/random_character.h"

#include <cstdio>

#include "core/util.h"
#include "editor/dress_style.h"

namespace {

// A colour given the way people think of it: hue in degrees, luminance and
// saturation in percent, with the chance of being picked among its palette.
struct Swatch {
    int degrees, luminance, saturation;
    int weight;
};

// Natural hair first (most characters), then the common anime colours.
const Swatch HAIR_PALETTE[] = {
    {220, 14, 15, 10},  // black
    {25, 22, 40, 10},   // dark brown
    {28, 34, 45, 9},    // brown
    {15, 32, 55, 6},    // chestnut
    {32, 50, 50, 6},    // light brown
    {45, 68, 65, 6},    // blonde
    {48, 84, 35, 3},    // platinum
    {10, 36, 60, 4},    // auburn
    {4, 42, 70, 3},     // red
    {220, 74, 8, 3},    // silver
    {0, 90, 0, 2},      // white
    {340, 72, 65, 4},   // pink
    {215, 48, 60, 4},   // blue
    {195, 70, 55, 3},   // light blue
    {275, 45, 45, 3},   // purple
    {150, 42, 40, 2},   // green
};

const Swatch EYE_PALETTE[] = {
    {25, 30, 55, 10},   // brown
    {20, 18, 45, 6},    // dark brown
    {45, 40, 45, 4},    // hazel
    {120, 38, 45, 4},   // green
    {210, 50, 65, 6},   // blue
    {210, 55, 12, 3},   // grey
    {40, 50, 75, 3},    // amber
    {270, 50, 50, 3},   // violet
    {355, 45, 70, 3},   // red
    {330, 60, 60, 2},   // pink
};

// Lips: the mouth's coloured layer.
const Swatch LIP_COLOUR = {350, 55, 50, 1};

uint8_t ClampByte(int v)
{
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

HlsColour FromSwatch(const Swatch &s)
{
    return {(uint8_t)(s.degrees % 360 * 255 / 360), ClampByte(s.luminance * 255 / 100),
            ClampByte(s.saturation * 255 / 100)};
}

// Spreads a palette colour a little so that two characters with "brown"
// hair are not the very same brown. Hue wraps (255 is a full turn).
HlsColour Jitter(RandomState *r, HlsColour c, int hue, int luminance, int saturation)
{
    int h = (c.hue + Random_Below(r, 2 * hue + 1) - hue + 255) % 255;
    int l = c.luminance + Random_Below(r, 2 * luminance + 1) - luminance;
    int s = c.saturation + Random_Below(r, 2 * saturation + 1) - saturation;
    return {(uint8_t)h, ClampByte(l), ClampByte(s)};
}

template <int N>
const Swatch &PickSwatch(RandomState *r, const Swatch (&palette)[N])
{
    int total = 0;
    for (const Swatch &s : palette)
        total += s.weight;
    int roll = Random_Below(r, total);
    for (const Swatch &s : palette) {
        if (roll < s.weight)
            return s;
        roll -= s.weight;
    }
    return palette[N - 1];
}

int PickIndex(RandomState *r, const PtrList *list, int first = 0)
{
    int count = PtrList_Count(list) - first;
    return count > 0 ? first + Random_Below(r, count) : -1;
}

// Within luminance and saturation ranges in percent, any hue.
HlsColour AnyHue(RandomState *r, int lowL, int highL, int lowS, int highS)
{
    int l = lowL + Random_Below(r, highL - lowL + 1);
    int s = lowS + Random_Below(r, highS - lowS + 1);
    return {(uint8_t)Random_Below(r, 255), ClampByte(l * 255 / 100), ClampByte(s * 255 / 100)};
}

}  // namespace

void Random_Seed(RandomState *r, uint64_t seed)
{
    r->state = seed;
}

uint64_t Random_Next(RandomState *r)
{
    uint64_t z = (r->state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random_Below(RandomState *r, int bound)
{
    return bound > 0 ? (int)((Random_Next(r) >> 11) % (uint64_t)bound) : 0;
}

HlsColour RandomLook_BrowColour(HlsColour hair)
{
    return {hair.hue, (uint8_t)(hair.luminance * 3 / 4), hair.saturation};
}

void RandomLook_Roll(const PartCatalog *catalog, uint64_t seed, RandomLook *look)
{
    RandomState r;
    Random_Seed(&r, seed);
    *look = RandomLook();
    look->hair = PickIndex(&r, catalog->hairStyles);
    // Mostly the back hair of the same style; now and then another one.
    look->separateBackHair = Random_Below(&r, 4) == 0;
    look->backHair = look->separateBackHair ? PickIndex(&r, catalog->hairStyles) : look->hair;
    look->eye = PickIndex(&r, catalog->eyeShapes);
    look->brow = PickIndex(&r, catalog->browShapes);
    look->mouth = PickIndex(&r, catalog->mouthShapes);

    look->hairColour = Jitter(&r, FromSwatch(PickSwatch(&r, HAIR_PALETTE)), 3, 10, 15);
    look->eyeColour = Jitter(&r, FromSwatch(PickSwatch(&r, EYE_PALETTE)), 4, 10, 15);
    look->browColour = RandomLook_BrowColour(look->hairColour);
    look->mouthColour = Jitter(&r, FromSwatch(LIP_COLOUR), 5, 12, 20);

    look->dress = PickIndex(&r, catalog->dresses);
    look->dressColour = AnyHue(&r, 35, 70, 25, 75);
    // The first accessory entry is "none".
    int kinds = PtrList_Count(catalog->accessories) - 1;
    int roll = Random_Below(&r, 10);
    look->accessoryCount = kinds <= 0 ? 0 : roll < 4 ? 0 : roll < 8 ? 1 : RANDOM_ACCESSORY_MAX;
    if (look->accessoryCount > kinds)
        look->accessoryCount = kinds;
    for (int i = 0; i < look->accessoryCount; i++) {
        int kind;
        do
            kind = PickIndex(&r, catalog->accessories, 1);
        while (i > 0 && kind == look->accessoryKinds[0]);
        look->accessoryKinds[i] = kind;
        look->accessoryColours[i] = AnyHue(&r, 45, 70, 45, 90);
    }
}

Project *RandomLook_ToProject(const RandomLook *look, uint64_t seed)
{
    Project *p = Project_Create();
    DressStyle *style = p ? NewStyle() : nullptr;
    if (!style || PtrList_Add(p->styles, style) < 0) {
        FreeStyle(style);
        Project_Free(p);
        return nullptr;
    }
    char name[32];
    snprintf(name, sizeof name, "random%llu", (unsigned long long)seed);
    Style_SetText(&p->name, name);
    p->freeFolderFlag = 1;
    p->brow = {look->brow, nullptr};
    p->eye = {look->eye, nullptr};
    p->mouth = {look->mouth, nullptr};
    p->hair = {look->hair, nullptr};
    p->backHair = {look->backHair, nullptr};
    p->expression = {0, nullptr};
    p->browColour = look->browColour;
    p->eyeColour = look->eyeColour;
    p->mouthColour = look->mouthColour;
    p->hairColour = look->hairColour;
    p->separateBackHair = look->separateBackHair;
    p->hairDefaultColour = 0;  // keep the rolled hair colour

    Style_SetText(&style->name, "무작위");
    style->dress = look->dress;
    style->colour = look->dressColour;
    for (int i = 0; i < look->accessoryCount; i++) {
        AccessoryPlacement a = {};
        a.depth = RANDOM_ACCESSORY_DEPTH;
        a.kind = look->accessoryKinds[i];
        a.colour = look->accessoryColours[i];
        if (AccessorySet_Add(style->accessories, &a) < 0) {
            Project_Free(p);
            return nullptr;
        }
    }
    return p;
}

void RandomLook_ApplyToCharacter(const RandomLook *look, Character *ch)
{
    // The order of Project_Apply: colours before the choices that load with
    // them.
    Character_WriteSlot(ch, ID_BROW, look->browColour);
    Character_ChooseBrow(ch, look->brow);
    Character_WriteSlot(ch, ID_EYE, look->eyeColour);
    Character_ChooseEye(ch, look->eye);
    Character_WriteSlot(ch, ID_MOUTH, look->mouthColour);
    Character_ChooseMouth(ch, look->mouth);
    Character_ChooseHair(ch, look->hair, look->backHair, look->hairColour, look->separateBackHair, 0);
}
