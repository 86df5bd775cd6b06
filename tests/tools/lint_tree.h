// The smallest data tree that lints clean, for the tests of `vor-cli lint`
// to damage one way at a time.
#pragma once

#include <string>
#include <vector>

#include "output/fixture_tree.h"

namespace linttree {

inline const char *const EXPRESSIONS[] = {"sumashi", "niko", "nikkori", "makka", "naki", "utumuki", "ikari", "odoroki"};
inline const unsigned char GREY[4] = {128, 128, 128, 255};
inline const unsigned char RED[4] = {0, 0, 255, 255};

// An image of w x h with a visible 4 x 4 square of `bgra` at (2, 2).
inline void Image(const std::string &path, const unsigned char *bgra = GREY, int w = 16, int h = 16)
{
    Fixture_WriteImage(path, w, h, 2, 2, 6, 6, bgra);
}

// The smallest tree that lints clean: every kind once, every required image.
// Credits as a pack meant for sharing gives them.
const char CLEAN_CREDITS[] = "Author = \"Tester\";\nLicense = \"CC0-1.0\";\n";

inline std::string CleanTree(const std::string &root)
{
    std::string data = root + "data\\";
    Image(data + "body\\sotai.png");
    Fixture_WriteInf(data + "hair\\h1\\", "머리", "h1", "0x0A64C8", CLEAN_CREDITS);
    for (const char *side : {"before", "after"})
        for (const char *r : {"_a", "_b"})
            Image(data + "hair\\h1\\" + side + "\\h1" + r + ".png");
    Fixture_WriteInf(data + "dress\\d1\\", "옷", "d1", "0x1E7882", CLEAN_CREDITS);
    for (const char *f : {"sotai.png", "d1_a.png", "d1_b.png"})
        Image(data + "dress\\d1\\" + f);
    Fixture_WriteInf(data + "accesary\\a1\\", "꽃", "a1", "0x32A0AA", CLEAN_CREDITS);
    Image(data + "accesary\\a1\\a1_a.png");
    struct Face {
        const char *kind, *key;
        std::vector<const char *> roles;
    } faces[] = {{"eye", "e1", {"_a", "_b"}}, {"braw", "b1", {"_a"}}, {"mouth", "m1", {"_a", "_b"}}, {"hoho", "c1", {"_b"}}};
    for (const Face &f : faces) {
        std::string folder = data + f.kind + "\\" + f.key + "\\";
        Fixture_WriteInf(folder, f.key, f.key, nullptr, CLEAN_CREDITS);
        for (const char *x : EXPRESSIONS)
            for (const char *r : f.roles)
                Image(folder + x + r + ".png");
    }
    return data;
}

}  // namespace linttree
