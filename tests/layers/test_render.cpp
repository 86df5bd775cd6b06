// Composition of the depth list: order, offsets, blit choice, the export
// image and the drag caches with their fast path.
#include <doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "layer_test_support.h"
#include "layers/render.h"
#include "layers/tint.h"

using namespace layertest;

namespace {

const Bgra kGreen = {0, 255, 0, 255};

// Appends an entry to the back of the depth list (drawn behind the others).
Layer *AddBack(LayerDocument *doc, Layer *layer)
{
    PtrList_Add(doc->depthList, layer);
    return layer;
}

int g_repaints;
void CountRepaint(void *) { g_repaints++; }
int g_busyDepth, g_busyCalls;
void TrackBusy(void *, int busy)
{
    g_busyDepth += busy ? 1 : -1;
    g_busyCalls++;
}

}  // namespace

TEST_CASE("an empty depth list renders plain green and asks for a repaint")
{
    LayerDocument *doc = LayerDocument_Create();
    g_repaints = 0;
    CanvasHooks hooks = {nullptr, CountRepaint, nullptr};
    Canvas_Render(doc, &hooks);
    CHECK(g_repaints == 1);
    CHECK(doc->composed->width == 360);
    CHECK(doc->composed->height == 480);
    CHECK(doc->composed->bitCount == 24);
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 360; x += 5)
            CHECK(SameBgr(PixelAt(doc->composed, x, y), kGreen));
    LayerDocument_Free(doc);
}

TEST_CASE("the last depth entry is drawn first and index 0 last")
{
    LayerDocument *doc = LayerDocument_Create();
    Layer *mouth = SolidLayer(doc->root, 1, 10, 10, 20, 20, {0, 0, 255, 255});
    Layer *eyes = SolidLayer(doc->root, 2, 5, 5, 20, 20, {255, 0, 0, 255});
    Layer *body = SolidLayer(doc->root, 3, 0, 0, 40, 40, {255, 255, 255, 255});
    AddBack(doc, mouth);
    AddBack(doc, eyes);
    AddBack(doc, body);
    Canvas_Render(doc, nullptr);
    CHECK(SameBgr(PixelAt(doc->composed, 1, 1), {255, 255, 255, 255}));   // body only
    CHECK(SameBgr(PixelAt(doc->composed, 6, 6), {255, 0, 0, 255}));       // eyes over body
    CHECK(SameBgr(PixelAt(doc->composed, 15, 15), {0, 0, 255, 255}));     // mouth over both
    CHECK(SameBgr(PixelAt(doc->composed, 50, 50), kGreen));

    SUBCASE("reordering the list reorders the picture")
    {
        Array_Move(doc->depthList, 2, 2, 0);  // body to the front
        Canvas_Render(doc, nullptr);
        CHECK(SameBgr(PixelAt(doc->composed, 15, 15), {255, 255, 255, 255}));
    }
    SUBCASE("layers outside the list are not drawn")
    {
        PtrList_RemoveAt(doc->depthList, 0, nullptr);
        Canvas_Render(doc, nullptr);
        CHECK(SameBgr(PixelAt(doc->composed, 15, 15), {255, 0, 0, 255}));
    }
    LayerDocument_Free(doc);
}

