// A zip archive built in memory, for container formats made of files
// (OpenRaster). Entries keep the order they were added in, each stored as
// it is or deflated with zlib; names are UTF-8 and flagged so. Every entry
// carries the same fixed time (1980-01-01 00:00), so the same entries give
// the same bytes on every run and platform. No zip64: an archive that would
// pass 4 GiB or 65535 entries is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum ZipMethod {
    ZIP_STORED = 0,
    ZIP_DEFLATED = 8,
};

struct ZipEntryRecord {
    std::string name;
    uint32_t crc;
    uint32_t packedSize;
    uint32_t size;
    uint32_t offset;  // of its local header in the archive
    uint16_t method;
};

struct ZipArchive {
    std::vector<unsigned char> bytes;     // local headers and data so far; the whole archive once finished
    std::vector<ZipEntryRecord> entries;  // for the central directory
    int failed;                           // an entry could not be added; Finish refuses
};

// Appends one entry. Returns 1, or 0 (and marks the archive failed) when
// it would not fit the format or memory runs out.
int ZipArchive_Add(ZipArchive *zip, const char *name, const void *data, size_t size, ZipMethod method);
// Appends the central directory and its end record: `bytes` is then the
// whole archive. Returns 0 when an entry had failed.
int ZipArchive_Finish(ZipArchive *zip);
