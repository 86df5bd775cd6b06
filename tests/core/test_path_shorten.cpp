// Shortening the progress window's path label: which forms are tried, in
// which order, and where it stops.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/services/path_shorten.h"

// One unit per byte, recording every text that was measured.
struct Ruler {
    std::vector<std::string> measured;
};

static int MeasureBytes(void *context, const char *text)
{
    ((Ruler *)context)->measured.push_back(text);
    return (int)strlen(text);
}

static std::string Shorten(const char *path, int width, Ruler *ruler = nullptr)
{
    Ruler local;
    char out[300];
    Path_ShortenToWidth(path, width, MeasureBytes, ruler ? ruler : &local, out, sizeof out);
    return out;
}

TEST_CASE("a path is shortened one leading folder at a time until it fits")
{
    struct Case {
        const char *path;
        int width;
        const char *expected;
    } cases[] = {
        // Fits: shown whole.
        {"C:\\out\\Abc\\default\\sumashi.png", 100, "C:\\out\\Abc\\default\\sumashi.png"},
        {"C:\\out\\Abc\\default\\sumashi.png", 30, "C:\\out\\Abc\\default\\sumashi.png"},
        // One byte too wide: only the first folder goes.
        {"C:\\out\\Abc\\default\\sumashi.png", 29, "C:\\..\\Abc\\default\\sumashi.png"},
        {"C:\\out\\Abc\\default\\sumashi.png", 25, "C:\\..\\default\\sumashi.png"},
        // Nothing fits: the file name after the drive is the last form.
        {"C:\\out\\Abc\\default\\sumashi.png", 5, "C:\\..\\sumashi.png"},
        // A file directly in the root has no folder to drop.
        {"C:\\sumashi.png", 3, "C:\\sumashi.png"},
        // Relative paths and shares have no drive to keep.
        {"scratch\\Abc\\default\\niko.png", 20, "..\\default\\niko.png"},
        {"\\\\server\\share\\Abc\\niko.png", 20, "..\\Abc\\niko.png"},
        // Hangul folder names (two bytes per character) are dropped whole.
        {"D:\\출력\\홍길동\\default\\niko.png", 22, "D:\\..\\default\\niko.png"},
        {"", 0, ""},
    };
    for (const Case &c : cases) {
        CAPTURE(c.path);
        CAPTURE(c.width);
        CHECK(Shorten(c.path, c.width) == c.expected);
    }
}

TEST_CASE("the forms are measured from the longest to the first that fits")
{
    Ruler ruler;
    CHECK(Shorten("C:\\a\\bb\\ccc\\x.png", 12, &ruler) == "C:\\..\\x.png");
    std::vector<std::string> expected = {"C:\\a\\bb\\ccc\\x.png", "C:\\..\\bb\\ccc\\x.png", "C:\\..\\ccc\\x.png",
                                         "C:\\..\\x.png"};
    CHECK(ruler.measured == expected);
}

TEST_CASE("a small output buffer holds a cut, terminated text")
{
    char out[8];
    memset(out, 'z', sizeof out);
    Ruler ruler;
    Path_ShortenToWidth("C:\\out\\Abc\\default\\sumashi.png", 1000, MeasureBytes, &ruler, out, sizeof out);
    CHECK(std::string(out) == "C:\\out\\");
    Path_ShortenToWidth(nullptr, 10, MeasureBytes, &ruler, out, sizeof out);
    CHECK(std::string(out) == "");
}
