// Looks at the controls: writes PNG screenshots of a canvas showing a
// composed character at zoom 0.5, 1.0 and 2.0 beside a TileView with
// owner-drawn items, and times a drag step (mouse move, layer moved,
// composed through the drag caches, painted) at zoom 1.0 and 2.0.
#include <doctest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "canvas_test_support.h"
#include "character_picture.h"
#include "core/imaging/file.h"
#include "core/services/tileview_win32.h"
#include "core/window_win32.h"

using namespace guitest;

namespace {


// Paints a list item the way the pages do: a blue gradient band when
// selected, its name, and a small colour swatch.
void DrawTile(const DRAWITEMSTRUCT *dis)
{
    const TileItem *item = (const TileItem *)dis->itemData;
    RECT r = dis->rcItem;
    bool selected = (item->state & TILEITEM_SELECTED) != 0;
    if (selected) {
        int left = (item->state & TILEITEM_BRIGHT) ? 0xFF : 0x40;
        for (int x = r.left; x < r.right; x++) {
            int blue = left + (0xFF - left) * (x - r.left) / (r.right - r.left);
            RECT band = {x, r.top, x + 1, r.bottom};
            HBRUSH brush = CreateSolidBrush(RGB(0, 0, blue));
            FillRect(dis->hDC, &band, brush);
            DeleteObject(brush);
        }
    } else {
        FillRect(dis->hDC, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    RECT swatch = {r.left + 2, r.top + 3, r.left + 12, r.top + 13};
    HBRUSH brush = CreateSolidBrush((COLORREF)item->data);
    FillRect(dis->hDC, &swatch, brush);
    DeleteObject(brush);
    FrameRect(dis->hDC, &swatch, (HBRUSH)GetStockObject(BLACK_BRUSH));
    char text[64];
    snprintf(text, sizeof text, "\xC2\xF8 \xBF\xEB - %d", dis->itemID);  // "착 용 - n"
    SetBkMode(dis->hDC, TRANSPARENT);
    SetTextColor(dis->hDC, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    TextOutA(dis->hDC, r.left + 16, r.top + 1, text, lstrlenA(text));
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

}  // namespace

TEST_CASE("screenshots of the canvas at three zooms beside an owner-drawn TileView")
{
    CanvasFixture f(380, 500);
    BuildCharacter(f.doc);
    Canvas_Refresh(f.canvas);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, TILEVIEW_CLASS, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 420, 10,
                                200, 160, f.parent.window, (HMENU)(INT_PTR)1029, GetModuleHandleA(nullptr), nullptr);
    TileViewState *state = TileView_GetState(list);
    RECT lc;
    GetClientRect(list, &lc);
    state->flags = 0xD101;
    state->itemWidth = lc.right;
    state->itemHeight = 16;
    state->background = 0xFFFFFF;
    f.parent.onDraw = DrawTile;
    COLORREF swatches[] = {RGB(230, 180, 40), RGB(120, 60, 160), RGB(40, 160, 200), RGB(200, 40, 40),
                           RGB(60, 180, 80),  RGB(250, 220, 200), RGB(90, 90, 90),  RGB(255, 140, 0),
                           RGB(0, 0, 0),      RGB(180, 180, 255), RGB(255, 255, 0), RGB(100, 40, 20)};
    for (COLORREF c : swatches)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)c);
    SendMessageA(list, LB_SETCURSEL, 2, 0);

    struct Shot {
        double zoom;
        const char *file;
    } shots[] = {{0.5, "canvas_zoom050.png"}, {1.0, "canvas_zoom100.png"}, {2.0, "canvas_zoom200.png"}};
    for (const Shot &s : shots) {
        f.Zoom(s.zoom, 380, 500);
        if (s.zoom == 2.0) {
            Point face = {180, 170};
            Canvas_CenterOn(f.canvas, &face, 1);
        }
        RedrawWindow(f.parent.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(100);
        CHECK(guitest::SaveWindowPng(f.parent.window, s.file));
        MESSAGE("screenshot written: " << std::string(s.file));
    }
}

TEST_CASE("drag step timing with a character-sized document")
{
    CanvasFixture f(380, 500);
    BuildCharacter(f.doc);
    Canvas_Refresh(f.canvas);
    Pump();
    Layer *accessory = Layer_Find(f.doc->root, 2100);
    REQUIRE(accessory);
    for (double zoom : {1.0, 2.0}) {
        f.Zoom(zoom, 380, 500);
        SendMessageA(f.canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
        // The first move builds the drag caches; time the steps after it.
        SendMessageA(f.canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(104, 100));
        Pump();
        const int steps = 200;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < steps; i++) {
            int x = 100 + 2 * (i % 40) + 2;
            SendMessageA(f.canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 100 + i % 7));
            Pump();  // FLM_REPAINT: the canvas paints the new picture
        }
        GdiFlush();
        QueryPerformanceCounter(&end);
        SendMessageA(f.canvas, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
        double perStep = Milliseconds(start, end) / steps;
        MESSAGE("drag step at zoom " << zoom << ": " << perStep << " ms");
        // Generous: the machine is shared; the target is well below this.
        CHECK(perStep < 40.0);
        CHECK(f.doc->belowCache != nullptr);
    }
    CHECK(accessory->rect.left != 0);  // the steps really moved the layer
}
