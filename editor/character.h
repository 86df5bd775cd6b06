// The character: its layers in the layer document, its colour slots and its
// part choices, and the rules that turn a choice into image requests.
//
// The pages show this record and drive it through the Character_* and
// Load* functions; the headless export drives the same functions, so the
// program and vor-cli always build the same picture. Every load queues image
// requests and then asks for a refresh through the hooks (the canvas starts a
// load pass; the export loads synchronously before it composes).
#pragma once

#include <cstdint>

#include "catalog/part_catalog.h"
#include "core/imaging/file.h"
#include "layers/document.h"
#include "layers/hls.h"

enum CharacterLayerId {
    ID_BASE = 2001,
    ID_BROW = 2002,
    ID_EYE = 2003,
    ID_MOUTH = 2004,
    ID_HAIR = 2005,
    ID_DRESS = 2006,
    ID_HAIR_BAND = 2007,
    ID_CHEEK = 2008,
    ID_HAIR_ACCESSORY = 2009,
    ID_FRONT_HAIR = 2016,
    ID_BACK_HAIR = 2017,
    ID_IMAGE_H = 2018,
    ID_IMAGE_A = 2019,
    ID_IMAGE_C_TINTED = 2020,
    ID_IMAGE_B = 2021,
    ID_IMAGE_C = 2022,
    ID_ACCESSORY_FIRST = 2100,
    ID_ACCESSORY_LAST = 2131,
};

enum { CHARACTER_SLOT_COUNT = 8, CHARACTER_NAME_MAX = 1024 };

struct ColourSlot {
    int32_t id;        // the layer id it colours
    HlsColour colour;
    const char *name;  // internal name, never shown
};

struct CharacterHooks {
    void *context;
    // Start loading what was queued and compose (the canvas's refresh).
    void (*refresh)(void *context);
};

// The choices a project names by folder key.
enum CharacterChoice {
    CHOICE_BROW, CHOICE_EYE, CHOICE_MOUTH, CHOICE_FRONT_HAIR, CHOICE_BACK_HAIR, CHOICE_EXPRESSION,
    CHOICE_COUNT
};

struct Character {
    LayerDocument *doc;          // not owned
    const PartCatalog *catalog;  // not owned
    CharacterHooks hooks;
    char dataFolder[VOR_MAX_PATH]; // the data tree, ending with `\` (".\\data\\")
    ColourSlot slots[CHARACTER_SLOT_COUNT];
    char *name;                  // owned character name
    // Indices into the catalogue lists; -1 = nothing chosen (or unknown).
    int32_t brow, eye, mouth, frontHair, backHair, cheek, expression;
    int32_t separateBackHair;    // the back hair is chosen on its own
    int32_t hairDefaultColour;   // choosing a hair applies the hair's own colour
    // The folder key a project named for a choice that is not in the
    // catalogue (the choice is -1), kept so that saving writes it back;
    // cleared by the next choice of that part.
    char *unknownKey[CHOICE_COUNT];
};

// Builds the character's layers, slots and depth list in an empty document
// and queues the start-up body; loads nothing yet. Selections start at 0 (or
// -1 for an empty list), name "TEST". `dataFolder` is the data tree the
// catalogue was read from, ending with `\` (nullptr: ".\\data\\"). Returns 0
// when memory runs out or the folder name is too long.
int Character_Init(Character *ch, LayerDocument *doc, const PartCatalog *catalog, CharacterHooks hooks,
                   const char *dataFolder);
// The path of the plain body image below the data tree.
void Character_BodyPath(const Character *ch, char *path);
// Frees what the record owns (not the document).
void Character_Release(Character *ch);
int Character_SetName(Character *ch, const char *name);

// Colour slots by layer id. Slot 2006 (the dress) always reads as the
// default colour and ignores writes; an unknown id leaves `*colour` as it was.
void Character_ReadSlot(const Character *ch, int32_t id, HlsColour *colour);
void Character_WriteSlot(Character *ch, int32_t id, HlsColour colour);

// The loads: queue the part's images for the entry at `index` of its list
// (an index outside the list empties the part's layers) and refresh.
void LoadFrontHair(Character *ch, int hair);
void LoadBackHair(Character *ch, int hair);
void LoadEyes(Character *ch, int eye, int expression);
void LoadMouth(Character *ch, int mouth, int expression);
void LoadBrows(Character *ch, int brow, int expression);
void LoadCheeks(Character *ch, int cheek, int expression);
// The frames of an eye or mouth shape (catalog/part_catalog.h) in place of
// the expression's own images, coloured the same: the eyes shut, the mouth
// open in speech. Only the animated exports load them, into a character of
// their own; the next LoadEyes or LoadMouth brings the still images back.
void LoadEyesClosed(Character *ch, int eye, int expression);
void LoadMouthTalking(Character *ch, int mouth, int expression);

// The choices, with the rules between them:
// - a front hair resets the hair colour to the hair's own colour while
//   hairDefaultColour is set, and the back hair follows the front hair
//   while separateBackHair is clear (otherwise it is reloaded in the new
//   colour when hairDefaultColour is set);
// - unsetting separateBackHair snaps the back hair to the front hair;
// - setting hairDefaultColour reapplies the front hair;
// - an expression reloads cheeks, brows, eyes and mouth, in this order.
void Character_ChooseFrontHair(Character *ch, int hair);
void Character_ChooseBackHair(Character *ch, int hair);
// Every hair setting at once, as a project or a random look brings them:
// the own-colour flag and the colour first, then the front hair with the
// separate-back-hair flag set around it, so that a separate back hair is not
// overwritten by the front one, then the back hair.
void Character_ChooseHair(Character *ch, int front, int back, HlsColour colour, int separateBack,
                          int ownColour);
void Character_ChooseEye(Character *ch, int eye);
void Character_ChooseBrow(Character *ch, int brow);
void Character_ChooseMouth(Character *ch, int mouth);
void Character_ChooseCheek(Character *ch, int cheek);
void Character_ChooseExpression(Character *ch, int expression);
void Character_SetSeparateBackHair(Character *ch, int separate);
void Character_SetHairDefaultColour(Character *ch, int apply);

// Remembers the key text of a choice that the catalogue does not know.
void Character_KeepUnknownKey(Character *ch, int choice, const char *key);

// The layer `id`/`sub` (sub 0 = the top-level layer itself), or nullptr.
Layer *Character_FindLayer(const Character *ch, int32_t id, int32_t sub);
// Whether either hair band layer holds an image (the band colour is usable).
int Character_HasHairBand(const Character *ch);
