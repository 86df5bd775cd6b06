// Speed of the layer engine on a document shaped like a real character:
// the full composition, a drag step through the drag caches, building the
// caches, the export composition and load passes of 25 part images, cold
// (every image decoded) and warm (every image already cached).
//
// The character has 25 image layers in nine part groups plus three
// accessories, about half of them tintable; most images are full 360 x 480
// pictures with anti-aliased shapes in transparent surroundings, a few are
// small pieces such as a mouth or a highlight.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "layers/document.h"
#include "layers/load_pass.h"
#include "layers/render.h"
#include "layers/tint.h"

namespace {

// One image layer of the character.
struct PartImage {
    int group;        // the part group's id under the root
    int sub;          // the image's id inside the group
    int x, y, w, h;   // placement and size
    int tintable;     // grey image coloured through a palette
    float cx, cy, rx, ry;  // main ellipse, relative to the image
};

const PartImage kParts[] = {
    {2001, 2016, 0, 0, 360, 480, 0, 180, 300, 130, 190},   // body
    {2001, 2017, 0, 0, 360, 480, 0, 180, 330, 110, 120},   // body shading
    {2001, 2018, 0, 0, 360, 480, 1, 180, 360, 100, 110},   // underwear
    {2002, 2016, 0, 0, 360, 480, 1, 180, 200, 150, 200},   // back hair
    {2002, 2017, 0, 0, 360, 480, 0, 180, 210, 140, 180},   // back hair shadow
    {2003, 2016, 0, 0, 360, 480, 1, 180, 360, 140, 130},   // dress
    {2003, 2017, 0, 0, 360, 480, 0, 180, 380, 120, 100},   // dress lining
    {2003, 2018, 140, 250, 80, 60, 1, 40, 30, 38, 28},     // ribbon
    {2004, 2016, 0, 0, 360, 480, 1, 180, 150, 60, 25},     // eyes: iris
    {2004, 2017, 0, 0, 360, 480, 0, 180, 150, 70, 30},     // eyes: whites
    {2004, 2018, 130, 135, 100, 30, 0, 50, 15, 48, 14},    // eye highlight
    {2005, 2016, 0, 0, 360, 480, 1, 180, 120, 70, 12},     // brows
    {2005, 2017, 120, 130, 120, 30, 0, 60, 15, 58, 14},    // double eyelid
    {2006, 2016, 150, 200, 60, 40, 0, 30, 20, 28, 18},     // mouth
    {2007, 2016, 110, 170, 140, 40, 0, 70, 20, 68, 18},    // cheeks
    {2008, 2016, 0, 0, 360, 480, 1, 180, 110, 130, 90},    // front hair
    {2008, 2017, 0, 0, 360, 480, 1, 180, 140, 150, 70},    // front hair strands
    {2008, 2018, 0, 0, 360, 480, 0, 180, 100, 120, 60},    // front hair shine
    {2008, 2019, 0, 0, 360, 480, 0, 180, 130, 140, 80},    // front hair shadow
    {2009, 2016, 0, 0, 360, 480, 1, 180, 60, 120, 25},     // hair band
    {2009, 2017, 120, 40, 120, 40, 0, 60, 20, 58, 18},     // hair band knot
    {2100, 2016, 0, 0, 360, 480, 1, 250, 330, 40, 40},     // accessory: brooch
    {2101, 2016, 20, 260, 120, 120, 0, 60, 60, 58, 58},    // accessory: flower
    {2102, 2016, 240, 20, 80, 80, 1, 40, 40, 38, 38},      // accessory: pin
    {2102, 2017, 0, 0, 360, 480, 0, 80, 420, 60, 50},      // accessory: bag
};
const int kPartCount = (int)(sizeof kParts / sizeof kParts[0]);

// Front to back, as the character draws its parts.
const int kDepthOrder[] = {2100, 2101, 2102, 2009, 2008, 2005, 2004, 2006, 2007, 2003, 2001, 2002};
const int kSelectedId = 2101;

// An anti-aliased ellipse with shading and a fine strand texture; grey for
// tintable parts, coloured otherwise; transparent around it.
DIB *MakePartImage(const PartImage &part, int seed)
{
    DIB *image = DIB_Create(32, part.w, part.h);
    int base[3] = {60 + seed * 37 % 180, 60 + seed * 53 % 180, 60 + seed * 71 % 180};
    for (int y = 0; y < part.h; y++) {
        unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < part.w; x++) {
            float dx = (x + 0.5f - part.cx) / part.rx, dy = (y + 0.5f - part.cy) / part.ry;
            float edge = (1.0f - std::sqrt(dx * dx + dy * dy)) * std::min(part.rx, part.ry);
            float cover = edge < 0 ? 0 : edge > 1.5f ? 1 : edge / 1.5f;
            if (cover <= 0)
                continue;
            float shade = 0.6f + 0.25f * (1 - dy) + 0.05f * std::sin(x * 0.9f + y * 0.13f);
            unsigned char *p = row + 4 * x;
            for (int c = 0; c < 3; c++) {
                float v = (part.tintable ? 200.0f : (float)base[c]) * shade;
                p[c] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
            }
            p[3] = (unsigned char)(cover * 255 + 0.5f);
        }
    }
    return image;
}

