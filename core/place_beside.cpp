// Placing a tool window beside its main window (see place_beside.h).
#include "core/place_beside.h"

namespace {

enum Side { SIDE_RIGHT, SIDE_LEFT, SIDE_BELOW, SIDE_ABOVE, SIDE_COUNT };

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

// The free room on one side of the anchor: its width for the sides left and
// right, its height for below and above.
int Room(const Rect *anchor, const Rect *area, int side)
{
    switch (side) {
    case SIDE_RIGHT: return area->right - Max(anchor->right, area->left);
    case SIDE_LEFT: return Min(anchor->left, area->right) - area->left;
    case SIDE_BELOW: return area->bottom - Max(anchor->bottom, area->top);
    default: return Min(anchor->top, area->bottom) - area->top;
    }
}

bool Horizontal(int side)
{
    return side == SIDE_RIGHT || side == SIDE_LEFT;
}

// `start` moved so that [start, start + size) lies inside [low, high).
int Clamp(int start, int size, int low, int high)
{
    if (start + size > high)
        start = high - size;
    return Max(start, low);
}

// The window of w x h on `side`, against the anchor, inside the area.
Rect PlaceOn(const Rect *anchor, const Rect *area, int side, int w, int h)
{
    w = Min(w, Rect_Width(area));
    h = Min(h, Rect_Height(area));
    int x, y;
    switch (side) {
    case SIDE_RIGHT: x = anchor->right; break;
    case SIDE_LEFT: x = anchor->left - w; break;
    default: x = anchor->left; break;
    }
    switch (side) {
    case SIDE_BELOW: y = anchor->bottom; break;
    case SIDE_ABOVE: y = anchor->top - h; break;
    default: y = anchor->top; break;
    }
    x = Clamp(x, w, area->left, area->right);
    y = Clamp(y, h, area->top, area->bottom);
    Rect r;
    Rect_Set(&r, x, y, x + w, y + h);
    return r;
}

}  // namespace

Rect Place_Beside(const Rect *anchor, const Rect *area, int width, int height, int minWidth, int minHeight)
{
    for (int side = 0; side < SIDE_COUNT; side++)
        if (Room(anchor, area, side) >= (Horizontal(side) ? width : height))
            return PlaceOn(anchor, area, side, width, height);
    // Shrunk into the room of the side that keeps the most of it.
    long long bestArea = -1;
    int best = -1, bestW = 0, bestH = 0;
    for (int side = 0; side < SIDE_COUNT; side++) {
        int room = Room(anchor, area, side);
        // Narrowed to the room, the window grows along the strip (as far as
        // the area goes) to keep its area: its pictures stay as large.
        long long wanted = (long long)width * height;
        int w, h;
        if (Horizontal(side)) {
            w = Min(width, room);
            h = w > 0 ? (int)Min(Rect_Height(area), (int)Max(height, (int)((wanted + w - 1) / w))) : 0;
        } else {
            h = Min(height, room);
            w = h > 0 ? (int)Min(Rect_Width(area), (int)Max(width, (int)((wanted + h - 1) / h))) : 0;
        }
        if (w < minWidth || h < minHeight || (long long)w * h <= bestArea)
            continue;
        bestArea = (long long)w * h;
        best = side;
        bestW = w;
        bestH = h;
    }
    if (best >= 0)
        return PlaceOn(anchor, area, best, bestW, bestH);
    int most = 0;
    for (int side = 1; side < SIDE_COUNT; side++)
        if (Room(anchor, area, side) > Room(anchor, area, most))
            most = side;
    return PlaceOn(anchor, area, most, minWidth, minHeight);
}

int Place_IsUsable(const Rect *r, const Rect *area, int minWidth, int minHeight)
{
    return r->left >= area->left && r->top >= area->top && r->right <= area->right && r->bottom <= area->bottom &&
           Rect_Width(r) >= minWidth && Rect_Height(r) >= minHeight;
}
