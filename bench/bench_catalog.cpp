// Catalogue start-up: LoadPartCatalog's work over a data tree of 200 part
// folders (hair, dresses, face shapes, accessories), each with a typical
// definition file using comments, a macro and a double-byte name. The tree
// is written below the current folder before the runs and removed after.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "catalog/data_tree.h"
#include "catalog/part_catalog.h"

static const char kTreeFolder[] = "bench_catalog_tree";

struct KindCount {
    const char *kind;
    int folders;
};

static const KindCount kKinds[] = {
    {DATA_KIND_HAIR, 60}, {DATA_KIND_DRESS, 20}, {DATA_KIND_EYE, 30}, {DATA_KIND_BROW, 25},
    {DATA_KIND_MOUTH, 25}, {DATA_KIND_CHEEK, 15}, {DATA_KIND_ACCESSORY, 25},
};

static void WriteTree()
{
    for (const KindCount &k : kKinds) {
        for (int i = 0; i < k.folders; i++) {
            char folder[64];
            // Names on disk in an order unlike the folder keys, so the sort works.
            snprintf(folder, sizeof folder, "p%03d", (i * 37) % k.folders);
            std::filesystem::path dir = std::filesystem::path(kTreeFolder) / "data" / k.kind / folder;
            std::filesystem::create_directories(dir);
            FILE *f = fopen((dir / DATA_DEFINITION).string().c_str(), "wb");
            if (!f)
                continue;
            fprintf(f,
                    "/* %s part %d */\r\n"
                    "#define BASE_COLOR 0x%06X\r\n"
                    "Name = \"\xBF\xFE\xC0\xCC\xBA\xEA %d\";   // display name\r\n"
                    "Folder = \"%s_%03d\";\r\n"
                    "Color = BASE_COLOR;\r\n"
                    "Author = \"bench\";\r\n",
                    k.kind, i, (i * 2654435761u) & 0xFFFFFF, i, k.kind, (i * 53) % 101);
            fclose(f);
        }
    }
}

static void BM_LoadPartCatalog(benchmark::State &state)
{
    WriteTree();
    const std::string data = std::string(kTreeFolder) + "\\data\\";
    int entries = 0;
    for (auto _ : state) {
        PartCatalog catalog = {};
        PartCatalog_Load(&catalog, data.c_str());
        entries = 0;
        for (int id = 0; id < PART_LIST_COUNT; id++)
            entries += PtrList_Count(PartCatalog_List(&catalog, id));
        PartCatalog_Free(&catalog);
    }
    state.counters["entries"] = entries;
    std::error_code ec;
    std::filesystem::remove_all(kTreeFolder, ec);
}
BENCHMARK(BM_LoadPartCatalog)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
