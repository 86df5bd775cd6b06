// The layered picture as a Photoshop document (version 1, RGB, 8 bits per
// channel): one pixel layer per part with its transparency channel and its
// name twice (CP949 as the Pascal name, UTF-16 in a `luni` block), all
// channels RLE (PackBits) compressed, and the merged picture as the image
// data with alpha as a fourth channel.
#pragma once

#include <vector>

#include "core/imaging/dib.h"
#include "output/layer_encodings.h"
#include "output/part_layers.h"

// The whole file into `out`. `merged` is the composed 32-bit picture of the
// layers' size. Returns 1, or 0 when memory runs out or the picture is not
// one that a PSD can hold (more than 30000 pixels a side, not 32 bits).
// Layers' channel data are taken from and kept in `shared` (optional).
int PsdFile_Encode(const PartLayers *layers, const DIB *merged, LayerEncodings *shared, std::vector<unsigned char> *out);

// The most bytes PackBits makes of n bytes: one header per 128 bytes.
#define PSD_PACKBITS_BOUND(n) ((size_t)(n) + ((size_t)(n) + 127) / 128)
// One row of bytes PackBits-compressed into `out` (room for
// PSD_PACKBITS_BOUND(count) bytes). Returns the bytes written.
size_t Psd_PackBitsRow(const unsigned char *row, int count, unsigned char *out);
