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

ImageRefusedHook ImageCache_refusedHook = nullptr;

void CacheEntry_Free(void *item)
{
    CacheEntry *entry = (CacheEntry *)item;
    if (entry->image && CacheEntry_IsLoadable(entry))
        DIB_Delete_(entry->image);
    free(entry->path);
    free(entry);
}

size_t Image_Bytes(const DIB *image)
{
    return sizeof(DIB) + (size_t)image->sizeImage;
}

// Lets go of the entry's image; the held count is the caller's business.
void CacheEntry_Drop(CacheEntry *entry)
{
    ImageCache *cache = entry->cache;
    size_t bytes = Image_Bytes(entry->image);
    cache->heldBytes -= bytes < cache->heldBytes ? bytes : cache->heldBytes;
    if (CacheEntry_IsLoadable(entry))
        DIB_Delete_(entry->image);
    entry->image = nullptr;
}

// The entry holding an image used longest ago, `spare` excepted; the earlier
// entry on equal stamps. Looks at no more than `limit` held images when
// limit is not negative.
CacheEntry *ImageCache_Oldest(const ImageCache *cache, const CacheEntry *spare, int limit)
{
    CacheEntry *oldest = nullptr;
    int examined = 0;
    int count = PtrList_Count(cache->entries);
    for (int i = 0; i < count && (limit < 0 || examined < limit); i++) {
        CacheEntry *entry = ImageCache_EntryAt(cache, i);
        if (!entry->image || entry == spare)
            continue;
        examined++;
        // Strictly smaller: on equal stamps the earlier entry stays picked.
        if (!oldest || entry->lastUse < oldest->lastUse)
            oldest = entry;
    }
    return oldest;
}

int ImageCache_Find(const ImageCache *cache, const char *path)
{
    int count = PtrList_Count(cache->entries);
    for (int i = 0; i < count; i++) {
        if (strcmp(ImageCache_EntryAt(cache, i)->path, path) == 0)
            return i;
    }
    return -1;
}

}  // namespace

void ImageCache_SetRefusedHook(ImageRefusedHook hook)
{
    ImageCache_refusedHook = hook;
}

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
    cache->trim = 1;
    cache->byteBudget = IMAGE_CACHE_BYTE_BUDGET;
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

int ImageCache_FindOrAdd(ImageCache *cache, const char *path)
{
    if (!cache || !path)
        return -1;
    int found = ImageCache_Find(cache, path);
    if (found >= 0)
        return found;
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

int ImageCache_Lookup(ImageCache *cache, const char *path)
{
    if (!cache || !path)
        return -1;
    if (!ImageCache_HoldsImage(cache, path) && !ImageFile_CanOpen(path))
        return -1;
    return ImageCache_FindOrAdd(cache, path);
}

int ImageCache_HoldsImage(const ImageCache *cache, const char *path)
{
    if (!cache || !path)
        return 0;
    int index = ImageCache_Find(cache, path);
    return index >= 0 && ImageCache_EntryAt(cache, index)->image != nullptr;
}

int ImageCache_Decode(const ImageCache *cache, const char *path, TrimmedImage *out)
{
    int result = DIB_DecodePartFile(path, DIB_MAX_PART_SIDE, cache->trim, out);
    if (result == TRIM_TOO_LARGE) {
        Debug_Print("image refused, larger than %d x %d : %s\n", (int)DIB_MAX_PART_SIDE, (int)DIB_MAX_PART_SIDE,
                    path);
        ImageRefusedHook hook = ImageCache_refusedHook;
        if (hook)
            hook(path);
    }
    return result;
}

void CacheEntry_Install(CacheEntry *entry, const TrimmedImage *decoded)
{
    ImageCache *cache = entry->cache;
    entry->image = decoded->image;
    entry->offset = decoded->offset;
    entry->fullWidth = decoded->fullWidth;
    entry->fullHeight = decoded->fullHeight;
    cache->heldBytes += Image_Bytes(entry->image);
    while (cache->heldBytes > cache->byteBudget) {
        CacheEntry *oldest = ImageCache_Oldest(cache, entry, -1);
        if (!oldest)
            break;
        CacheEntry_Drop(oldest);
        cache->heldCount--;
    }
}

DIB *CacheEntry_GetImage(CacheEntry *entry)
{
    if (!entry)
        return nullptr;
    ImageCache *cache = entry->cache;
    if (!entry->image) {
        ImageCache_EvictOne(cache);
        cache->heldCount++;
        TrimmedImage decoded;
        if (CacheEntry_IsLoadable(entry) && ImageCache_Decode(cache, entry->path, &decoded) == TRIM_OK)
            CacheEntry_Install(entry, &decoded);
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
    CacheEntry *oldest = ImageCache_Oldest(cache, nullptr, cache->capacity);
    if (oldest)
        CacheEntry_Drop(oldest);
}
