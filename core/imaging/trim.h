// Cutting a picture down to the box of its visible pixels.
#pragma once

#include <cstddef>

#include "core/imaging/dib.h"

// The box of the BGRA rows at top + y * stride (y from the top, w x h pixels)
// whose alpha is not zero, copied into a new 32-bit image; *offset receives
// the box's top-left corner. A picture with nothing visible gives a 1 x 1
// transparent image at (0, 0). nullptr when memory runs out.
DIB *DIB_TrimRows(const unsigned char *top, ptrdiff_t stride, int w, int h, Point *offset);
