// Dress styles, accessory slots and the accessories in the layer document.
#include "editor/wardrobe.h"

#include <cstdio>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <initializer_list>

#include "catalog/data_tree.h"
#include "core/services/filesys.h"
#include "core/util.h"
#include "layers/image_request.h"
#include "layers/tint.h"

int IsAccessoryId(int32_t id)
{
    return id >= ID_ACCESSORY_FIRST && id <= ID_ACCESSORY_LAST;
}

static void Slot_Free(AccessorySlot *slot)
{
    free(slot->key);
    memset(slot, 0, sizeof *slot);
}

int Wardrobe_Init(Wardrobe *w)
{
    memset(w, 0, sizeof *w);
    w->selected = w->shown = -1;
    w->depthSelection = 0;
    w->styles = PtrList_Create(0, 8);
    return w->styles != nullptr;
}

void Wardrobe_ClearStyles(Wardrobe *w)
{
    PtrList_Reset(w->styles, FreeStyleItem);
    w->selected = w->shown = -1;
}

void Wardrobe_Release(Wardrobe *w)
{
    ClearSlots(w);
    PtrList_Destroy(w->styles, FreeStyleItem);
    w->styles = nullptr;
}

DressStyle *Wardrobe_StyleAt(const Wardrobe *w, int index)
{
    return (DressStyle *)PtrList_Get(w->styles, index);
}

void ClearSlots(Wardrobe *w)
{
    for (AccessorySlot &slot : w->slots)
        Slot_Free(&slot);
    w->slotCount = 0;
}

int Wardrobe_FreeSlot(const Wardrobe *w)
{
    for (int k = 0; k < ACCESSORY_SLOT_COUNT; k++)
        if (!w->slots[k].inUse)
            return k;
    return -1;
}

static void Refresh(Character *ch)
{
    if (ch->hooks.refresh)
        ch->hooks.refresh(ch->hooks.context);
}

static const PartEntry *EntryAt(const PtrList *list, int index)
{
    return (const PartEntry *)PtrList_Get(list, index);
}

// Queues `entry.path + entry.folder + suffix` into `layer` (an empty path,
// which empties the layer, when the entry is unknown). Returns whether the
// file exists.
static int QueuePart(Character *ch, Layer *layer, const PartEntry *entry, const char *suffix,
                     const HlsColour *colour)
{
    if (!layer)
        return 0;
    char path[VOR_MAX_PATH] = "";
    if (entry) {
        char name[VOR_MAX_PATH];
        snprintf(name, sizeof name, "%s%s", entry->folder, suffix);
        if (strlen(entry->path) < VOR_MAX_PATH) {
            strcpy(path, entry->path);
            if (!FilePath_SetName(path, name))
                path[0] = 0;
        }
    }
    return Canvas_QueueImage(ch->doc, ImageRequest_Create(layer, path, colour));
}

static void NameAccessory(Layer *layer, const PartEntry *entry, const char *key)
{
    char name[512];
    snprintf(name, sizeof name, "착 용 - %s", entry ? entry->name : (key ? key : ""));
    Layer_SetName(layer, name);
}

// Queues the three images of an accessory kind; returns 1 when "_a" or "_c" exists.
static int QueueAccessoryImages(Character *ch, Layer *layer, const PartEntry *entry, HlsColour colour)
{
    int a = QueuePart(ch, Layer_Find(layer, ID_IMAGE_A), entry, DATA_IMAGE_A, &colour);
    QueuePart(ch, Layer_Find(layer, ID_IMAGE_B), entry, DATA_IMAGE_B, nullptr);
    int c = QueuePart(ch, Layer_Find(layer, ID_IMAGE_C_TINTED), entry, DATA_IMAGE_C, &colour);
    return a || c;
}