TEST_CASE("groups draw below their children, which are offset by the group")
{
    LayerDocument *doc = LayerDocument_Create();
    Layer *group = Layer_CreateImage(2005, doc->root);
    Layer_SetImage(group, SolidImage(30, 30, {9, 9, 9, 255}));
    Layer_MoveTo(group, 10, 20);
    Layer *first = SolidLayer(group, 2016, 0, 0, 4, 4, {0, 0, 200, 255});
    SolidLayer(group, 2017, 2, 2, 4, 4, {200, 0, 0, 255});
    AddBack(doc, group);
    Canvas_Render(doc, nullptr);

    CHECK(SameBgr(PixelAt(doc->composed, 10, 20), {0, 0, 200, 255}));  // first child at (10, 20)
    CHECK(SameBgr(PixelAt(doc->composed, 12, 22), {200, 0, 0, 255}));  // later child on top
    CHECK(SameBgr(PixelAt(doc->composed, 9, 19), kGreen));
    CHECK(SameBgr(PixelAt(doc->composed, 30, 40), {9, 9, 9, 255}));    // the group itself, below

    SUBCASE("a hidden layer hides its subtree")
    {
        first->flags &= ~LAYER_VISIBLE;
        Canvas_Render(doc, nullptr);
        CHECK(SameBgr(PixelAt(doc->composed, 10, 20), {9, 9, 9, 255}));
        group->flags &= ~LAYER_VISIBLE;
        Canvas_Render(doc, nullptr);
        CHECK(SameBgr(PixelAt(doc->composed, 12, 22), kGreen));
    }
    SUBCASE("layers partly outside the picture are drawn as far as they overlap")
    {
        Layer_MoveTo(group, -25, 470);
        Canvas_Render(doc, nullptr);
        CHECK(SameBgr(PixelAt(doc->composed, 0, 470), {9, 9, 9, 255}));
        CHECK(SameBgr(PixelAt(doc->composed, 4, 479), {9, 9, 9, 255}));
        CHECK(SameBgr(PixelAt(doc->composed, 5, 470), kGreen));
    }
    LayerDocument_Free(doc);
}

TEST_CASE("tintable layers use the palette blit on 24- and 32-bit targets")
{
    LayerDocument *doc = LayerDocument_Create();
    Layer *hair = Layer_CreateImage(1, doc->root);
    DIB *grey = SolidImage(10, 10, {200, 200, 200, 255});
    REQUIRE(Layer_MakeTintableFrom(hair, grey) == 1);
    DIB_Delete_(grey);
    const HlsColour colour = {170, 100, 200};
    Layer_SetColor(hair, colour);
    Layer_MoveTo(hair, 3, 3);
    AddBack(doc, hair);
    const PaletteEntry *palette = Layer_GetImage(hair)->palette;
    const PaletteEntry expect = palette[200];
    REQUIRE(expect.blue != expect.red);

    Canvas_Render(doc, nullptr);
    Bgra onCanvas = PixelAt(doc->composed, 5, 5);
    CHECK(onCanvas.r == expect.red);
    CHECK(onCanvas.g == expect.green);
    CHECK(onCanvas.b == expect.blue);

    DIB *exported = Canvas_ComposeExport(doc);
    REQUIRE(exported != nullptr);
    CHECK(exported->bitCount == 32);
    Bgra inExport = PixelAt(exported, 5, 5);
    CHECK(inExport.r == expect.red);
    CHECK(inExport.g == expect.green);
    CHECK(inExport.b == expect.blue);
    CHECK(inExport.a == 255);
    CHECK(PixelAt(exported, 0, 0).a == 0);  // the export starts transparent
    CHECK(PixelAt(exported, 359, 479).a == 0);
    DIB_Delete_(exported);

    SUBCASE("other target depths receive nothing")
    {
        DIB *target16 = DIB_Create(16, 20, 20);
        Layer_Draw(hair, target16);
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 40; x++)
                CHECK(DIB_RowTD(target16, y)[x] == 0);
        DIB_Delete_(target16);
    }
    LayerDocument_Free(doc);
}

TEST_CASE("selection keeps or drops the drag caches")
{
    LayerDocument *doc = LayerDocument_Create();
    AddBack(doc, SolidLayer(doc->root, 1, 0, 0, 10, 10, {1, 1, 1, 255}));
    CHECK(doc->selectedId == 0);
    CHECK(doc->dragCacheStale == 0);
    Canvas_BuildDragCache(doc, nullptr);
    CHECK(doc->belowCache == nullptr);  // nothing dropped yet, nothing built

    Canvas_SelectLayer(doc, 1);
    CHECK(doc->dragCacheStale == 1);
    g_busyDepth = g_busyCalls = 0;
    CanvasHooks hooks = {nullptr, nullptr, TrackBusy};
    Canvas_BuildDragCache(doc, &hooks);
    REQUIRE(doc->belowCache != nullptr);
    CHECK(g_busyCalls == 2);
    CHECK(g_busyDepth == 0);
    DIB *below = doc->belowCache;

    Canvas_SelectLayer(doc, 1);
    CHECK(doc->belowCache == below);
    CHECK(doc->dragCacheStale == 0);
    Canvas_BuildDragCache(doc, &hooks);  // still current: not rebuilt
    CHECK(doc->belowCache == below);
    CHECK(g_busyCalls == 2);

    Canvas_SelectLayer(doc, DOCUMENT_NO_SELECTION);
    CHECK(doc->belowCache == nullptr);
    CHECK(doc->aboveCache == nullptr);
    CHECK(doc->dragCacheStale == 1);
    LayerDocument_Free(doc);
}

