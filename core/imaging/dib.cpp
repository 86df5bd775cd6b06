// Creation, copying and inspection of packed images.
//
// An image is a single heap block: a hidden 16-byte prefix holding the
// count of its holders, the 40-byte header, no colour entries for the formats
// made here, then the bottom-up pixel rows padded to 4 bytes. The image
// pointer is the header, so the block reaches Win32 as a packed DIB.
// Every size is checked against DIB_MAX_SIDE and DIB_MAX_PIXELS before any
// arithmetic that could overflow, so an absurd request fails cleanly.
#include "core/imaging/dib.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// In front of every image. Holders may live on different threads (the
// export's encoders release pictures the composing thread made), so the
// count is atomic.
struct alignas(16) DibPrefix {
    std::atomic<int32_t> holders;
};
static_assert(sizeof(DibPrefix) == 16, "the prefix keeps the header 16-byte aligned");

DibPrefix *Dib_Prefix(const DIB *image)
{
    return (DibPrefix *)((char *)image - sizeof(DibPrefix));
}

// A block for `bytes` bytes of image (header included) with one holder.
DIB *Dib_Allocate(size_t bytes, int cleared)
{
    void *block = cleared ? calloc(1, sizeof(DibPrefix) + bytes) : malloc(sizeof(DibPrefix) + bytes);
    if (!block)
        return nullptr;
    DibPrefix *prefix = new (block) DibPrefix;
    prefix->holders.store(1, std::memory_order_relaxed);
    return (DIB *)(prefix + 1);
}

}  // namespace

static int IsSupportedDepth(int bits)
{
    return bits == 16 || bits == 24 || bits == 32;
}

static int RowBytesFor(int bits, int width)
{
    return ((bits * width + 31) / 32) * 4;
}

void DIB_InitGlobal(void)
{
    // The library keeps no mutable global state: the PNG codec's settings are
    // fixed when the program starts, so images may be decoded and encoded on
    // several threads at once. Kept as the start-up hook the program calls.
}

static DIB *Dib_Create(int bits, int width, int height, int cleared)
{
    if (!IsSupportedDepth(bits) || width <= 0 || height <= 0)
        return nullptr;
    if (width > DIB_MAX_SIDE || height > DIB_MAX_SIDE ||
        (long long)width * height > DIB_MAX_PIXELS)
        return nullptr;
    size_t rowBytes = (size_t)RowBytesFor(bits, width);
    size_t pixelBytes = rowBytes * (size_t)height;
    DIB *image = Dib_Allocate(sizeof(DIB) + pixelBytes, cleared);
    if (!image)
        return nullptr;
    memset(image, 0, sizeof(DIB));
    image->size = sizeof(DIB);
    image->width = width;
    image->height = height;
    image->planes = 1;
    image->bitCount = (uint16_t)bits;
    image->compression = 0;
    image->sizeImage = (uint32_t)pixelBytes;
    return image;
}

DIB *DIB_Create(int bits, int width, int height)
{
    return Dib_Create(bits, width, height, 1);
}

DIB *DIB_CreateRaw(int bits, int width, int height)
{
    return Dib_Create(bits, width, height, 0);
}

static size_t DIB_TotalBytes(const DIB *image)
{
    return sizeof(DIB) + (size_t)image->clrUsed * 4 +
           (size_t)DIB_BytesPerRow(image) * (size_t)image->height;
}

DIB *DIB_MakeCopy(const DIB *image)
{
    if (!image)
        return nullptr;
    size_t total = DIB_TotalBytes(image);
    DIB *copy = Dib_Allocate(total, 0);
    if (!copy)
        return nullptr;
    memcpy(copy, image, total);
    return copy;
}

DIB *DIB_Share(const DIB *image)
{
    if (!image)
        return nullptr;
    Dib_Prefix(image)->holders.fetch_add(1, std::memory_order_relaxed);
    return (DIB *)image;
}

int DIB_IsShared(const DIB *image)
{
    return image && Dib_Prefix(image)->holders.load(std::memory_order_acquire) > 1;
}

void DIB_Delete_(DIB *image)
{
    if (!image)
        return;
    DibPrefix *prefix = Dib_Prefix(image);
    if (prefix->holders.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    prefix->~DibPrefix();
    free(prefix);
}

int DIB_BytesPerRow(const DIB *image)
{
    return RowBytesFor(image->bitCount, image->width);
}

unsigned char *DIB_Bits(const DIB *image)
{
    return (unsigned char *)image + sizeof(DIB) + (size_t)image->clrUsed * 4;
}

unsigned char *DIB_RowTD(const DIB *image, int y)
{
    return DIB_Bits(image) + (size_t)(image->height - 1 - y) * (size_t)DIB_BytesPerRow(image);
}

void DIB_GetBmpInfo(const DIB *image, BmpInfo *info)
{
    memset(info, 0, sizeof *info);
    if (!image)
        return;
    info->width = image->width;
    info->height = image->height;
    info->bitsPerPixel = image->bitCount;
    info->bytesPerRow = DIB_BytesPerRow(image);
    info->flags = BMPINFO_BOTTOMUP;
    info->bits = DIB_Bits(image);
}

void DIB_TDtoBU(const DIB *image, Rect *r)
{
    // Stored row k is picture row (height - 1 - k), so the half-open range
    // [top, bottom) of picture rows is [height - bottom, height - top).
    int top = r->top;
    r->top = image->height - r->bottom;
    r->bottom = image->height - top;
}