Layer *CreateAccessoryLayer(Character *ch, Wardrobe *w, const AccessoryPlacement *p)
{
    int k = Wardrobe_FreeSlot(w);
    if (k < 0)
        return nullptr;
    Layer *layer = Layer_CreateImage(ID_ACCESSORY_FIRST + k, ch->doc->root);
    if (!layer)
        return nullptr;
    for (int32_t child : {ID_IMAGE_A, ID_IMAGE_B, ID_IMAGE_C_TINTED})
        Layer_CreateImage(child, layer);
    Rect_SetSize(&layer->rect, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    Layer_MoveTo(layer, p->position.x, p->position.y);

    AccessorySlot *slot = &w->slots[k];
    slot->inUse = 1;
    slot->kind = p->kind;
    slot->colour = p->colour;
    slot->position = p->position;
    slot->key = (p->kind < 0 && p->key) ? Str_Dup(p->key) : nullptr;
    w->slotCount++;

    const PartEntry *entry = EntryAt(ch->catalog->accessories, p->kind);
    NameAccessory(layer, entry, slot->key);
    if (entry)
        QueueAccessoryImages(ch, layer, entry, p->colour);
    return layer;
}

// Undoes CreateAccessoryLayer for a layer that never reached the depth list.
static void DiscardAccessoryLayer(Wardrobe *w, Layer *layer)
{
    Slot_Free(&w->slots[layer->id - ID_ACCESSORY_FIRST]);
    w->slotCount--;
    Layer_Destroy(layer);
}

// Inserts an accessory's layer into the depth list. PtrList_InsertAt returns
// the index it was given even when the list could not grow, so the count is
// what tells; a layer left out is discarded with its slot. Returns 0 then.
static int InsertAccessoryLayer(Character *ch, Wardrobe *w, int at, Layer *layer)
{
    PtrList *depth = ch->doc->depthList;
    int before = PtrList_Count(depth);
    PtrList_InsertAt(depth, at, layer);
    if (PtrList_Count(depth) > before)
        return 1;
    DiscardAccessoryLayer(w, layer);
    return 0;
}

AccessorySet *CaptureAccessories(Character *ch, Wardrobe *w)
{
    AccessorySet *set = AccessorySet_Create(w->depthSelection);
    if (!set)
        return nullptr;
    int fixedInFront = 0;
    PtrList *depth = ch->doc->depthList;
    for (int i = 0; i < PtrList_Count(depth); i++) {
        Layer *layer = (Layer *)PtrList_Get(depth, i);
        int32_t id = layer->id;
        if (!IsAccessoryId(id) || !w->slots[id - ID_ACCESSORY_FIRST].inUse) {
            fixedInFront++;
            continue;
        }
        const AccessorySlot &slot = w->slots[id - ID_ACCESSORY_FIRST];
        AccessoryPlacement p = {};
        p.depth = fixedInFront;
        p.kind = slot.kind;
        p.colour = slot.colour;
        p.position = {layer->rect.left, layer->rect.top};
        p.key = slot.key;
        AccessorySet_Add(set, &p);
        Debug_Print("%d : %s, pos = %d,%d\n", i, layer->name ? layer->name : "", p.position.x, p.position.y);
    }
    return set;
}

static void TraceDepthEntry(int index, Layer *layer)
{
    Layer *sub = Layer_Find(layer, ID_IMAGE_A);
    LayerImage *li = Layer_GetImage(sub ? sub : layer);
    HlsColour c = li ? li->colour : HlsColour{0, 0, 0};
    Debug_Print("%d : ID=%d : HLS:%x,%x,%x : %s>\n", index, layer->id, c.hue, c.luminance, c.saturation,
                layer->name ? layer->name : "");
}

void Wardrobe_SelectDepthEntry(Character *ch, Wardrobe *w, int index)
{
    w->depthSelection = index;
    Layer *layer = (Layer *)PtrList_Get(ch->doc->depthList, index);
    Canvas_SelectLayer(ch->doc, (layer && IsAccessoryId(layer->id)) ? layer->id : -1);
}

void ApplyAccessories(Character *ch, Wardrobe *w, const AccessorySet *set)
{
    ClearSlots(w);
    PtrList *depth = ch->doc->depthList;
    for (int i = 0; i < PtrList_Count(depth);) {
        Layer *layer = (Layer *)PtrList_Get(depth, i);
        if (IsAccessoryId(layer->id))
            PtrList_RemoveAt(depth, i, Layer_DestroyItem);
        else
            i++;
    }
    for (int i = 0; i < AccessorySet_Count(set); i++) {
        const AccessoryPlacement *p = AccessorySet_Get(set, i);
        Layer *layer = CreateAccessoryLayer(ch, w, p);
        if (!layer)
            break;
        Layer_MoveTo(layer, p->position.x, p->position.y);
        // The depth comes from a project file and may be any 32-bit number.
        long long at = (long long)i + p->depth;
        if (!InsertAccessoryLayer(ch, w, at > INT_MAX ? INT_MAX : (int)at, layer))
            break;
        TraceDepthEntry(i, layer);
    }
    Wardrobe_SelectDepthEntry(ch, w, set ? set->selection : 0);
    for (int i = 0; i < PtrList_Count(depth); i++)
        TraceDepthEntry(i, (Layer *)PtrList_Get(depth, i));
    Refresh(ch);
}

int LoadStyleDress(Character *ch, const DressStyle *style)
{
    const PartEntry *dress = EntryAt(ch->catalog->dresses, style->dress);
    Layer *group = Character_FindLayer(ch, ID_DRESS, 0);
    Layer *body = Character_FindLayer(ch, ID_BASE, 0);
    if (dress) {
        char path[VOR_MAX_PATH] = "";
        if (strlen(dress->path) < VOR_MAX_PATH) {
            strcpy(path, dress->path);
            if (!FilePath_SetName(path, DATA_BODY_IMAGE))
                path[0] = 0;
        }
        Canvas_QueueImage(ch->doc, ImageRequest_Create(body, path, nullptr));
    } else {
        // A dress whose part pack is missing: the plain body, no dress.
        char path[VOR_MAX_PATH];
        Character_BodyPath(ch, path);
        Canvas_QueueImage(ch->doc, ImageRequest_Create(body, path, nullptr));
    }
    int hasColourImage = QueuePart(ch, Layer_Find(group, ID_IMAGE_A), dress, DATA_IMAGE_A, &style->colour);
    QueuePart(ch, Layer_Find(group, ID_IMAGE_B), dress, DATA_IMAGE_B, nullptr);
    QueuePart(ch, Layer_Find(group, ID_IMAGE_C), dress, DATA_IMAGE_C, nullptr);
    Refresh(ch);
    return hasColourImage;
}

int Wardrobe_ShowStyle(Character *ch, Wardrobe *w, int index)
{
    DressStyle *style = Wardrobe_StyleAt(w, index);
    if (!style)
        return -1;
    w->selected = index;
    DressStyle *leaving = Wardrobe_StyleAt(w, w->shown);
    if (leaving) {
        AccessorySet *captured = CaptureAccessories(ch, w);
        if (captured) {
            AccessorySet_Free(leaving->accessories);
            leaving->accessories = captured;
        }
    }
    w->shown = index;
    ApplyAccessories(ch, w, style->accessories);
    return LoadStyleDress(ch, style);
}

Layer *Wardrobe_AddAccessory(Character *ch, Wardrobe *w)
{
    AccessoryPlacement p = {};
    p.kind = 0;
    p.colour = HLS_DEFAULT;
    Layer *layer = CreateAccessoryLayer(ch, w, &p);
    if (!layer)
        return nullptr;
    int at = w->depthSelection < 0 ? 0 : w->depthSelection;
    if (!InsertAccessoryLayer(ch, w, at, layer))
        return nullptr;
    Refresh(ch);
    return layer;
}

int Wardrobe_RemoveAccessory(Character *ch, Wardrobe *w, int index)
{
    Layer *layer = (Layer *)PtrList_Get(ch->doc->depthList, index);
    if (!layer || !IsAccessoryId(layer->id))
        return 0;
    int32_t id = layer->id;
    Slot_Free(&w->slots[id - ID_ACCESSORY_FIRST]);
    w->slotCount--;
    // Destroying the layer also forgets its queued image requests.
    PtrList_RemoveAt(ch->doc->depthList, index, Layer_DestroyItem);
    if (ch->doc->selectedId == id)
        Canvas_SelectLayer(ch->doc, -1);
    Refresh(ch);
    return 1;
}

int Wardrobe_SetAccessoryKind(Character *ch, Wardrobe *w, int index, int kind)
{
    Layer *layer = (Layer *)PtrList_Get(ch->doc->depthList, index);
    const PartEntry *entry = EntryAt(ch->catalog->accessories, kind);
    if (!layer || !IsAccessoryId(layer->id) || !entry)
        return 0;
    AccessorySlot *slot = &w->slots[layer->id - ID_ACCESSORY_FIRST];
    NameAccessory(layer, entry, nullptr);
    slot->colour = entry->color;
    slot->kind = kind;
    free(slot->key);
    slot->key = nullptr;
    int colourable = QueueAccessoryImages(ch, layer, entry, slot->colour);
    Refresh(ch);
    return colourable;
}

void ApplySlotColour(Character *ch, Wardrobe *w, int32_t id, HlsColour colour, int dressPageVisible)
{
    if (IsAccessoryId(id)) {
        AccessorySlot *slot = &w->slots[id - ID_ACCESSORY_FIRST];
        Layer *layer = Character_FindLayer(ch, id, 0);
        if (slot->inUse && layer) {
            slot->colour = colour;
            Layer_SetColor(Layer_Find(layer, ID_IMAGE_A), colour);
            Layer_SetColor(Layer_Find(layer, ID_IMAGE_C_TINTED), colour);
        }
    } else if (id == ID_DRESS && dressPageVisible) {
        DressStyle *style = Wardrobe_StyleAt(w, w->selected);
        if (style)
            style->colour = colour;
        Layer_SetColor(Character_FindLayer(ch, ID_DRESS, ID_IMAGE_A), colour);
    } else {
        Character_WriteSlot(ch, id, colour);
        switch (id) {
        case ID_HAIR:
            Layer_SetColor(Layer_Find(Character_FindLayer(ch, ID_HAIR, ID_BACK_HAIR), ID_IMAGE_A), colour);
            Layer_SetColor(Layer_Find(Character_FindLayer(ch, ID_HAIR, ID_FRONT_HAIR), ID_IMAGE_A), colour);
            break;
        case ID_HAIR_ACCESSORY:
            Layer_SetColor(Layer_Find(Character_FindLayer(ch, ID_HAIR, ID_BACK_HAIR), ID_HAIR_BAND), colour);
            Layer_SetColor(Layer_Find(Character_FindLayer(ch, ID_HAIR, ID_FRONT_HAIR), ID_HAIR_BAND), colour);
            break;
        case ID_BROW:
        case ID_EYE:
        case ID_MOUTH:
        case ID_DRESS:
            Layer_SetColor(Character_FindLayer(ch, id, ID_IMAGE_A), colour);
            break;
        }
    }
    Refresh(ch);
}