HlsColour ColourOf(int index)
{
    return {(uint8_t)(index * 29), (uint8_t)(90 + index * 7 % 80), (uint8_t)(150 + index * 11 % 100)};
}

// The character's tree and depth list, with empty image layers.
LayerDocument *MakeCharacter(std::vector<Layer *> *imageLayers)
{
    LayerDocument *doc = LayerDocument_Create();
    for (int i = 0; i < kPartCount; i++) {
        const PartImage &part = kParts[i];
        Layer *group = Layer_Find(doc->root, part.group);
        if (!group) {
            group = Layer_Create(part.group, doc->root);
            Rect_Set(&group->rect, 0, 0, 0, 0);
        }
        Layer *layer = Layer_CreateImage(part.sub, group);
        Layer_MoveTo(layer, part.x, part.y);
        imageLayers->push_back(layer);
    }
    for (int id : kDepthOrder)
        PtrList_Add(doc->depthList, Layer_Find(doc->root, id));
    return doc;
}

// The character with its images in place, as after a load pass.
LayerDocument *MakeLoadedCharacter(void)
{
    std::vector<Layer *> layers;
    LayerDocument *doc = MakeCharacter(&layers);
    for (int i = 0; i < kPartCount; i++) {
        DIB *image = MakePartImage(kParts[i], i);
        if (kParts[i].tintable) {
            Layer_MakeTintableFrom(layers[i], image);
            Layer_SetColor(layers[i], ColourOf(i));
            DIB_Delete_(image);
        } else {
            Layer_SetImage(layers[i], image);
        }
    }
    Canvas_SelectLayer(doc, kSelectedId);
    return doc;
}

void BM_RenderFull(benchmark::State &state)
{
    LayerDocument *doc = MakeLoadedCharacter();
    Canvas_DropDragCache(doc);
    for (auto _ : state) {
        Canvas_Render(doc, nullptr);
        benchmark::DoNotOptimize(DIB_Bits(doc->composed));
    }
    LayerDocument_Free(doc);
}
BENCHMARK(BM_RenderFull)->Unit(benchmark::kMillisecond);

void BM_RenderDragStep(benchmark::State &state)
{
    // One step of dragging the flower accessory: move it, render the fast path.
    LayerDocument *doc = MakeLoadedCharacter();
    Canvas_DropDragCache(doc);
    Canvas_BuildDragCache(doc, nullptr);
    Layer *flower = Layer_Find(doc->root, kSelectedId);
    int step = 0;
    for (auto _ : state) {
        Layer_MoveTo(flower, step % 40, step % 30);
        step++;
        Canvas_Render(doc, nullptr);
        benchmark::DoNotOptimize(DIB_Bits(doc->composed));
    }
    LayerDocument_Free(doc);
}
BENCHMARK(BM_RenderDragStep)->Unit(benchmark::kMillisecond);

