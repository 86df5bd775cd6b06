// One load pass over the request queue, and the synchronous refresh.
#include "layers/load_pass.h"

#include "core/util.h"
#include "layers/tint.h"

namespace {

// Gives the request's layer its image: nothing when the file is missing or
// undecodable, the tinted conversion when a colour is asked for and the
// image can take one, else a copy of its own. The layer never holds the
// cache's image, which may be dropped at any later decode.
void Request_Apply(const ImageRequest *request, const DIB *image)
{
    if (!image) {
        Layer_SetImage(request->layer, nullptr);
        return;
    }
    if (request->colour && image->bitCount == 32 && Layer_MakeTintableFrom(request->layer, image)) {
        Layer_SetColor(request->layer, *request->colour);
        return;
    }
    Layer_SetImage(request->layer, DIB_MakeCopy(image));
}

void Request_Load(LayerDocument *doc, const ImageRequest *request)
{
    Debug_Print("thread : %s\n", request->path);
    if (!request->layer)
        return;  // its layer was destroyed after it was queued
    const DIB *image = nullptr;
    int index = ImageCache_Lookup(doc->cache, request->path);
    if (index != -1)
        image = CacheEntry_GetImage(ImageCache_EntryAt(doc->cache, index));
    Request_Apply(request, image);
}

void LoadPass_Run(LayerDocument *doc, const LoadPassHooks *hooks, const CanvasHooks *canvasHooks)
{
    Canvas_DropDragCache(doc);
    // The count is read again on every step: requests queued while the pass
    // runs are loaded by it.
    for (int i = 0; i < PtrList_Count(doc->requests); i++) {
        if (hooks && hooks->itemStarted)
            hooks->itemStarted(hooks->context, i);
        Request_Load(doc, (const ImageRequest *)PtrList_Get(doc->requests, i));
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
