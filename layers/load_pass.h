// The load pass: turns the document's queued image requests into layer
// images, then has the result composed.
//
// The pass is one plain function that reports through a callback record.
// The canvas runs it on a loader thread with callbacks that message the
// window; vor-cli and the tests run it synchronously. It takes each image from
// the document's cache or decodes it, gives the layer a share of it, or, when
// the request carries a colour, a tinted grey-plus-alpha conversion. A
// request that a later one in the queue replaces is passed over.
#pragma once

#include "layers/document.h"
#include "layers/render.h"

struct LoadPassHooks {
    void *context;
    // Request `index` is about to be loaded (progress display). The queue may
    // grow during the call: the pass loads whatever is queued before it ends.
    void (*itemStarted)(void *context, int index);
    // Every request is done and the queue is empty: compose the picture.
    // nullptr composes here with Canvas_Render and no hooks.
    void (*renderRequested)(void *context);
    // Last word of the pass, after the composition.
    void (*passFinished)(void *context);
};

// One load pass over the queue: drops the drag caches, loads every request in
// order (printing "thread : <path>" for each), empties the queue, then calls
// renderRequested and passFinished. Does not touch doc->loaderRunning, which
// belongs to whoever starts passes.
void Canvas_LoadPass(LayerDocument *doc, const LoadPassHooks *hooks);

// The refresh for callers without a window or thread: nothing while a pass
// is marked running; compose at once when the queue is empty; otherwise run
// a load pass here, marked running for its duration.
void Canvas_RefreshNow(LayerDocument *doc, const LoadPassHooks *loadHooks, const CanvasHooks *canvasHooks);

// Decodes the images of the queued requests that the cache does not hold
// yet, on up to `threads` threads, so that the pass that follows finds them
// all in the cache. Only for caches without a capacity limit (the export's),
// where no decode can evict another; otherwise it does nothing. The pass
// itself, and therefore every pixel, is the same with or without it.
void Canvas_DecodeAhead(LayerDocument *doc, int threads);

// 1 when a later request of the queue is for the same layer: the pass skips
// this one, whose image would be replaced before anything is composed.
int Request_IsSuperseded(const PtrList *requests, int index);
