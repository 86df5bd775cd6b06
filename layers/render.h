// Composition of the depth list into one picture.
//
// The canvas composes over pure green into the document's 24-bit picture; the
// export composes the same layers into a transparent 32-bit image. While the
// user drags the selected layer the document keeps two drag caches, the
// layers behind it and the layers in front of it, so that each step only
// redraws one layer between two full-image blits.
#pragma once

#include "core/imaging/dib.h"
#include "layers/document.h"
#include "layers/layer.h"

// The canvas background behind every layer: red 0, green 255, blue 0.
enum : uint32_t { DOCUMENT_BACKGROUND = 0x00FF00 };

// What the composition needs from the window showing it. Any hook may be
// nullptr, and so may the record.
struct CanvasHooks {
    void *context;
    // The composed picture changed: paint it after the current message.
    void (*repaint)(void *context);
    // Show (busy = 1) or remove (busy = 0) the wait cursor around slow work.
    void (*setBusy)(void *context, int busy);
};

// Draws the layer (its draw hook) and then its children in order, lowest
// first; a layer without LAYER_VISIBLE is skipped with its subtree.
void Layer_Draw(Layer *layer, DIB *target);
// Draw hook of image layers: blits the layer's image at its absolute
// position, through the palette for a tintable layer, onto a 24- or 32-bit
// target. Any other target depth receives nothing.
void LayerImage_Draw(Layer *layer, DIB *target);
// The same onto a target whose first row is row `up` of the picture.
void LayerImage_DrawShifted(Layer *layer, DIB *target, int up);

// Draws the depth list into `target` from the back (last index) to the front.
void DepthList_Draw(const PtrList *depthList, DIB *target);

// Composes the depth list over green into doc->composed: through the drag
// caches when they exist, otherwise layer by layer. Then asks for a repaint.
void Canvas_Render(LayerDocument *doc, const CanvasHooks *hooks);
// Builds both drag caches when they were dropped since their last build.
void Canvas_BuildDragCache(LayerDocument *doc, const CanvasHooks *hooks);
// Frees both drag caches and marks them for rebuilding.
void Canvas_DropDragCache(LayerDocument *doc);

// A new 32-bit image of the composed picture's size, fully transparent, with
// the depth list composed into it: the picture the export writes. nullptr
// when memory runs out.
DIB *Canvas_ComposeExport(const LayerDocument *doc);
// The same picture with `standIn` (and its children) drawn where the walk
// meets `replaced`, which is skipped with its subtree: the picture with one
// part showing other images, such as the eyes shut. The stand-in must lie
// at the replaced layer's place (its own rect, flags and parents' offsets).
DIB *Canvas_ComposeExportReplacing(const LayerDocument *doc, const Layer *replaced, Layer *standIn);
// The same picture made from `picture`, the document's own composition
// (Canvas_ComposeExport): only the rows that the replaced layer or the
// stand-in draw on are composed again, the others copied, which gives the
// same pixels in a fraction of the time. `*firstChangedRow` receives the
// first row that may differ from `picture`.
DIB *Canvas_ComposeExportChanged(const LayerDocument *doc, const DIB *picture, const Layer *replaced, Layer *standIn,
                                 int *firstChangedRow);
