// Drawing layers and composing the depth list, with and without drag caches.
#include "layers/render.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// The entry the fast path redraws: the back-most one with the selected id,
// which is also where the drag-cache walk splits the list.
int DepthList_FindSelected(const PtrList *depthList, int32_t selectedId)
{
    for (int i = PtrList_Count(depthList) - 1; i >= 0; i--) {
        const Layer *entry = (const Layer *)PtrList_Get(depthList, i);
        if (entry->id == selectedId)
            return i;
    }
    return -1;
}

void DragCaches_Free(LayerDocument *doc)
{
    if (doc->belowCache)
        DIB_Delete_(doc->belowCache);
    if (doc->aboveCache)
        DIB_Delete_(doc->aboveCache);
    doc->belowCache = nullptr;
    doc->aboveCache = nullptr;
}

// Layer_Draw with one layer of the tree drawn by another.
void Layer_DrawReplacing(Layer *layer, DIB *target, const Layer *replaced, Layer *standIn)
{
    if (layer == replaced) {
        Layer_Draw(standIn, target);
        return;
    }
    if (!layer || !(layer->flags & LAYER_VISIBLE))
        return;
    if (layer->drawHook)
        layer->drawHook(layer, target);
    for (int i = 0; i < PtrList_Count(layer->children); i++)
        Layer_DrawReplacing((Layer *)PtrList_Get(layer->children, i), target, replaced, standIn);
}

// Draws the rows of the tree that a band target starting `top` rows down
// holds, with `standIn` for `replaced`. Returns 0 when a layer draws by a
// hook other than an image's, which cannot be shifted.
int Layer_DrawBand(Layer *layer, DIB *band, int top, const Layer *replaced, Layer *standIn)
{
    if (layer == replaced)
        return Layer_DrawBand(standIn, band, top, nullptr, nullptr);
    if (!layer || !(layer->flags & LAYER_VISIBLE))
        return 1;
    if (layer->drawHook == LayerImage_Draw)
        LayerImage_DrawShifted(layer, band, top);
    else if (layer->drawHook)
        return 0;
    for (int i = 0; i < PtrList_Count(layer->children); i++)
        if (!Layer_DrawBand((Layer *)PtrList_Get(layer->children, i), band, top, replaced, standIn))
            return 0;
    return 1;
}

// An image trimmed from nothing visible: one transparent pixel.
bool Image_ShowsNothing(const DIB *image)
{
    if (image->width != 1 || image->height != 1 || (image->bitCount != 32 && image->bitCount != 16))
        return false;
    return DIB_RowTD(image, 0)[image->bitCount / 8 - 1] == 0;  // its alpha byte
}

// Widens the rows [*top, *bottom) to the stored image boxes of the tree.
void Layer_RowsDrawn(const Layer *layer, int *top, int *bottom)
{
    if (!layer || !(layer->flags & LAYER_VISIBLE))
        return;
    const LayerImage *content = Layer_GetImage(layer);
    if (content && content->image && !Image_ShowsNothing(content->image)) {
        long long y = (long long)Layer_AbsRect(layer).top + content->offset.y;
        *top = (int)std::max<long long>(std::min<long long>(*top, y), INT_MIN / 2);
        *bottom = (int)std::min<long long>(std::max<long long>(*bottom, y + content->image->height), INT_MAX / 2);
    }
    for (int i = 0; i < PtrList_Count(layer->children); i++)
        Layer_RowsDrawn((const Layer *)PtrList_Get(layer->children, i), top, bottom);
}

void Hooks_SetBusy(const CanvasHooks *hooks, int busy)
{
    if (hooks && hooks->setBusy)
        hooks->setBusy(hooks->context, busy);
}

}  // namespace

void Layer_Draw(Layer *layer, DIB *target)
{
    if (!layer || !(layer->flags & LAYER_VISIBLE))
        return;
    if (layer->drawHook)
        layer->drawHook(layer, target);
    // Re-read the count each step, like every list walk of the program.
    for (int i = 0; i < PtrList_Count(layer->children); i++)
        Layer_Draw((Layer *)PtrList_Get(layer->children, i), target);
}

void LayerImage_Draw(Layer *layer, DIB *target)
{
    LayerImage_DrawShifted(layer, target, 0);
}

void LayerImage_DrawShifted(Layer *layer, DIB *target, int up)
{
    const LayerImage *content = Layer_GetImage(layer);
    if (!content || !content->image || !target)
        return;
    Rect at = Layer_AbsRect(layer);
    Point pos = {Geometry_Saturate((long long)at.left + content->offset.x),
                 Geometry_Saturate((long long)at.top + content->offset.y - up)};
    const DIB *image = content->image;

    // The blit is chosen by the target's depth and by the palette; the image
    // depth is checked as well so that no blit ever reads a source in a
    // format it does not expect.
    if (content->palette) {
        if (image->bitCount != 16)
            return;
        if (target->bitCount == 24)
            DIB24_BltPaletteDIBGA8(target, &pos, image, content->palette);
        else if (target->bitCount == 32)
            DIBA24_BltPaletteDIBGA8(target, &pos, image, content->palette);
    } else {
        if (image->bitCount != 32)
            return;
        if (target->bitCount == 24)
            DIB24_BltDIBA24(target, &pos, image);
        else if (target->bitCount == 32)
            DIBA24_BltDIBA24(target, &pos, image);
    }
}

