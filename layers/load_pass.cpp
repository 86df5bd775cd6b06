// One load pass over the request queue, and the synchronous refresh.
#include "layers/load_pass.h"

#include "core/util.h"
#include "layers/tint.h"

namespace {

// Gives the request's layer its image: nothing when the file is missing or
// undecodable, the tinted conversion when a colour is asked for and the
// image can take one, else a share of the cache's image. A share outlives
// the cache's own hold, so the cache may still drop the image at any time.
void Request_Apply(const ImageRequest *request, const CacheEntry *entry, const DIB *image)
{
    if (!image) {
        Layer_SetImage(request->layer, nullptr);
        return;
    }
    if (request->colour && image->bitCount == 32 &&
        Layer_MakeTintableAt(request->layer, image, entry->offset, entry->fullWidth, entry->fullHeight)) {
        Layer_SetColor(request->layer, *request->colour);
        return;
    }
    Layer_SetImageAt(request->layer, DIB_Share(image), entry->offset, entry->fullWidth, entry->fullHeight);
}

}  // namespace

// A later request in the queue gives the same layer another image, so this
// one would be replaced within the same pass (a new character's default
// parts, replaced by the project it opens). Only the colour it would have
// stored is kept.
int Request_IsSuperseded(const PtrList *requests, int index)
{
    const ImageRequest *request = (const ImageRequest *)PtrList_Get(requests, index);
    for (int j = index + 1; j < PtrList_Count(requests); j++) {
        if (((const ImageRequest *)PtrList_Get(requests, j))->layer == request->layer)
            return 1;
    }
    return 0;
}

namespace {

void Request_Load(LayerDocument *doc, int index)
{
    const ImageRequest *request = (const ImageRequest *)PtrList_Get(doc->requests, index);
    Debug_Print("thread : %s\n", request->path);
    if (!request->layer)
        return;  // its layer was destroyed after it was queued
    if (Request_IsSuperseded(doc->requests, index)) {
        LayerImage *content = Layer_GetImage(request->layer);
        if (content && request->colour)
            content->colour = *request->colour;
        return;
    }
    // A missing file gets an entry without image: the decode finds it
    // missing, without a separate check that opens it first.
    const CacheEntry *entry = nullptr;
    const DIB *image = nullptr;
    int found = ImageCache_FindOrAdd(doc->cache, request->path);
    if (found != -1) {
        CacheEntry *e = ImageCache_EntryAt(doc->cache, found);
        image = CacheEntry_GetImage(e);
        entry = e;
    }
    Request_Apply(request, entry, image);
}

void LoadPass_Run(LayerDocument *doc, const LoadPassHooks *hooks, const CanvasHooks *canvasHooks)
{
    Canvas_DropDragCache(doc);
    // The count is read again on every step: requests queued while the pass
    // runs are loaded by it.
    for (int i = 0; i < PtrList_Count(doc->requests); i++) {
        if (hooks && hooks->itemStarted)
            hooks->itemStarted(hooks->context, i);
        Request_Load(doc, i);
    }
    PtrList_Reset(doc->requests, ImageRequest_FreeItem);

    if (hooks && hooks->renderRequested)
        hooks->renderRequested(hooks->context);
    else
        Canvas_Render(doc, canvasHooks);
    if (hooks && hooks->passFinished)
        hooks->passFinished(hooks->context);
}

}  // namespace

void Canvas_LoadPass(LayerDocument *doc, const LoadPassHooks *hooks)
{
    LoadPass_Run(doc, hooks, nullptr);
}

void Canvas_RefreshNow(LayerDocument *doc, const LoadPassHooks *loadHooks, const CanvasHooks *canvasHooks)
{
    if (doc->loaderRunning)
        return;
    if (PtrList_Count(doc->requests) == 0) {
        Canvas_Render(doc, canvasHooks);
        return;
    }
    doc->loaderRunning = 1;
    LoadPass_Run(doc, loadHooks, canvasHooks);
    doc->loaderRunning = 0;
}