TEST_CASE("the drag caches split the depth list around the selected entry")
{
    // Five separate red squares: entry i at x = 20 i, so each cache shows
    // which entries went into it. The cache behind is an opaque picture over
    // the background; the one in front is transparent where nothing lies.
    LayerDocument *doc = LayerDocument_Create();
    for (int i = 0; i < 5; i++)
        AddBack(doc, SolidLayer(doc->root, 100 + i, 20 * i, 0, 10, 10, {(uint8_t)(50 * i), 0, 200, 255}));
    auto inCache = [](const DIB *cache, int entry) {
        Bgra px = PixelAt(cache, 20 * entry + 5, 5);
        return px.r == 200 && px.a == 255;
    };

    SUBCASE("selected at index 2 of 5")
    {
        Canvas_SelectLayer(doc, 102);
        Canvas_BuildDragCache(doc, nullptr);
        const bool below[] = {false, false, false, true, true};
        const bool above[] = {true, true, false, false, false};
        for (int i = 0; i < 5; i++) {
            CAPTURE(i);
            CHECK(inCache(doc->belowCache, i) == below[i]);
            CHECK(inCache(doc->aboveCache, i) == above[i]);
        }
    }
    SUBCASE("no entry selected: everything is behind and the front cache is empty")
    {
        Canvas_SelectLayer(doc, 999);
        Canvas_BuildDragCache(doc, nullptr);
        for (int i = 0; i < 5; i++) {
            CHECK(inCache(doc->belowCache, i));
            CHECK_FALSE(inCache(doc->aboveCache, i));
        }
        CHECK(SameBgr(PixelAt(doc->belowCache, 15, 5), kGreen));
        CHECK(PixelAt(doc->aboveCache, 15, 5).a == 0);
        Canvas_Render(doc, nullptr);
        CHECK(PixelAt(doc->composed, 45, 5).b == 100);
    }
    SUBCASE("the first render after a drop takes the full path; after a build, the fast one")
    {
        Canvas_SelectLayer(doc, 102);
        Layer *back = (Layer *)PtrList_Get(doc->depthList, 4);
        Layer_MoveTo(back, 200, 0);
        Canvas_Render(doc, nullptr);
        CHECK(PixelAt(doc->composed, 205, 5).b == 200);
        // Build, then change a layer behind the selection without a drop: the
        // fast path shows the caches, which still hold the old position.
        Canvas_BuildDragCache(doc, nullptr);
        Layer_MoveTo(back, 300, 0);
        Canvas_Render(doc, nullptr);
        CHECK(PixelAt(doc->composed, 205, 5).b == 200);
        CHECK(SameBgr(PixelAt(doc->composed, 305, 5), kGreen));
        // Moving the selected layer itself shows at once.
        Layer_MoveTo((Layer *)PtrList_Get(doc->depthList, 2), 150, 100);
        Canvas_Render(doc, nullptr);
        CHECK(PixelAt(doc->composed, 155, 105).b == 100);
        CHECK(SameBgr(PixelAt(doc->composed, 45, 5), kGreen));
    }
    LayerDocument_Free(doc);
}

namespace {

// How far the fast path strayed from the full path over many renders.
struct PathComparison {
    int worst = 0;
    long aboveOne = 0;  // channel values that differ by more than 1
    long compared = 0;
};

typedef DIB *(*RandomImageMaker)(std::mt19937 &random, int w, int h);

int RandomBelow(std::mt19937 &random, int n)
{
    return (int)(random() % (unsigned)n);
}

// Noise: every pixel has its own colour and alpha, a quarter of them fully
// transparent and some opaque. Far harsher than any part image.
DIB *NoiseImage(std::mt19937 &random, int w, int h)
{
    DIB *image = DIB_Create(32, w, h);
    for (int y = 0; y < h; y++) {
        unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < w; x++) {
            for (int c = 0; c < 3; c++)
                row[4 * x + c] = (uint8_t)RandomBelow(random, 256);
            int kind = RandomBelow(random, 4);
            row[4 * x + 3] = (uint8_t)(kind == 0 ? 0 : kind == 1 ? 255 : RandomBelow(random, 256));
        }
    }
    return image;
}