void DepthList_Draw(const PtrList *depthList, DIB *target)
{
    for (int i = PtrList_Count(depthList) - 1; i >= 0; i--)
        Layer_Draw((Layer *)PtrList_Get(depthList, i), target);
}

void Canvas_Render(LayerDocument *doc, const CanvasHooks *hooks)
{
    DIB24_FillRect(doc->composed, nullptr, DOCUMENT_BACKGROUND);
    if (doc->belowCache && doc->aboveCache) {
        // Fast path: one fill, two full-image blits and the selected layer,
        // however many layers lie behind and in front.
        DIB24_BltDIBA24(doc->composed, nullptr, doc->belowCache);
        int selected = DepthList_FindSelected(doc->depthList, doc->selectedId);
        if (selected >= 0)
            Layer_Draw((Layer *)PtrList_Get(doc->depthList, selected), doc->composed);
        DIB24_BltDIBA24(doc->composed, nullptr, doc->aboveCache);
    } else {
        DepthList_Draw(doc->depthList, doc->composed);
    }
    if (hooks && hooks->repaint)
        hooks->repaint(hooks->context);
}

void Canvas_BuildDragCache(LayerDocument *doc, const CanvasHooks *hooks)
{
    if (!doc->dragCacheStale)
        return;
    doc->dragCacheStale = 0;
    Hooks_SetBusy(hooks, 1);

    DragCaches_Free(doc);
    int width = doc->composed->width;
    int height = doc->composed->height;
    doc->belowCache = DIB_Create(32, width, height);
    doc->aboveCache = DIB_Create(32, width, height);
    if (!doc->belowCache || !doc->aboveCache) {
        // Without both caches every render simply takes the full path.
        DragCaches_Free(doc);
        Hooks_SetBusy(hooks, 0);
        return;
    }

    // The layers behind are composed over the background itself, with the
    // same blends as the full path, so that the cache is that picture exactly.
    DIB24_FillRect(doc->belowCache, nullptr, DOCUMENT_BACKGROUND);
    int i = PtrList_Count(doc->depthList) - 1;
    for (; i >= 0; i--) {
        Layer *entry = (Layer *)PtrList_Get(doc->depthList, i);
        if (entry->id == doc->selectedId)
            break;
        Layer_Draw(entry, doc->belowCache);
    }
    // Seeding from the below cache leaves the above cache transparent over
    // its extent, so it holds only what lies in front of the selected layer.
    DIBA24_BltDIBA24_2(doc->aboveCache, nullptr, doc->belowCache);
    for (i--; i >= 0; i--)
        Layer_Draw((Layer *)PtrList_Get(doc->depthList, i), doc->aboveCache);

    Hooks_SetBusy(hooks, 0);
}

void Canvas_DropDragCache(LayerDocument *doc)
{
    DragCaches_Free(doc);
    doc->dragCacheStale = 1;
}

DIB *Canvas_ComposeExport(const LayerDocument *doc)
{
    DIB *image = DIB_Create(32, doc->composed->width, doc->composed->height);
    if (!image)
        return nullptr;
    DepthList_Draw(doc->depthList, image);
    return image;
}

DIB *Canvas_ComposeExportReplacing(const LayerDocument *doc, const Layer *replaced, Layer *standIn)
{
    DIB *image = DIB_Create(32, doc->composed->width, doc->composed->height);
    if (!image)
        return nullptr;
    for (int i = PtrList_Count(doc->depthList) - 1; i >= 0; i--)
        Layer_DrawReplacing((Layer *)PtrList_Get(doc->depthList, i), image, replaced, standIn);
    return image;
}

DIB *Canvas_ComposeExportChanged(const LayerDocument *doc, const DIB *picture, const Layer *replaced, Layer *standIn,
                                 int *firstChangedRow)
{
    int height = doc->composed->height;
    *firstChangedRow = 0;
    if (!picture || picture->bitCount != 32 || picture->width != doc->composed->width || picture->height != height)
        return Canvas_ComposeExportReplacing(doc, replaced, standIn);
    // Only the rows either of the two draws on can differ.
    int top = INT_MAX / 2, bottom = INT_MIN / 2;
    Layer_RowsDrawn(replaced, &top, &bottom);
    Layer_RowsDrawn(standIn, &top, &bottom);
    top = std::max(top, 0);
    bottom = std::min(bottom, height);
    DIB *image = DIB_Create(32, picture->width, height);
    if (!image)
        return nullptr;
    size_t rowBytes = (size_t)DIB_BytesPerRow(picture);
    for (int y = 0; y < height; y++)
        memcpy(DIB_RowTD(image, y), DIB_RowTD(picture, y), rowBytes);
    *firstChangedRow = std::min(top, bottom);
    if (top >= bottom)
        return image;
    DIB *band = DIB_Create(32, picture->width, bottom - top);
    int drawn = band != nullptr;
    for (int i = PtrList_Count(doc->depthList) - 1; i >= 0 && drawn; i--)
        drawn = Layer_DrawBand((Layer *)PtrList_Get(doc->depthList, i), band, top, replaced, standIn);
    if (!drawn) {
        DIB_Delete_(band);
        DIB_Delete_(image);
        *firstChangedRow = 0;
        return Canvas_ComposeExportReplacing(doc, replaced, standIn);
    }
    for (int y = top; y < bottom; y++)
        memcpy(DIB_RowTD(image, y), DIB_RowTD(band, y - top), rowBytes);
    DIB_Delete_(band);
    return image;
}
