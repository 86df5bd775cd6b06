// The decoded-image cache: capacity, least-recently-used eviction, the
// loadable rule and decoding again after eviction or failure.
#include <doctest.h>

#include <string>
#include <vector>

#include "layer_test_support.h"
#include "layers/image_cache.h"

using namespace layertest;

namespace {

// Writes `count` distinct small PNGs and returns their paths.
std::vector<std::string> WriteImages(const TempFolder &folder, int count)
{
    std::vector<std::string> paths;
    for (int i = 0; i < count; i++) {
        DIB *image = SolidImage(3 + i, 2, {(uint8_t)i, 0, 0, 255});
        paths.push_back(folder.WritePng("image" + std::to_string(i) + ".png", image));
        DIB_Delete_(image);
    }
    return paths;
}

DIB *Use(ImageCache *cache, const std::string &path)
{
    int index = ImageCache_Lookup(cache, path.c_str());
    REQUIRE(index >= 0);
    return CacheEntry_GetImage(ImageCache_EntryAt(cache, index));
}

int DecodedCount(const ImageCache *cache)
{
    int n = 0;
    for (int i = 0; i < PtrList_Count(cache->entries); i++)
        n += ImageCache_EntryAt(cache, i)->image != nullptr;
    return n;
}

// The eviction tests use a cache of ten; the preview's holds more.
const int kTen = 10;

}  // namespace

TEST_CASE("eleven images through a cache of ten")
{
    TempFolder folder;
    std::vector<std::string> paths = WriteImages(folder, 11);
    ImageCache *cache = ImageCache_Create(kTen);

    SUBCASE("the one used longest ago loses its image and is decoded again")
    {
        for (const std::string &p : paths)
            REQUIRE(Use(cache, p) != nullptr);
        CHECK(PtrList_Count(cache->entries) == 11);
        CHECK(DecodedCount(cache) == 10);
        CHECK(cache->heldCount == 10);
        CHECK(ImageCache_EntryAt(cache, 0)->image == nullptr);
        CHECK(ImageCache_EntryAt(cache, 0)->path == paths[0]);

        DIB *again = Use(cache, paths[0]);
        REQUIRE(again != nullptr);
        CHECK(again->width == 3);
        CHECK(DecodedCount(cache) == 10);
        CHECK(ImageCache_EntryAt(cache, 1)->image == nullptr);
        CHECK(PtrList_Count(cache->entries) == 11);
    }
    SUBCASE("a recent use protects an image from eviction")
    {
        for (int i = 0; i < 10; i++)
            Use(cache, paths[i]);
        DIB *first = Use(cache, paths[0]);  // cached: no decode, same image
        CHECK(first == ImageCache_EntryAt(cache, 0)->image);
        CHECK(cache->heldCount == 10);
        Use(cache, paths[10]);
        CHECK(ImageCache_EntryAt(cache, 0)->image == first);
        CHECK(ImageCache_EntryAt(cache, 1)->image == nullptr);
        CHECK(ImageCache_EntryAt(cache, 2)->image != nullptr);
    }
    SUBCASE("an unlimited cache keeps everything")
    {
        ImageCache_Free(cache);
        cache = ImageCache_Create(IMAGE_CACHE_UNLIMITED);
        for (const std::string &p : paths)
            Use(cache, p);
        CHECK(DecodedCount(cache) == 11);
        CHECK(cache->heldCount == 11);
    }
    ImageCache_Free(cache);
}

