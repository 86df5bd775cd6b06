// Speed of the imaging work done on every drag step and every export image:
// full-picture blends onto 24- and 32-bit targets, the palette (tint) blit,
// and PNG decoding and encoding of a 360 x 480 part image.
//
// Two kinds of picture: a realistic part image (anti-aliased soft-edged
// shapes in transparent surroundings, like a hair or dress layer) and a worst
// case where every pixel has a random alpha and colour.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/imaging/dib.h"

enum { W = 360, H = 480 };

static uint32_t Bench_Random(uint32_t *state)
{
    // xorshift32: its bytes show no short-range pattern a PNG filter could use.
    uint32_t x = *state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    *state = x;
    return x >> 24;
}

// A few overlapping ellipses with a one-pixel anti-aliased rim and smooth
// shading, everything else transparent black.
static DIB *Bench_MakePartImage(void)
{
    DIB *image = DIB_Create(32, W, H);
    struct Shape { float cx, cy, rx, ry; int b, g, r; };
    const Shape shapes[] = {
        {180, 150, 120, 110, 60, 90, 200}, {180, 330, 90, 140, 200, 120, 40},
        {110, 220, 40, 160, 30, 60, 150}, {250, 220, 40, 160, 30, 60, 150},
    };
    for (int y = 0; y < H; y++) {
        unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < W; x++) {
            float cover = 0;
            int b = 0, g = 0, r = 0;
            for (const Shape &s : shapes) {
                float dx = (x - s.cx) / s.rx, dy = (y - s.cy) / s.ry;
                float d = (1.0f - std::sqrt(dx * dx + dy * dy)) * (s.rx < s.ry ? s.rx : s.ry);
                float c = d < 0 ? 0 : d > 1 ? 1 : d;
                if (c > 0) {
                    // Shading across and down, and a fine strand texture
                    // like drawn hair or cloth.
                    float strands = 0.06f * std::sin(x * 0.9f + y * 0.13f) + 0.03f * std::sin(x * 2.7f);
                    float shade = 0.55f + 0.3f * (1 - dy) + 0.1f * dx + strands;
                    b = (int)(s.b * shade) & 255; g = (int)(s.g * shade) & 255; r = (int)(s.r * shade) & 255;
                    cover = c > cover ? c : cover;
                }
            }
            unsigned char *p = row + 4 * x;
            p[0] = (unsigned char)b; p[1] = (unsigned char)g; p[2] = (unsigned char)r;
            p[3] = (unsigned char)(cover * 255 + 0.5f);
        }
    }
    return image;
}

static DIB *Bench_MakeRandomImage(int bits, uint32_t seed)
{
    DIB *image = DIB_Create(bits, W, H);
    unsigned char *bytes = DIB_Bits(image);
    for (uint32_t i = 0; i < image->sizeImage; i++)
        bytes[i] = (unsigned char)Bench_Random(&seed);
    return image;
}

static DIB *Bench_MakeLayer(int realistic)
{
    return realistic ? Bench_MakePartImage() : Bench_MakeRandomImage(32, 7);
}

static void BM_Blend32On24(benchmark::State &state)
{
    DIB *layer = Bench_MakeLayer((int)state.range(0));
    DIB *target = Bench_MakeRandomImage(24, 3);
    for (auto _ : state) {
        DIB24_BltDIBA24(target, nullptr, layer);
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) ? "part image" : "random alpha");
    DIB_Delete_(layer);
    DIB_Delete_(target);
}
BENCHMARK(BM_Blend32On24)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

static void BM_Over32On32(benchmark::State &state)
{
    DIB *layer = Bench_MakeLayer((int)state.range(0));
    DIB *target = Bench_MakeRandomImage(32, 5);
    DIB *start = DIB_MakeCopy(target);
    for (auto _ : state) {
        // Restore the target now and then so repeated "over" does not drive
        // it to fully opaque, which would hide the general case.
        state.PauseTiming();
        memcpy(DIB_Bits(target), DIB_Bits(start), target->sizeImage);
        state.ResumeTiming();
        DIBA24_BltDIBA24(target, nullptr, layer);
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) ? "part image" : "random alpha");
    DIB_Delete_(layer);
    DIB_Delete_(target);
    DIB_Delete_(start);
}
BENCHMARK(BM_Over32On32)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

static void BM_Palette16On24(benchmark::State &state)
{
    DIB *part = Bench_MakeLayer((int)state.range(0));
    DIB *grey = DIB_Create(16, W, H);
    DIBGA8_BltDIBA24(grey, nullptr, part);
    PaletteEntry palette[256];
    for (int i = 0; i < 256; i++)
        palette[i] = {(uint8_t)(i / 2), (uint8_t)i, (uint8_t)(255 - i / 3), 0};
    DIB *target = Bench_MakeRandomImage(24, 3);
    for (auto _ : state) {
        DIB24_BltPaletteDIBGA8(target, nullptr, grey, palette);
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) ? "part image" : "random alpha");
    DIB_Delete_(part);
    DIB_Delete_(grey);
    DIB_Delete_(target);
}
BENCHMARK(BM_Palette16On24)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

static void BM_EncodePNG(benchmark::State &state)
{
    DIB *image = Bench_MakeLayer((int)state.range(0));
    size_t size = 0;
    for (auto _ : state) {
        unsigned char *png = DIB_EncodePNG(image, &size);
        benchmark::DoNotOptimize(png);
        free(png);
    }
    state.SetLabel(std::string(state.range(0) ? "part image, " : "random alpha, ") + std::to_string(size) + " bytes");
    DIB_Delete_(image);
}
BENCHMARK(BM_EncodePNG)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

static void BM_DecodePNG(benchmark::State &state)
{
    DIB *image = Bench_MakeLayer((int)state.range(0));
    size_t size = 0;
    unsigned char *png = DIB_EncodePNG(image, &size);
    for (auto _ : state) {
        DIB *decoded = DIB_CreateFromMemory(png, size);
        benchmark::DoNotOptimize(decoded);
        DIB_Delete_(decoded);
    }
    state.SetLabel(state.range(0) ? "part image" : "random alpha");
    free(png);
    DIB_Delete_(image);
}
BENCHMARK(BM_DecodePNG)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
