// Queueing image requests and the load pass that turns them into layer
// images: order of effects, the cache's part in it, and failures.
#include <doctest.h>

#include <string>
#include <vector>

#include "core/util.h"
#include "layer_test_support.h"
#include "layers/load_pass.h"
#include "layers/tint.h"

using namespace layertest;

namespace {

// Everything the pass reported, in order, as short words.
struct PassLog {
    LayerDocument *doc;
    std::vector<std::string> events;
    int queuedAtRender = -1;
    int cachesDroppedBeforeFirstItem = -1;
    // Queued once by the first itemStarted, to see the pass pick it up.
    ImageRequest *lateRequest = nullptr;
};

void OnItem(void *context, int index)
{
    PassLog *log = (PassLog *)context;
    if (log->cachesDroppedBeforeFirstItem < 0)
        log->cachesDroppedBeforeFirstItem = log->doc->dragCacheStale && !log->doc->belowCache;
    log->events.push_back("item " + std::to_string(index));
    if (log->lateRequest) {
        Canvas_QueueImage(log->doc, log->lateRequest);
        log->lateRequest = nullptr;
    }
}

void OnRender(void *context)
{
    PassLog *log = (PassLog *)context;
    log->queuedAtRender = PtrList_Count(log->doc->requests);
    Canvas_Render(log->doc, nullptr);
    log->events.push_back("render");
}

void OnFinished(void *context)
{
    ((PassLog *)context)->events.push_back("finished");
}

std::vector<std::string> g_debugLines;
void CaptureDebug(const char *line) { g_debugLines.push_back(line); }

std::string WriteSolid(const TempFolder &folder, const char *name, int w, int h, Bgra colour)
{
    DIB *image = SolidImage(w, h, colour);
    std::string path = folder.WritePng(name, image);
    DIB_Delete_(image);
    return path;
}

void Queue(LayerDocument *doc, Layer *layer, const std::string &path, const HlsColour *colour = nullptr)
{
    Canvas_QueueImage(doc, ImageRequest_Create(layer, path.c_str(), colour));
}

}  // namespace

TEST_CASE("a pass reports each item in order, empties the queue, then composes")
{
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    Layer *layers[3];
    std::string paths[3];
    for (int i = 0; i < 3; i++) {
        layers[i] = Layer_CreateImage(10 + i, doc->root);
        PtrList_Add(doc->depthList, layers[i]);
        paths[i] = WriteSolid(folder, ("p" + std::to_string(i) + ".png").c_str(), 10 + i, 5, {0, 0, 200, 255});
        Queue(doc, layers[i], paths[i]);
    }
    // Give the document drag caches so that the drop at the start shows.
    Canvas_DropDragCache(doc);
    Canvas_BuildDragCache(doc, nullptr);
    REQUIRE(doc->belowCache != nullptr);

    PassLog log;
    log.doc = doc;
    LoadPassHooks hooks = {&log, OnItem, OnRender, OnFinished};
    DebugSink old = Debug_SetSink(CaptureDebug);
    g_debugLines.clear();
    Canvas_LoadPass(doc, &hooks);
    Debug_SetSink(old);

    const std::vector<std::string> expected = {"item 0", "item 1", "item 2", "render", "finished"};
    CHECK(log.events == expected);
    CHECK(log.queuedAtRender == 0);
    CHECK(log.cachesDroppedBeforeFirstItem == 1);
    REQUIRE(g_debugLines.size() == 3);
    CHECK(g_debugLines[1] == "thread : " + paths[1] + "\n");
    for (int i = 0; i < 3; i++) {
        REQUIRE(Layer_GetImage(layers[i])->image != nullptr);
        CHECK(layers[i]->rect.right == 10 + i);
    }
    // The composition ran after the layers had their images.
    CHECK(PixelAt(doc->composed, 0, 0).r == 200);
    LayerDocument_Free(doc);
}

TEST_CASE("requests queued while a pass runs are loaded by it")
{
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    Layer *a = Layer_CreateImage(1, doc->root);
    Layer *b = Layer_CreateImage(2, doc->root);
    std::string path = WriteSolid(folder, "a.png", 4, 4, {1, 2, 3, 255});
    Queue(doc, a, path);

    PassLog log;
    log.doc = doc;
    log.lateRequest = ImageRequest_Create(b, path.c_str(), nullptr);
    LoadPassHooks hooks = {&log, OnItem, OnRender, nullptr};
    Canvas_LoadPass(doc, &hooks);
    const std::vector<std::string> expected = {"item 0", "item 1", "render"};
    CHECK(log.events == expected);
    CHECK(Layer_GetImage(b)->image != nullptr);
    CHECK(PtrList_Count(doc->requests) == 0);
    LayerDocument_Free(doc);
}

