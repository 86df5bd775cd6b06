// Part images kept trimmed to their visible box against the same parts kept
// whole: the pictures, drag caches, layer rects and colour changes must be
// the same pixel for pixel. Also the cache's byte budget, refused oversized
// images, superseded requests and the preview cache's room for a character.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layer_test_support.h"
#include "layers/load_pass.h"
#include "layers/render.h"
#include "layers/tint.h"

using namespace layertest;

namespace {

// A 40 x 30 frame, transparent except for an anti-aliased blob at (cx, cy)
// with noisy colour; `opaque` fills the whole frame instead.
DIB *PartFrame(int cx, int cy, int radius, int seed, bool opaque = false)
{
    DIB *image = DIB_Create(32, 40, 30);
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++) {
            unsigned char *p = DIB_RowTD(image, y) + 4 * x;
            int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            int alpha = opaque ? 255 : d2 > radius * radius ? 0 : d2 > (radius - 2) * (radius - 2) ? 90 : 255;
            p[0] = (unsigned char)(x * 5 + seed);
            p[1] = (unsigned char)(y * 7 + seed * 3);
            p[2] = (unsigned char)((x ^ y) * 11 + seed);
            p[3] = (unsigned char)alpha;
        }
    return image;
}

struct PartSpec {
    int group, sub;   // ids
    int x, y;         // layer position inside its group
    bool tinted;
    std::string file;
};

// The same character twice: `trim` says how its cache keeps the images.
struct Character {
    LayerDocument *doc;
    std::vector<Layer *> layers;
};

Character Build(const std::vector<PartSpec> &parts, bool trim)
{
    Character c;
    c.doc = LayerDocument_Create();
    c.doc->cache->trim = trim;
    for (const PartSpec &p : parts) {
        Layer *group = Layer_Find(c.doc->root, p.group);
        if (!group) {
            group = Layer_Create(p.group, c.doc->root);
            Rect_Set(&group->rect, 5 * (p.group % 3), 3 * (p.group % 2), 0, 0);
            PtrList_InsertAt(c.doc->depthList, 0, group);
        }
        Layer *layer = Layer_CreateImage(p.sub, group);
        Layer_MoveTo(layer, p.x, p.y);
        HlsColour colour = {(uint8_t)(p.sub * 40), 120, 200};
        Canvas_QueueImage(c.doc, ImageRequest_Create(layer, p.file.c_str(), p.tinted ? &colour : nullptr));
        c.layers.push_back(layer);
    }
    Canvas_RefreshNow(c.doc, nullptr, nullptr);
    return c;
}

bool SamePixels(const DIB *a, const DIB *b)
{
    return a && b && a->width == b->width && a->height == b->height && a->bitCount == b->bitCount &&
           memcmp(DIB_Bits(a), DIB_Bits(b), a->sizeImage) == 0;
}

}  // namespace

