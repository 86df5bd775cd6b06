// The cast sheet: every member of a cast in its first exported picture
// (the first checked style, the first expression), at half size, in rows of
// ten (wider for casts of more than 600, so the sheet stays a picture that
// can be made), with the member's name lettered under it, on an opaque
// light ground so that it reads as a page.
#pragma once

#include "core/imaging/dib.h"
#include "output/headless.h"

enum {
    CAST_SHEET_COLUMNS = 10,
    CAST_SHEET_SCALE = 2,       // cells are the picture halved
    CAST_SHEET_LABEL = 22,      // pixels under each picture for the name
    CAST_SHEET_MARGIN = 8,
};

// Reads each of the `count` project files into the session in turn and
// composes the sheet. A file that cannot be read, or a character without a
// checked style, leaves its cell empty but still named (the file name then).
// nullptr when count < 1 or memory runs out.
DIB *CastSheet_Compose(Headless *h, const char *const *projectPaths, int count);

// Letters CP949 `text` centred in the row band [top, top + 16) of a 32-bit
// image, with the glyphs of output/name_glyphs.inc; a character without a
// glyph is drawn as a hollow box. Returns the text's width in pixels.
int CastSheet_Letter(DIB *image32, int centreX, int top, const char *text);
// 1 when every byte of `text` has a glyph (the tests hold the names to it).
int CastSheet_CanLetter(const char *text);
