// Window helpers: scroll state, cursor, centring, sizing and moving.
#include "core/window_win32.h"

static_assert(sizeof(Rect) == sizeof(RECT), "Rect must have the RECT layout");
static_assert(sizeof(Point) == sizeof(POINT), "Point must have the POINT layout");

void Rect_ScreenToClient(Rect *r, HWND window)
{
    POINT a = {r->left, r->top}, b = {r->right, r->bottom};
    ScreenToClient(window, &a);
    ScreenToClient(window, &b);
    Rect_Set(r, a.x, a.y, b.x, b.y);
}

static int Wnd_ScrollField(HWND window, int bar, UINT mask)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = mask;
    if (!GetScrollInfo(window, bar, &si))
        return 0;
    return mask == SIF_POS ? si.nPos : (int)si.nPage;
}

void Wnd_GetScrollPos(HWND window, int *x, int *y)
{
    *x = Wnd_ScrollField(window, SB_HORZ, SIF_POS);
    *y = Wnd_ScrollField(window, SB_VERT, SIF_POS);
}

void Wnd_GetScrollPage(HWND window, int *x, int *y)
{
    *x = Wnd_ScrollField(window, SB_HORZ, SIF_PAGE);
    *y = Wnd_ScrollField(window, SB_VERT, SIF_PAGE);
}

void Wnd_GetCursorClientPos(HWND window, Point *p)
{
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(window, &pt);
    p->x = pt.x;
    p->y = pt.y;
}

void Wnd_CenterOnParent(HWND window)
{
    HWND around = GetParent(window);
    if (!around)
        around = GetWindow(window, GW_OWNER);
    if (!around)
        around = GetDesktopWindow();
    RECT outer, self;
    GetWindowRect(around, &outer);
    GetWindowRect(window, &self);
    Rect container = {outer.left, outer.top, outer.right, outer.bottom};
    Rect r = {self.left, self.top, self.right, self.bottom};
    Rect_Center(&container, &r);
    MoveWindow(window, r.left, r.top, Rect_Width(&r), Rect_Height(&r), TRUE);
}

void Wnd_SetSize(HWND window, int width, int height, BOOL repaint)
{
    RECT r;
    GetWindowRect(window, &r);
    POINT corner = {r.left, r.top};
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        ScreenToClient(GetParent(window), &corner);
    MoveWindow(window, corner.x, corner.y, width, height, repaint);
}

void Wnd_SetPos(HWND window, int x, int y, BOOL repaint)
{
    RECT r;
    GetWindowRect(window, &r);
    MoveWindow(window, x, y, r.right - r.left, r.bottom - r.top, repaint);
}

void Wnd_GetPos(HWND window, int *x, int *y)
{
    RECT r;
    GetWindowRect(window, &r);
    *x = r.left;
    *y = r.top;
}

void Gdi_FillRect(HDC dc, const Rect *r, COLORREF colour)
{
    RECT area;
    if (r) {
        area = {r->left, r->top, r->right, r->bottom};
    } else {
        GetClientRect(WindowFromDC(dc), &area);
    }
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}
