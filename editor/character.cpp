// The character's layers, colour slots, image naming and part choices.
#include "editor/character.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "catalog/data_tree.h"
#include "core/services/filesys.h"
#include "core/util.h"
#include "layers/image_request.h"
#include "layers/tint.h"

// Slots in creation order; the same order creates the top-level layers.
static const ColourSlot SLOT_TABLE[CHARACTER_SLOT_COUNT] = {
    {ID_HAIR, {0, 128, 255}, "머리 모양"},
    {ID_DRESS, {0, 128, 255}, "복장"},
    {ID_EYE, {0, 128, 255}, "눈"},
    {ID_BROW, {0, 128, 255}, "눈썹"},
    {ID_MOUTH, {0, 128, 255}, "입"},
    {ID_BASE, {0, 128, 255}, "베이스"},
    {ID_CHEEK, {0, 128, 255}, "볼"},
    {ID_HAIR_ACCESSORY, {0, 128, 255}, "헤어 악세서리"},
};

// Children of each group, bottom to top.
struct GroupChildren {
    int32_t parent, sub;  // sub 0: the group is top-level
    int32_t children[4];
};
static const GroupChildren TREE_TABLE[] = {
    {ID_HAIR, 0, {ID_BACK_HAIR, ID_FRONT_HAIR, 0, 0}},
    {ID_HAIR, ID_BACK_HAIR, {ID_IMAGE_B, ID_IMAGE_A, ID_HAIR_BAND, ID_IMAGE_H}},
    {ID_HAIR, ID_FRONT_HAIR, {ID_IMAGE_B, ID_IMAGE_A, ID_HAIR_BAND, ID_IMAGE_H}},
    {ID_DRESS, 0, {ID_IMAGE_C, ID_IMAGE_B, ID_IMAGE_A, 0}},
    {ID_EYE, 0, {ID_IMAGE_A, ID_IMAGE_B, ID_IMAGE_H, 0}},
    {ID_BROW, 0, {ID_IMAGE_C, ID_IMAGE_A, 0, 0}},
    {ID_MOUTH, 0, {ID_IMAGE_B, ID_IMAGE_A, ID_IMAGE_H, 0}},
};

// The depth list, front-most first, with the names the DRESS page shows.
struct DepthEntry {
    int32_t id, sub;
    const char *name;
};
static const DepthEntry DEPTH_TABLE[] = {
    {ID_MOUTH, 0, "입"},
    {ID_EYE, 0, "눈"},
    {ID_CHEEK, 0, "볼"},
    {ID_BROW, ID_IMAGE_A, "눈썹"},
    {ID_HAIR, ID_FRONT_HAIR, "앞머리"},
    {ID_DRESS, 0, "복장"},
    {ID_BROW, ID_IMAGE_C, "쌍커플"},
    {ID_BASE, 0, "피부"},
    {ID_HAIR, ID_BACK_HAIR, "뒷머리"},
};

void Character_BodyPath(const Character *ch, char *path)
{
    // Character_Init made sure that the data folder leaves room for this.
    strcpy(path, ch->dataFolder);
    strcat(path, DATA_BODY_PATH);
}

Layer *Character_FindLayer(const Character *ch, int32_t id, int32_t sub)
{
    Layer *layer = Layer_Find(ch->doc->root, id);
    return (layer && sub) ? Layer_Find(layer, sub) : layer;
}

static Layer *FindPath(const Character *ch, int32_t id, int32_t sub, int32_t leaf)
{
    Layer *layer = Character_FindLayer(ch, id, sub);
    return (layer && leaf) ? Layer_Find(layer, leaf) : layer;
}

int Character_SetName(Character *ch, const char *name)
{
    char *copy = Str_Dup(name ? name : "");
    if (!copy)
        return 0;
    free(ch->name);
    ch->name = copy;
    return 1;
}

static int FirstIndex(const PtrList *list)
{
    return PtrList_Count(list) > 0 ? 0 : -1;
}

