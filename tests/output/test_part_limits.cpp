// A part pack with an image declaring more than 4096 pixels per side: the
// export names the file through the refused hook, leaves that part out of
// its pictures and writes everything else, on one thread and on two.
#include <doctest.h>

#include <string>
#include <vector>

#include "fixture_tree.h"
#include "layers/image_cache.h"
#include "output/export.h"
#include "output/headless.h"

namespace {

std::vector<std::string> g_refusedPaths;

void NoteRefused(const char *path)
{
    g_refusedPaths.push_back(path);
}

// Where the opaque pixels of an image file lie, as a list of (x, y).
std::vector<std::pair<int, int>> OpaquePixels(const std::string &path)
{
    std::vector<std::pair<int, int>> spots;
    DIB *image = DIB_CreateFromFile(path.c_str());
    REQUIRE(image);
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (DIB_RowTD(image, y)[4 * x + 3] == 255)
                spots.push_back({x, y});
    DIB_Delete_(image);
    return spots;
}

struct WrittenPaths {
    std::vector<std::string> paths;
};

void Record(void *context, const char *path, int failure)
{
    if (failure == 0)
        ((WrittenPaths *)context)->paths.push_back(path);
}

}  // namespace

TEST_CASE("an oversized part image is refused by name and left out of the export")
{
    ScratchFolder dir;
    std::string data = Fixture_BuildTree(dir.path);
    std::string eye = data + "eye\\e1\\niko_b.png";
    std::vector<std::pair<int, int>> spots = OpaquePixels(eye);
    REQUIRE_FALSE(spots.empty());
    // 8192 x 8192 declared, a few hundred bytes on disk.
    std::vector<unsigned char> header = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                         0, 0, 0x20, 0, 0, 0, 0x20, 0, 8, 6, 0, 0, 0, 0, 0, 0, 0};
    header.resize(300, 0);
    ScratchFolder::WriteBytes(eye, header);

    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    REQUIRE(Character_SetName(&h.ch, "Abc"));
    char base[VOR_MAX_PATH];
    std::string out = dir.path + "out";
    REQUIRE(Export_FreeFolderBase(out.c_str(), base));
    for (int threads : {1, 2}) {
        CAPTURE(threads);
        g_refusedPaths.clear();
        ImageCache_SetRefusedHook(NoteRefused);
        WrittenPaths written;
        ExportOptions options = {threads, &written, Record};
        int files = Export_RunHeadless(&h.ch, &h.w, base, &options, nullptr);
        ImageCache_SetRefusedHook(nullptr);
        CHECK(files == 10);  // eight pictures, macro.txt and CREDITS.txt
        REQUIRE_FALSE(g_refusedPaths.empty());
        for (const std::string &p : g_refusedPaths)
            CHECK(p == eye);
        DIB *niko = DIB_CreateFromFile((out + "\\Abc\\" + "niko.png").c_str());
        if (!niko) {
            // The default style may write into a folder of its own.
            for (const std::string &p : written.paths)
                if (p.size() > 8 && p.compare(p.size() - 8, 8, "niko.png") == 0)
                    niko = DIB_CreateFromFile(p.c_str());
        }
        REQUIRE(niko);
        int shown = 0;
        for (auto spot : spots)
            shown += DIB_RowTD(niko, spot.second)[4 * spot.first + 3] != 0;
        CHECK(shown == 0);
        DIB_Delete_(niko);
    }
    Headless_Close(&h);
}