TEST_CASE("trimmed parts compose, drag and recolour exactly like whole ones")
{
    TempFolder folder;
    std::vector<PartSpec> parts;
    struct Shape { int cx, cy, r; bool opaque; };
    const Shape shapes[] = {
        {20, 15, 9, false},  {3, 3, 6, false},   {38, 28, 5, false}, {20, 15, 0, false},  // the last: nothing
        {0, 0, 0, true},     {30, 8, 12, false}, {10, 25, 4, false},
    };
    for (int i = 0; i < (int)(sizeof shapes / sizeof shapes[0]); i++) {
        DIB *frame = PartFrame(shapes[i].cx, shapes[i].cy, shapes[i].r, i * 13, shapes[i].opaque);
        std::string file = folder.WritePng("part" + std::to_string(i) + ".png", frame);
        DIB_Delete_(frame);
        parts.push_back({100 + i % 3, 10 + i, (i * 7) % 11 - 4, (i * 5) % 9 - 3, i % 2 == 1, file});
    }
    Character trimmed = Build(parts, true);
    Character whole = Build(parts, false);

    // The trimmed images really are smaller, and the empty part is 1 x 1.
    size_t trimmedPixels = 0, wholePixels = 0;
    for (size_t i = 0; i < parts.size(); i++) {
        const LayerImage *t = Layer_GetImage(trimmed.layers[i]);
        const LayerImage *w = Layer_GetImage(whole.layers[i]);
        REQUIRE(t->image);
        REQUIRE(w->image);
        trimmedPixels += (size_t)t->image->width * t->image->height;
        wholePixels += (size_t)w->image->width * w->image->height;
        CAPTURE(i);
        // What other code sees of a layer is unchanged.
        Rect a = Layer_AbsRect(trimmed.layers[i]), b = Layer_AbsRect(whole.layers[i]);
        CHECK(memcmp(&a, &b, sizeof a) == 0);
        CHECK(trimmed.layers[i]->rect.right - trimmed.layers[i]->rect.left == 40);
        CHECK((t->palette != nullptr) == parts[i].tinted);
    }
    CHECK(trimmedPixels * 2 < wholePixels);
    CHECK(Layer_GetImage(trimmed.layers[3])->image->width == 1);

    SUBCASE("the preview picture and the export picture")
    {
        CHECK(SamePixels(trimmed.doc->composed, whole.doc->composed));
        DIB *a = Canvas_ComposeExport(trimmed.doc), *b = Canvas_ComposeExport(whole.doc);
        CHECK(SamePixels(a, b));
        DIB_Delete_(a);
        DIB_Delete_(b);
    }
    SUBCASE("dragging a layer through the drag caches, over and past the edges")
    {
        for (Character *c : {&trimmed, &whole})
            Canvas_SelectLayer(c->doc, 101);
        const Point steps[] = {{3, 2}, {-30, 5}, {25, -20}, {60, 40}, {0, 0}};
        for (Point step : steps) {
            CAPTURE(step.x);
            CAPTURE(step.y);
            for (Character *c : {&trimmed, &whole}) {
                Canvas_BuildDragCache(c->doc, nullptr);
                Layer_MoveTo(Layer_Find(c->doc->root, 101), step.x, step.y);
                Canvas_Render(c->doc, nullptr);
            }
            CHECK(trimmed.doc->belowCache != nullptr);
            CHECK(SamePixels(trimmed.doc->belowCache, whole.doc->belowCache));
            CHECK(SamePixels(trimmed.doc->aboveCache, whole.doc->aboveCache));
            CHECK(SamePixels(trimmed.doc->composed, whole.doc->composed));
        }
    }
    SUBCASE("colour changes and a plain layer made tintable afterwards")
    {
        for (Character *c : {&trimmed, &whole}) {
            Layer_SetColor(c->layers[1], {200, 60, 100});
            REQUIRE(Layer_MakeTintable(c->layers[2]));
            Layer_SetColor(c->layers[2], {30, 150, 250});
            Canvas_RefreshNow(c->doc, nullptr, nullptr);
        }
        CHECK(Layer_GetImage(trimmed.layers[2])->offset.x > 0);
        CHECK(SamePixels(trimmed.doc->composed, whole.doc->composed));
        Rect a = Layer_AbsRect(trimmed.layers[2]), b = Layer_AbsRect(whole.layers[2]);
        CHECK(memcmp(&a, &b, sizeof a) == 0);
    }
    LayerDocument_Free(trimmed.doc);
    LayerDocument_Free(whole.doc);
}

TEST_CASE("the byte budget drops the images used longest ago; layers keep theirs")
{
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    DIB *frame = PartFrame(0, 0, 0, 1, true);  // 40 x 30, nothing to trim
    std::vector<std::string> files;
    for (int i = 0; i < 5; i++)
        files.push_back(folder.WritePng("opaque" + std::to_string(i) + ".png", frame));
    DIB_Delete_(frame);
    const size_t imageBytes = sizeof(DIB) + 40 * 30 * 4;
    doc->cache->byteBudget = 3 * imageBytes;
    std::vector<Layer *> layers;
    for (int i = 0; i < 5; i++) {
        layers.push_back(Layer_CreateImage(i + 1, doc->root));
        Canvas_QueueImage(doc, ImageRequest_Create(layers.back(), files[i].c_str(), nullptr));
    }
    Canvas_RefreshNow(doc, nullptr, nullptr);
    CHECK(doc->cache->heldBytes == 3 * imageBytes);
    CHECK(doc->cache->heldCount == 3);
    for (int i = 0; i < 5; i++) {
        CAPTURE(i);
        CHECK((ImageCache_EntryAt(doc->cache, i)->image != nullptr) == (i >= 2));
        CHECK(Layer_GetImage(layers[i])->image != nullptr);
    }
    // The first is decoded again and the oldest held one makes room.
    Canvas_QueueImage(doc, ImageRequest_Create(layers[0], files[0].c_str(), nullptr));
    Canvas_RefreshNow(doc, nullptr, nullptr);
    CHECK(ImageCache_EntryAt(doc->cache, 0)->image != nullptr);
    CHECK(ImageCache_EntryAt(doc->cache, 2)->image == nullptr);
    CHECK(doc->cache->heldCount == 3);
    LayerDocument_Free(doc);
}

namespace {

std::vector<std::string> g_refused;
void NoteRefused(const char *path)
{
    g_refused.push_back(path);
}

}  // namespace

