// Shelf packing of a sprite atlas's frames, page by page.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "output/atlas_pack.h"

static int NextPowerOfTwo(int n)
{
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

// Puts the boxes of `order` (tallest first) on shelves `shelfWidth` wide.
// Returns 1 when the page stays within the largest side; `spots` (indexed
// like the boxes) receives the corners and `size` the page's size.
static int Atlas_Shelve(const std::vector<AtlasBox> &boxes, const std::vector<size_t> &order, int shelfWidth,
                        const AtlasPackOptions &options, int page, std::vector<AtlasSpot> *spots, AtlasPageSize *size)
{
    const int pad = options.padding;
    int x = pad, y = pad, shelfHeight = 0, usedWidth = 0;
    for (size_t i : order) {
        const AtlasBox &box = boxes[i];
        if (box.width + 2 * pad > shelfWidth)
            return 0;
        if (x + box.width + pad > shelfWidth) {
            y += shelfHeight + pad;
            x = pad;
            shelfHeight = 0;
        }
        (*spots)[i] = AtlasSpot{page, x, y};
        x += box.width + pad;
        usedWidth = std::max(usedWidth, x);
        shelfHeight = std::max(shelfHeight, box.height);
    }
    size->width = usedWidth;
    size->height = y + shelfHeight + pad;
    if (options.powerOfTwo) {
        size->width = NextPowerOfTwo(size->width);
        size->height = NextPowerOfTwo(size->height);
    }
    return size->width <= options.maxSide && size->height <= options.maxSide;
}

// Packs `order` (indices into `boxes`) onto one page: shelves about the
// square root of the area wide (a page near a square), or as wide as a page
// may be when those grow too tall.
static int Atlas_PackPage(const std::vector<AtlasBox> &boxes, std::vector<size_t> order,
                          const AtlasPackOptions &options, int page, std::vector<AtlasSpot> *spots,
                          AtlasPageSize *size)
{
    const int pad = options.padding;
    std::stable_sort(order.begin(), order.end(), [&boxes](size_t a, size_t b) {
        if (boxes[a].height != boxes[b].height)
            return boxes[a].height > boxes[b].height;
        return boxes[a].width > boxes[b].width;
    });
    double area = 0;
    int widest = 0;
    for (size_t i : order) {
        area += (double)(boxes[i].width + pad) * (boxes[i].height + pad);
        widest = std::max(widest, boxes[i].width);
    }
    int shelfWidth = std::max(widest + 2 * pad, (int)std::ceil(std::sqrt(area)) + pad);
    if (options.powerOfTwo)
        shelfWidth = NextPowerOfTwo(shelfWidth);
    shelfWidth = std::min(shelfWidth, options.maxSide);
    if (Atlas_Shelve(boxes, order, shelfWidth, options, page, spots, size))
        return 1;
    return shelfWidth < options.maxSide && Atlas_Shelve(boxes, order, options.maxSide, options, page, spots, size);
}

int Atlas_Pack(const std::vector<AtlasBox> &boxes, const AtlasPackOptions &options, AtlasLayout *layout)
{
    layout->spots.assign(boxes.size(), AtlasSpot{0, 0, 0});
    layout->pages.clear();
    std::vector<size_t> page;   // boxes on the page being filled
    AtlasPageSize pageSize = {0, 0};
    size_t next = 0;
    while (next < boxes.size()) {
        std::vector<size_t> trial = page;
        size_t end = next;
        while (end < boxes.size() && boxes[end].group == boxes[next].group)
            trial.push_back(end++);
        AtlasPageSize trialSize;
        int number = (int)layout->pages.size();
        if (Atlas_PackPage(boxes, trial, options, number, &layout->spots, &trialSize)) {
            page = trial;
            pageSize = trialSize;
            next = end;
            continue;
        }
        if (page.empty()) {  // the group alone is too large
            layout->spots.clear();
            layout->pages.clear();
            return 0;
        }
        // The trial moved this page's boxes; put them back and close it.
        Atlas_PackPage(boxes, page, options, number, &layout->spots, &pageSize);
        layout->pages.push_back(pageSize);
        page.clear();
    }
    if (!page.empty())
        layout->pages.push_back(pageSize);
    return 1;
}
