// The character's current picture taken apart for a paint program: one
// layer per drawn depth-list entry and one for each hair half's band, in
// paint order (the back-most first), each named as the DRESS page's depth
// list names it (an accessory by its part name, the band "머리끈"),
// recoloured exactly as the picture draws it and cut to the box of its
// visible pixels. Layered files (the formats beside each picture) are written from
// this; composing the layers in order over transparency gives the exported
// picture.
#pragma once

#include "core/geometry.h"
#include "core/imaging/dib.h"
#include "editor/character.h"
#include "editor/wardrobe.h"

enum { PART_LAYER_NAME_MAX = 256 };

// A hair half's band is a layer of its own, named as the CHARA page names
// its colour (CP949).
extern const char PART_LAYER_HAIR_BAND[];

struct PartLayer {
    char name[PART_LAYER_NAME_MAX];  // CP949, cut to 255 bytes
    DIB *image;                      // 32-bit straight alpha, the visible box only
    Point offset;                    // the box's top-left corner in the picture
};

struct PartLayers {
    PartLayer *layers;  // owned; paint order, the back-most first
    int count;
    int width, height;  // the picture's size
};

// Draws each depth-list entry of the character's document on its own into a
// transparent image of the picture's size and keeps what shows. Entries that
// draw nothing are left out. The images must be loaded (the picture is
// ready to compose). Returns 1, or 0 when memory runs out (`out` then
// empty).
int PartLayers_Take(const Character *ch, const Wardrobe *w, PartLayers *out);
void PartLayers_Free(PartLayers *layers);
