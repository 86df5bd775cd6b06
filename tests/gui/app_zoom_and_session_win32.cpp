// The main window's pure rules: the zoom slider and buttons, and the paths
// and captions the File menu derives from the project path.
#include <doctest.h>

#include <cstring>
#include <string>

#include "canvas/zoom_steps.h"
#include "core/imaging/file.h"
#include "project/project_session.h"

TEST_CASE("zoom: slider positions, percentage text and the slider position shown")
{
    struct Row {
        int position;
        double zoom;
        const char *text;
    } rows[] = {
        {0, 0.25, "25.00%"},
        {1, 0.30, "30.00%"},
        {15, 1.0, "100.00%"},
        {35, 2.0, "200.00%"},
        {155, 8.0, "800.00%"},
    };
    for (const Row &r : rows) {
        CAPTURE(r.position);
        CHECK(Zoom_FromSliderPos(r.position) == doctest::Approx(r.zoom));
        char text[32];
        Zoom_FormatPercent(Zoom_FromSliderPos(r.position), text, sizeof text);
        CHECK(std::string(text) == r.text);
    }
    // Every position survives the trip through the zoom and back (1.0 must
    // not truncate to 14).
    for (int p = ZOOM_SLIDER_MIN; p <= ZOOM_SLIDER_MAX; p++) {
        CAPTURE(p);
        CHECK(Zoom_ToSliderPos(Zoom_FromSliderPos(p)) == p);
    }
    CHECK(Zoom_ToSliderPos(1.0) == ZOOM_SLIDER_ONE);
    // Zooms the buttons reach land on the slider too.
    CHECK(Zoom_ToSliderPos(1.25) == 20);
    CHECK(Zoom_ToSliderPos(7.75) == 150);
}

TEST_CASE("zoom buttons: a quarter per step, capped at 0.25 and 8.0, snapped down to quarters")
{
    struct Row {
        double from, in, out;
    } rows[] = {
        {1.0, 1.25, 0.75},
        {1.1, 1.25, 0.75},   // 1.35 and 0.85 snap down
        {7.9, 8.0, 7.5},     // 8.15 is capped
        {8.0, 8.0, 7.75},
        {0.4, 0.5, 0.25},    // 0.15 is raised to 0.25
        {0.25, 0.5, 0.25},
        {0.3, 0.5, 0.25},    // 0.05 is raised to 0.25
        {5.3, 5.5, 5.0},
    };
    for (const Row &r : rows) {
        CAPTURE(r.from);
        CHECK(Zoom_StepIn(r.from) == doctest::Approx(r.in));
        CHECK(Zoom_StepOut(r.from) == doctest::Approx(r.out));
    }
    // Stepping from any slider position always moves (no step gets stuck
    // just below a quarter) and stays inside the range.
    for (int p = ZOOM_SLIDER_MIN; p <= ZOOM_SLIDER_MAX; p++) {
        double z = Zoom_FromSliderPos(p);
        CAPTURE(p);
        double in = Zoom_StepIn(z), out = Zoom_StepOut(z);
        CHECK(in <= ZOOM_MAX);
        CHECK(out >= ZOOM_MIN);
        if (z < ZOOM_MAX - 1e-9)
            CHECK(in > z);
        if (z > ZOOM_MIN + 0.25 + 1e-9)
            CHECK(out < z);
    }
}

TEST_CASE("untitled path: VOR replaces the last folder name or follows a trailing backslash")
{
    struct Row {
        const char *start, *path;
    } rows[] = {
        {"C:\\work\\tool", "C:\\work\\VOR"},
        {"D:\\x\\", "D:\\x\\VOR"},
        {"C:\\", "C:\\VOR"},
        {"Z:\\a b\\c.d", "Z:\\a b\\VOR"},
    };
    for (const Row &r : rows) {
        char path[VOR_MAX_PATH] = "unchanged";
        CAPTURE(r.start);
        CHECK(ProjectSession_UntitledPath(r.start, path) == 1);
        CHECK(std::string(path) == r.path);
    }
    // A folder so long that VOR no longer fits is refused, not cut short.
    std::string longFolder = "C:\\" + std::string(VOR_MAX_PATH - 5, 'a') + "\\";
    char path[VOR_MAX_PATH] = "unchanged";
    CHECK(ProjectSession_UntitledPath(longFolder.c_str(), path) == 0);
    CHECK(std::string(path) == "unchanged");
}

TEST_CASE("caption: the file name without what follows its last dot")
{
    struct Row {
        const char *path;
        int modified;
        const char *title;
    } rows[] = {
        {"C:\\work\\VOR", 0, "VOR - VOR 캐릭터 만들기"},
        {"D:\\x\\y.vor", 0, "y - VOR 캐릭터 만들기"},
        {"D:\\x\\a.b.vor", 0, "a.b - VOR 캐릭터 만들기"},
        {"D:\\dir.v2\\plain", 0, "plain - VOR 캐릭터 만들기"},
        {"D:\\x\\y.vor", 1, "y* - VOR 캐릭터 만들기"},
        {"abc.vor", 0, "abc - VOR 캐릭터 만들기"},
        {"D:\\x\\캐릭터.vor", 0, "캐릭터 - VOR 캐릭터 만들기"},
    };
    for (const Row &r : rows) {
        CAPTURE(r.path);
        char title[VOR_MAX_PATH + 64];
        ProjectSession_FormatTitle(r.path, r.modified, title, sizeof title);
        CHECK(std::string(title) == r.title);
    }
    char small[8];
    ProjectSession_FormatTitle("D:\\x\\long_name.vor", 0, small, sizeof small);
    CHECK(std::string(small) == "long_na");
}

TEST_CASE("save dialog: the typed name gets the filter's extension")
{
    struct Row {
        const char *typed, *result;
    } rows[] = {
        {"abc", "abc.vor"},
        {"abc.txt", "abc.vor"},
        {"a.b.vor", "a.b.vor"},
        {"abc.", "abc.vor"},
        {"C:\\dir.x\\abc", "C:\\dir.x\\abc.vor"},   // a folder's dot is not the extension
        {"dir.x/abc", "dir.x/abc.vor"},
        {"캐릭터", "캐릭터.vor"},
    };
    for (const Row &r : rows) {
        char text[VOR_MAX_PATH];
        strcpy(text, r.typed);
        CAPTURE(r.typed);
        CHECK(ProjectSession_ForceExtension(text, sizeof text, ".vor") == 1);
        CHECK(std::string(text) == r.result);
    }
    // No room for the extension: the text stays as typed.
    char tight[8] = "abcdef";
    CHECK(ProjectSession_ForceExtension(tight, sizeof tight, ".vor") == 0);
    CHECK(std::string(tight) == "abcdef");
    char fits[8] = "abc.x";
    CHECK(ProjectSession_ForceExtension(fits, sizeof fits, ".vor") == 1);
    CHECK(std::string(fits) == "abc.vor");
}

TEST_CASE("filter: the extension of the pattern at an index")
{
    static const char filter[] = "Projects (*.vor)\0*.vor\0Pictures\0*.png\0Everything\0*\0";
    struct Row {
        int index, withDot;
        const char *ext;
    } rows[] = {
        {1, 0, "vor"}, {1, 1, ".vor"}, {2, 0, "png"}, {3, 0, ""}, {4, 0, ""}, {0, 0, ""}, {-1, 1, ""},
    };
    for (const Row &r : rows) {
        char ext[32] = "junk";
        CAPTURE(r.index);
        ProjectSession_FilterExtension(filter, r.index, r.withDot, ext, sizeof ext);
        CHECK(std::string(ext) == r.ext);
    }
}
