// Work buffers kept for reuse by the codec.
//
// Decoding and encoding a picture need buffers of the picture's size for a
// moment. Memory fresh from the system costs a page fault on the first touch
// of every page, which is more than the decoding itself, so finished buffers
// go back to a small pool shared by all threads and the next picture takes
// one from there. Blocks are plain malloc'd memory, not cleared.
#pragma once

#include <cstddef>

// A block of at least `bytes` bytes; nullptr when memory runs out.
void *Scratch_Take(size_t bytes);
// Hands back a block from Scratch_Take with the size that was asked for.
// Very large blocks, and any beyond the pool's few places, are freed.
void Scratch_Give(void *block, size_t bytes);
