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

const char PART_LAYER_HAIR_BAND[] = "머리끈";

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

// What a paint program gets as one layer: an entry's own image and its
// children from `from` up to `to`, but for child `skip`.
struct Piece {
    Layer *entry;
    int from, to;
    bool own;
    int skip;  // -1: none
};

static void Piece_Draw(const Piece &piece, DIB *target)
{
    if (piece.own && piece.entry->drawHook)
        piece.entry->drawHook(piece.entry, target);
    for (int i = piece.from; i < piece.to; i++)
        if (i != piece.skip)
            Layer_Draw((Layer *)PtrList_Get(piece.entry->children, i), target);
}

// A picture being taken apart: the layers so far, and a transparent scratch
// image of the picture's size that each piece is drawn into and cleared from.
struct Taking {
    PartLayers *out;
    DIB *scratch;
    Rect picture;
};

// Where the entry's images lie, in the picture: only there is drawn,
// searched and cleared. 0 when that is nowhere.
static int Taking_Area(const Taking *t, const Layer *entry, Rect *area)
{
    Rect_Set(area, t->picture.right, t->picture.bottom, t->picture.left, t->picture.top);
    DrawnArea(entry, area);
    return ClipTo(area, t->picture);
}

// Draws a piece into the scratch image and keeps what shows as the next
// layer. Returns 0 when memory runs out.
static int Taking_Add(Taking *t, const Piece &piece, const char *name)
{
    Rect area;
    if (!Taking_Area(t, piece.entry, &area))
        return 1;
    Piece_Draw(piece, t->scratch);
    Rect box = VisibleBox(t->scratch, area);
    if (box.right > box.left) {
        PartLayer *layer = &t->out->layers[t->out->count];
        layer->image = DIB_CreateRaw(32, box.right - box.left, box.bottom - box.top);
        if (!layer->image)
            return 0;
        DIB_Blt(layer->image, nullptr, t->scratch, &box);
        layer->offset.x = box.left;
        layer->offset.y = box.top;
        snprintf(layer->name, PART_LAYER_NAME_MAX, "%s", name);
        t->out->count++;
    }
    ClearRows(t->scratch, area);
    return 1;
}

// Whether a piece draws anything where `layer` shows.
static bool Taking_Overlaps(Taking *t, const Piece &piece, const PartLayer &layer)
{
    Piece_Draw(piece, t->scratch);
    Rect area;
    Rect_Set(&area, layer.offset.x, layer.offset.y, layer.offset.x + layer.image->width,
             layer.offset.y + layer.image->height);
    bool overlap = false;
    for (int y = area.top; y < area.bottom && !overlap; y++) {
        const unsigned char *drawn = DIB_RowTD(t->scratch, y) + 4 * area.left;
        const unsigned char *shown = DIB_RowTD(layer.image, y - area.top);
        for (int x = 0; x < layer.image->width && !overlap; x++)
            overlap = drawn[4 * x + 3] && shown[4 * x + 3];
    }
    if (Taking_Area(t, piece.entry, &area))
        ClearRows(t->scratch, area);
    return overlap;
}

// The index of a hair half's band among its children when the band draws
// something, or -1.
static int HairBandIndex(const Layer *entry)
{
    if (entry->id != ID_FRONT_HAIR && entry->id != ID_BACK_HAIR)
        return -1;
    for (int i = 0; i < PtrList_Count(entry->children); i++) {
        const Layer *child = (const Layer *)PtrList_Get(entry->children, i);
        const LayerImage *content = Layer_GetImage(child);
        if (child->id == ID_HAIR_BAND)
            return (child->flags & LAYER_VISIBLE) && content && content->image ? i : -1;
    }
    return -1;
}

// A hair half wearing a band: the hair, then the band as a layer of its
// own. The highlight drawn over the band stays with the hair where the two
// do not meet, which composes the same; where they meet, it follows the
// band as a second layer of the hair's name.
static int Taking_AddHair(Taking *t, Layer *entry, int band, const char *name)
{
    int children = PtrList_Count(entry->children);
    Piece below = {entry, 0, band, true, -1}, bandPiece = {entry, band, band + 1, false, -1},
          above = {entry, band + 1, children, false, -1}, hairOnly = {entry, 0, children, true, band};
    int before = t->out->count;
    if (!Taking_Add(t, bandPiece, PART_LAYER_HAIR_BAND))
        return 0;
    if (t->out->count == before)  // the band draws nothing inside the picture
        return Taking_Add(t, Piece{entry, 0, children, true, -1}, name);
    PartLayer bandLayer = t->out->layers[before];
    t->out->count--;
    bool split = Taking_Overlaps(t, above, bandLayer);
    int ok = Taking_Add(t, split ? below : hairOnly, name);
    if (ok) {
        t->out->layers[t->out->count++] = bandLayer;
        if (split)
            ok = Taking_Add(t, above, name);
    } else {
        DIB_Delete_(bandLayer.image);
    }
    return ok;
}

int PartLayers_Take(const Character *ch, const Wardrobe *w, PartLayers *out)
{
    memset(out, 0, sizeof *out);
    const LayerDocument *doc = ch->doc;
    out->width = doc->composed->width;
    out->height = doc->composed->height;
    int entries = PtrList_Count(doc->depthList);
    Taking t = {out, DIB_Create(32, out->width, out->height), {0, 0, out->width, out->height}};
    // A hair half can give three layers: the hair, its band and the hair's
    // highlight over the band.
    out->layers = (PartLayer *)calloc(entries > 0 ? 3 * (size_t)entries : 1, sizeof(PartLayer));
    int ok = t.scratch && out->layers;
    for (int i = entries - 1; i >= 0 && ok; i--) {
        Layer *entry = (Layer *)PtrList_Get(doc->depthList, i);
        if (!(entry->flags & LAYER_VISIBLE))
            continue;
        char name[PART_LAYER_NAME_MAX];
        PartLayer_Name(ch, w, entry, name);
        int band = HairBandIndex(entry);
        ok = band >= 0 ? Taking_AddHair(&t, entry, band, name)
                       : Taking_Add(&t, Piece{entry, 0, PtrList_Count(entry->children), true, -1}, name);
    }
    DIB_Delete_(t.scratch);
    if (!ok)
        PartLayers_Free(out);
    return ok;
}

void PartLayers_Free(PartLayers *layers)
{
    for (int i = 0; i < layers->count; i++)
        DIB_Delete_(layers->layers[i].image);
    free(layers->layers);
    memset(layers, 0, sizeof *layers);
}
