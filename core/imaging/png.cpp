// PNG decoding into 32-bit images and PNG encoding of 32-bit images, in
// memory. The file and resource front ends call these.
//
// Decoding: the header is read first and images over DIB_MAX_SIDE per side or
// DIB_MAX_PIXELS in total are refused before any pixel memory is taken. Every
// PNG (grey, palette, 16-bit, with or without alpha) becomes straight-alpha
// BGRA, bottom-up. Damaged or truncated data gives nullptr.
// Encoding: RGBA with alpha, compressed by zlib at a fast level; colour under
// alpha 0 is kept, so a round trip is pixel exact. Work buffers of the
// picture's size come from the shared scratch pool.
//
// The codec keeps no mutable state between calls (its settings are fixed at
// start-up and failure strings are off), so several threads may use it.
#include "core/imaging/dib.h"
#include "core/imaging/png_kept.h"
#include "core/imaging/scratch.h"
#include "core/imaging/trim.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include <zlib.h>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif

#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS DIB_MAX_SIDE
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// Chosen by measurement on 360 x 480 part images (bench_imaging): the "up"
// row filter gives within 1% of the size of trying all five filters per row
// at about half the time, and zlib level 1 is 2-3 times faster than level 3
// for about 13% more bytes. Decoding is fastest with these too.
enum { PNG_ZLIB_LEVEL = 1, PNG_FILTER = 2 };