// Like a part image: an anti-aliased ellipse, opaque inside with a soft
// two-pixel edge, sometimes a half-transparent band (a shadow or a veil),
// shaded colour, transparent outside.
DIB *PartImage(std::mt19937 &random, int w, int h)
{
    DIB *image = DIB_Create(32, w, h);
    uint8_t base[3] = {(uint8_t)RandomBelow(random, 256), (uint8_t)RandomBelow(random, 256),
                       (uint8_t)RandomBelow(random, 256)};
    int bandAlpha = RandomBelow(random, 2) ? 40 + RandomBelow(random, 180) : 255;
    double cx = w / 2.0, cy = h / 2.0, rx = w / 2.0 - 1, ry = h / 2.0 - 1;
    for (int y = 0; y < h; y++) {
        unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < w; x++) {
            double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            double edge = (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry) / 2.0;
            double alpha = edge <= 0 ? 0 : edge >= 1 ? 1 : edge;
            if (y > h * 2 / 3)
                alpha *= bandAlpha / 255.0;
            for (int c = 0; c < 3; c++)
                row[4 * x + c] = (uint8_t)(base[c] * (0.5 + 0.5 * y / h));
            row[4 * x + 3] = (uint8_t)(alpha * 255.0 + 0.5);
        }
    }
    return image;
}

void Compare(const DIB *a, const DIB *b, PathComparison *result)
{
    for (int y = 0; y < a->height; y++) {
        const unsigned char *p = DIB_RowTD(a, y);
        const unsigned char *q = DIB_RowTD(b, y);
        for (int x = 0; x < 3 * a->width; x++) {
            int d = std::abs(p[x] - q[x]);
            result->worst = std::max(result->worst, d);
            result->aboveOne += d > 1;
        }
    }
    result->compared += 3L * a->width * a->height;
}

// Random stacks of grouped layers, half of them tintable; every entry takes
// a turn as the selected one and is dragged a step, and each fast render is
// compared with a full render of the same document.
PathComparison CompareFastWithFull(RandomImageMaker makeImage, unsigned seed, int rounds)
{
    std::mt19937 random(seed);
    PathComparison result;
    for (int round = 0; round < rounds; round++) {
        LayerDocument *doc = LayerDocument_Create();
        int count = 3 + RandomBelow(random, 6);
        for (int i = 0; i < count; i++) {
            DIB *image = makeImage(random, 40 + RandomBelow(random, 200), 40 + RandomBelow(random, 300));
            Layer *group = Layer_Create(i + 1, doc->root);
            Layer_MoveTo(group, RandomBelow(random, 100) - 50, RandomBelow(random, 100) - 50);
            Layer *layer = Layer_CreateImage(1, group);
            Layer_MoveTo(layer, RandomBelow(random, 300) - 20, RandomBelow(random, 400) - 20);
            if (RandomBelow(random, 2)) {
                Layer_MakeTintableFrom(layer, image);
                Layer_SetColor(layer, {(uint8_t)RandomBelow(random, 256), (uint8_t)RandomBelow(random, 256),
                                       (uint8_t)RandomBelow(random, 256)});
                DIB_Delete_(image);
            } else {
                Layer_SetImage(layer, image);
            }
            AddBack(doc, group);
        }
        DIB *full = DIB_Create(24, 360, 480);
        for (int selected = 0; selected < count; selected++) {
            Layer *entry = (Layer *)PtrList_Get(doc->depthList, selected);
            Canvas_SelectLayer(doc, entry->id);
            Canvas_BuildDragCache(doc, nullptr);
            REQUIRE(doc->belowCache != nullptr);
            for (int step = 0; step < 2; step++) {
                Canvas_Render(doc, nullptr);
                memcpy(DIB_Bits(full), DIB_Bits(doc->composed), full->sizeImage);
                // Hide the caches for one render to take the full path.
                DIB *below = doc->belowCache;
                DIB *above = doc->aboveCache;
                doc->belowCache = doc->aboveCache = nullptr;
                Canvas_Render(doc, nullptr);
                doc->belowCache = below;
                doc->aboveCache = above;
                Compare(doc->composed, full, &result);
                Layer_MoveTo(entry, entry->rect.left + 7, entry->rect.top - 3);
            }
        }
        DIB_Delete_(full);
        LayerDocument_Free(doc);
    }
    return result;
}

}  // namespace

