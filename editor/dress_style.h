// Dress styles and their accessories: the records a character keeps per
// outfit, independent of any window.
//
// A style names a dress of the catalogue (by index), the dress colour, the
// accessories worn with it, its display name, the folder its exported images
// go to and its check state (1 = exported). Catalogue references are indices
// while the program runs; each record also keeps the folder key text it was
// read with, so a reference whose part pack is missing (index -1) is written
// back unchanged when the project is saved again.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "core/geometry.h"
#include "layers/hls.h"

enum {
    STYLE_UNCHECKED = 0,
    STYLE_CHECKED = 1,   // the only state that is exported
    STYLE_THIRD = 2,     // drawn with the third check picture, not exported
};

struct AccessoryPlacement {
    int32_t depth;    // fixed depth-list entries in front of it when captured
    int32_t kind;     // index into the accessory list; 0 = none, -1 = unknown key
    HlsColour colour; // of the "_a" and "_c" images
    Point position;   // top-left of the accessory layer, image pixels
    char *key;        // owned folder key as read or chosen; nullptr = take it from the catalogue
};

struct AccessorySet {
    int32_t selection;    // selected depth-list index when captured; -1 = none
    PtrList *placements;  // owned AccessoryPlacement, front-most first
};

struct DressStyle {
    int32_t dress;             // index into the dress list; -1 = unknown key
    HlsColour colour;          // dress colour ("_a" image)
    AccessorySet *accessories; // owned
    int32_t checkState;        // STYLE_UNCHECKED, STYLE_CHECKED or STYLE_THIRD
    char *name;                // owned display name
    char *outputFolder;        // owned export folder name
    char *dressKey;            // owned folder key as read; nullptr = take it from the catalogue
};

// Dress 0, colour (0, 128, 255), no accessories with selection 0, checked,
// named "미설정", output folder "default". nullptr when memory runs out.
DressStyle *NewStyle(void);
// A deep copy (accessories, texts and keys). nullptr when memory runs out.
DressStyle *CopyStyle(const DressStyle *style);
// Frees the style with everything it owns; nullptr is ignored.
void FreeStyle(DressStyle *style);
// FreeStyle as a list destructor.
void FreeStyleItem(void *style);

AccessorySet *AccessorySet_Create(int32_t selection);
AccessorySet *AccessorySet_Copy(const AccessorySet *set);
void AccessorySet_Free(AccessorySet *set);
// Appends a copy of the placement (its key duplicated). Returns its index or -1.
int AccessorySet_Add(AccessorySet *set, const AccessoryPlacement *placement);
int AccessorySet_Count(const AccessorySet *set);
AccessoryPlacement *AccessorySet_Get(const AccessorySet *set, int index);

// Replaces an owned text by a copy of `text` (nullptr clears it). 1 on success.
int Style_SetText(char **field, const char *text);

// Number of styles in the list whose check state is exactly STYLE_CHECKED.
int CountExportStyles(const PtrList *styles);
