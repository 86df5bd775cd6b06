// Helpers shared by the layer-engine tests: small images drawn in code, PNG
// files in a private temporary folder, and pixel access in top-down rows.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "layers/document.h"

namespace layertest {

struct Bgra {
    uint8_t b, g, r, a;
};

// A 32-bit image filled with one colour and alpha.
inline DIB *SolidImage(int width, int height, Bgra colour)
{
    DIB *image = DIB_Create(32, width, height);
    for (int y = 0; y < height; y++) {
        unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < width; x++) {
            row[4 * x + 0] = colour.b;
            row[4 * x + 1] = colour.g;
            row[4 * x + 2] = colour.r;
            row[4 * x + 3] = colour.a;
        }
    }
    return image;
}

// Pixel (x, y) of a 24- or 32-bit image; alpha 255 for 24 bits.
inline Bgra PixelAt(const DIB *image, int x, int y)
{
    const unsigned char *p = DIB_RowTD(image, y) + (image->bitCount / 8) * x;
    Bgra c = {p[0], p[1], p[2], 255};
    if (image->bitCount == 32)
        c.a = p[3];
    return c;
}

inline bool SameBgr(Bgra a, Bgra b)
{
    return a.b == b.b && a.g == b.g && a.r == b.r;
}

// A folder of its own below the system's temporary folder, removed with
// everything in it when the value goes away.
struct TempFolder {
    std::filesystem::path dir;

    // In the system's temporary folder; `dotless`: below the current folder
    // under a relative path, which then has no dot at all, whatever the
    // temporary or current folder's own names are.
    explicit TempFolder(bool dotless = false)
    {
        static int serial = 0;
        std::error_code ec;
        std::filesystem::path base = dotless ? std::filesystem::path() : std::filesystem::temp_directory_path(ec);
        for (;;) {
            auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
            dir = base / ("vor-layers-" + std::to_string((long long)stamp) + "-" + std::to_string(serial++));
            if (std::filesystem::create_directory(dir, ec))
                break;
        }
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string Path(const std::string &name) const { return (dir / name).string(); }

    // Writes `image` as PNG and returns its path.
    std::string WritePng(const std::string &name, const DIB *image) const
    {
        std::string path = Path(name);
        VorFile *file = FILE_Open(path.c_str(), "wb");
        if (file) {
            DIB_WritePNG(image, file);
            FILE_Close(file);
        }
        return path;
    }
    std::string WriteBytes(const std::string &name, const std::string &bytes) const
    {
        std::string path = Path(name);
        VorFile *file = FILE_Open(path.c_str(), "wb");
        if (file) {
            FILE_Write(bytes.data(), 1, bytes.size(), file);
            FILE_Close(file);
        }
        return path;
    }
};

// An image layer under `parent` holding a solid image at (x, y).
inline Layer *SolidLayer(Layer *parent, int id, int x, int y, int w, int h, Bgra colour)
{
    Layer *layer = Layer_CreateImage(id, parent);
    Layer_MoveTo(layer, x, y);
    Layer_SetImage(layer, SolidImage(w, h, colour));
    return layer;
}

}  // namespace layertest
