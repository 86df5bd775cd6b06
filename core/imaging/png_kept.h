// PNG encoding of pictures that differ from one already encoded only from
// some row down (the same picture with the eyes shut, say).
//
// zlib compresses a stream the same whatever pieces it is handed in, so the
// encoder of the first picture is copied at the start of the row where the
// second begins to differ, and the second picture's encoding goes on from
// that copy: its bytes are exactly DIB_EncodePNG's, but the rows above are
// not compressed again.
#pragma once

#include <cstddef>
#include <vector>

#include "core/imaging/dib.h"

// The encoder of one picture as it stood before one of its rows.
struct PngKept;

// DIB_EncodePNG's bytes, keeping in `kept` (one entry per row of `rows`) the
// encoder before each of those rows; an entry may be nullptr (memory ran
// out, a row outside the picture, or a build whose zlib cannot copy its
// encoder), and then DIB_EncodePNGFrom starts from the top.
unsigned char *DIB_EncodePNGKeeping(const DIB *image32, const std::vector<int> &rows, std::vector<PngKept *> *kept,
                                    size_t *outSize);
// DIB_EncodePNG(image32), where `image32` equals the picture `kept` was taken
// from above the kept row and `keptPng` is that picture's PNG: the same
// bytes, from the kept row on.
unsigned char *DIB_EncodePNGFrom(const PngKept *kept, const unsigned char *keptPng, const DIB *image32,
                                 size_t *outSize);
void PngKept_Free(PngKept *kept);
