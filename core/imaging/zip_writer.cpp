// Zip archives in memory: local header and data per entry, then the central
// directory and its end record (PKWARE APPNOTE 4.3, without zip64, data
// descriptors or extra fields).
#include "core/imaging/zip_writer.h"

#include <cstring>
#include <new>

#include <zlib.h>

namespace {

enum : uint32_t {
    ZIP_LOCAL_SIGNATURE = 0x04034B50,
    ZIP_CENTRAL_SIGNATURE = 0x02014B50,
    ZIP_END_SIGNATURE = 0x06054B50,
    ZIP_MAX_OFFSET = 0xFFFFFFFFu,  // beyond it zip64 would be needed
};
enum : uint16_t {
    ZIP_VERSION_NEEDED = 20,       // 2.0: deflate
    ZIP_VERSION_MADE_BY = 20,      // 2.0, MS-DOS attributes
    ZIP_FLAG_UTF8 = 0x0800,        // general-purpose bit 11: names are UTF-8
    ZIP_DOS_TIME = 0,              // 00:00:00
    ZIP_DOS_DATE = (0 << 9) | (1 << 5) | 1,  // 1980-01-01
    ZIP_MAX_ENTRIES = 0xFFFF,
};

void Put16(std::vector<unsigned char> &out, uint32_t v)
{
    out.push_back((unsigned char)v);
    out.push_back((unsigned char)(v >> 8));
}

void Put32(std::vector<unsigned char> &out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Raw deflate (no zlib header), as zip wants it.
bool Deflate(const void *data, size_t size, std::vector<unsigned char> &out)
{
    z_stream z = {};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, (uLong)size));
    z.next_in = (Bytef *)data;
    z.avail_in = (uInt)size;
    z.next_out = out.data();
    z.avail_out = (uInt)out.size();
    int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return result == Z_STREAM_END;
}

void PutCommon(std::vector<unsigned char> &out, const ZipEntryRecord &e)
{
    Put16(out, ZIP_VERSION_NEEDED);
    Put16(out, ZIP_FLAG_UTF8);
    Put16(out, e.method);
    Put16(out, ZIP_DOS_TIME);
    Put16(out, ZIP_DOS_DATE);
    Put32(out, e.crc);
    Put32(out, e.packedSize);
    Put32(out, e.size);
    Put16(out, (uint32_t)e.name.size());
    Put16(out, 0);  // extra field length
}

int Fail(ZipArchive *zip)
{
    zip->failed = 1;
    return 0;
}

}  // namespace

int ZipArchive_Add(ZipArchive *zip, const char *name, const void *data, size_t size, ZipMethod method)
{
    size_t nameLength = strlen(name);
    if (zip->failed || nameLength == 0 || nameLength > 0xFFFF || zip->entries.size() >= ZIP_MAX_ENTRIES ||
        size > ZIP_MAX_OFFSET)
        return Fail(zip);
    try {
        std::vector<unsigned char> packed;
        const unsigned char *body = (const unsigned char *)data;
        size_t bodySize = size;
        if (method == ZIP_DEFLATED) {
            if (!Deflate(data, size, packed))
                return Fail(zip);
            body = packed.data();
            bodySize = packed.size();
        }
        ZipEntryRecord e;
        e.name.assign(name, nameLength);
        e.crc = (uint32_t)crc32(crc32(0, Z_NULL, 0), (const Bytef *)data, (uInt)size);
        e.packedSize = (uint32_t)bodySize;
        e.size = (uint32_t)size;
        e.offset = (uint32_t)zip->bytes.size();
        e.method = (uint16_t)method;
        if ((uint64_t)zip->bytes.size() + 30 + nameLength + bodySize > ZIP_MAX_OFFSET)
            return Fail(zip);
        Put32(zip->bytes, ZIP_LOCAL_SIGNATURE);
        PutCommon(zip->bytes, e);
        zip->bytes.insert(zip->bytes.end(), e.name.begin(), e.name.end());
        if (bodySize)
            zip->bytes.insert(zip->bytes.end(), body, body + bodySize);
        zip->entries.push_back(e);
        return 1;
    } catch (const std::bad_alloc &) {
        return Fail(zip);
    }
}

int ZipArchive_Finish(ZipArchive *zip)
{
    if (zip->failed)
        return 0;
    try {
        uint64_t start = zip->bytes.size();
        for (const ZipEntryRecord &e : zip->entries) {
            Put32(zip->bytes, ZIP_CENTRAL_SIGNATURE);
            Put16(zip->bytes, ZIP_VERSION_MADE_BY);
            PutCommon(zip->bytes, e);
            Put16(zip->bytes, 0);  // comment length
            Put16(zip->bytes, 0);  // disk number
            Put16(zip->bytes, 0);  // internal attributes
            Put32(zip->bytes, 0);  // external attributes
            Put32(zip->bytes, e.offset);
            zip->bytes.insert(zip->bytes.end(), e.name.begin(), e.name.end());
        }
        uint64_t directorySize = zip->bytes.size() - start;
        if (zip->bytes.size() + 22 > ZIP_MAX_OFFSET)
            return Fail(zip);
        Put32(zip->bytes, ZIP_END_SIGNATURE);
        Put16(zip->bytes, 0);  // this disk
        Put16(zip->bytes, 0);  // the disk the directory starts on
        Put16(zip->bytes, (uint32_t)zip->entries.size());
        Put16(zip->bytes, (uint32_t)zip->entries.size());
        Put32(zip->bytes, (uint32_t)directorySize);
        Put32(zip->bytes, (uint32_t)start);
        Put16(zip->bytes, 0);  // comment length
        return 1;
    } catch (const std::bad_alloc &) {
        return Fail(zip);
    }
}
