// Taking the picture apart into its drawn parts. Each entry is drawn with
// Layer_Draw, the call the composition makes, onto a transparent scratch
// image, so a layer holds the very pixels the picture gets from that part.
#include "output/part_layers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "layers/render.h"

// The name the depth list shows for an entry: the layer's own name, except
// that an accessory goes by its part name (the list adds "착 용 - ").
static void PartLayer_Name(const Character *ch, const Wardrobe *w, const Layer *entry, char *name)
{
    const char *text = entry->name ? entry->name : "";
    if (w && IsAccessoryId(entry->id)) {
        const AccessorySlot *slot = &w->slots[entry->id - ID_ACCESSORY_FIRST];
        const PartEntry *part = (const PartEntry *)PtrList_Get(ch->catalog->accessories, slot->kind);
        if (part && part->name)
            text = part->name;
        else if (slot->key)
            text = slot->key;
    }
    snprintf(name, PART_LAYER_NAME_MAX, "%s", text);
}

// The box of pixels with non-zero alpha inside `within` (top-down), or an
// empty rectangle.
static Rect VisibleBox(const DIB *image, Rect within)
{
    Rect box = {within.right, within.bottom, within.left, within.top};
    for (int y = within.top; y < within.bottom; y++) {
        const unsigned char *row = DIB_RowTD(image, y);
        for (int x = within.left; x < within.right; x++) {
            if (!row[4 * x + 3])
                continue;
            if (x < box.left) box.left = x;
            if (x >= box.right) box.right = x + 1;
            if (y < box.top) box.top = y;
            box.bottom = y + 1;
        }
    }
    if (box.left >= box.right)
        Rect_Set(&box, 0, 0, 0, 0);
    return box;
}

// Where a layer subtree can draw: the union of its images' places, clipped
// to the picture.
static void DrawnArea(const Layer *layer, Rect *area)
{
    if (!layer || !(layer->flags & LAYER_VISIBLE))
        return;
    if (const LayerImage *content = Layer_GetImage(layer)) {
        if (content->image) {
            Rect at = Layer_AbsRect(layer);
            long long left = (long long)at.left + content->offset.x, top = (long long)at.top + content->offset.y;
            Rect r;
            Rect_Set(&r, Geometry_Saturate(left), Geometry_Saturate(top),
                     Geometry_Saturate(left + content->image->width), Geometry_Saturate(top + content->image->height));
            if (r.left < area->left) area->left = r.left;
            if (r.top < area->top) area->top = r.top;
            if (r.right > area->right) area->right = r.right;
            if (r.bottom > area->bottom) area->bottom = r.bottom;
        }
    }
    for (int i = 0; i < PtrList_Count(layer->children); i++)
        DrawnArea((const Layer *)PtrList_Get(layer->children, i), area);
}

// Cuts `r` to `bounds`; 0 when nothing is left.
static int ClipTo(Rect *r, Rect bounds)
{
    if (r->left < bounds.left) r->left = bounds.left;
    if (r->top < bounds.top) r->top = bounds.top;
    if (r->right > bounds.right) r->right = bounds.right;
    if (r->bottom > bounds.bottom) r->bottom = bounds.bottom;
    return r->left < r->right && r->top < r->bottom;
}

static void ClearRows(DIB *image, Rect area)
{
    for (int y = area.top; y < area.bottom; y++)
        memset(DIB_RowTD(image, y) + 4 * area.left, 0, 4 * (size_t)(area.right - area.left));
}

int PartLayers_Take(const Character *ch, const Wardrobe *w, PartLayers *out)
{
    memset(out, 0, sizeof *out);
    const LayerDocument *doc = ch->doc;
    out->width = doc->composed->width;
    out->height = doc->composed->height;
    int entries = PtrList_Count(doc->depthList);
    DIB *scratch = DIB_Create(32, out->width, out->height);
    out->layers = (PartLayer *)calloc(entries > 0 ? entries : 1, sizeof(PartLayer));
    if (!scratch || !out->layers) {
        DIB_Delete_(scratch);
        PartLayers_Free(out);
        return 0;
    }
    Rect picture;
    Rect_Set(&picture, 0, 0, out->width, out->height);
    for (int i = entries - 1; i >= 0; i--) {
        Layer *entry = (Layer *)PtrList_Get(doc->depthList, i);
        // Only where the entry's images lie is drawn, searched and cleared.
        Rect area = {picture.right, picture.bottom, picture.left, picture.top};
        DrawnArea(entry, &area);
        if (!ClipTo(&area, picture))
            continue;
        Layer_Draw(entry, scratch);
        Rect box = VisibleBox(scratch, area);
        if (box.right > box.left) {
            PartLayer *layer = &out->layers[out->count];
            layer->image = DIB_CreateRaw(32, box.right - box.left, box.bottom - box.top);
            if (!layer->image) {
                DIB_Delete_(scratch);
                PartLayers_Free(out);
                return 0;
            }
            DIB_Blt(layer->image, nullptr, scratch, &box);
            layer->offset.x = box.left;
            layer->offset.y = box.top;
            PartLayer_Name(ch, w, entry, layer->name);
            out->count++;
        }
        ClearRows(scratch, area);
    }
    DIB_Delete_(scratch);
    return 1;
}

void PartLayers_Free(PartLayers *layers)
{
    for (int i = 0; i < layers->count; i++)
        DIB_Delete_(layers->layers[i].image);
    free(layers->layers);
    memset(layers, 0, sizeof *layers);
}