static uint32_t Png_Be32(const unsigned char *p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// Walks the chunk list before the decoder sees it. The decoder trusts chunk
// lengths (a damaged length makes it allocate up to 2 GB before it finds the
// data missing) and passes a null buffer to memcpy for an empty first IDAT.
// Refused: a list that runs past the data or has no IEND, and image data too
// short to inflate to the picture the header claims (deflate expands at most
// 1032 times), so a small file never makes the decoder allocate the memory
// of a huge picture. Sets *emptyIdat when an empty IDAT chunk is present.
static int Png_CheckChunks(const unsigned char *p, size_t size, int *emptyIdat)
{
    *emptyIdat = 0;
    if (size < 8 + 25)
        return 0;
    size_t pos = 8, idatBytes = 0;
    for (;;) {
        if (size - pos < 12)
            return 0;
        uint32_t length = Png_Be32(p + pos);
        if (length > size - pos - 12)
            return 0;
        const unsigned char *type = p + pos + 4;
        if (memcmp(type, "IDAT", 4) == 0) {
            idatBytes += length;
            *emptyIdat |= length == 0;
        }
        pos += 12 + (size_t)length;
        if (memcmp(type, "IEND", 4) == 0)
            break;
    }
    // IHDR: width, height, bit depth, colour type (checked by the decoder).
    uint64_t w = Png_Be32(p + 16), h = Png_Be32(p + 20);
    if (w > DIB_MAX_SIDE || h > DIB_MAX_SIDE)
        return 0;
    int depth = p[24], colourType = p[25];
    int samples = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    uint64_t rowBytes = (w * (uint64_t)samples * (uint64_t)depth + 7) / 8;
    uint64_t rawBytes = h * (1 + rowBytes);
    return rawBytes <= (uint64_t)idatBytes * 1032 + 1024;
}

// A copy of the PNG without its empty IDAT chunks (malloc'd).
static unsigned char *Png_DropEmptyIdat(const unsigned char *p, size_t size, size_t *outSize)
{
    unsigned char *copy = (unsigned char *)malloc(size);
    if (!copy)
        return nullptr;
    memcpy(copy, p, 8);
    size_t in = 8, out = 8;
    while (in < size) {
        size_t chunk = 12 + (size_t)Png_Be32(p + in);
        if (!(chunk == 12 && memcmp(p + in + 4, "IDAT", 4) == 0)) {
            memcpy(copy + out, p + in, chunk);
            out += chunk;
        }
        in += chunk;
        if (memcmp(p + in - chunk + 4, "IEND", 4) == 0)
            break;
    }
    *outSize = out;
    return copy;
}

// ---- decoding ---------------------------------------------------------------

// The PNGs part packs and the export are made of (8-bit grey, grey + alpha,
// RGB or RGBA, not interlaced, no transparent-colour chunk) are inflated row
// by row straight into the target, with no picture-sized buffer in between;
// everything else goes to the general decoder. A stream the fast path does
// not take cleanly (damaged, or longer or shorter than the picture) is left
// to the general decoder too, so the two accept and refuse the same files.
static int Png_FastEligible(const unsigned char *p, size_t size)
{
    if (memcmp(p, "\x89PNG\r\n\x1a\n", 8) != 0 || Png_Be32(p + 8) != 13 || memcmp(p + 12, "IHDR", 4) != 0)
        return 0;
    int depth = p[24], colourType = p[25];
    if (depth != 8 || p[26] != 0 || p[27] != 0 || p[28] != 0)
        return 0;
    if (colourType != 0 && colourType != 2 && colourType != 4 && colourType != 6)
        return 0;
    // Png_CheckChunks has made sure the list is whole and ends with IEND.
    for (size_t pos = 8 + 25; pos + 12 <= size;) {
        const unsigned char *type = p + pos + 4;
        if (memcmp(type, "IEND", 4) == 0)
            return 1;
        int critical = !(type[0] & 0x20);
        if ((critical && memcmp(type, "IDAT", 4) != 0) || memcmp(type, "tRNS", 4) == 0)
            return 0;
        pos += 12 + (size_t)Png_Be32(p + pos);
    }
    return 0;
}

static inline int Png_Paeth(int a, int b, int c)
{
    int p = a + b - c;
    int pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

#if defined(__GNUC__)
#define PNG_RESTRICT __restrict__
#define PNG_HOT __attribute__((optimize("O3")))
#else
#define PNG_RESTRICT
#define PNG_HOT
#endif

// Undoes the row filter in place; `prior` is the row above (zeros above the
// first). 0 for an unknown filter type.
PNG_HOT static int Png_Unfilter(unsigned char *PNG_RESTRICT row, const unsigned char *PNG_RESTRICT prior, size_t n,
                                int bpp, int filter)
{
    switch (filter) {
    case 0:
        return 1;
    case 1:
        for (size_t i = (size_t)bpp; i < n; i++)
            row[i] = (unsigned char)(row[i] + row[i - bpp]);
        return 1;
    case 2:
        for (size_t i = 0; i < n; i++)
            row[i] = (unsigned char)(row[i] + prior[i]);
        return 1;
    case 3:
        for (size_t i = 0; i < (size_t)bpp; i++)
            row[i] = (unsigned char)(row[i] + (prior[i] >> 1));
        for (size_t i = (size_t)bpp; i < n; i++)
            row[i] = (unsigned char)(row[i] + ((row[i - bpp] + prior[i]) >> 1));
        return 1;
    case 4:
        for (size_t i = 0; i < (size_t)bpp; i++)
            row[i] = (unsigned char)(row[i] + prior[i]);
        for (size_t i = (size_t)bpp; i < n; i++)
            row[i] = (unsigned char)(row[i] + Png_Paeth(row[i - bpp], prior[i], prior[i - bpp]));
        return 1;
    }
    return 0;
}

// One unfiltered row of `channels` samples per pixel to BGRA.
PNG_HOT static void Png_RowToBgra(unsigned char *PNG_RESTRICT out, const unsigned char *PNG_RESTRICT in, int w,
                                  int channels)
{
    switch (channels) {
    case 4:
        // RGBA read as a little-endian word is 0xAABBGGRR: swap red and blue.
        for (int x = 0; x < w; x++) {
            uint32_t v;
            memcpy(&v, in + 4 * x, 4);
            v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
            memcpy(out + 4 * x, &v, 4);
        }
        break;
    case 3:
        for (int x = 0; x < w; x++, in += 3, out += 4) {
            out[0] = in[2]; out[1] = in[1]; out[2] = in[0]; out[3] = 255;
        }
        break;
    case 2:
        for (int x = 0; x < w; x++, in += 2, out += 4) {
            out[0] = out[1] = out[2] = in[0]; out[3] = in[1];
        }
        break;
    default:
        for (int x = 0; x < w; x++, in++, out += 4) {
            out[0] = out[1] = out[2] = in[0]; out[3] = 255;
        }
        break;
    }
}

// The image data of the chunk list, one IDAT chunk after the other.
struct PngIdatReader {
    const unsigned char *p;
    size_t size;
    size_t pos;   // next chunk to look at
};

static int Png_NextIdat(PngIdatReader *r, z_stream *z)
{
    while (r->pos + 12 <= r->size) {
        size_t length = Png_Be32(r->p + r->pos);
        const unsigned char *type = r->p + r->pos + 4;
        if (memcmp(type, "IEND", 4) == 0)
            return 0;
        const unsigned char *data = r->p + r->pos + 8;
        r->pos += 12 + length;
        if (memcmp(type, "IDAT", 4) == 0 && length > 0) {
            z->next_in = (Bytef *)data;
            z->avail_in = (uInt)length;
            return 1;
        }
    }
    return 0;
}

// Inflates until `out` is full; 1 when it is, 0 on damage or too little data.
// *ended says the stream ended, exactly at the end of `out` or before.
static int Png_Inflate(z_stream *z, PngIdatReader *r, unsigned char *out, size_t n, int *ended)
{
    z->next_out = out;
    z->avail_out = (uInt)n;
    while (z->avail_out > 0) {
        if (*ended)
            return 0;
        if (z->avail_in == 0 && !Png_NextIdat(r, z))
            return 0;
        int result = inflate(z, Z_NO_FLUSH);
        if (result == Z_STREAM_END)
            *ended = 1;
        else if (result != Z_OK)
            return 0;
    }
    return 1;
}

enum { PNG_BAND_BYTES = 32768 };

// Deflate, no preset dictionary, and the header's own check.
static int Png_ZlibHeaderOk(const unsigned char *h)
{
    return (h[0] & 15) == 8 && !(h[1] & 32) && (h[0] * 256 + h[1]) % 31 == 0;
}

static int Png_DecodeFast(const unsigned char *p, size_t size, int w, int h, unsigned char *top, ptrdiff_t stride)
{
    int channels = p[25] == 6 ? 4 : p[25] == 2 ? 3 : p[25] == 4 ? 2 : 1;
    size_t rowBytes = (size_t)w * channels, slot = rowBytes + 1;
    // Rows are inflated a band at a time (inflating row by row keeps zlib off
    // its fast path); slot 0 keeps the band's last row as the next one's prior.
    int band = (int)(PNG_BAND_BYTES / slot);
    if (band < 1)
        band = 1;
    unsigned char *rows = (unsigned char *)calloc((size_t)band + 1, slot);
    // The zlib header is read here and the deflate data inflated raw: the
    // checksum at the end is not computed (it cost a sixth of the decoding),
    // just as the general decoder ignores it.
    z_stream z;
    memset(&z, 0, sizeof z);
    PngIdatReader reader = {p, size, 8};
    if (!rows || !Png_NextIdat(&reader, &z) || z.avail_in < 2 || !Png_ZlibHeaderOk(z.next_in) ||
        inflateInit2(&z, -15) != Z_OK) {
        free(rows);
        return 0;
    }
    z.next_in += 2;
    z.avail_in -= 2;
    int ok = 1, ended = 0;
    for (int y0 = 0; ok && y0 < h; y0 += band) {
        int k = h - y0 < band ? h - y0 : band;
        ok = Png_Inflate(&z, &reader, rows + slot, (size_t)k * slot, &ended);
        for (int r = 1; ok && r <= k; r++) {
            unsigned char *row = rows + (size_t)r * slot;
            ok = Png_Unfilter(row + 1, row + 1 - slot, rowBytes, channels, row[0]);
            if (ok)
                Png_RowToBgra(top + (ptrdiff_t)(y0 + r - 1) * stride, row + 1, w, channels);
        }
        memcpy(rows, rows + (size_t)k * slot, slot);
    }
    // The stream must end cleanly. Data beyond the picture is passed over,
    // as the general decoder does (such files exist in the wild).
    unsigned char extra[1024];
    while (ok && !ended) {
        Png_Inflate(&z, &reader, extra, sizeof extra, &ended);
        ok = ended || z.avail_out == 0;
    }
    inflateEnd(&z);
    free(rows);
    return ok;
}

// Decodes into rows at top + y * stride (y counted from the top). w and h
// are the header's, already checked.
static int Png_DecodeRows(const unsigned char *bytes, size_t size, int w, int h, unsigned char *top, ptrdiff_t stride)
{
    if (Png_FastEligible(bytes, size) && Png_DecodeFast(bytes, size, w, h, top, stride))
        return 1;
    int dw = 0, dh = 0, channels = 0;
    stbi_uc *rgba = stbi_load_from_memory(bytes, (int)size, &dw, &dh, &channels, 4);
    if (!rgba)
        return 0;
    int ok = dw == w && dh == h;
    for (int y = 0; ok && y < h; y++)
        Png_RowToBgra(top + (ptrdiff_t)y * stride, rgba + (size_t)y * w * 4, w, 4);
    stbi_image_free(rgba);
    return ok;
}

// Checks the chunk list and reads the size from the header; *clean is a
// malloc'd copy without empty IDAT chunks when the data had any (bytes then
// point into it), else nullptr.
// The general decoder keeps a palette image's colours in a table it never
// clears, so pixel indices past the palette's end read whatever was there
// before: the same file could decode differently from call to call. A
// palette shorter than 256 entries is padded with black in a copy (malloc'd;
// nullptr when no padding is needed or possible), which makes those pixels
// opaque black every time. A transparency list longer than the palette is
// left as it is, for the decoder to refuse.
static unsigned char *Png_PadPalette(const unsigned char *p, size_t size, size_t *outSize)
{
    if (size < 8 + 25 || p[25] != 3)
        return nullptr;
    size_t palette = 0, paletteLength = 0, transparency = 0;
    for (size_t pos = 8; pos + 12 <= size;) {
        size_t length = Png_Be32(p + pos);
        const unsigned char *type = p + pos + 4;
        if (memcmp(type, "PLTE", 4) == 0 && !palette) {
            palette = pos;
            paletteLength = length;
        }
        if (memcmp(type, "tRNS", 4) == 0)
            transparency = length > transparency ? length : transparency;
        if (memcmp(type, "IEND", 4) == 0)
            break;
        pos += 12 + length;
    }
    if (!palette || paletteLength % 3 != 0 || paletteLength >= 768 || transparency > paletteLength / 3)
        return nullptr;
    size_t grow = 768 - paletteLength;
    unsigned char *copy = (unsigned char *)malloc(size + grow);
    if (!copy)
        return nullptr;
    size_t data = palette + 8;
    memcpy(copy, p, data + paletteLength);
    memset(copy + data + paletteLength, 0, grow);
    memcpy(copy + data + 768 + 4, p + data + paletteLength + 4, size - (data + paletteLength + 4));
    copy[palette] = 0;
    copy[palette + 1] = 0;
    copy[palette + 2] = 768 >> 8;
    copy[palette + 3] = 768 & 255;
    uint32_t crc = (uint32_t)crc32(0, copy + palette + 4, 4 + 768);
    unsigned char *c = copy + data + 768;
    c[0] = (unsigned char)(crc >> 24);
    c[1] = (unsigned char)(crc >> 16);
    c[2] = (unsigned char)(crc >> 8);
    c[3] = (unsigned char)crc;
    *outSize = size + grow;
    return copy;
}

static int Png_Prepare(const void *data, size_t size, const unsigned char **bytes, size_t *length,
                       unsigned char **clean, int *w, int *h)
{
    *clean = nullptr;
    if (!data || size == 0 || size > (size_t)INT_MAX)
        return 0;
    *bytes = (const unsigned char *)data;
    *length = size;
    int emptyIdat = 0;
    if (!Png_CheckChunks(*bytes, size, &emptyIdat))
        return 0;
    if (emptyIdat) {
        *clean = Png_DropEmptyIdat(*bytes, size, length);
        if (!*clean)
            return 0;
        *bytes = *clean;
    }
    size_t paddedSize = 0;
    unsigned char *padded = Png_PadPalette(*bytes, *length, &paddedSize);
    if (padded) {
        free(*clean);
        *clean = padded;
        *bytes = padded;
        *length = paddedSize;
    }
    int channels = 0;
    if (!stbi_info_from_memory(*bytes, (int)*length, w, h, &channels) ||
        *w <= 0 || *h <= 0 || *w > DIB_MAX_SIDE || *h > DIB_MAX_SIDE ||
        (long long)*w * *h > DIB_MAX_PIXELS) {
        free(*clean);
        *clean = nullptr;
        return 0;
    }
    return 1;
}

DIB *DIB_CreateFromMemory(const void *data, size_t size)
{
    const unsigned char *bytes;
    size_t length;
    unsigned char *clean;
    int w, h;
    if (!Png_Prepare(data, size, &bytes, &length, &clean, &w, &h))
        return nullptr;
    DIB *image = DIB_CreateRaw(32, w, h);
    // Bottom-up storage: the top row is the last stored one.
    if (image && !Png_DecodeRows(bytes, length, w, h, DIB_RowTD(image, 0), -(ptrdiff_t)DIB_BytesPerRow(image))) {
        DIB_Delete_(image);
        image = nullptr;
    }
    free(clean);
    return image;
}

int DIB_DecodePartMemory(const void *data, size_t size, int maxSide, int trim, TrimmedImage *out)
{
    memset(out, 0, sizeof *out);
    // The declared size decides first, whatever else is wrong with the file.
    const unsigned char *head = (const unsigned char *)data;
    if (data && size >= 24 && memcmp(head + 12, "IHDR", 4) == 0 &&
        (Png_Be32(head + 16) > (uint32_t)maxSide || Png_Be32(head + 20) > (uint32_t)maxSide))
        return TRIM_TOO_LARGE;
    const unsigned char *bytes;
    size_t length;
    unsigned char *clean;
    int w, h;
    if (!Png_Prepare(data, size, &bytes, &length, &clean, &w, &h))
        return TRIM_UNREADABLE;
    out->fullWidth = w;
    out->fullHeight = h;
    if (!trim) {
        free(clean);
        out->image = DIB_CreateFromMemory(data, size);
        return out->image ? TRIM_OK : TRIM_UNREADABLE;
    }
    // The whole picture goes to a reused work buffer, and only its visible
    // box to the new image.
    size_t bytesNeeded = (size_t)w * h * 4;
    unsigned char *work = (unsigned char *)Scratch_Take(bytesNeeded);
    if (work && Png_DecodeRows(bytes, length, w, h, work, (ptrdiff_t)w * 4))
        out->image = DIB_TrimRows(work, (ptrdiff_t)w * 4, w, h, &out->offset);
    Scratch_Give(work, bytesNeeded);
    free(clean);
    return out->image ? TRIM_OK : TRIM_UNREADABLE;
}

// ---- encoding ---------------------------------------------------------------

static void Png_Put32(unsigned char *p, uint32_t v)
{
    p[0] = (unsigned char)(v >> 24);
    p[1] = (unsigned char)(v >> 16);
    p[2] = (unsigned char)(v >> 8);
    p[3] = (unsigned char)v;
}

// The chunk at p: length, type, then the CRC of type and data after them.
static unsigned char *Png_Chunk(unsigned char *p, const char *type, const unsigned char *data, uint32_t length)
{
    Png_Put32(p, length);
    memcpy(p + 4, type, 4);
    if (data && length)
        memmove(p + 8, data, length);
    Png_Put32(p + 8 + length, (uint32_t)crc32(0, p + 4, 4 + length));
    return p + 12 + length;
}

// The rows as the PNG stores them: RGBA, each after its filter byte. Every
// row carries the "up" filter; the first has no row above, so its bytes are
// its own (which is what "up" over zeros gives).
static void Png_FilterRows(unsigned char *out, const DIB *image32)
{
    int w = image32->width, h = image32->height;
    size_t stride = (size_t)w * 4 + 1;
    const unsigned char *above = nullptr;
    for (int y = 0; y < h; y++, out += stride) {
        const unsigned char *in = DIB_RowTD(image32, y);
        out[0] = PNG_FILTER;
        unsigned char *o = out + 1;
        if (!above) {
            for (int x = 0; x < w; x++, o += 4) {
                o[0] = in[4 * x + 2]; o[1] = in[4 * x + 1]; o[2] = in[4 * x + 0]; o[3] = in[4 * x + 3];
            }
        } else {
            for (int x = 0; x < w; x++, o += 4) {
                o[0] = (unsigned char)(in[4 * x + 2] - above[4 * x + 2]);
                o[1] = (unsigned char)(in[4 * x + 1] - above[4 * x + 1]);
                o[2] = (unsigned char)(in[4 * x + 0] - above[4 * x + 0]);
                o[3] = (unsigned char)(in[4 * x + 3] - above[4 * x + 3]);
            }
        }
        above = in;
    }
}

// Signature, IHDR and the IDAT chunk's head, the compressed rows, then the
// IDAT's CRC and IEND: the layout of the PNG writer the program used
// before, so that its output stays byte for byte the same.
enum { PNG_HEAD = 8 + 25 + 8, PNG_TAIL = 4 + 12 };

// The filtered rows' size, or 0 for a picture the encoder does not take.
static size_t Png_RawBytes(const DIB *image32)
{
    if (!image32 || image32->bitCount != 32 || image32->width <= 0 || image32->height <= 0)
        return 0;
    size_t rawBytes = (size_t)image32->height * ((size_t)image32->width * 4 + 1);
    return rawBytes > (size_t)INT_MAX ? 0 : rawBytes;
}

// The chunks around `zlen` compressed bytes at png + PNG_HEAD; returns the
// block shrunk to the file's size.
static unsigned char *Png_Finish(unsigned char *png, const DIB *image32, uLongf zlen, size_t *outSize)
{
    int w = image32->width, h = image32->height;
    static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    unsigned char header[13];
    Png_Put32(header, (uint32_t)w);
    Png_Put32(header + 4, (uint32_t)h);
    header[8] = 8;    // bits per sample
    header[9] = 6;    // RGBA
    header[10] = header[11] = header[12] = 0;
    memcpy(png, signature, 8);
    Png_Chunk(png + 8, "IHDR", header, 13);
    unsigned char *end = Png_Chunk(png + PNG_HEAD - 8, "IDAT", nullptr, (uint32_t)zlen);
    end = Png_Chunk(end, "IEND", nullptr, 0);
    size_t total = (size_t)(end - png);
    // Only the bytes written were touched; give back the rest of the bound.
    unsigned char *shrunk = (unsigned char *)realloc(png, total);
    if (shrunk)
        png = shrunk;
    if (outSize)
        *outSize = total;
    return png;
}

// An encoding's buffers: the filtered rows (from the scratch pool) and the
// file, with room for the compressed rows at their worst.
struct PngWork {
    size_t rawBytes;
    unsigned char *raw;
    uLongf bound;
    unsigned char *png;
};

// Takes the buffers and filters the rows into them; 0 for a picture the
// encoder does not take or when memory ran out.
static int Png_BeginWork(const DIB *image32, PngWork *work, size_t *outSize)
{
    if (outSize)
        *outSize = 0;
    *work = PngWork{Png_RawBytes(image32), nullptr, 0, nullptr};
    if (!work->rawBytes)
        return 0;
    work->raw = (unsigned char *)Scratch_Take(work->rawBytes);
    work->bound = compressBound((uLong)work->rawBytes);
    work->png = (unsigned char *)malloc(PNG_HEAD + (size_t)work->bound + PNG_TAIL);
    if (!work->raw || !work->png) {
        Scratch_Give(work->raw, work->rawBytes);
        free(work->png);
        return 0;
    }
    Png_FilterRows(work->raw, image32);
    return 1;
}

// Gives the rows back; the file is finished around `zlen` compressed bytes
// when `packed`, else freed.
static unsigned char *Png_EndWork(PngWork *work, const DIB *image32, int packed, uLongf zlen, size_t *outSize)
{
    Scratch_Give(work->raw, work->rawBytes);
    if (!packed || zlen > INT_MAX) {
        free(work->png);
        return nullptr;
    }
    return Png_Finish(work->png, image32, zlen, outSize);
}

unsigned char *DIB_EncodePNG(const DIB *image32, size_t *outSize)
{
    PngWork work;
    if (!Png_BeginWork(image32, &work, outSize))
        return nullptr;
    uLongf zlen = work.bound;
    int packed = compress2(work.png + PNG_HEAD, &zlen, work.raw, (uLong)work.rawBytes, PNG_ZLIB_LEVEL) == Z_OK;
    return Png_EndWork(&work, image32, packed, zlen, outSize);
}

// ---- pictures that differ from an encoded one only from some row down ------

#if defined(ZLIB_VERNUM)
struct PngKept {
    z_stream stream;    // the encoder before `row`, its output pointer unused
    int row;
    uLong written;      // compressed bytes it had given out
    int width, height;  // the picture it was taken from
};

// Feeds the filtered rows [from, to) to the encoder; 0 on an encoder error.
static int Png_Feed(z_stream *z, unsigned char *raw, size_t stride, int from, int to, int flush)
{
    z->next_in = raw + stride * (size_t)from;
    z->avail_in = (uInt)(stride * (size_t)(to - from));
    int result = deflate(z, flush);
    return flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK && z->avail_in == 0;
}

unsigned char *DIB_EncodePNGKeeping(const DIB *image32, const std::vector<int> &rows, std::vector<PngKept *> *kept,
                                    size_t *outSize)
{
    kept->assign(rows.size(), nullptr);
    PngWork work;
    if (!Png_BeginWork(image32, &work, outSize))
        return nullptr;
    z_stream z = {};
    if (deflateInit(&z, PNG_ZLIB_LEVEL) != Z_OK)
        return Png_EndWork(&work, image32, 0, 0, outSize);
    size_t stride = work.rawBytes / (size_t)image32->height;
    z.next_out = work.png + PNG_HEAD;
    z.avail_out = (uInt)work.bound;
    // The rows in order; each kept encoder is a copy taken on the way down.
    int at = 0, ok = 1;
    for (;;) {
        int next = image32->height;
        for (int row : rows)
            if (row > at && row < next)
                next = row;
        if (next == image32->height)
            break;
        ok = Png_Feed(&z, work.raw, stride, at, next, Z_NO_FLUSH);
        if (!ok)
            break;
        at = next;
        for (size_t i = 0; i < rows.size(); i++) {
            if (rows[i] != at)
                continue;
            PngKept *k = new PngKept{};
            if (deflateCopy(&k->stream, &z) != Z_OK) {
                delete k;
                continue;
            }
            k->row = at;
            k->written = z.total_out;
            k->width = image32->width;
            k->height = image32->height;
            (*kept)[i] = k;
        }
    }
    ok = ok && Png_Feed(&z, work.raw, stride, at, image32->height, Z_FINISH);
    deflateEnd(&z);
    if (!ok)
        for (PngKept *&k : *kept) {
            PngKept_Free(k);
            k = nullptr;
        }
    return Png_EndWork(&work, image32, ok, z.total_out, outSize);
}

unsigned char *DIB_EncodePNGFrom(const PngKept *kept, const unsigned char *keptPng, const DIB *image32,
                                 size_t *outSize)
{
    if (!kept || !keptPng || !Png_RawBytes(image32) || image32->width != kept->width ||
        image32->height != kept->height)
        return DIB_EncodePNG(image32, outSize);
    PngWork work;
    if (!Png_BeginWork(image32, &work, outSize))
        return nullptr;
    z_stream z = {};
    if (deflateCopy(&z, const_cast<z_stream *>(&kept->stream)) != Z_OK) {
        Png_EndWork(&work, image32, 0, 0, outSize);
        return DIB_EncodePNG(image32, outSize);
    }
    // The rows above are the same: so are the bytes the encoder gave for them.
    memcpy(work.png + PNG_HEAD, keptPng + PNG_HEAD, kept->written);
    z.next_out = work.png + PNG_HEAD + kept->written;
    z.avail_out = (uInt)(work.bound - kept->written);
    size_t stride = work.rawBytes / (size_t)image32->height;
    int ok = Png_Feed(&z, work.raw, stride, kept->row, image32->height, Z_FINISH);
    deflateEnd(&z);
    return Png_EndWork(&work, image32, ok, z.total_out, outSize);
}

void PngKept_Free(PngKept *kept)
{
    if (!kept)
        return;
    deflateEnd(&kept->stream);
    delete kept;
}
#else
// A zlib without an encoder to copy: every picture from the top.
struct PngKept {};

unsigned char *DIB_EncodePNGKeeping(const DIB *image32, const std::vector<int> &rows, std::vector<PngKept *> *kept,
                                    size_t *outSize)
{
    kept->assign(rows.size(), nullptr);
    return DIB_EncodePNG(image32, outSize);
}

unsigned char *DIB_EncodePNGFrom(const PngKept *kept, const unsigned char *keptPng, const DIB *image32,
                                 size_t *outSize)
{
    (void)kept;
    (void)keptPng;
    return DIB_EncodePNG(image32, outSize);
}

void PngKept_Free(PngKept *kept)
{
    delete kept;
}
#endif
