// The shared pool of work buffers.
#include "core/imaging/scratch.h"

#include <cstdlib>
#include <mutex>

namespace {

// Enough places for two decoding and two encoding threads with a buffer or
// two each; a block larger than a 2048 x 2048 picture is not worth keeping.
enum { SCRATCH_PLACES = 8 };
const size_t SCRATCH_KEEP_MAX = (size_t)16 << 20;

struct ScratchBlock {
    void *block;
    size_t bytes;
};

std::mutex Scratch_lock;
ScratchBlock Scratch_pool[SCRATCH_PLACES];

}  // namespace

void *Scratch_Take(size_t bytes)
{
    if (bytes == 0)
        bytes = 1;
    {
        std::lock_guard<std::mutex> hold(Scratch_lock);
        // The smallest block that fits, so that big blocks stay for big pictures.
        ScratchBlock *best = nullptr;
        for (ScratchBlock &b : Scratch_pool) {
            if (b.block && b.bytes >= bytes && (!best || b.bytes < best->bytes))
                best = &b;
        }
        if (best) {
            void *block = best->block;
            best->block = nullptr;
            return block;
        }
    }
    return malloc(bytes);
}

void Scratch_Give(void *block, size_t bytes)
{
    if (!block)
        return;
    if (bytes > SCRATCH_KEEP_MAX) {
        free(block);
        return;
    }
    void *dropped = block;
    {
        std::lock_guard<std::mutex> hold(Scratch_lock);
        // A free place, else the place of the smallest block if this one is larger.
        ScratchBlock *place = nullptr;
        for (ScratchBlock &b : Scratch_pool) {
            if (!b.block) {
                place = &b;
                break;
            }
            if (!place || b.bytes < place->bytes)
                place = &b;
        }
        if (!place->block || place->bytes < bytes) {
            dropped = place->block;
            place->block = block;
            place->bytes = bytes;
        }
    }
    free(dropped);
}
