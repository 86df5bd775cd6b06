// Painting the canvas: the visible part of the composed picture stretched
// to the zoom straight from the picture's pixel memory, a black frame
// around it, and the silver surround, painted only after the framed picture
// has been taken out of the clip region so the picture is never overdrawn.
#include <cmath>

#include "canvas/canvas_internal_win32.h"

namespace {

const COLORREF CANVAS_SURROUND = 0xC0C0C0;

int Trunc(double v)
{
    return (int)v;  // toward zero, as every canvas coordinate is computed
}

}  // namespace

CanvasPaintRects Canvas_PaintRects(int scrollX, int scrollY, int clientWidth, int clientHeight, int imageWidth,
                                   int imageHeight, double zoom)
{
    double sx = scrollX, sy = scrollY, z = zoom;
    // The visible extent in zoomed pixels.
    double ex = Trunc(sx + fmin(clientWidth, imageWidth * z));
    double ey = Trunc(sy + fmin(clientHeight, imageHeight * z));

    CanvasPaintRects r;
    Rect &s = r.source;
    // A partly visible pixel at the far edge is included.
    s.left = Trunc(sx / z);
    s.top = Trunc(sy / z);
    s.right = Trunc(ex / z + (fmod(ex, z) != 0 ? 1 : 0));
    s.bottom = Trunc(ey / z + (fmod(ey, z) != 0 ? 1 : 0));
    // At zooms whose zoomed size is not a whole number of pixels that extra
    // pixel can fall past the picture's edge; never read beyond it.
    if (s.right > imageWidth)
        s.right = imageWidth;
    if (s.bottom > imageHeight)
        s.bottom = imageHeight;

    Rect &d = r.dest;
    // The part of the first picture pixel that is scrolled away.
    d.left = Trunc(-fmod(sx, z));
    d.top = Trunc(-fmod(sy, z));
    d.right = Trunc(Rect_Width(&s) * z + d.left);
    d.bottom = Trunc(Rect_Height(&s) * z + d.top);

    Rect client = {0, 0, clientWidth, clientHeight};
    if (Rect_Width(&d) < clientWidth)
        Rect_CenterH(&client, &d);
    if (Rect_Height(&d) < clientHeight)
        Rect_CenterV(&client, &d);
    return r;
}

void Canvas_Paint(HWND canvas, HDC dc)
{
    RECT client;
    GetClientRect(canvas, &client);
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (doc && doc->composed) {
        const DIB *picture = doc->composed;
        int sx, sy;
        Wnd_GetScrollPos(canvas, &sx, &sy);
        CanvasPaintRects r =
            Canvas_PaintRects(sx, sy, client.right, client.bottom, picture->width, picture->height, doc->zoom);
        Rect source = r.source;
        const Rect &d = r.dest;
        DIB_TDtoBU(picture, &source);

        int previous = SetStretchBltMode(dc, doc->zoom < 1.0 ? HALFTONE : COLORONCOLOR);
        if (doc->zoom < 1.0)
            SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE wants it set after the mode
        StretchDIBits(dc, d.left, d.top, Rect_Width(&d), Rect_Height(&d), source.left, source.top,
                      Rect_Width(&source), Rect_Height(&source), DIB_Bits(picture), (const BITMAPINFO *)picture,
                      DIB_RGB_COLORS, SRCCOPY);
        SetStretchBltMode(dc, previous);

        RECT frame = {d.left - 1, d.top - 1, d.right + 1, d.bottom + 1};
        FrameRect(dc, &frame, (HBRUSH)GetStockObject(BLACK_BRUSH));
        ExcludeClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
    }
    HBRUSH surround = CreateSolidBrush(CANVAS_SURROUND);
    FillRect(dc, &client, surround);
    DeleteObject(surround);
}