TEST_CASE("the fast path shows the full composition on random stacks of part-like layers")
{
    PathComparison result = CompareFastWithFull(PartImage, 12345, 8);
    MESSAGE("part-like stacks: largest difference " << result.worst << ", " << result.aboveOne << " of "
                                                   << result.compared << " channel values above 1");
    CHECK(result.worst <= 1);
}

TEST_CASE("the fast path stays within rounding of the full path on noise stacks")
{
    // Where three or more half-transparent pixels overlap in front of the
    // selected layer, the 8-bit cache in front cannot reproduce the rounding
    // of drawing them one by one; the difference stays at 2 and is rare.
    PathComparison result = CompareFastWithFull(NoiseImage, 777, 6);
    MESSAGE("noise stacks: largest difference " << result.worst << ", " << result.aboveOne << " of "
                                               << result.compared << " channel values above 1");
    CHECK(result.worst <= 2);
    CHECK(result.aboveOne * 100000 < result.compared);
}

TEST_CASE("a picture with one entry replaced: composing only the changed rows gives the full composition's pixels")
{
    std::mt19937 random(777);
    for (int round = 0; round < 12; round++) {
        CAPTURE(round);
        RandomImageMaker makeImage = round % 2 ? NoiseImage : PartImage;
        LayerDocument *doc = LayerDocument_Create(), *other = LayerDocument_Create();
        int count = 3 + RandomBelow(random, 5);
        for (int i = 0; i < count; i++) {
            Layer *group = Layer_Create(i + 1, doc->root);
            Layer_MoveTo(group, RandomBelow(random, 100) - 50, RandomBelow(random, 100) - 50);
            Layer *layer = Layer_CreateImage(1, group);
            Layer_MoveTo(layer, RandomBelow(random, 300) - 20, RandomBelow(random, 500) - 60);
            Layer_SetImage(layer, makeImage(random, 20 + RandomBelow(random, 200), 10 + RandomBelow(random, 120)));
            AddBack(doc, group);
        }
        // The stand-in: a group of the other document with a child of its own,
        // somewhere else (partly outside the picture in some rounds).
        Layer *replaced = (Layer *)PtrList_Get(doc->depthList, RandomBelow(random, count));
        Layer *standIn = Layer_Create(replaced->id, other->root);
        standIn->rect = replaced->rect;
        Layer *child = Layer_CreateImage(1, standIn);
        Layer_MoveTo(child, RandomBelow(random, 300) - 20, RandomBelow(random, 560) - 100);
        Layer_SetImage(child, makeImage(random, 20 + RandomBelow(random, 100), 5 + RandomBelow(random, 60)));

        DIB *still = Canvas_ComposeExport(doc);
        DIB *full = Canvas_ComposeExportReplacing(doc, replaced, standIn);
        int first = -1;
        DIB *changed = Canvas_ComposeExportChanged(doc, still, replaced, standIn, &first);
        REQUIRE(changed);
        CHECK(memcmp(DIB_Bits(changed), DIB_Bits(full), full->sizeImage) == 0);
        REQUIRE(first >= 0);
        for (int y = 0; y < std::min(first, still->height); y++)
            CHECK(memcmp(DIB_RowTD(still, y), DIB_RowTD(full, y), (size_t)DIB_BytesPerRow(still)) == 0);
        DIB_Delete_(still);
        DIB_Delete_(full);
        DIB_Delete_(changed);
        LayerDocument_Free(other);
        LayerDocument_Free(doc);
    }
}