TEST_CASE("queueing tells whether the file exists; a missing file empties its layer")
{
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    Layer *layer = Layer_CreateImage(1, doc->root);
    std::string good = WriteSolid(folder, "good.png", 6, 7, {1, 2, 3, 255});
    std::string missing = folder.Path("missing.png");

    CHECK(Canvas_QueueImage(doc, ImageRequest_Create(layer, good.c_str(), nullptr)) == 1);
    Canvas_RefreshNow(doc, nullptr, nullptr);
    REQUIRE(Layer_GetImage(layer)->image != nullptr);

    CHECK(Canvas_QueueImage(doc, ImageRequest_Create(layer, missing.c_str(), nullptr)) == 0);
    CHECK(PtrList_Count(doc->requests) == 1);
    CHECK(Canvas_QueueImage(doc, nullptr) == 0);
    CHECK(PtrList_Count(doc->requests) == 1);
    Canvas_RefreshNow(doc, nullptr, nullptr);
    CHECK(Layer_GetImage(layer)->image == nullptr);
    CHECK(layer->rect.right == 6);  // the rect stays when the image goes
    CHECK(PtrList_Count(doc->requests) == 0);

    SUBCASE("an undecodable file and a path without a dot empty their layers too")
    {
        std::string bad = folder.WriteBytes("bad.png", "\x89PNG but not really");
        TempFolder dotless(true);
        DIB *image = SolidImage(2, 2, {0, 0, 0, 255});
        std::string noDot = dotless.WritePng("nodot", image);
        DIB_Delete_(image);
        REQUIRE(noDot.find('.') == std::string::npos);
        Layer *other = Layer_CreateImage(2, doc->root);
        Queue(doc, layer, good);
        Queue(doc, other, good);
        Canvas_RefreshNow(doc, nullptr, nullptr);
        Queue(doc, layer, bad);
        Queue(doc, other, noDot);
        Canvas_RefreshNow(doc, nullptr, nullptr);
        CHECK(Layer_GetImage(layer)->image == nullptr);
        CHECK(Layer_GetImage(other)->image == nullptr);
    }
    LayerDocument_Free(doc);
}

TEST_CASE("destroying a layer forgets the requests queued for it and its sub-layers")
{
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    Layer *group = Layer_Create(2100, doc->root);
    Layer *inGroup = Layer_CreateImage(2016, group);
    Layer *kept = Layer_CreateImage(2001, doc->root);
    PtrList_Add(doc->depthList, group);
    PtrList_Add(doc->depthList, kept);
    std::string path = WriteSolid(folder, "a.png", 4, 4, {1, 2, 3, 255});
    HlsColour colour = {1, 2, 3};
    Queue(doc, inGroup, path, &colour);
    Queue(doc, kept, path);
    Queue(doc, group, path);

    // Removing the entry destroys the group with its image layer, while
    // their requests are still waiting.
    PtrList_RemoveAt(doc->depthList, 0, Layer_DestroyItem);
    CHECK(((ImageRequest *)PtrList_Get(doc->requests, 0))->layer == nullptr);
    CHECK(((ImageRequest *)PtrList_Get(doc->requests, 1))->layer == kept);
    CHECK(((ImageRequest *)PtrList_Get(doc->requests, 2))->layer == nullptr);

    PassLog log;
    log.doc = doc;
    LoadPassHooks hooks = {&log, OnItem, OnRender, nullptr};
    Canvas_LoadPass(doc, &hooks);
    const std::vector<std::string> expected = {"item 0", "item 1", "item 2", "render"};
    CHECK(log.events == expected);
    CHECK(Layer_GetImage(kept)->image != nullptr);

    SUBCASE("layers of another tree leave the queue alone")
    {
        Layer *loose = Layer_CreateImage(5, nullptr);
        Queue(doc, kept, path);
        Layer_Destroy(loose);
        CHECK(((ImageRequest *)PtrList_Get(doc->requests, 0))->layer == kept);
    }
    LayerDocument_Free(doc);
}