void BM_BuildDragCache(benchmark::State &state)
{
    LayerDocument *doc = MakeLoadedCharacter();
    for (auto _ : state) {
        Canvas_DropDragCache(doc);
        Canvas_BuildDragCache(doc, nullptr);
        benchmark::DoNotOptimize(doc->aboveCache);
    }
    LayerDocument_Free(doc);
}
BENCHMARK(BM_BuildDragCache)->Unit(benchmark::kMillisecond);

void BM_ComposeExport(benchmark::State &state)
{
    LayerDocument *doc = MakeLoadedCharacter();
    for (auto _ : state) {
        DIB *image = Canvas_ComposeExport(doc);
        benchmark::DoNotOptimize(image);
        DIB_Delete_(image);
    }
    LayerDocument_Free(doc);
}
BENCHMARK(BM_ComposeExport)->Unit(benchmark::kMillisecond);

// The 25 part images as PNG files in a folder of their own.
struct PngFolder {
    std::string dir;
    std::vector<std::string> paths;

    PngFolder()
    {
        char pattern[] = "/tmp/vor-bench-layers-XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "/tmp";
        for (int i = 0; i < kPartCount; i++) {
            DIB *image = MakePartImage(kParts[i], i);
            size_t size = 0;
            unsigned char *png = DIB_EncodePNG(image, &size);
            std::string path = dir + "/part" + std::to_string(i) + ".png";
            VorFile *file = FILE_Open(path.c_str(), "wb");
            if (file) {
                FILE_Write(png, 1, size, file);
                FILE_Close(file);
            }
            free(png);
            DIB_Delete_(image);
            paths.push_back(path);
        }
    }
    ~PngFolder()
    {
        for (const std::string &p : paths)
            remove(p.c_str());
        rmdir(dir.c_str());
    }
};

void QueueCharacter(LayerDocument *doc, const std::vector<Layer *> &layers, const PngFolder &pngs)
{
    for (int i = 0; i < kPartCount; i++) {
        HlsColour colour = ColourOf(i);
        Canvas_QueueImage(doc, ImageRequest_Create(layers[i], pngs.paths[i].c_str(),
                                                   kParts[i].tintable ? &colour : nullptr));
    }
}

void BM_LoadPassCold(benchmark::State &state)
{
    // Every image decoded: a fresh cache per pass.
    PngFolder pngs;
    std::vector<Layer *> layers;
    LayerDocument *doc = MakeCharacter(&layers);
    for (auto _ : state) {
        state.PauseTiming();
        ImageCache_Free(doc->cache);
        doc->cache = ImageCache_Create(IMAGE_CACHE_DOCUMENT_CAPACITY);
        QueueCharacter(doc, layers, pngs);
        state.ResumeTiming();
        Canvas_LoadPass(doc, nullptr);
    }
    LayerDocument_Free(doc);
}
BENCHMARK(BM_LoadPassCold)->Unit(benchmark::kMillisecond);

void BM_LoadPassWarm(benchmark::State &state)
{
    // Every image already decoded. A document's cache holds ten images, so
    // this measures with room for all 25: copies, conversions, palettes and
    // the composition are what remains of a pass.
    PngFolder pngs;
    std::vector<Layer *> layers;
    LayerDocument *doc = MakeCharacter(&layers);
    doc->cache->capacity = IMAGE_CACHE_UNLIMITED;
    QueueCharacter(doc, layers, pngs);
    Canvas_LoadPass(doc, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        QueueCharacter(doc, layers, pngs);
        state.ResumeTiming();
        Canvas_LoadPass(doc, nullptr);
    }
    LayerDocument_Free(doc);
}
BENCHMARK(BM_LoadPassWarm)->Unit(benchmark::kMillisecond);

void BM_LoadPassTenCached(benchmark::State &state)
{
    // The document's own cache of ten: the pass repeats with the same 25
    // paths, so each image has been evicted again before its next use.
    PngFolder pngs;
    std::vector<Layer *> layers;
    LayerDocument *doc = MakeCharacter(&layers);
    for (auto _ : state) {
        state.PauseTiming();
        QueueCharacter(doc, layers, pngs);
        state.ResumeTiming();
        Canvas_LoadPass(doc, nullptr);
    }
    LayerDocument_Free(doc);
}
BENCHMARK(BM_LoadPassTenCached)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
