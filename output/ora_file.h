// The layered picture as an OpenRaster 0.0.6 file: a zip whose first entry
// is `mimetype` (stored), then stack.xml naming the layers (the first child
// on top, names in UTF-8), one PNG per layer under data/, a thumbnail of at
// most 256 pixels a side and mergedimage.png, the composed picture.
#pragma once

#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "output/layer_encodings.h"
#include "output/part_layers.h"

enum { ORA_THUMBNAIL_MAX = 256 };

// The whole file into `out`. `merged` is the composed 32-bit picture of the
// layers' size; `mergedPng` (optional) its PNG bytes, already encoded, for
// mergedimage.png. Layers' PNGs are taken from and kept in `shared`
// (optional). Returns 1, or 0 when memory runs out.
int OraFile_Encode(const PartLayers *layers, const DIB *merged, const unsigned char *mergedPng, size_t mergedPngSize,
                   LayerEncodings *shared, std::vector<unsigned char> *out);

// stack.xml for the layers, each layer's source being data/NNN.png with NNN
// its index in paint order.
std::string Ora_StackXml(const PartLayers *layers);
// A 32-bit image halved until its long side fits maxSide (a 360 x 480
// picture gives 180 x 240), each pixel the alpha-weighted mean of the 2 x 2
// pixels it covers; one that fits already is shared as it is.
DIB *Ora_Thumbnail(const DIB *image, int maxSide);
