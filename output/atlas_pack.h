// Packing the frames of a sprite atlas into pages: shelves, tallest frame
// first, no rotation, so the same frames always land on the same spots.
//
// Frames come in groups (a picture with its blink and talk frames); a group
// never straddles two pages, because the engines read an animation's frames
// from the one sheet that names it. A page is filled group by group until
// the next group would make it wider or taller than the largest side; the
// next page starts with that group.
#pragma once

#include <vector>

// Pages of at most this many pixels a side load on every graphics card the
// engines support (WebGL 1 guarantees no more than 4096).
enum { ATLAS_PAGE_MAX = 4096 };
// Transparent pixels around and between the frames, so that a frame drawn
// scaled or at a fractional position never samples its neighbour.
enum { ATLAS_PADDING = 2 };

struct AtlasBox {
    int width, height;
    int group;  // consecutive boxes with one number are one group
};

struct AtlasSpot {
    int page;
    int x, y;  // top-left corner of the box on its page
};

struct AtlasPageSize {
    int width, height;
};

struct AtlasPackOptions {
    int maxSide = ATLAS_PAGE_MAX;
    int powerOfTwo = 0;  // pages rounded up to powers of two a side
    int padding = ATLAS_PADDING;
};

struct AtlasLayout {
    std::vector<AtlasSpot> spots;       // per box, in the boxes' order
    std::vector<AtlasPageSize> pages;
};

// Packs the boxes. Returns 1, or 0 when a group cannot fit on one page
// (the layout is then empty).
int Atlas_Pack(const std::vector<AtlasBox> &boxes, const AtlasPackOptions &options, AtlasLayout *layout);