TEST_CASE("lookup keys, missing files, undecodable files and paths without a dot")
{
    TempFolder folder;
    std::vector<std::string> paths = WriteImages(folder, 1);
    ImageCache *cache = ImageCache_Create(kTen);

    SUBCASE("one path is one entry; another spelling of the same file is another")
    {
        int a = ImageCache_Lookup(cache, paths[0].c_str());
        CHECK(ImageCache_Lookup(cache, paths[0].c_str()) == a);
        std::string other = folder.Path(".") + "/" + "image0.png";
        int b = ImageCache_Lookup(cache, other.c_str());
        CHECK(b >= 0);
        CHECK(b != a);
        CHECK(ImageCache_EntryAt(cache, a)->cache == cache);
        CHECK(ImageCache_EntryAt(cache, a)->lastUse == 0);
    }
    SUBCASE("a file that cannot be opened has no entry")
    {
        CHECK(ImageCache_Lookup(cache, folder.Path("missing.png").c_str()) == -1);
        CHECK(ImageCache_Lookup(cache, nullptr) == -1);
        CHECK(PtrList_Count(cache->entries) == 0);
    }
    SUBCASE("a file that does not decode keeps its entry and is tried again at each use")
    {
        std::string bad = folder.WriteBytes("broken.png", "not a png at all");
        int index = ImageCache_Lookup(cache, bad.c_str());
        REQUIRE(index >= 0);
        CacheEntry *entry = ImageCache_EntryAt(cache, index);
        CHECK(CacheEntry_GetImage(entry) == nullptr);
        CHECK(cache->heldCount == 0);
        CHECK(CacheEntry_GetImage(entry) == nullptr);
        CHECK(cache->heldCount == 0);
        // The same bytes fixed on disk decode at the next use.
        DIB *image = SolidImage(5, 5, {1, 2, 3, 4});
        folder.WritePng("broken.png", image);
        DIB_Delete_(image);
        DIB *decoded = CacheEntry_GetImage(entry);
        REQUIRE(decoded != nullptr);
        CHECK(decoded->width == 5);
    }
    SUBCASE("a path without a dot gets an entry but never an image")
    {
        // A perfectly good PNG, but its name does not look like an image file.
        TempFolder dotless(true);
        DIB *image = SolidImage(5, 5, {1, 2, 3, 4});
        std::string noDot = dotless.WritePng("picture", image);
        DIB_Delete_(image);
        REQUIRE(noDot.find('.') == std::string::npos);
        int index = ImageCache_Lookup(cache, noDot.c_str());
        REQUIRE(index >= 0);
        CacheEntry *entry = ImageCache_EntryAt(cache, index);
        CHECK(CacheEntry_IsLoadable(entry) == 0);
        CHECK(CacheEntry_GetImage(entry) == nullptr);
        CHECK(CacheEntry_GetImage(entry) == nullptr);
        CHECK(entry->lastUse > 0);
    }
    ImageCache_Free(cache);
}

TEST_CASE("failed decodes do not wear the cache down")
{
    // Broken files requested pass after pass must not take the place of
    // decoded images for good: the cache still holds ten afterwards.
    TempFolder folder;
    std::vector<std::string> paths = WriteImages(folder, 11);
    std::string bad = folder.WriteBytes("broken.png", "still not a png");
    ImageCache *cache = ImageCache_Create(kTen);
    for (int i = 0; i < 10; i++)
        Use(cache, paths[i]);
    for (int attempt = 0; attempt < 12; attempt++)
        CHECK(Use(cache, bad) == nullptr);
    CHECK(DecodedCount(cache) == 9);  // the first attempt made room for itself
    Use(cache, paths[10]);
    for (int i = 1; i < 10; i++)
        Use(cache, paths[i]);
    CHECK(DecodedCount(cache) == 10);
    CHECK(cache->heldCount == 10);
    ImageCache_Free(cache);
}

TEST_CASE("eviction picks the smallest stamp, the earlier entry on a tie")
{
    // Stamps set by hand stand in for uses long ago; entry order decides ties.
    TempFolder folder;
    std::vector<std::string> paths = WriteImages(folder, 4);
    ImageCache *cache = ImageCache_Create(3);
    for (int i = 0; i < 3; i++)
        Use(cache, paths[i]);
    ImageCache_EntryAt(cache, 0)->lastUse = 7;
    ImageCache_EntryAt(cache, 1)->lastUse = 5;
    ImageCache_EntryAt(cache, 2)->lastUse = 5;
    Use(cache, paths[3]);
    CHECK(ImageCache_EntryAt(cache, 0)->image != nullptr);
    CHECK(ImageCache_EntryAt(cache, 1)->image == nullptr);
    CHECK(ImageCache_EntryAt(cache, 2)->image != nullptr);
    CHECK(ImageCache_EntryAt(cache, 3)->image != nullptr);
    CHECK(cache->heldCount == 3);
    ImageCache_Free(cache);
}
