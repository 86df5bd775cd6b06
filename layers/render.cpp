// Drawing layers and composing the depth list, with and without drag caches.
#include "layers/render.h"

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
    const LayerImage *content = Layer_GetImage(layer);
    if (!content || !content->image || !target)
        return;
    Rect at = Layer_AbsRect(layer);
    Point pos = {Geometry_Saturate((long long)at.left + content->offset.x),
                 Geometry_Saturate((long long)at.top + content->offset.y)};
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