TEST_CASE("an oversized part image is refused with its path and empties its layer")
{
    TempFolder folder;
    // A header declaring 4097 x 2; the data does not matter.
    std::string big = folder.WriteBytes("big.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x10\x01\0\0\0\x02\x08\x06\0\0\0",
                                                               8 + 8 + 13));
    DIB *small = SolidImage(3, 3, {1, 2, 3, 255});
    std::string ok = folder.WritePng("small.png", small);
    DIB_Delete_(small);
    LayerDocument *doc = LayerDocument_Create();
    Layer *a = Layer_CreateImage(1, doc->root);
    Layer *b = Layer_CreateImage(2, doc->root);
    Layer_SetImage(a, SolidImage(2, 2, {9, 9, 9, 255}));
    g_refused.clear();
    ImageCache_SetRefusedHook(NoteRefused);
    Canvas_QueueImage(doc, ImageRequest_Create(a, big.c_str(), nullptr));
    Canvas_QueueImage(doc, ImageRequest_Create(b, ok.c_str(), nullptr));
    Canvas_RefreshNow(doc, nullptr, nullptr);
    ImageCache_SetRefusedHook(nullptr);
    REQUIRE(g_refused.size() == 1);
    CHECK(g_refused[0] == big);
    CHECK(Layer_GetImage(a)->image == nullptr);
    CHECK(Layer_GetImage(b)->image != nullptr);
    LayerDocument_Free(doc);
}

TEST_CASE("a request replaced later in the same queue is not decoded")
{
    TempFolder folder;
    DIB *x = SolidImage(4, 4, {10, 20, 30, 255}), *y = SolidImage(5, 5, {40, 50, 60, 255});
    std::string first = folder.WritePng("default.png", x), second = folder.WritePng("chosen.png", y);
    DIB_Delete_(x);
    DIB_Delete_(y);
    LayerDocument *doc = LayerDocument_Create();
    Layer *hair = Layer_CreateImage(1, doc->root);
    Layer *other = Layer_CreateImage(2, doc->root);
    HlsColour colour = {10, 20, 30};
    Canvas_QueueImage(doc, ImageRequest_Create(hair, first.c_str(), &colour));
    Canvas_QueueImage(doc, ImageRequest_Create(other, first.c_str(), nullptr));
    Canvas_QueueImage(doc, ImageRequest_Create(hair, second.c_str(), nullptr));
    Canvas_RefreshNow(doc, nullptr, nullptr);
    // `first` is decoded once, for the other layer only.
    CHECK(doc->cache->heldCount == 2);
    CHECK(Layer_GetImage(hair)->image->width == 5);
    CHECK(Layer_GetImage(hair)->palette == nullptr);
    CHECK(Layer_GetImage(hair)->colour.hue == 10);  // as the replaced request would have left it
    CHECK(Layer_GetImage(other)->image->width == 4);
    CHECK(PtrList_Count(doc->requests) == 0);
    LayerDocument_Free(doc);
}

TEST_CASE("the preview cache keeps a whole character and the next expression")
{
    // 25 parts and then 5 new face parts: only the new ones are decoded.
    TempFolder folder;
    LayerDocument *doc = LayerDocument_Create();
    std::vector<std::string> files;
    for (int i = 0; i < 30; i++) {
        DIB *image = SolidImage(2 + i % 4, 3, {(uint8_t)i, 0, 0, 255});
        files.push_back(folder.WritePng("p" + std::to_string(i) + ".png", image));
        DIB_Delete_(image);
    }
    std::vector<Layer *> layers;
    for (int i = 0; i < 25; i++) {
        layers.push_back(Layer_CreateImage(i + 1, doc->root));
        Canvas_QueueImage(doc, ImageRequest_Create(layers[i], files[i].c_str(), nullptr));
    }
    Canvas_RefreshNow(doc, nullptr, nullptr);
    for (int round = 0; round < 2; round++) {
        // Swap the face between the first expression's parts and the next's.
        for (int i = 0; i < 5; i++) {
            const std::string &file = files[round == 0 ? 25 + i : 20 + i];
            Canvas_QueueImage(doc, ImageRequest_Create(layers[20 + i], file.c_str(), nullptr));
        }
        Canvas_RefreshNow(doc, nullptr, nullptr);
    }
    int decoded = 0;
    for (int i = 0; i < PtrList_Count(doc->cache->entries); i++)
        decoded += ImageCache_EntryAt(doc->cache, i)->image != nullptr;
    CHECK(decoded == 30);
    CHECK(doc->cache->heldCount == 30);
    LayerDocument_Free(doc);
}
