// Speed on the generated sample project (scripts/gen-sample build/sample):
// the composition of one real picture, plain and with its tinted layers;
// PNG decoding and encoding of a part and of a composed picture; the preview
// load pass after an expression change and after a front-hair change,
// through the preview's own cache. bench/export-sample times the export.
//
// The sample folder is VOR_SAMPLE, else the current folder when it holds
// sample.vor, else build/sample below it; without it every benchmark reports an error.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "layers/load_pass.h"
#include "layers/render.h"
#include "output/headless.h"

namespace {

// The session works in the sample folder, as vor-cli does.
bool EnterSample()
{
    static int entered = -1;
    if (entered < 0) {
        const char *env = getenv("VOR_SAMPLE");
        std::string folder = env ? env : "build/sample";
        if (env || access("sample.vor", R_OK) != 0)
            entered = chdir(folder.c_str()) == 0;
        entered = access("sample.vor", R_OK) == 0;
    }
    return entered == 1;
}

// The sample character with its project applied and loaded; `previewCache`
// gives the document the cache the preview has instead of the export's.
Headless *OpenSample(bool previewCache)
{
    if (!EnterSample())
        return nullptr;
    Headless *h = new Headless;
    if (!Headless_Open(h, ".\\data\\")) {
        delete h;
        return nullptr;
    }
    if (previewCache) {
        ImageCache_Free(h->doc->cache);
        h->doc->cache = ImageCache_Create(IMAGE_CACHE_DOCUMENT_CAPACITY);
    }
    Headless_LoadProject(h, "sample.vor");
    Headless_LoadNow(h);
    return h;
}

void CloseSample(Headless *h)
{
    Headless_Close(h);
    delete h;
}

// Tinted layers of the tree hidden (tinted = 0) or shown (tinted = 1).
void ShowTinted(Layer *layer, bool show)
{
    const LayerImage *content = Layer_GetImage(layer);
    if (content && content->palette) {
        if (show)
            layer->flags |= LAYER_VISIBLE;
        else
            layer->flags &= ~LAYER_VISIBLE;
    }
    for (int i = 0; i < PtrList_Count(layer->children); i++)
        ShowTinted((Layer *)PtrList_Get(layer->children, i), show);
}

// Composition of the picture the export writes; Arg 0 without the tinted
// layers, 1 with them.
void BM_SampleCompose(benchmark::State &state)
{
    Headless *h = OpenSample(false);
    if (!h) {
        state.SkipWithError("no sample: run scripts/gen-sample build/sample");
        return;
    }
    ShowTinted(h->doc->root, state.range(0) != 0);
    for (auto _ : state) {
        DIB *image = Canvas_ComposeExport(h->doc);
        benchmark::DoNotOptimize(image);
        DIB_Delete_(image);
    }
    CloseSample(h);
}
BENCHMARK(BM_SampleCompose)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The preview's composition over green into the document's picture.
void BM_SampleRender(benchmark::State &state)
{
    Headless *h = OpenSample(false);
    if (!h) {
        state.SkipWithError("no sample: run scripts/gen-sample build/sample");
        return;
    }
    ShowTinted(h->doc->root, state.range(0) != 0);
    for (auto _ : state)
        Canvas_Render(h->doc, nullptr);
    CloseSample(h);
}
BENCHMARK(BM_SampleRender)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

std::vector<unsigned char> ReadFile(const char *path)
{
    size_t size = 0;
    unsigned char *data = FILE_ReadAll(path, 1 << 26, &size);
    std::vector<unsigned char> bytes(data, data + size);
    free(data);
    return bytes;
}

// Arg 0: a front-hair part as the pack stores it; Arg 1: the composed
// picture as the export writes it.
std::vector<unsigned char> SamplePng(int which)
{
    if (which == 0)
        return ReadFile(".\\data\\hair\\carl\\before\\carl_a.png");
    Headless *h = OpenSample(false);
    std::vector<unsigned char> bytes;
    if (!h)
        return bytes;
    DIB *image = Canvas_ComposeExport(h->doc);
    size_t size = 0;
    unsigned char *png = DIB_EncodePNG(image, &size);
    bytes.assign(png, png + size);
    free(png);
    DIB_Delete_(image);
    CloseSample(h);
    return bytes;
}

void BM_SampleDecode(benchmark::State &state)
{
    if (!EnterSample()) {
        state.SkipWithError("no sample: run scripts/gen-sample build/sample");
        return;
    }
    std::vector<unsigned char> png = SamplePng((int)state.range(0));
    for (auto _ : state) {
        DIB *image = DIB_CreateFromMemory(png.data(), png.size());
        benchmark::DoNotOptimize(image);
        DIB_Delete_(image);
    }
    state.SetLabel(std::to_string(png.size()) + " bytes");
}
BENCHMARK(BM_SampleDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SampleEncode(benchmark::State &state)
{
    if (!EnterSample()) {
        state.SkipWithError("no sample: run scripts/gen-sample build/sample");
        return;
    }
    std::vector<unsigned char> png = SamplePng((int)state.range(0));
    DIB *image = DIB_CreateFromMemory(png.data(), png.size());
    for (auto _ : state) {
        size_t size = 0;
        unsigned char *out = DIB_EncodePNG(image, &size);
        benchmark::DoNotOptimize(out);
        free(out);
    }
    DIB_Delete_(image);
}
BENCHMARK(BM_SampleEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The preview after an expression change: the load pass of the new face
// parts and the composition, alternating between two expressions, with the
// preview's cache.
void BM_SampleExpressionChange(benchmark::State &state)
{
    Headless *h = OpenSample(true);
    if (!h) {
        state.SkipWithError("no sample: run scripts/gen-sample build/sample");
        return;
    }
    int expressions = PtrList_Count(h->catalog.expressions);
    int step = 0;
    for (auto _ : state) {
        Character_ChooseExpression(&h->ch, step++ % 2 == 0 ? 1 % expressions : 0);
        Canvas_RefreshNow(h->doc, nullptr, nullptr);
    }
    CloseSample(h);
}
BENCHMARK(BM_SampleExpressionChange)->Unit(benchmark::kMillisecond);

// The same for a front-hair change (the hair, and the back hair with it).
void BM_SamplePartChange(benchmark::State &state)
{
    Headless *h = OpenSample(true);
    if (!h) {
        state.SkipWithError("no sample: run scripts/gen-sample build/sample");
        return;
    }
    int hairs = PtrList_Count(h->catalog.hairStyles);
    int start = h->ch.frontHair;
    int step = 0;
    for (auto _ : state) {
        Character_ChooseFrontHair(&h->ch, step++ % 2 == 0 ? (start + 1) % hairs : start);
        Canvas_RefreshNow(h->doc, nullptr, nullptr);
    }
    CloseSample(h);
}
BENCHMARK(BM_SamplePartChange)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
