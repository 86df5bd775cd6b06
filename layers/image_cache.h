// The cache of decoded images, keyed by path exactly as requested.
//
// A document decodes each part image once and hands every layer a share of
// it (DIB_Share) or its own grey conversion, so the cache may drop an image
// at any time without a layer noticing. Images are kept trimmed to their
// visible box with its offset (see LayerImage). The cache holds at most
// `capacity` decoded images and at most `byteBudget` bytes of them and, when
// full, drops the one used longest ago (the earlier entry on a tie). Entries are
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
    Point offset;        // where the image lies in the whole picture
    int32_t fullWidth;   // the whole picture's size
    int32_t fullHeight;
};

// The preview holds every image of one character (about 25) with room for
// the parts of the next expression or part change, so that such a change
// decodes only what is new. Any cache keeps at most 256 MiB of images, so
// no part pack can take the program near the end of its address space.
enum { IMAGE_CACHE_UNLIMITED = -1, IMAGE_CACHE_DOCUMENT_CAPACITY = 40 };
const size_t IMAGE_CACHE_BYTE_BUDGET = (size_t)256 << 20;

struct ImageCache {
    int32_t capacity;    // most decoded images held; IMAGE_CACHE_UNLIMITED for no limit
    int32_t heldCount;   // decoded images held: +1 per decode, -1 per drop
    PtrList *entries;    // CacheEntry, one per distinct path ever looked up
    uint64_t useClock;   // stamp of the latest use
    int trim;            // keep images trimmed (1, the default) or whole
    size_t byteBudget;   // most bytes of images held
    size_t heldBytes;    // bytes of the images held
};

// Called with the path of every part image refused for its size, from the
// thread that decoded it; nullptr for none. Set once at start-up.
typedef void (*ImageRefusedHook)(const char *path);
void ImageCache_SetRefusedHook(ImageRefusedHook hook);

ImageCache *ImageCache_Create(int capacity);
// Frees every decoded image, every entry and the cache. nullptr is ignored.
void ImageCache_Free(ImageCache *cache);
// Index of the entry for `path`, created when new; -1 when the file cannot be
// opened for reading or the entry cannot be created. An entry holding an
// image was opened when it was decoded and is not opened again.
int ImageCache_Lookup(ImageCache *cache, const char *path);
// The same without opening the file: a missing file shows when the entry's
// image is asked for. -1 only when the entry cannot be created.
int ImageCache_FindOrAdd(ImageCache *cache, const char *path);
// 1 when the cache holds a decoded image for exactly this path.
int ImageCache_HoldsImage(const ImageCache *cache, const char *path);
// Decodes a part image the way the cache keeps it (trimmed unless the cache
// says otherwise), refusing images over DIB_MAX_PART_SIDE per side with a
// debug line and the refused hook. Touches nothing of the cache, so it may
// run on any thread. Returns a TRIM_ code.
int ImageCache_Decode(const ImageCache *cache, const char *path, TrimmedImage *out);
// Gives the entry the decoded image (the entry takes the image's hold),
// counts it and drops the least recently used others while the byte budget
// is exceeded.
void CacheEntry_Install(CacheEntry *entry, const TrimmedImage *decoded);
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
