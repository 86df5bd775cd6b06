// Decoded-image cache: lookup by path, decoding on demand and eviction of the
// least recently used image.
#include "layers/image_cache.h"

#include <cstdlib>
#include <cstring>

#include "core/imaging/file.h"
#include "core/util.h"

namespace {

// One entry per distinct path; a character uses a few hundred at most.
enum { ENTRIES_INITIAL = 32, ENTRIES_GROW = 16 };

void CacheEntry_Free(void *item)
{
    CacheEntry *entry = (CacheEntry *)item;
    if (entry->image && CacheEntry_IsLoadable(entry))
        DIB_Delete_(entry->image);
    free(entry->path);
    free(entry);
}

}  // namespace

int ImageFile_CanOpen(const char *path)
{
    VorFile *file = FILE_Open(path, "rb");
    if (!file)
        return 0;
    FILE_Close(file);
    return 1;
}

ImageCache *ImageCache_Create(int capacity)
{
    ImageCache *cache = (ImageCache *)calloc(1, sizeof(ImageCache));
    if (!cache)
        return nullptr;
    cache->entries = PtrList_Create(ENTRIES_INITIAL, ENTRIES_GROW);
    if (!cache->entries) {
        free(cache);
        return nullptr;
    }
    cache->capacity = capacity;
    return cache;
}

void ImageCache_Free(ImageCache *cache)
{
    if (!cache)
        return;
    PtrList_Destroy(cache->entries, CacheEntry_Free);
    free(cache);
}

int CacheEntry_IsLoadable(const CacheEntry *entry)
{
    return entry->path[0] == '#' || strchr(entry->path, '.') != nullptr;
}

CacheEntry *ImageCache_EntryAt(const ImageCache *cache, int index)
{
    return (CacheEntry *)PtrList_Get(cache->entries, index);
}

int ImageCache_Lookup(ImageCache *cache, const char *path)
{
    if (!cache || !path || !ImageFile_CanOpen(path))
        return -1;
    int count = PtrList_Count(cache->entries);
    for (int i = 0; i < count; i++) {
        if (strcmp(ImageCache_EntryAt(cache, i)->path, path) == 0)
            return i;
    }
    CacheEntry *entry = (CacheEntry *)calloc(1, sizeof(CacheEntry));
    if (!entry)
        return -1;
    entry->path = Str_Dup(path);
    entry->cache = cache;
    int index = entry->path ? PtrList_Add(cache->entries, entry) : -1;
    if (index < 0) {
        free(entry->path);
        free(entry);
    }
    return index;
}

DIB *CacheEntry_GetImage(CacheEntry *entry)
{
    if (!entry)
        return nullptr;
    ImageCache *cache = entry->cache;
    if (!entry->image) {
        ImageCache_EvictOne(cache);
        cache->heldCount++;
        if (CacheEntry_IsLoadable(entry))
            entry->image = DIB_CreateFromFile(entry->path);
        // An attempt that produced nothing holds nothing. Counting it would
        // leave a phantom in the count that no eviction can remove, and a
        // few broken files requested again and again would shrink the cache
        // to a single image.
        if (!entry->image)
            cache->heldCount--;
    }
    entry->lastUse = ++cache->useClock;
    return entry->image;
}

void ImageCache_EvictOne(ImageCache *cache)
{
    if (cache->capacity == IMAGE_CACHE_UNLIMITED || cache->heldCount < cache->capacity)
        return;
    cache->heldCount--;

    CacheEntry *oldest = nullptr;
    int examined = 0;
    int count = PtrList_Count(cache->entries);
    for (int i = 0; i < count && examined < cache->capacity; i++) {
        CacheEntry *entry = ImageCache_EntryAt(cache, i);
        if (!entry->image)
            continue;
        examined++;
        // Strictly smaller: on equal stamps the earlier entry stays picked.
        if (!oldest || entry->lastUse < oldest->lastUse)
            oldest = entry;
    }
    if (!oldest)
        return;
    if (CacheEntry_IsLoadable(oldest))
        DIB_Delete_(oldest->image);
    oldest->image = nullptr;
}
