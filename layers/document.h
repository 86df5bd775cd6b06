// The layer document: everything that makes up the picture a canvas shows
// and the export writes.
//
// It holds the layer tree, the depth list (which layers are drawn, index 0 in
// front), the selected layer's id, the queue of pending image requests, the
// image cache, the composed 360 x 480 picture and the two drag caches. Pages
// edit the tree, the depth list and the queue directly, drop the drag caches
// when anything but the selected layer's position changed, and then refresh
// (layers/load_pass.h). Nothing here needs a window: the canvas supplies the
// Windows side through small callback records.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "core/imaging/dib.h"
#include "layers/image_cache.h"
#include "layers/image_request.h"
#include "layers/layer.h"

enum {
    DOCUMENT_WIDTH = 360,
    DOCUMENT_HEIGHT = 480,
    DOCUMENT_NO_SELECTION = -1,
};

struct LayerDocument {
    Layer *root;             // bare, id 0; owns the whole tree; its user data is the document
    DIB *composed;           // 24-bit result of the last composition
    DIB *belowCache;         // 32-bit drag cache behind the selected layer, or nullptr
    DIB *aboveCache;         // 32-bit drag cache in front of it, or nullptr
    PtrList *depthList;      // Layer, not owned; index 0 is front-most
    int32_t selectedId;      // id among the depth-list entries; DOCUMENT_NO_SELECTION for none
    PtrList *requests;       // ImageRequest, owned until a load pass consumes them
    uintptr_t loaderRunning; // non-zero from the start of a load pass until it is composed
    double zoom;             // the canvas's view zoom
    ImageCache *cache;       // decoded images by path
    int dragCacheStale;      // the drag caches must be rebuilt before their next use
};

// A document with an empty tree, depth list and queue, a black composed
// picture (compose it with Canvas_Render), selection 0, zoom 1.0 and a cache
// of IMAGE_CACHE_DOCUMENT_CAPACITY images. nullptr when memory runs out.
LayerDocument *LayerDocument_Create(void);
// Frees the tree, the depth list, the pending requests, the cache and every
// image. nullptr is ignored.
void LayerDocument_Free(LayerDocument *doc);

// Appends a request to the queue (the queue owns it from now on, even when it
// cannot be stored). Returns 1 when the request's file exists as a regular
// file (the check does not open it), else 0; a request for a missing file is
// still queued so that the next load pass empties its layer. A missing
// request queues nothing.
int Canvas_QueueImage(LayerDocument *doc, ImageRequest *request);
// The document whose root `root` is, or nullptr.
LayerDocument *LayerDocument_OfRoot(const Layer *root);
// Turns queued requests for `layer` or any layer below it into requests for
// no layer: the pass still counts them but gives nothing to anyone. Layer
// destruction calls this, so a request never outlives its layer.
void LayerDocument_ForgetRequests(LayerDocument *doc, const Layer *layer);
// Selects another layer, dropping the drag caches; the current id changes nothing.
void Canvas_SelectLayer(LayerDocument *doc, int32_t id);
