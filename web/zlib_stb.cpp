// zlib's calls for the web build (zlib/zlib.h) over stb's deflate encoder.
#include "zlib.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

uLong crc32(uLong crc, const Bytef *buf, uInt len)
{
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    if (!buf)
        return 0;
    uint32_t c = (uint32_t)crc ^ 0xFFFFFFFFu;
    for (uInt i = 0; i < len; i++)
        c = table[(c ^ buf[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// stb writes fixed Huffman codes only: a literal takes at most 9 bits.
uLong compressBound(uLong sourceLen)
{
    return sourceLen + sourceLen / 8 + 64;
}

// stb's quality is the length of its hash chains; zlib's levels 1..9 map onto
// 2..16 (a longer search packs smaller and takes longer, as in zlib).
static int Stb_Quality(int level)
{
    if (level < 1 || level > 9)
        level = 6;
    return 2 * level;
}

// Compresses into dest; raw drops the two header bytes and the Adler sum.
static int Stb_Compress(Bytef *dest, uLongf *destLen, const Bytef *source, uLong sourceLen, int level, int raw)
{
    if (sourceLen > 0x7FFFFFFF)
        return Z_MEM_ERROR;
    int length = 0;
    unsigned char *packed = stbi_zlib_compress((unsigned char *)source, (int)sourceLen, &length, Stb_Quality(level));
    if (!packed)
        return Z_MEM_ERROR;
    const unsigned char *body = packed + (raw ? 2 : 0);
    size_t bodyLength = (size_t)length - (raw ? 6 : 0);
    if (bodyLength > *destLen) {
        STBIW_FREE(packed);
        return Z_BUF_ERROR;
    }
    memcpy(dest, body, bodyLength);
    *destLen = (uLongf)bodyLength;
    STBIW_FREE(packed);
    return Z_OK;
}

int compress2(Bytef *dest, uLongf *destLen, const Bytef *source, uLong sourceLen, int level)
{
    return Stb_Compress(dest, destLen, source, sourceLen, level, 0);
}

int deflateInit2(z_streamp strm, int level, int method, int windowBits, int memLevel, int strategy)
{
    if (method != Z_DEFLATED || (windowBits != MAX_WBITS && windowBits != -MAX_WBITS))
        return Z_STREAM_ERROR;
    strm->level = level;
    strm->windowBits = windowBits;
    strm->total_in = strm->total_out = 0;
    return Z_OK;
}

uLong deflateBound(z_streamp strm, uLong sourceLen)
{
    return compressBound(sourceLen);
}

// The whole input at once: anything but one Z_FINISH call is refused.
int deflate(z_streamp strm, int flush)
{
    if (flush != Z_FINISH || strm->total_out)
        return Z_STREAM_ERROR;
    uLongf length = strm->avail_out;
    int result = Stb_Compress(strm->next_out, &length, strm->next_in, strm->avail_in, strm->level,
                              strm->windowBits < 0);
    if (result != Z_OK)
        return result;
    strm->total_in = strm->avail_in;
    strm->next_in += strm->avail_in;
    strm->avail_in = 0;
    strm->total_out = length;
    strm->next_out += length;
    strm->avail_out -= (uInt)length;
    return Z_STREAM_END;
}

int deflateEnd(z_streamp strm)
{
    return Z_OK;
}

int inflateInit2(z_streamp strm, int windowBits)
{
    return Z_STREAM_ERROR;
}

int inflate(z_streamp strm, int flush)
{
    return Z_STREAM_ERROR;
}

int inflateEnd(z_streamp strm)
{
    return Z_OK;
}
