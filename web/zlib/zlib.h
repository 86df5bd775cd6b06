// The part of zlib's interface the core uses, for the web build, where no
// zlib library is linked (emscripten's own port would be fetched from the
// network). zlib_stb.cpp implements it with stb's deflate encoder and a CRC
// of its own:
// - compress2, deflate (one call with Z_FINISH, as the zip writer makes it;
//   raw or with the zlib header) and crc32 give what zlib's would decode to;
// - inflateInit2 declines, so the PNG decoder's row-by-row path steps aside
//   and stb's decoder, which the core uses for every other PNG, decodes.
#pragma once

#include <cstddef>

typedef unsigned char Bytef;
typedef unsigned int uInt;
typedef unsigned long uLong;
typedef unsigned long uLongf;

#define Z_NULL 0
#define MAX_WBITS 15

enum {
    Z_OK = 0,
    Z_STREAM_END = 1,
    Z_STREAM_ERROR = -2,
    Z_DATA_ERROR = -3,
    Z_MEM_ERROR = -4,
    Z_BUF_ERROR = -5,
    Z_NO_FLUSH = 0,
    Z_FINISH = 4,
    Z_DEFLATED = 8,
    Z_BEST_SPEED = 1,
    Z_BEST_COMPRESSION = 9,
    Z_DEFAULT_STRATEGY = 0,
};

struct z_stream {
    Bytef *next_in;
    uInt avail_in;
    uLong total_in;
    Bytef *next_out;
    uInt avail_out;
    uLong total_out;
    const char *msg;
    int level;       // the encoder's settings, kept by deflateInit2
    int windowBits;  // negative: raw deflate
};
typedef z_stream *z_streamp;

uLong crc32(uLong crc, const Bytef *buf, uInt len);

uLong compressBound(uLong sourceLen);
int compress2(Bytef *dest, uLongf *destLen, const Bytef *source, uLong sourceLen, int level);

int deflateInit2(z_streamp strm, int level, int method, int windowBits, int memLevel, int strategy);
uLong deflateBound(z_streamp strm, uLong sourceLen);
int deflate(z_streamp strm, int flush);
int deflateEnd(z_streamp strm);

int inflateInit2(z_streamp strm, int windowBits);
int inflate(z_streamp strm, int flush);
int inflateEnd(z_streamp strm);