TEST_CASE("requests refuse paths that do not fit and copy what they are given")
{
    Layer *layer = Layer_CreateImage(1, nullptr);
    std::string longest(VOR_MAX_PATH - 1, 'a');
    std::string tooLong(VOR_MAX_PATH, 'a');
    HlsColour colour = {1, 2, 3};

    ImageRequest *fits = ImageRequest_Create(layer, longest.c_str(), &colour);
    REQUIRE(fits != nullptr);
    colour.hue = 99;
    CHECK(fits->colour->hue == 1);
    CHECK(std::string(fits->path) == longest);
    CHECK(ImageRequest_Create(layer, tooLong.c_str(), nullptr) == nullptr);
    CHECK(ImageRequest_Create(layer, nullptr, nullptr) == nullptr);
    ImageRequest *plain = ImageRequest_Create(layer, "x.png", nullptr);
    CHECK(plain->colour == nullptr);
    ImageRequest_Free(fits);
    ImageRequest_Free(plain);
    Layer_Destroy(layer);
}

TEST_CASE("one path twice in a pass, with and without colour, is decoded once")
{
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    Layer *tinted = Layer_CreateImage(1, doc->root);
    Layer *plain = Layer_CreateImage(2, doc->root);
    std::string path = WriteSolid(folder, "hair.png", 8, 9, {100, 100, 100, 255});
    HlsColour colour = {0, 128, 255};
    Queue(doc, tinted, path, &colour);
    Queue(doc, plain, path);
    Canvas_RefreshNow(doc, nullptr, nullptr);

    CHECK(doc->cache->heldCount == 1);
    CHECK(PtrList_Count(doc->cache->entries) == 1);
    const DIB *cached = ImageCache_EntryAt(doc->cache, 0)->image;
    REQUIRE(cached != nullptr);

    LayerImage *t = Layer_GetImage(tinted);
    LayerImage *p = Layer_GetImage(plain);
    CHECK(t->image->bitCount == 16);
    CHECK(t->palette != nullptr);
    CHECK(t->colour.saturation == 255);
    CHECK(p->image->bitCount == 32);
    CHECK(p->palette == nullptr);
    // The tinted layer has its own conversion; the plain one shares the
    // cache's image, which outlives the cache's hold on it.
    CHECK(t->image != cached);
    CHECK(p->image == cached);
    CHECK(DIB_IsShared(cached));
    CHECK(tinted->rect.right == 8);
    CHECK(tinted->rect.bottom == 9);

    SUBCASE("the cache may let its images go at any time")
    {
        ImageCache_Free(doc->cache);
        doc->cache = ImageCache_Create(IMAGE_CACHE_DOCUMENT_CAPACITY);
        CHECK_FALSE(DIB_IsShared(p->image));
        CHECK(DIB_RowTD(p->image, 8)[4 * 7 + 3] == 255);
    }

    SUBCASE("later passes take it from the cache and a plain request makes the layer plain again")
    {
        Queue(doc, tinted, path);
        Canvas_RefreshNow(doc, nullptr, nullptr);
        CHECK(doc->cache->heldCount == 1);
        CHECK(Layer_GetImage(tinted)->palette == nullptr);
        CHECK(Layer_GetImage(tinted)->image->bitCount == 32);
    }
    LayerDocument_Free(doc);
}

TEST_CASE("refreshing without a window")
{
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    Layer *layer = Layer_CreateImage(1, doc->root);
    PtrList_Add(doc->depthList, layer);
    std::string path = WriteSolid(folder, "a.png", 4, 4, {0, 0, 255, 255});
    PassLog log;
    log.doc = doc;
    LoadPassHooks hooks = {&log, OnItem, OnRender, OnFinished};

    SUBCASE("an empty queue composes at once without a pass")
    {
        Canvas_RefreshNow(doc, &hooks, nullptr);
        CHECK(log.events.empty());
        CHECK(PixelAt(doc->composed, 0, 0).g == 255);
    }
    SUBCASE("a pass marked running makes a refresh do nothing")
    {
        Queue(doc, layer, path);
        doc->loaderRunning = 1;
        Canvas_RefreshNow(doc, &hooks, nullptr);
        CHECK(log.events.empty());
        CHECK(PtrList_Count(doc->requests) == 1);
        doc->loaderRunning = 0;
        Canvas_RefreshNow(doc, &hooks, nullptr);
        CHECK(log.events.size() == 3);
        CHECK(doc->loaderRunning == 0);
        CHECK(PixelAt(doc->composed, 0, 0).r == 255);
    }
    LayerDocument_Free(doc);
}