int Character_Init(Character *ch, LayerDocument *doc, const PartCatalog *catalog, CharacterHooks hooks,
                   const char *dataFolder)
{
    memset(ch, 0, sizeof *ch);
    if (!dataFolder)
        dataFolder = ".\\data\\";
    if (strlen(dataFolder) + strlen(DATA_BODY_PATH) >= VOR_MAX_PATH)
        return 0;
    strcpy(ch->dataFolder, dataFolder);
    ch->doc = doc;
    ch->catalog = catalog;
    ch->hooks = hooks;
    memcpy(ch->slots, SLOT_TABLE, sizeof SLOT_TABLE);
    if (!Character_SetName(ch, "TEST"))
        return 0;
    for (const ColourSlot &slot : SLOT_TABLE)
        if (!Layer_CreateImage(slot.id, doc->root))
            return 0;
    char body[VOR_MAX_PATH];
    Character_BodyPath(ch, body);
    Canvas_QueueImage(doc, ImageRequest_Create(Character_FindLayer(ch, ID_BASE, 0), body, nullptr));
    for (const GroupChildren &g : TREE_TABLE) {
        Layer *parent = Character_FindLayer(ch, g.parent, g.sub);
        for (int32_t child : g.children)
            if (child && !Layer_CreateImage(child, parent))
                return 0;
    }
    for (const DepthEntry &e : DEPTH_TABLE) {
        Layer *layer = Character_FindLayer(ch, e.id, e.sub);
        if (!layer || PtrList_Add(doc->depthList, layer) < 0 || !Layer_SetName(layer, e.name))
            return 0;
    }
    ch->brow = FirstIndex(catalog->browShapes);
    ch->eye = FirstIndex(catalog->eyeShapes);
    ch->cheek = FirstIndex(catalog->cheekShapes);
    ch->mouth = FirstIndex(catalog->mouthShapes);
    ch->frontHair = ch->backHair = FirstIndex(catalog->hairStyles);
    ch->expression = FirstIndex(catalog->expressions);
    return 1;
}

void Character_Release(Character *ch)
{
    free(ch->name);
    ch->name = nullptr;
    for (char *&key : ch->unknownKey) {
        free(key);
        key = nullptr;
    }
}

void Character_KeepUnknownKey(Character *ch, int choice, const char *key)
{
    if (choice < 0 || choice >= CHOICE_COUNT)
        return;
    free(ch->unknownKey[choice]);
    ch->unknownKey[choice] = key ? Str_Dup(key) : nullptr;
}

static void Forget(Character *ch, int choice)
{
    Character_KeepUnknownKey(ch, choice, nullptr);
}

static ColourSlot *FindSlot(Character *ch, int32_t id)
{
    for (ColourSlot &slot : ch->slots)
        if (slot.id == id)
            return &slot;
    return nullptr;
}

void Character_ReadSlot(const Character *ch, int32_t id, HlsColour *colour)
{
    if (id == ID_DRESS) {
        *colour = HLS_DEFAULT;
        return;
    }
    for (const ColourSlot &slot : ch->slots)
        if (slot.id == id)
            *colour = slot.colour;
}

void Character_WriteSlot(Character *ch, int32_t id, HlsColour colour)
{
    if (id == ID_DRESS)
        return;
    if (ColourSlot *slot = FindSlot(ch, id))
        slot->colour = colour;
}

static void Refresh(Character *ch)
{
    if (ch->hooks.refresh)
        ch->hooks.refresh(ch->hooks.context);
}

// Queues `folder` + `name` (or nothing but an empty path when the entry is
// missing, which empties the layer) into `layer`, with or without colour.
static void QueueInto(Character *ch, Layer *layer, const PartEntry *entry, const char *name,
                      const HlsColour *colour)
{
    if (!layer)
        return;
    char path[VOR_MAX_PATH] = "";
    if (entry) {
        if (strlen(entry->path) >= VOR_MAX_PATH)
            return;
        strcpy(path, entry->path);
        if (!FilePath_SetName(path, name))
            path[0] = 0;
    }
    Canvas_QueueImage(ch->doc, ImageRequest_Create(layer, path, colour));
}

static const PartEntry *EntryAt(const PtrList *list, int index)
{
    return (const PartEntry *)PtrList_Get(list, index);
}

