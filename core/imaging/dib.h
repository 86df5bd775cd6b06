// Packed device-independent bitmaps and the pixel operations on them.
//
// An image is one heap block: a 40-byte header with the layout of Win32's
// BITMAPINFOHEADER, `clrUsed` 4-byte colour entries, then the pixel rows of
// ((bitCount * width + 31) / 32) * 4 bytes each, stored bottom-up (positive
// height), exactly as StretchDIBits takes it. Formats:
//   24 bits  blue, green, red                  (composed picture, tiles)
//   32 bits  blue, green, red, alpha (straight) (part images, caches, export)
//   16 bits  grey (byte 0), alpha (byte 1)      (tintable layers)
// Colours passed as values are COLORREF: 0x00BBGGRR.
//
// Blending is straight-alpha "over": a source pixel of alpha a lands with
// weight a/255 (exactly the source at 255, nothing at 0). Onto a 32-bit target
// the result alpha accumulates as a + dA(255 - a)/255 and the colour is the
// weighted mean, so a layer composed into a transparent image and then onto a
// background looks the same as the layer drawn onto the background directly.
// Blits clip at both images' edges.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/geometry.h"

struct DIB {
    uint32_t size;        // 40
    int32_t width;
    int32_t height;       // positive: rows stored bottom-up
    uint16_t planes;      // 1
    uint16_t bitCount;    // 16, 24 or 32
    uint32_t compression; // 0 (BI_RGB)
    uint32_t sizeImage;   // bytes of pixel data
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;     // colour entries after the header
    uint32_t clrImportant;
};
static_assert(sizeof(DIB) == 40, "DIB header must have the BITMAPINFOHEADER layout");

// What DIB_GetBmpInfo reports. On the 32-bit target the offsets are those the
// program reads: +4 height, +8 bits, +12 bytes per row, +16 flags, +28 rows.
struct BmpInfo {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    int32_t bytesPerRow;
    uint32_t flags;        // BMPINFO_BOTTOMUP when rows are stored bottom-up
    int32_t reserved[2];
    unsigned char *bits;   // first stored row
};
enum { BMPINFO_BOTTOMUP = 1 };

// The largest image the library creates or decodes, in pixels per side and in
// total; anything larger is refused as absurd.
enum { DIB_MAX_SIDE = 16384, DIB_MAX_PIXELS = 64 * 1024 * 1024 };

typedef uint32_t COLORREF_;   // 0x00BBGGRR
struct PaletteEntry { uint8_t blue, green, red, reserved; };

// Part images larger than this per side are refused as undecodable; the
// header says so before any pixel memory is taken.
enum { DIB_MAX_PART_SIDE = 4096 };

void DIB_InitGlobal(void);
DIB *DIB_Create(int bits, int width, int height);            // zeroed pixels
// The same without clearing the pixels, for callers that write every byte.
DIB *DIB_CreateRaw(int bits, int width, int height);
DIB *DIB_CreateFromFile(const char *path);                    // PNG -> 32-bit
DIB *DIB_CreateFromMemory(const void *data, size_t size);     // PNG -> 32-bit
DIB *DIB_MakeCopy(const DIB *image);
// Images are reference counted: DIB_Share adds a holder and returns the same
// image, DIB_Delete_ removes one and frees the image with its last holder.
// Nobody changes the pixels of an image that has more than one holder; a
// holder that wants to change them makes its own copy.
DIB *DIB_Share(const DIB *image);
int DIB_IsShared(const DIB *image);
void DIB_Delete_(DIB *image);

// A part image cut to the box of its pixels with non-zero alpha.
struct TrimmedImage {
    DIB *image;          // 32-bit; 1 x 1 and transparent when nothing shows
    Point offset;        // the box's top-left corner in the whole image
    int32_t fullWidth;   // the whole image's size
    int32_t fullHeight;
};
enum {
    TRIM_OK = 0,
    TRIM_UNREADABLE,     // missing, unreadable or not a decodable PNG
    TRIM_TOO_LARGE,      // the header declares more than maxSide per side
};
// Decodes a PNG file and keeps only the box (trim = 0 keeps the whole image
// at offset (0, 0)). Sizes over maxSide are refused from the header. Returns
// a TRIM_ code; `out` holds the image only for TRIM_OK.
int DIB_DecodePartFile(const char *path, int maxSide, int trim, TrimmedImage *out);
int DIB_DecodePartMemory(const void *data, size_t size, int maxSide, int trim, TrimmedImage *out);
// The box of `image32`'s pixels with non-zero alpha, copied into a new image
// (1 x 1 transparent at (0, 0) when there is none). nullptr on failure.
DIB *DIB_Trim(const DIB *image32, Point *offset);
void DIB_GetBmpInfo(const DIB *image, BmpInfo *info);

// Accessors used by the pixel code.
int DIB_BytesPerRow(const DIB *image);
unsigned char *DIB_Bits(const DIB *image);
// Row y counted from the top of the picture.
unsigned char *DIB_RowTD(const DIB *image, int y);

// Rewrites a rectangle in top-down row numbering to the stored row order.
void DIB_TDtoBU(const DIB *image, Rect *r);

// 24- and 32-bit fills; rect nullptr = whole image. A 32-bit fill sets alpha 255.
void DIB24_FillRect(DIB *image, const Rect *r, COLORREF_ colour);
// Horizontal gradient over the whole image from left to right colour.
void DIB24_GradeH(DIB *image, COLORREF_ left, COLORREF_ right);

// Alpha blits: the source's top-left lands at `pos` (nullptr = (0, 0)).
void DIB24_BltDIBA24(DIB *dst24, const Point *pos, const DIB *src32);
void DIBA24_BltDIBA24(DIB *dst32, const Point *pos, const DIB *src32);
// Seeds the drag cache in front of the selected layer from the one behind it.
void DIBA24_BltDIBA24_2(DIB *dst32, const Point *pos, const DIB *src32);
// 32-bit colour + alpha to 16-bit grey + alpha (grey = luminance of the colour).
void DIBGA8_BltDIBA24(DIB *dst16, const Point *pos, const DIB *src32);
// Tintable blits: colour = palette[grey], weight = alpha.
void DIB24_BltPaletteDIBGA8(DIB *dst24, const Point *pos, const DIB *src16, const PaletteEntry *palette);
void DIBA24_BltPaletteDIBGA8(DIB *dst32, const Point *pos, const DIB *src16, const PaletteEntry *palette);
// Plain copy of a source rectangle (top-down coordinates, nullptr = whole);
// both images must have the same depth.
void DIB_Blt(DIB *dst, const Point *pos, const DIB *src, const Rect *srcRect);

// PNG output of a 32-bit image with its alpha. Returns 1 when written.
struct VorFile;
int DIB_WritePNG(const DIB *image32, VorFile *file);
// The same PNG bytes into a heap block (free with free()); nullptr on failure.
unsigned char *DIB_EncodePNG(const DIB *image32, size_t *outSize);
