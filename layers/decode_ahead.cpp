// Parallel decoding of queued images ahead of a load pass.
#include <atomic>
#include <thread>
#include <vector>

#include "layers/load_pass.h"

void Canvas_DecodeAhead(LayerDocument *doc, int threads)
{
    ImageCache *cache = doc->cache;
    if (threads < 2 || cache->capacity != IMAGE_CACHE_UNLIMITED)
        return;
    // Entries are created here, on the calling thread; the threads only
    // decode into their own slots of `decoded`.
    std::vector<CacheEntry *> wanted;
    for (int i = 0; i < PtrList_Count(doc->requests); i++) {
        const ImageRequest *r = (const ImageRequest *)PtrList_Get(doc->requests, i);
        if (!r->layer || Request_IsSuperseded(doc->requests, i))
            continue;
        int index = ImageCache_FindOrAdd(cache, r->path);
        CacheEntry *entry = ImageCache_EntryAt(cache, index);
        if (!entry || entry->image || !CacheEntry_IsLoadable(entry))
            continue;
        bool seen = false;
        for (CacheEntry *e : wanted)
            seen = seen || e == entry;
        if (!seen)
            wanted.push_back(entry);
    }
    if (wanted.size() < 2)
        return;
    std::vector<TrimmedImage> decoded(wanted.size(), TrimmedImage{});
    std::atomic<size_t> next(0);
    // Everything decoded here is held until the threads are done, outside
    // the cache's budget: once half of it is taken, the rest is left to the
    // pass, which decodes one image at a time within the budget.
    std::atomic<size_t> heldAhead(0);
    auto work = [&] {
        for (size_t i; heldAhead.load() < cache->byteBudget / 2 && (i = next++) < wanted.size();) {
            if (ImageCache_Decode(cache, wanted[i]->path, &decoded[i]) == TRIM_OK)
                heldAhead += sizeof(DIB) + decoded[i].image->sizeImage;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads && (size_t)t < wanted.size(); t++)
        pool.emplace_back(work);
    work();
    for (std::thread &t : pool)
        t.join();
    for (size_t i = 0; i < wanted.size(); i++) {
        if (!decoded[i].image)
            continue;
        CacheEntry_Install(wanted[i], &decoded[i]);
        cache->heldCount++;
    }
}
