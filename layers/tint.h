// Tintable layers: a part image reduced to grey plus alpha and shown through
// a palette built from the user's colour.
//
// Recolouring a tintable layer only rebuilds its palette; the grey image
// stays. The loader and a live colour change both go through Layer_SetColor,
// so the colour shown after loading and after a change are the same pixels.
#pragma once

#include "layers/hls.h"
#include "layers/layer.h"

// Makes `layer` tintable from a 32-bit image it does not own (the image
// cache's copy): the layer receives a new 16-bit grey-plus-alpha conversion of
// `source` and a new, zeroed palette; its old image and palette are freed.
// `source` is only read. Returns 1 on success; 0 leaves the layer unchanged
// (no image layer, a source that is not 32 bits, or no memory).
int Layer_MakeTintableFrom(Layer *layer, const DIB *source);
// The same for a trimmed source that lies at `offset` in a whole image of
// fullWidth x fullHeight (see Layer_SetImageAt).
int Layer_MakeTintableAt(Layer *layer, const DIB *source, Point offset, int fullWidth, int fullHeight);
// Makes a layer that holds its own 32-bit image tintable; the 32-bit image is
// replaced by its conversion and freed. Other depths leave the layer as it is.
// Returns 1 when the layer is tintable afterwards.
int Layer_MakeTintable(Layer *layer);
// Stores the colour and rebuilds the palette of a tintable layer. A missing
// layer or a plain one is left untouched, its stored colour included.
void Layer_SetColor(Layer *layer, HlsColour colour);
