// The cache of decoded images, keyed by path exactly as requested.
//
// A document decodes each part image once and hands every layer its own copy
// or grey conversion, so the cache may drop an image at any time without a
// layer noticing. It holds at most `capacity` decoded images and, when full,
// drops the one used longest ago (the earlier entry on a tie). Entries are
// never removed: a dropped or undecodable image is decoded again on its next
// use. Last use is a per-cache use counter rather than a clock, so the order
// can neither wrap nor tie between two different uses.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "core/imaging/dib.h"

struct ImageCache;

struct CacheEntry {
    ImageCache *cache;   // the owner
    char *path;          // owned; the lookup key, compared byte for byte
    DIB *image;          // owned decoded image; nullptr when not decoded yet,
                         // dropped, or undecodable
    uint64_t lastUse;    // use stamp of the cache; 0 for a new entry
};

enum { IMAGE_CACHE_UNLIMITED = -1, IMAGE_CACHE_DOCUMENT_CAPACITY = 10 };

struct ImageCache {
    int32_t capacity;    // most decoded images held; IMAGE_CACHE_UNLIMITED for no limit
    int32_t heldCount;   // decoded images held: +1 per decode, -1 per drop
    PtrList *entries;    // CacheEntry, one per distinct path ever looked up
    uint64_t useClock;   // stamp of the latest use
};

ImageCache *ImageCache_Create(int capacity);
// Frees every decoded image, every entry and the cache. nullptr is ignored.
void ImageCache_Free(ImageCache *cache);
// Index of the entry for `path`, created when new; -1 when the file cannot be
// opened for reading or the entry cannot be created.
int ImageCache_Lookup(ImageCache *cache, const char *path);
CacheEntry *ImageCache_EntryAt(const ImageCache *cache, int index);
// The entry's image, decoded first when it has none; stamps the use. nullptr
// when the path is not an image path or the file does not decode.
DIB *CacheEntry_GetImage(CacheEntry *entry);
// Makes room for one more decoded image by dropping the least recently used
// one when the held count has reached the capacity.
void ImageCache_EvictOne(ImageCache *cache);
// 1 when the file opens for reading (it is closed again at once).
int ImageFile_CanOpen(const char *path);
// Only entries whose path begins with '#' or contains a '.' are decoded.
int CacheEntry_IsLoadable(const CacheEntry *entry);
