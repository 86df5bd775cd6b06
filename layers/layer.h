// The layer tree: nodes with an id, a rectangle relative to their parent, a
// name and optional content.
//
// The tree owns its layers; a parent owns its children, kept in creation
// order, and the first child is drawn lowest. Ids only need to be unique among
// siblings, and lookups descend one level at a time, so a sub-layer is reached
// by chaining Layer_Find calls. Image layers carry a LayerImage as their user
// data; everything else about drawing lives in layers/render.h.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "core/geometry.h"
#include "core/imaging/dib.h"
#include "layers/hls.h"

struct Layer;

// Called once with the layer's user data when the layer is destroyed.
typedef void (*LayerDestroyHook)(void *userData);
// Draws the layer's own content (not its children) into the target.
typedef void (*LayerDrawHook)(Layer *layer, DIB *target);

enum {
    LAYER_VISIBLE = 0x01,
    LAYER_PICKABLE = 0x80,
    LAYER_DEFAULT_FLAGS = LAYER_VISIBLE | LAYER_PICKABLE,
};

struct Layer {
    int32_t id;                  // identity among its siblings; the root is 0
    Layer *parent;               // nullptr for the root
    PtrList *children;           // owned sub-layers, creation order, lowest first
    Rect rect;                   // relative to the parent's top-left corner
    uint32_t flags;              // LAYER_DEFAULT_FLAGS for every layer
    char *name;                  // owned display name, or nullptr
    LayerDestroyHook destroyHook;
    LayerDrawHook drawHook;
    void *userData;              // the LayerImage of an image layer
};

// The content of an image layer. A plain layer holds a 32-bit image with
// alpha and no palette; a tintable layer holds a 16-bit grey-plus-alpha image
// drawn through its palette.
//
// A part image is usually kept trimmed to the box of its visible pixels: the
// layer's rect still has the whole image's size (what hit tests, drags and
// the pages see), and `offset` says where the stored box lies inside it.
// Everything outside the box is transparent. A plain layer's image may be
// shared with the image cache (DIB_Share); nobody changes its pixels.
struct LayerImage {
    DIB *image;              // one hold on it, or nullptr
    HlsColour colour;        // last colour applied with Layer_SetColor
    PaletteEntry *palette;   // owned, HLS_PALETTE_ENTRIES entries, tintable only
    Point offset;            // the image's top-left corner inside the whole image
    int32_t fullWidth;       // the whole image's size: the image's own when
    int32_t fullHeight;      //   it is not trimmed, 0 without an image
};

// A bare layer with rect (0, 0, 100, 100), appended to `parent`'s children
// when a parent is given. nullptr when memory runs out (nothing is changed).
Layer *Layer_Create(int32_t id, Layer *parent);
// An image layer: rect (0, 0, 0, 0), no image, colour (0, 0, 0), no palette.
Layer *Layer_CreateImage(int32_t id, Layer *parent);
// Detaches the layer from its parent, destroys its subtree (each layer after
// its own children), runs its destroy hook and frees it. nullptr is ignored.
// Requests still queued for the subtree in its document are forgotten.
// Callers remove the layer from any depth list first.
void Layer_Destroy(Layer *layer);
// Layer_Destroy in the shape of a list destructor, for removing a depth-list
// entry together with its layer (PtrList_RemoveAt (list, i, Layer_DestroyItem)).
void Layer_DestroyItem(void *layer);
// The destroy hook of image layers: frees the palette, image and record.
void LayerImage_Release(void *layerImage);

// First direct child with the id, in creation order; does not descend.
Layer *Layer_Find(const Layer *layer, int32_t id);
// Moves the top-left corner to (x, y), keeping the size.
void Layer_MoveTo(Layer *layer, int x, int y);
// Stores a copy of the text (nullptr clears the name). Returns 1 on success.
int Layer_SetName(Layer *layer, const char *text);
// The layer's place in the picture: its rect offset by the top-left corner
// of every ancestor up to and including the root. nullptr gives (0, 0, 0, 0).
Rect Layer_AbsRect(const Layer *layer);

// The LayerImage of an image layer; nullptr for a bare layer or nullptr.
LayerImage *Layer_GetImage(const Layer *layer);
// Replaces the layer's image (which may be nullptr); the layer lets go of
// its old image, frees any palette and takes over the caller's hold on
// `image` (a new image, or a share: DIB_Share) from now on. With an image the
// rect's size becomes the image's size, its top-left stays. Returns 1 when the
// layer has an image afterwards. A bare layer cannot hold an image: `image`
// is freed and 0 returned, so ownership passes in every case.
int Layer_SetImage(Layer *layer, DIB *image);
// The same for a trimmed image: the rect's size becomes fullWidth x
// fullHeight and the image lies at `offset` inside it.
int Layer_SetImageAt(Layer *layer, DIB *image, Point offset, int fullWidth, int fullHeight);
