// Zoom, scrolling and coordinate conversion of the canvas.
//
// The scroll state lives in the window's standard scroll bars, in zoomed
// pixels: range 0 .. zoomed size - 1, page = client size. Scrolling moves the
// pixels already on screen with ScrollDC and repaints only the strip that
// comes into view.
#include "canvas/canvas_internal_win32.h"
#include "core/services/scroll_win32.h"

namespace {

int Trunc(double v)
{
    return (int)v;
}

void Canvas_SetBar(HWND canvas, int bar, int zoomedMax, int page)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = zoomedMax;
    si.nPage = page;
    SetScrollInfo(canvas, bar, &si, TRUE);
}

// The picture's rectangle in client pixels before scrolling: at the origin,
// or centred along an axis where it is smaller than the client area.
Rect Canvas_PictureRect(const LayerDocument *doc, const RECT &client)
{
    Rect p = {0, 0, Trunc(doc->composed->width * doc->zoom), Trunc(doc->composed->height * doc->zoom)};
    Rect area = {client.left, client.top, client.right, client.bottom};
    if (Rect_Width(&p) < client.right - client.left)
        Rect_CenterH(&area, &p);
    if (Rect_Height(&p) < client.bottom - client.top)
        Rect_CenterV(&area, &p);
    return p;
}

}  // namespace

// Which bars the zoomed picture needs, judged against the client area
// without any: a bar takes room from the other direction, so one bar can
// make the other needed, but a bar shown now must not keep itself (at 100 %
// a picture that fits shows none, whatever the zoom before). The judgement
// is also shown explicitly: SetScrollInfo removes a bar only when its new
// range and page make it unnecessary, so a bar switched on through the
// window style, with the same range and page as before, would stay.
void Canvas_UpdateBars(HWND canvas)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc)
        return;
    RECT client;
    GetClientRect(canvas, &client);
    LONG style = GetWindowLongW(canvas, GWL_STYLE);
    int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
    int fullWidth = client.right + ((style & WS_VSCROLL) ? barWidth : 0);
    int fullHeight = client.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
    double zoom = doc->zoom;
    int width = Trunc(doc->composed->width * zoom - 1.0) + 1, height = Trunc(doc->composed->height * zoom - 1.0) + 1;
    bool horizontal = width > fullWidth, vertical = height > fullHeight;
    if (horizontal && !vertical)
        vertical = height > fullHeight - barHeight;
    if (vertical && !horizontal)
        horizontal = width > fullWidth - barWidth;
    Canvas_SetBar(canvas, SB_HORZ, width - 1, fullWidth - (vertical ? barWidth : 0));
    Canvas_SetBar(canvas, SB_VERT, height - 1, fullHeight - (horizontal ? barHeight : 0));
    if (((style & WS_HSCROLL) != 0) != horizontal)
        ShowScrollBar(canvas, SB_HORZ, horizontal);
    style = GetWindowLongW(canvas, GWL_STYLE);
    if (((style & WS_VSCROLL) != 0) != vertical)
        ShowScrollBar(canvas, SB_VERT, vertical);
}

void Canvas_SetZoom(HWND canvas, double zoom, int update)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc)
        return;
    doc->zoom = zoom;
    Canvas_UpdateBars(canvas);
    InvalidateRect(canvas, nullptr, TRUE);
    if (update)
        UpdateWindow(canvas);
    Canvas_Notify(canvas, FLN_ZOOM, (LPARAM)canvas);
}

void Canvas_OnScroll(HWND canvas, int bar, int code, int thumbPosition)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(canvas, bar, &si))
        return;
    int old = si.nPos;
    int pos = old;
    switch (code) {
    case SB_LINELEFT: pos = old - 1; break;
    case SB_LINERIGHT: pos = old + 1; break;
    case SB_PAGELEFT: pos = old - (int)si.nPage; break;
    case SB_PAGERIGHT: pos = old + (int)si.nPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = thumbPosition; break;
    case SB_LEFT: pos = si.nMin; break;
    case SB_RIGHT: pos = si.nMax - (int)si.nPage + 1; break;
    default: break;
    }
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(canvas, bar, &si, TRUE);
    si.fMask = SIF_POS;
    GetScrollInfo(canvas, bar, &si);  // the position as clamped by the system
    if (si.nPos == old)
        return;

    RECT client, uncovered;
    GetClientRect(canvas, &client);
    int dx = bar == SB_HORZ ? old - si.nPos : 0;
    int dy = bar == SB_VERT ? old - si.nPos : 0;
    HDC dc = GetDC(canvas);
    ScrollDC(dc, dx, dy, &client, &client, nullptr, &uncovered);
    ReleaseDC(canvas, dc);
    InvalidateRect(canvas, &uncovered, TRUE);
}

void Canvas_ClientToImage(HWND canvas, Point *p)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc)
        return;
    RECT client;
    GetClientRect(canvas, &client);
    Rect picture = Canvas_PictureRect(doc, client);
    int sx, sy;
    Wnd_GetScrollPos(canvas, &sx, &sy);
    p->x = Trunc((p->x + sx - picture.left) / doc->zoom);
    p->y = Trunc((p->y + sy - picture.top) / doc->zoom);
}

void Canvas_CursorToImage(HWND canvas, Point *p)
{
    Wnd_GetCursorClientPos(canvas, p);
    Canvas_ClientToImage(canvas, p);
}

void Canvas_CenterOn(HWND canvas, const Point *imagePoint, int update)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc)
        return;
    double z = doc->zoom;
    int pw, ph;
    Wnd_GetScrollPage(canvas, &pw, &ph);
    // The scroll bar keeps the position inside its range.
    Window_SetScrollPos(canvas, SCROLLBAR_HORIZONTAL, Trunc(z * (imagePoint->x - pw / z * 0.5)), 1);
    Window_SetScrollPos(canvas, SCROLLBAR_VERTICAL, Trunc(z * (imagePoint->y - ph / z * 0.5)), 1);
    InvalidateRect(canvas, nullptr, TRUE);
    if (update)
        UpdateWindow(canvas);
}
