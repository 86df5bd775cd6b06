// The macro table under load: a definition text of N `#define` lines (each
// name distinct) followed by uses of the first, the middle and the last
// name, read through the preprocessor from memory. The table is looked up
// once per define (a redefinition replaces) and once per word, so a linear
// table made this quadratic.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "catalog/preprocessor.h"

static std::string ManyDefines(int count)
{
    std::string text;
    char line[64];
    for (int i = 0; i < count; i++) {
        snprintf(line, sizeof line, "#define NAME_%06d %d\r\n", i, i);
        text += line;
    }
    snprintf(line, sizeof line, "NAME_%06d NAME_%06d NAME_%06d\r\n", 0, count / 2, count - 1);
    text += line;
    return text;
}

static void BM_ManyDefines(benchmark::State &state)
{
    const std::string text = ManyDefines((int)state.range(0));
    for (auto _ : state) {
        Preprocessor *pp = Preprocessor_OpenMemory("vor.inf", text.data(), (unsigned)text.size(), nullptr);
        Token token;
        int tokens = 0;
        do {
            Preprocessor_Next(pp, &token);
            tokens++;
        } while (!Preprocessor_AtEnd(pp));
        Preprocessor_Close(pp);
        benchmark::DoNotOptimize(tokens);
    }
    state.SetLabel(std::to_string(text.size()) + " bytes");
}
BENCHMARK(BM_ManyDefines)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
