// A small data tree written by the tests: tiny images whose pixels say
// which file they came from, and vor.inf files, so that the pipeline's
// effects can be checked pixel by pixel.
#pragma once

#include <cstdio>
#include <string>

#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "test_support.h"

// A 32-bit image of w x h whose pixel (x, y) is `bgra` inside the rectangle
// [x0, x1) x [y0, y1) and transparent elsewhere.
inline void Fixture_WriteImage(const std::string &path, int w, int h, int x0, int y0, int x1, int y1,
                               const unsigned char bgra[4])
{
    DIB *image = DIB_Create(32, w, h);
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            for (int c = 0; c < 4; c++)
                DIB_RowTD(image, y)[x * 4 + c] = bgra[c];
    char folder[VOR_MAX_PATH];
    FilePath_CopyFolder(path.c_str(), folder);
    FileSys_MakeFolder(folder);
    VorFile *f = FILE_Open(path.c_str(), "wb");
    DIB_WritePNG(image, f);
    FILE_Close(f);
    DIB_Delete_(image);
}

inline void Fixture_WriteInf(const std::string &folder, const char *name, const char *key, const char *color,
                             const char *more = nullptr)
{
    FileSys_MakeFolder(folder.c_str());
    std::string text = std::string("Name = \"") + name + "\";\nFolder = \"" + key + "\";\n";
    if (color)
        text += std::string("Color = ") + color + ";\n";
    if (more)
        text += more;
    ScratchFolder::WriteBytes(folder + "vor.inf", std::vector<unsigned char>(text.begin(), text.end()));
}

// The tree below `root` (a folder ending with `\`): data\ with two hair
// styles (h2 with a hair band), two dresses, one eye, brow, mouth and
// cheek shape with images for "sumashi" and "niko" only, and one accessory.
// Every image is 40 x 40 with one opaque 4 x 4 square at a place of its own.
inline std::string Fixture_BuildTree(const std::string &root)
{
    std::string data = root + "data\\";
    const unsigned char grey[4] = {150, 150, 150, 255};
    const unsigned char red[4] = {0, 0, 255, 255};
    const unsigned char blue[4] = {255, 0, 0, 255};
    int spot = 0;
    // Each file gets its own 4 x 4 square along a diagonal walk of the image.
    auto image = [&](const std::string &path, const unsigned char *colour) {
        int x = (spot % 9) * 4, y = (spot / 9) * 4;
        spot++;
        Fixture_WriteImage(path, 40, 40, x, y, x + 4, y + 4, colour);
    };
    image(data + "body\\sotai.png", red);
    for (const char *h : {"h1", "h2"}) {
        std::string folder = data + "hair\\" + h + "\\";
        Fixture_WriteInf(folder, h, h, h[1] == '1' ? "0x0A64C8" : "0x146ED2");
        for (const char *side : {"before", "after"}) {
            image(folder + side + "\\" + h + "_a.png", grey);
            image(folder + side + "\\" + h + "_b.png", blue);
            image(folder + side + "\\" + h + "_h.png", red);
            if (h[1] == '2')
                image(folder + side + "\\" + h + "_d.png", grey);
        }
    }
    for (const char *d : {"d1", "d2"}) {
        std::string folder = data + "dress\\" + d + "\\";
        Fixture_WriteInf(folder, d, d, d[1] == '1' ? "0x1E7882" : "0x288C96");
        image(folder + "sotai.png", red);
        image(folder + d + "_a.png", grey);
        image(folder + d + "_b.png", blue);
        image(folder + d + "_c.png", red);
    }
    struct Face {
        const char *kind, *key;
        const char *suffixes[3];
    } faces[] = {{"eye", "e1", {"_a", "_b", "_h"}},
                 {"braw", "b1", {"_a", "_b", nullptr}},
                 {"mouth", "m1", {"_a", "_b", "_h"}},
                 {"hoho", "c1", {"_b", nullptr, nullptr}}};
    for (const Face &f : faces) {
        std::string folder = data + f.kind + "\\" + f.key + "\\";
        Fixture_WriteInf(folder, f.key, f.key, nullptr);
        for (const char *expr : {"sumashi", "niko"})
            for (const char *s : f.suffixes)
                if (s)
                    image(folder + expr + s + ".png", s[1] == 'a' ? grey : blue);
    }
    std::string acc = data + "accesary\\a1\\";
    Fixture_WriteInf(acc, "a1", "a1", "0x32A0AA");
    image(acc + "a1_a.png", grey);
    image(acc + "a1_b.png", blue);
    image(acc + "a1_c.png", grey);
    return data;
}
