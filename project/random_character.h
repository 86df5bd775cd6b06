// Seeded random characters: part choices and colours drawn from the
// catalogue so that the same seed and data tree always give the same
// character, with colours that look chosen rather than noise (hair and eyes
// from natural and common anime palettes, brows following the hair, lips
// near a lip colour, clothes in moderate saturation).
#pragma once

#include <cstdint>

#include "catalog/part_catalog.h"
#include "editor/character.h"
#include "project/project.h"

// Accessories sit in front of the front hair and the dress (behind the
// face parts): where a hair ornament or a ribbon belongs.
enum { RANDOM_ACCESSORY_MAX = 2, RANDOM_ACCESSORY_DEPTH = 4 };

// One roll of the dice: indices into the catalogue lists (-1 when a list is
// empty) and colours. The expression is left to the caller.
struct RandomLook {
    int32_t brow, eye, mouth, hair, backHair;
    int32_t separateBackHair;
    HlsColour browColour, eyeColour, mouthColour, hairColour;
    int32_t dress;
    HlsColour dressColour;
    int32_t accessoryCount;
    int32_t accessoryKinds[RANDOM_ACCESSORY_MAX];  // never the "none" entry
    HlsColour accessoryColours[RANDOM_ACCESSORY_MAX];
};

// The small generator behind the rolls (splitmix64): the same on every
// platform and compiler, unlike the standard library's distributions.
struct RandomState {
    uint64_t state;
};
void Random_Seed(RandomState *r, uint64_t seed);
uint64_t Random_Next(RandomState *r);
// 0 <= result < bound (bound > 0).
int Random_Below(RandomState *r, int bound);

// Brows follow the hair, a shade darker, as they do in life and in drawings.
HlsColour RandomLook_BrowColour(HlsColour hair);
// Rolls a look for `seed` over `catalog`.
void RandomLook_Roll(const PartCatalog *catalog, uint64_t seed, RandomLook *look);
// A project of the look: name "random<seed>", expression 0, the hair's own
// colour not applied, one exported style "무작위" (folder "default") wearing
// the dress and accessories. nullptr when memory runs out.
Project *RandomLook_ToProject(const RandomLook *look, uint64_t seed);
// Gives the character the look's parts and colours, the way applying a
// project does, but keeps its name, its expression and the dress styles (the
// look's dress and accessories are not used): what "random character" does
// to the character being edited. The hair's own colour is not applied.
void RandomLook_ApplyToCharacter(const RandomLook *look, Character *ch);
