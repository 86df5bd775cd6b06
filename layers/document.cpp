// Creation and release of layer documents, queueing and selection.
#include "layers/document.h"

#include <cstdlib>

#include "core/imaging/file.h"

#include "layers/render.h"

namespace {

// Depth lists and request queues of a character stay within a few dozen.
enum { LIST_INITIAL = 32, LIST_GROW = 32 };

// The root's destroy hook marks it as the root of a document; its user data
// is that document. Nothing is left to release when the root goes.
void Document_RootReleased(void *doc)
{
}

}  // namespace

LayerDocument *LayerDocument_OfRoot(const Layer *root)
{
    if (!root || root->destroyHook != Document_RootReleased)
        return nullptr;
    return (LayerDocument *)root->userData;
}

LayerDocument *LayerDocument_Create(void)
{
    LayerDocument *doc = (LayerDocument *)calloc(1, sizeof(LayerDocument));
    if (!doc)
        return nullptr;
    doc->root = Layer_Create(0, nullptr);
    doc->composed = DIB_Create(24, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    doc->depthList = PtrList_Create(LIST_INITIAL, LIST_GROW);
    doc->requests = PtrList_Create(LIST_INITIAL, LIST_GROW);
    doc->cache = ImageCache_Create(IMAGE_CACHE_DOCUMENT_CAPACITY);
    doc->zoom = 1.0;
    if (doc->root) {
        doc->root->destroyHook = Document_RootReleased;
        doc->root->userData = doc;
    }
    if (!doc->root || !doc->composed || !doc->depthList || !doc->requests || !doc->cache) {
        LayerDocument_Free(doc);
        return nullptr;
    }
    return doc;
}

void LayerDocument_Free(LayerDocument *doc)
{
    if (!doc)
        return;
    // The depth list only refers to layers of the tree: forget it first.
    if (doc->depthList)
        PtrList_Destroy(doc->depthList, nullptr);
    if (doc->requests)
        PtrList_Destroy(doc->requests, ImageRequest_FreeItem);
    doc->depthList = nullptr;
    doc->requests = nullptr;
    Layer_Destroy(doc->root);
    ImageCache_Free(doc->cache);
    Canvas_DropDragCache(doc);
    if (doc->composed)
        DIB_Delete_(doc->composed);
    free(doc);
}

int Canvas_QueueImage(LayerDocument *doc, ImageRequest *request)
{
    if (!request)
        return 0;
    // Asked of the file system without opening the file, which the load pass
    // opens a moment later to decode it; an image the cache holds was read
    // when it was decoded.
    int exists = ImageCache_HoldsImage(doc->cache, request->path) || File_Exists(request->path);
    if (PtrList_Add(doc->requests, request) < 0)
        ImageRequest_Free(request);
    return exists;
}

void LayerDocument_ForgetRequests(LayerDocument *doc, const Layer *layer)
{
    if (!doc || !doc->requests || !layer)
        return;
    for (int i = 0; i < PtrList_Count(doc->requests); i++) {
        ImageRequest *request = (ImageRequest *)PtrList_Get(doc->requests, i);
        for (const Layer *l = request->layer; l; l = l->parent) {
            if (l == layer) {
                request->layer = nullptr;
                break;
            }
        }
    }
}

void Canvas_SelectLayer(LayerDocument *doc, int32_t id)
{
    if (id == doc->selectedId)
        return;
    doc->selectedId = id;
    Canvas_DropDragCache(doc);
}
