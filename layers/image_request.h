// Image requests: "give this layer the image in this file, optionally
// recoloured". Pages queue them on a document; the load pass consumes them.
#pragma once

#include "core/imaging/file.h"
#include "layers/hls.h"
#include "layers/layer.h"

struct ImageRequest {
    Layer *layer;               // the image layer that receives the image; nullptr
                                // once that layer has been destroyed
    char path[VOR_MAX_PATH];    // image file, relative to the current folder or absolute
    HlsColour *colour;          // owned; present = make tintable and colour it
};

// A request with copies of the path and of the colour (nullptr = plain).
// nullptr when memory runs out, when path is nullptr, or when the path does
// not fit the record (VOR_MAX_PATH - 1 bytes at most): a long path is refused
// rather than cut short into the name of some other file.
ImageRequest *ImageRequest_Create(Layer *layer, const char *path, const HlsColour *colour);
void ImageRequest_Free(ImageRequest *request);
// ImageRequest_Free in the shape of a list destructor.
void ImageRequest_FreeItem(void *request);
