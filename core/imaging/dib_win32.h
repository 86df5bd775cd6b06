// The Windows half of the imaging library: images from "PNG" resources, GDI
// text drawn into a 24-bit image, and images copied to a device context.
// Include only from *_win32.cpp files.
#pragma once

#include <windows.h>

#include "core/imaging/dib.h"

// Option bits of TextInfo.options.
enum {
    TEXTINFO_HCENTER = 0x1,   // centred horizontally
    TEXTINFO_VCENTER = 0x2,   // one line, centred vertically in the rectangle
    TEXTINFO_ELLIPSIS = 0x800 // a text too wide ends with "..." inside the rectangle
};

// How DIB_DrawTextEx draws. The program sets the first two fields after
// TextInfo_Init (the font's character width and height, as in LOGFONT: a
// width of 0 lets the font choose), then the options and the colour.
struct TextInfo {
    int32_t charWidth;    // 0 by default
    int32_t charHeight;   // 12 by default
    uint32_t options;     // TEXTINFO_* bits; 0: top-left, words wrapped
    COLORREF colour;      // text colour, black by default
    int32_t weight;       // FW_NORMAL by default
    char faceName[LF_FACESIZE];  // "굴림" (Gulim) by default, CP949
    HFONT font;           // when set, the text is drawn in it (a dialog's own
                          // font) and the four fields above are not used
};

void TextInfo_Init(TextInfo *info);
// Draws `textCP949` into the 24-bit image within `r` (top-down coordinates,
// clipped to the image) with a transparent background: pixels the glyphs do
// not touch keep their value. Returns 1 when drawn.
int DIB_DrawTextEx(DIB *image24, const Rect *r, const char *textCP949, const TextInfo *info);

// Decodes the resource of type "PNG" named `name`; nullptr when missing or
// undecodable.
DIB *DIB_CreateFromResource(HINSTANCE instance, const char *name);

// Copies the part of the image starting at `srcPos` (top-down; nullptr =
// (0, 0)) to `dst` in the device context, unscaled (`dst` nullptr = the whole
// image at (0, 0)). 24- and 32-bit images only. Returns 1 when copied.
int HDC_DrawDIB(HDC dc, const Rect *dst, const Point *srcPos, const DIB *image, DWORD rop);
