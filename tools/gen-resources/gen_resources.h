// The program's own pictures, drawn in code: the application icon at 16, 32
// and 48 pixels and the three check-box states of the style list.
#pragma once

#include <cstddef>

#include "core/imaging/dib.h"

// A 32-bit image of size x size: a small portrait (hair, face, shoulders)
// on a rounded blue tile, edges smoothed, transparent outside the tile.
DIB *Icon_Draw(int size);

// The 11 x 33 check picture: an empty box, a ticked box, and a ticked box
// on the blue of a selected row, stacked from the top.
enum { CHECK_SIDE = 11, CHECK_STATES = 3 };
DIB *Check_Draw(void);

// The bytes of an .ico file holding the 32-bit images (each stored as a
// bottom-up bitmap with its AND mask). Heap block, free with free();
// nullptr on failure.
unsigned char *Ico_Encode(DIB *const *images, int count, size_t *outSize);
