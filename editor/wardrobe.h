// The character's dress styles and the accessories currently worn.
//
// The wardrobe owns the style list and the table of 32 accessory slots that
// back the accessory layers 2100..2131 of the document. Showing a style
// captures the accessories of the style being left, puts the new style's
// accessories into the document and loads its dress. The DRESS page drives
// these functions and mirrors the result in its controls; the export and the
// project loading drive the same functions.
#pragma once

#include <cstdint>

#include "core/geometry.h"
#include "editor/character.h"
#include "editor/dress_style.h"

enum { ACCESSORY_SLOT_COUNT = 32 };

struct AccessorySlot {
    int32_t inUse;
    int32_t kind;      // index into the accessory list; -1 = unknown key
    HlsColour colour;
    Point position;
    char *key;         // owned key text for an unknown kind, else nullptr
};

struct Wardrobe {
    PtrList *styles;        // owned DressStyle, list order
    int32_t selected;       // the style list's selection; -1 none
    int32_t shown;          // style whose accessories are in the document; -1 none
    int32_t depthSelection; // the depth list's selection; -1 none
    AccessorySlot slots[ACCESSORY_SLOT_COUNT];
    int32_t slotCount;      // slots in use
};

int Wardrobe_Init(Wardrobe *w);
void Wardrobe_Release(Wardrobe *w);
// Frees every style and empties the list; nothing is shown afterwards.
void Wardrobe_ClearStyles(Wardrobe *w);
DressStyle *Wardrobe_StyleAt(const Wardrobe *w, int index);

// Marks every slot free.
void ClearSlots(Wardrobe *w);
// Lowest free slot, or -1.
int Wardrobe_FreeSlot(const Wardrobe *w);

// Takes the lowest free slot, fills it from the placement, creates the
// accessory layer (id 2100 + slot, children 2019, 2021, 2020, 360 x 480 at
// the placement's position), names it and queues its images. The layer is
// not put into the depth list. nullptr when no slot is free.
Layer *CreateAccessoryLayer(Character *ch, Wardrobe *w, const AccessoryPlacement *p);
// The accessories now in the document, front-most first, each with the
// number of fixed entries in front of it; records the depth selection.
AccessorySet *CaptureAccessories(Character *ch, Wardrobe *w);
// Replaces the accessories in the document by those of the set, restores
// the depth selection and selects its layer on the canvas when it is an
// accessory, then refreshes.
void ApplyAccessories(Character *ch, Wardrobe *w, const AccessorySet *set);
// Queues the style's dress (its body, "_a" in the style's colour, "_b",
// "_c") and refreshes. Returns 1 when the dress has an "_a" image.
int LoadStyleDress(Character *ch, const DressStyle *style);
// Makes style `index` the shown one: captures the accessories of the style
// shown so far, applies the new style's accessories and loads its dress.
// Returns LoadStyleDress's answer, or -1 when there is no such style.
int Wardrobe_ShowStyle(Character *ch, Wardrobe *w, int index);
// The depth-list selection changed: selects that entry's layer on the canvas
// when it is an accessory, else none.
void Wardrobe_SelectDepthEntry(Character *ch, Wardrobe *w, int index);
// Adds a new accessory of kind 0 at the depth selection (the add button).
// Returns the layer, or nullptr when all 32 slots are used or the depth list
// cannot grow (then nothing changed).
Layer *Wardrobe_AddAccessory(Character *ch, Wardrobe *w);
// Removes the accessory at depth index `index` with its layer and slot.
int Wardrobe_RemoveAccessory(Character *ch, Wardrobe *w, int index);
// Gives the accessory at depth index `index` another kind (its default
// colour) and reloads its images. Returns 1 when it has a colourable image.
int Wardrobe_SetAccessoryKind(Character *ch, Wardrobe *w, int index, int kind);

// The live colour rule of the colour dialogs: slot ids 2002..2009 write the
// character's slot and recolour its layers (2006 recolours the shown
// style's dress while the DRESS page is visible), 2100..2131 recolour an
// accessory. Refreshes afterwards.
void ApplySlotColour(Character *ch, Wardrobe *w, int32_t id, HlsColour colour, int dressPageVisible);

int IsAccessoryId(int32_t id);
