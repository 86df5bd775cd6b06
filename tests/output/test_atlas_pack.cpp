// The atlas packer: every box inside its page, none overlapping another or
// the padding, the same layout every time, groups kept on one page, pages
// split past the largest side, and powers of two where asked for.
#include <doctest.h>

#include <cstddef>
#include <vector>

#include "output/atlas_pack.h"

namespace {

// Boxes of `perGroup` frames each, sizes varied like trimmed pictures.
std::vector<AtlasBox> Boxes(int groups, int perGroup, int baseW, int baseH)
{
    std::vector<AtlasBox> boxes;
    for (int g = 0; g < groups; g++)
        for (int k = 0; k < perGroup; k++)
            boxes.push_back(AtlasBox{baseW - (g * 7 + k * 3) % 40, baseH - (g * 11 + k * 5) % 60, g});
    return boxes;
}

// Checks what every layout must be: inside its page with the padding all
// round, apart from the others by the padding, a group on one page.
void CheckLayout(const std::vector<AtlasBox> &boxes, const AtlasLayout &layout, const AtlasPackOptions &options)
{
    REQUIRE(layout.spots.size() == boxes.size());
    const int pad = options.padding;
    for (const AtlasPageSize &page : layout.pages) {
        CHECK(page.width <= options.maxSide);
        CHECK(page.height <= options.maxSide);
        if (options.powerOfTwo) {
            CHECK((page.width & (page.width - 1)) == 0);
            CHECK((page.height & (page.height - 1)) == 0);
        }
    }
    std::vector<int> used(layout.pages.size(), 0);
    for (size_t i = 0; i < boxes.size(); i++) {
        const AtlasSpot &a = layout.spots[i];
        REQUIRE(a.page >= 0);
        REQUIRE(a.page < (int)layout.pages.size());
        used[a.page] = 1;
        const AtlasPageSize &page = layout.pages[a.page];
        CHECK(a.x >= pad);
        CHECK(a.y >= pad);
        CHECK(a.x + boxes[i].width + pad <= page.width);
        CHECK(a.y + boxes[i].height + pad <= page.height);
        if (i > 0 && boxes[i].group == boxes[i - 1].group)
            CHECK(a.page == layout.spots[i - 1].page);
        for (size_t j = 0; j < i; j++) {
            const AtlasSpot &b = layout.spots[j];
            if (a.page != b.page)
                continue;
            bool apart = a.x >= b.x + boxes[j].width + pad || b.x >= a.x + boxes[i].width + pad ||
                         a.y >= b.y + boxes[j].height + pad || b.y >= a.y + boxes[i].height + pad;
            CHECK_MESSAGE(apart, "boxes " << i << " and " << j << " overlap");
        }
    }
    for (int u : used)
        CHECK(u == 1);  // no empty page
}

bool SameLayout(const AtlasLayout &a, const AtlasLayout &b)
{
    if (a.spots.size() != b.spots.size() || a.pages.size() != b.pages.size())
        return false;
    for (size_t i = 0; i < a.spots.size(); i++)
        if (a.spots[i].page != b.spots[i].page || a.spots[i].x != b.spots[i].x || a.spots[i].y != b.spots[i].y)
            return false;
    for (size_t p = 0; p < a.pages.size(); p++)
        if (a.pages[p].width != b.pages[p].width || a.pages[p].height != b.pages[p].height)
            return false;
    return true;
}

}  // namespace

TEST_CASE("atlas packing: sound layouts, the same every time, pages where the side runs out")
{
    struct Case {
        const char *what;
        int groups, perGroup, w, h;
        int maxSide, powerOfTwo;
        int pages;  // expected page count
    } cases[] = {
        {"one style, one expression", 1, 1, 220, 400, ATLAS_PAGE_MAX, 0, 1},
        {"one picture, power of two", 1, 1, 220, 400, ATLAS_PAGE_MAX, 1, 1},
        {"two styles x eight expressions", 16, 1, 300, 470, ATLAS_PAGE_MAX, 0, 1},
        {"with blink and talk frames", 16, 3, 300, 470, ATLAS_PAGE_MAX, 1, 1},
        // 120 pictures of about 340 x 450 are more than one 4096 page holds.
        {"past 4096 px", 120, 1, 360, 480, ATLAS_PAGE_MAX, 0, 2},
        {"past 4096 px, power of two", 120, 1, 360, 480, ATLAS_PAGE_MAX, 1, 2},
        {"small pages, groups of three", 10, 3, 60, 90, 256, 0, 0},
    };
    for (const Case &c : cases) {
        CAPTURE(c.what);
        std::vector<AtlasBox> boxes = Boxes(c.groups, c.perGroup, c.w, c.h);
        AtlasPackOptions options;
        options.maxSide = c.maxSide;
        options.powerOfTwo = c.powerOfTwo;
        AtlasLayout first, again;
        REQUIRE(Atlas_Pack(boxes, options, &first) == 1);
        CheckLayout(boxes, first, options);
        if (c.pages)
            CHECK(first.pages.size() == (size_t)c.pages);
        else
            CHECK(first.pages.size() > 1);
        REQUIRE(Atlas_Pack(boxes, options, &again) == 1);
        CHECK(SameLayout(first, again));
    }
}

TEST_CASE("atlas packing: a lone picture sits in the padding's frame")
{
    std::vector<AtlasBox> boxes = {{220, 400, 0}};
    AtlasPackOptions options;
    AtlasLayout layout;
    REQUIRE(Atlas_Pack(boxes, options, &layout) == 1);
    REQUIRE(layout.pages.size() == 1);
    CHECK(layout.pages[0].width == 220 + 2 * ATLAS_PADDING);
    CHECK(layout.pages[0].height == 400 + 2 * ATLAS_PADDING);
    CHECK(layout.spots[0].x == ATLAS_PADDING);
    CHECK(layout.spots[0].y == ATLAS_PADDING);
    options.powerOfTwo = 1;
    REQUIRE(Atlas_Pack(boxes, options, &layout) == 1);
    CHECK(layout.pages[0].width == 256);
    CHECK(layout.pages[0].height == 512);
}

TEST_CASE("atlas packing: a page is filled before the next begins, and a group too large is refused")
{
    AtlasPackOptions options;
    options.maxSide = 100;
    // Four 40 x 40 boxes fill a 100 px page two by two (2 + 40 + 2 + 40 + 2 =
    // 86); the fifth starts the next page.
    std::vector<AtlasBox> boxes;
    for (int g = 0; g < 5; g++)
        boxes.push_back(AtlasBox{40, 40, g});
    AtlasLayout layout;
    REQUIRE(Atlas_Pack(boxes, options, &layout) == 1);
    CheckLayout(boxes, layout, options);
    REQUIRE(layout.pages.size() == 2);
    for (int i = 0; i < 4; i++)
        CHECK(layout.spots[i].page == 0);
    CHECK(layout.spots[4].page == 1);

    // One group of three that cannot share a 100 px page.
    std::vector<AtlasBox> group = {{60, 60, 0}, {60, 60, 0}, {60, 60, 0}};
    CHECK(Atlas_Pack(group, options, &layout) == 0);
    CHECK(layout.spots.empty());
    CHECK(layout.pages.empty());
    std::vector<AtlasBox> wide = {{97, 10, 0}};
    CHECK(Atlas_Pack(wide, options, &layout) == 0);
    std::vector<AtlasBox> fits = {{96, 96, 0}};
    CHECK(Atlas_Pack(fits, options, &layout) == 1);
}
