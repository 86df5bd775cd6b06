// Encoded layers shared by the pictures of one export. Most of a picture's
// layers (the body, the hair, the style's dress and accessories) are the same
// in every expression, so a layered file of the second expression finds them
// encoded already and only the face parts are encoded again. Images are
// matched by their pixels, not by the part that drew them, so a recoloured or
// moved part is never mistaken for an earlier one. Safe to use from the
// encoder threads at once.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "core/imaging/dib.h"

typedef std::shared_ptr<const std::vector<unsigned char>> EncodedLayer;
typedef std::function<bool(const DIB *image, std::vector<unsigned char> *out)> LayerEncoder;

struct LayerEncodings;

// What an encoding is: the kinds kept apart in one cache.
enum LayerEncodingKind {
    LAYER_ENCODING_RLE_CHANNELS = 1,  // a layer's run-length coded channel data
    LAYER_ENCODING_PNG,               // a PNG file of the layer
};

// At most `budget` bytes of pixels and encodings are kept; the oldest go
// first, which suits the export's order (a style's expressions in turn).
LayerEncodings *LayerEncodings_Create(size_t budget);
void LayerEncodings_Destroy(LayerEncodings *cache);

// The encoding of a 32-bit `image` under `kind`:
// an earlier one of equal pixels, or `encode`'s result made on this thread
// and kept. A null cache only encodes. nullptr when the encoder fails or
// memory runs out.
EncodedLayer LayerEncodings_Get(LayerEncodings *cache, int kind, const DIB *image, const LayerEncoder &encode);
