// Where a tool window opens beside its main window: a side where it fits
// whole, else shrunk into the most room, always inside the screen.
#include <doctest.h>

#include "core/place_beside.h"

static bool Overlap(const Rect &a, const Rect &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST_CASE("a window is placed beside the anchor where it fits, else shrunk into the most room, inside the area")
{
    const Rect screen = {0, 0, 1280, 1024};
    struct Case {
        const char *what;
        Rect anchor;
        int width, height;
        Rect expected;
        bool apart;  // must not overlap the anchor
    } cases[] = {
        {"right of it, top edges aligned", {100, 100, 500, 500}, 300, 200, {500, 100, 800, 300}, true},
        {"left when the right has no room", {900, 0, 1280, 600}, 300, 200, {600, 0, 900, 200}, true},
        {"below when neither side has room", {0, 0, 1280, 500}, 300, 400, {0, 500, 300, 900}, true},
        {"above when nothing else has room", {0, 600, 1280, 1024}, 300, 400, {0, 200, 300, 600}, true},
        {"moved up to stay on the screen", {100, 900, 400, 1000}, 300, 400, {400, 624, 700, 1024}, true},
        {"narrowed to the room at the right, as tall as the screen", {0, 0, 1000, 1024}, 760, 560,
         {1000, 0, 1280, 1024}, true},
        {"narrowed and taller, keeping its area", {0, 0, 775, 600}, 760, 560, {775, 0, 1280, 843}, true},
        {"lowered and wider below a centred window", {250, 200, 1025, 800}, 760, 560, {0, 800, 1280, 1024}, true},
        {"no room at all: the smallest size, on the screen", {0, 0, 1280, 1024}, 760, 560, {1040, 0, 1280, 180}, false},
        {"larger than the screen: cut to it", {0, 0, 10, 10}, 2000, 2000, {10, 0, 1280, 1024}, true},
    };
    for (const Case &c : cases) {
        CAPTURE(c.what);
        Rect r = Place_Beside(&c.anchor, &screen, c.width, c.height, 240, 180);
        CHECK(r.left == c.expected.left);
        CHECK(r.top == c.expected.top);
        CHECK(r.right == c.expected.right);
        CHECK(r.bottom == c.expected.bottom);
        CHECK(Place_IsUsable(&r, &screen, 240, 180));
        if (c.apart)
            CHECK_FALSE(Overlap(r, c.anchor));
    }
}

TEST_CASE("a remembered place is used only while it lies on the screen at a usable size")
{
    const Rect screen = {0, 0, 1280, 1024};
    struct Case {
        Rect r;
        int usable;
    } cases[] = {
        {{800, 0, 1280, 600}, 1},   {{0, 0, 240, 180}, 1},     {{1100, 0, 1400, 300}, 0},
        {{-10, 0, 300, 300}, 0},    {{0, 900, 300, 1100}, 0},  {{0, 0, 239, 300}, 0},
    };
    for (const Case &c : cases) {
        CAPTURE(c.r.left);
        CAPTURE(c.r.top);
        CHECK(Place_IsUsable(&c.r, &screen, 240, 180) == c.usable);
    }
}