static void LoadHair(Character *ch, int hair, int32_t group, const char *side)
{
    HlsColour hairColour = HLS_DEFAULT, bandColour = HLS_DEFAULT;
    Character_ReadSlot(ch, ID_HAIR, &hairColour);
    Character_ReadSlot(ch, ID_HAIR_ACCESSORY, &bandColour);
    const PartEntry *entry = EntryAt(ch->catalog->hairStyles, hair);
    struct {
        const char *suffix;
        int32_t leaf;
        const HlsColour *colour;
    } files[] = {{DATA_IMAGE_H, ID_IMAGE_H, nullptr},
                 {DATA_IMAGE_A, ID_IMAGE_A, &hairColour},
                 {DATA_IMAGE_B, ID_IMAGE_B, nullptr},
                 {DATA_IMAGE_D, ID_HAIR_BAND, &bandColour}};
    for (const auto &f : files) {
        char name[VOR_MAX_PATH];
        snprintf(name, sizeof name, "%s\\%s%s", side, entry ? entry->folder : "", f.suffix);
        QueueInto(ch, FindPath(ch, ID_HAIR, group, f.leaf), entry, name, f.colour);
    }
    Refresh(ch);
}

void LoadFrontHair(Character *ch, int hair)
{
    LoadHair(ch, hair, ID_FRONT_HAIR, DATA_HAIR_FRONT);
}

void LoadBackHair(Character *ch, int hair)
{
    LoadHair(ch, hair, ID_BACK_HAIR, DATA_HAIR_BACK);
}

// One face part for one expression: `files` lists suffix, target leaf and
// whether the part's slot colour applies.
struct FaceFile {
    const char *suffix;
    int32_t leaf;  // 0: the group layer itself
    int coloured;
};

// `frame` (DATA_FRAME_CLOSED, DATA_FRAME_TALK or "") goes between the
// expression and the suffix.
static void LoadFace(Character *ch, const PtrList *list, int index, int expression, int32_t group,
                     const FaceFile *files, int fileCount, const char *frame = "")
{
    HlsColour colour = HLS_DEFAULT;
    Character_ReadSlot(ch, group, &colour);
    const PartEntry *entry = EntryAt(list, index);
    const PartEntry *expr = EntryAt(ch->catalog->expressions, expression);
    if (!expr)
        entry = nullptr;
    for (int i = 0; i < fileCount; i++) {
        char name[VOR_MAX_PATH];
        snprintf(name, sizeof name, "%s%s%s", expr ? expr->folder : "", frame, files[i].suffix);
        QueueInto(ch, FindPath(ch, group, 0, files[i].leaf), entry, name,
                  files[i].coloured ? &colour : nullptr);
    }
    Refresh(ch);
}

// The eyes' and the mouth's three layers, the same for their frames.
static const FaceFile kEyeFiles[] = {
    {DATA_IMAGE_A, ID_IMAGE_A, 1}, {DATA_IMAGE_B, ID_IMAGE_B, 0}, {DATA_IMAGE_H, ID_IMAGE_H, 0}};
static const FaceFile kMouthFiles[] = {
    {DATA_IMAGE_A, ID_IMAGE_A, 1}, {DATA_IMAGE_B, ID_IMAGE_B, 0}, {DATA_IMAGE_H, ID_IMAGE_H, 0}};

void LoadEyes(Character *ch, int eye, int expression)
{
    LoadFace(ch, ch->catalog->eyeShapes, eye, expression, ID_EYE, kEyeFiles, 3);
}

void LoadMouth(Character *ch, int mouth, int expression)
{
    LoadFace(ch, ch->catalog->mouthShapes, mouth, expression, ID_MOUTH, kMouthFiles, 3);
}

void LoadEyesClosed(Character *ch, int eye, int expression)
{
    LoadFace(ch, ch->catalog->eyeShapes, eye, expression, ID_EYE, kEyeFiles, 3, DATA_FRAME_CLOSED);
}

void LoadMouthTalking(Character *ch, int mouth, int expression)
{
    LoadFace(ch, ch->catalog->mouthShapes, mouth, expression, ID_MOUTH, kMouthFiles, 3, DATA_FRAME_TALK);
}

