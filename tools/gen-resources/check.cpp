// The three check-box pictures the style list paints in front of each
// style: empty, ticked, and ticked on the blue of a selected row.
#include "tools/gen-resources/gen_resources.h"

namespace {

void Put(DIB *image, int x, int y, COLORREF_ colour)
{
    unsigned char *p = DIB_RowTD(image, y) + 4 * x;
    p[0] = (unsigned char)(colour >> 16);
    p[1] = (unsigned char)(colour >> 8);
    p[2] = (unsigned char)colour;
    p[3] = 255;
}

// One 11 x 11 box whose top row is `top`: a grey border around white, with
// a tick when `ticked`, on the selection blue when `selected`.
void DrawBox(DIB *image, int top, bool ticked, bool selected)
{
    const COLORREF_ border = 0x00707070, inside = 0x00FFFFFF, tick = 0x00202020, selection = 0x00C56A31;
    for (int y = 0; y < CHECK_SIDE; y++)
        for (int x = 0; x < CHECK_SIDE; x++) {
            bool edge = x == 0 || y == 0 || x == CHECK_SIDE - 1 || y == CHECK_SIDE - 1;
            Put(image, x, top + y, edge ? (selected ? inside : border) : inside);
        }
    if (selected) {
        // The blue ground shows inside the white frame, the tick stays dark.
        for (int y = 1; y < CHECK_SIDE - 1; y++)
            for (int x = 1; x < CHECK_SIDE - 1; x++)
                Put(image, x, top + y, selection);
    }
    if (!ticked)
        return;
    COLORREF_ mark = selected ? inside : tick;
    // A tick three pixels thick: down from (2,5) to (4,7), then up to (8,3).
    for (int i = 0; i < 3; i++) {
        for (int x = 2; x <= 4; x++)
            Put(image, x, top + 3 + x + i, mark);
        for (int x = 5; x <= 8; x++)
            Put(image, x, top + 11 - x + i, mark);
    }
}

}  // namespace

DIB *Check_Draw(void)
{
    DIB *image = DIB_Create(32, CHECK_SIDE, CHECK_SIDE * CHECK_STATES);
    if (!image)
        return nullptr;
    DrawBox(image, 0, false, false);
    DrawBox(image, CHECK_SIDE, true, false);
    DrawBox(image, 2 * CHECK_SIDE, true, true);
    return image;
}
