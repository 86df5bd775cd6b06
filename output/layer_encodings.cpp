// The export's shared layer encodings: a short list in the order they were
// made, searched by a hash of the pixels and confirmed by comparing them.
#include "output/layer_encodings.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>

namespace {

struct Encoding {
    int kind;
    uint64_t hash;
    DIB *image;  // a holder of the encoded image, to compare pixels with
    EncodedLayer bytes;
    size_t cost;
};

size_t PixelBytes(const DIB *image)
{
    return (size_t)DIB_BytesPerRow(image) * (size_t)(image->height < 0 ? -image->height : image->height);
}

// A 64-bit hash of the image's size and pixels, eight bytes a step.
uint64_t PixelHash(const DIB *image)
{
    const unsigned char *bytes = DIB_Bits(image);
    size_t n = PixelBytes(image);
    uint64_t h = ((uint64_t)(uint32_t)image->width << 32 | (uint32_t)image->height) ^ 0x9E3779B97F4A7C15ull;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        memcpy(&v, bytes + i, 8);
        h = (h ^ v) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    for (; i < n; i++)
        h = (h ^ bytes[i]) * 0x100000001B3ull;
    return h;
}

bool SamePixels(const DIB *a, const DIB *b)
{
    return a->width == b->width && a->height == b->height && a->bitCount == b->bitCount &&
           memcmp(DIB_Bits(a), DIB_Bits(b), PixelBytes(a)) == 0;
}

}  // namespace

struct LayerEncodings {
    std::mutex lock;
    std::deque<Encoding> kept;  // the oldest first
    size_t used = 0;
    size_t budget = 0;
};

LayerEncodings *LayerEncodings_Create(size_t budget)
{
    LayerEncodings *cache = new (std::nothrow) LayerEncodings;
    if (cache)
        cache->budget = budget;
    return cache;
}

void LayerEncodings_Destroy(LayerEncodings *cache)
{
    if (!cache)
        return;
    for (Encoding &e : cache->kept)
        DIB_Delete_(e.image);
    delete cache;
}

static EncodedLayer Encode(const DIB *image, const LayerEncoder &encode)
{
    try {
        auto bytes = std::make_shared<std::vector<unsigned char>>();
        if (!encode(image, bytes.get()))
            return nullptr;
        return bytes;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

static EncodedLayer Find(LayerEncodings *cache, int kind, uint64_t hash, const DIB *image)
{
    for (const Encoding &e : cache->kept)
        if (e.kind == kind && e.hash == hash && SamePixels(e.image, image))
            return e.bytes;
    return nullptr;
}

static void Keep(LayerEncodings *cache, int kind, uint64_t hash, const DIB *image, const EncodedLayer &bytes)
{
    size_t cost = PixelBytes(image) + bytes->size();
    if (cost > cache->budget || Find(cache, kind, hash, image))
        return;
    while (cache->used + cost > cache->budget) {
        cache->used -= cache->kept.front().cost;
        DIB_Delete_(cache->kept.front().image);
        cache->kept.pop_front();
    }
    try {
        cache->kept.push_back(Encoding{kind, hash, DIB_Share(image), bytes, cost});
        cache->used += cost;
    } catch (const std::bad_alloc &) {
        DIB_Delete_((DIB *)image);  // the share taken for the entry
    }
}

EncodedLayer LayerEncodings_Get(LayerEncodings *cache, int kind, const DIB *image, const LayerEncoder &encode)
{
    if (!cache)
        return Encode(image, encode);
    uint64_t hash = PixelHash(image);
    {
        std::lock_guard<std::mutex> hold(cache->lock);
        if (EncodedLayer found = Find(cache, kind, hash, image))
            return found;
    }
    // Encoded outside the lock: two threads meeting the same new layer both
    // encode it, and the second one's result is dropped.
    EncodedLayer bytes = Encode(image, encode);
    if (bytes) {
        std::lock_guard<std::mutex> hold(cache->lock);
        Keep(cache, kind, hash, image, bytes);
    }
    return bytes;
}