void LoadBrows(Character *ch, int brow, int expression)
{
    static const FaceFile files[] = {{DATA_IMAGE_A, ID_IMAGE_A, 1}, {DATA_IMAGE_B, ID_IMAGE_C, 0}};
    LoadFace(ch, ch->catalog->browShapes, brow, expression, ID_BROW, files, 2);
}

void LoadCheeks(Character *ch, int cheek, int expression)
{
    static const FaceFile files[] = {{DATA_IMAGE_B, 0, 0}};
    LoadFace(ch, ch->catalog->cheekShapes, cheek, expression, ID_CHEEK, files, 1);
}

void Character_ChooseBackHair(Character *ch, int hair)
{
    Forget(ch, CHOICE_BACK_HAIR);
    ch->backHair = hair;
    LoadBackHair(ch, hair);
}

void Character_ChooseHair(Character *ch, int front, int back, HlsColour colour, int separateBack,
                          int ownColour)
{
    ch->hairDefaultColour = ownColour ? 1 : 0;
    Character_WriteSlot(ch, ID_HAIR, colour);
    ch->separateBackHair = separateBack ? 1 : 0;
    Character_ChooseFrontHair(ch, front);
    ch->separateBackHair = separateBack ? 1 : 0;
    Character_ChooseBackHair(ch, back);
}

void Character_ChooseFrontHair(Character *ch, int hair)
{
    Forget(ch, CHOICE_FRONT_HAIR);
    ch->frontHair = hair;
    const PartEntry *entry = EntryAt(ch->catalog->hairStyles, hair);
    if (ch->hairDefaultColour && entry)
        Character_WriteSlot(ch, ID_HAIR, entry->color);
    LoadFrontHair(ch, hair);
    if (!ch->separateBackHair)
        Character_ChooseBackHair(ch, hair);
    else if (ch->hairDefaultColour)
        Character_ChooseBackHair(ch, ch->backHair);
}

void Character_ChooseEye(Character *ch, int eye)
{
    Forget(ch, CHOICE_EYE);
    ch->eye = eye;
    LoadEyes(ch, eye, ch->expression);
}

void Character_ChooseBrow(Character *ch, int brow)
{
    Forget(ch, CHOICE_BROW);
    ch->brow = brow;
    LoadBrows(ch, brow, ch->expression);
}

void Character_ChooseMouth(Character *ch, int mouth)
{
    Forget(ch, CHOICE_MOUTH);
    ch->mouth = mouth;
    LoadMouth(ch, mouth, ch->expression);
}

void Character_ChooseCheek(Character *ch, int cheek)
{
    ch->cheek = cheek;
    LoadCheeks(ch, cheek, ch->expression);
}

void Character_ChooseExpression(Character *ch, int expression)
{
    Forget(ch, CHOICE_EXPRESSION);
    ch->expression = expression;
    // The face parts stay chosen (an unknown part stays unknown); only their
    // images change with the expression.
    LoadCheeks(ch, ch->cheek, expression);
    LoadBrows(ch, ch->brow, expression);
    LoadEyes(ch, ch->eye, expression);
    LoadMouth(ch, ch->mouth, expression);
}

void Character_SetSeparateBackHair(Character *ch, int separate)
{
    ch->separateBackHair = separate ? 1 : 0;
    if (!ch->separateBackHair && ch->backHair != ch->frontHair)
        Character_ChooseBackHair(ch, ch->frontHair);
}

void Character_SetHairDefaultColour(Character *ch, int apply)
{
    ch->hairDefaultColour = apply ? 1 : 0;
    if (ch->hairDefaultColour)
        Character_ChooseFrontHair(ch, ch->frontHair);
}

int Character_HasHairBand(const Character *ch)
{
    for (int32_t group : {ID_FRONT_HAIR, ID_BACK_HAIR}) {
        LayerImage *li = Layer_GetImage(FindPath(ch, ID_HAIR, group, ID_HAIR_BAND));
        if (li && li->image)
            return 1;
    }
    return 0;
}
