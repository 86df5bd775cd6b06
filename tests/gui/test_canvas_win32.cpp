// The canvas window under Wine: registration and creation, scroll ranges
// and painting geometry at several zooms, scrolling, coordinate conversion,
// and what it paints into a device context.
#include <doctest.h>

#include <windows.h>

#include <vector>

#include "canvas_test_support.h"
#include "core/window_win32.h"

using namespace guitest;

namespace {

SCROLLINFO Bar(HWND window, int bar)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &si);
    return si;
}

// Paints the canvas into a memory bitmap through its WM_ERASEBKGND and
// returns the colour at client point (x, y) via `probe`.
struct Capture {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    Capture(HWND canvas, int width, int height)
    {
        HDC screen = GetDC(canvas);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(canvas, screen);
        old = SelectObject(dc, bitmap);
        SendMessageA(canvas, WM_ERASEBKGND, (WPARAM)dc, 0);
    }
    ~Capture()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y) & 0xFFFFFF; }
};

// The stretch modes a paint uses, read back from a recording of it: the mode
// in effect at each picture blit and the mode the paint leaves behind.
struct StretchModes {
    std::vector<int> atBlits;
    int initial = 0;
    int last = 0;
};

static int CALLBACK StretchModes_OnRecord(HDC, HANDLETABLE *, const ENHMETARECORD *record, int, LPARAM data)
{
    StretchModes *modes = (StretchModes *)data;
    if (record->iType == EMR_SETSTRETCHBLTMODE)
        modes->last = (int)((const EMRSETSTRETCHBLTMODE *)record)->iMode;
    else if (record->iType == EMR_STRETCHDIBITS)
        modes->atBlits.push_back(modes->last);
    return 1;
}

static StretchModes RecordStretchModes(HWND canvas)
{
    StretchModes modes;
    HDC screen = GetDC(canvas);
    HDC recorder = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    ReleaseDC(canvas, screen);
    REQUIRE(recorder);
    modes.initial = modes.last = GetStretchBltMode(recorder);
    SendMessageA(canvas, WM_ERASEBKGND, (WPARAM)recorder, 0);
    HENHMETAFILE recording = CloseEnhMetaFile(recorder);
    REQUIRE(recording);
    EnumEnhMetaFile(nullptr, recording, StretchModes_OnRecord, &modes, nullptr);
    DeleteEnhMetaFile(recording);
    return modes;
}

}  // namespace

TEST_CASE("the canvas class and a new canvas")
{
    TestWindow parent;
    REQUIRE(Canvas_Register(GetModuleHandleA(nullptr)));
    CHECK(Canvas_Register(GetModuleHandleA(nullptr)));  // a second call is harmless
    WNDCLASSA wc = {};
    REQUIRE(GetClassInfoA(GetModuleHandleA(nullptr), CANVAS_CLASS, &wc));
    CHECK(wc.style == 0x000B);
    CHECK(wc.cbClsExtra == 0);
    CHECK(wc.cbWndExtra == 0);
    CHECK(wc.hbrBackground == (HBRUSH)GetStockObject(GRAY_BRUSH));

    HWND canvas = CreateWindowExA(0, CANVAS_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 300, parent.window,
                                  (HMENU)(INT_PTR)CANVAS_ID, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(canvas);
    // FLN_ZOOM arrives while the canvas is still being created.
    auto zoom = parent.WithCode(FLN_ZOOM);
    REQUIRE(zoom.size() == 1);
    CHECK(zoom[0].id == CANVAS_ID);
    CHECK((HWND)zoom[0].lParam == canvas);
    LayerDocument *doc = Canvas_GetDocument(canvas);
    REQUIRE(doc);
    CHECK(doc->zoom == 1.0);
    CHECK(SendMessageA(canvas, WM_GETDLGCODE, 0, 0) == DLGC_WANTARROWS);
    // The first composition already ran: the picture is the green background.
    CHECK(ComposedAt(doc, 0, 0) == RGB(0, 255, 0));
    DestroyWindow(canvas);
}

TEST_CASE("scroll ranges and pages follow the zoom")
{
    CanvasFixture f;
    SCROLLINFO h = Bar(f.canvas, SB_HORZ), v = Bar(f.canvas, SB_VERT);
    CHECK(h.nMin == 0);
    CHECK(h.nMax == 359);
    CHECK(h.nPage == 300);
    CHECK(v.nMax == 479);
    CHECK(v.nPage == 300);

    f.Zoom(2.0);
    h = Bar(f.canvas, SB_HORZ);
    v = Bar(f.canvas, SB_VERT);
    CHECK(h.nMax == 719);
    CHECK(v.nMax == 959);

    // At 0.5 the 180 x 240 picture fits: no scrolling is possible.
    f.parent.Clear();
    f.Zoom(0.5);
    h = Bar(f.canvas, SB_HORZ);
    CHECK(h.nMax == 179);
    CHECK(h.nPage == 180);  // the system caps the page at the range
    SendMessageA(f.canvas, WM_HSCROLL, SB_LINERIGHT, 0);
    SendMessageA(f.canvas, WM_VSCROLL, SB_PAGEDOWN, 0);
    int sx, sy;
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 0);
    CHECK(sy == 0);
    CHECK(f.parent.WithCode(FLN_ZOOM).size() == 2);
}

TEST_CASE("painting rectangles: source in picture pixels, destination in client pixels")
{
    struct Case {
        int sx, sy, cw, ch;
        double zoom;
        Rect source, dest;
    } cases[] = {
        // Zoom 2.0 scrolled by 5: half of picture pixel 2 is scrolled away.
        {5, 0, 300, 300, 2.0, {2, 0, 153, 150}, {-1, 0, 301, 300}},
        // Zoom 0.5: the whole picture, centred.
        {0, 0, 300, 300, 0.5, {0, 0, 360, 480}, {60, 30, 240, 270}},
        // Zoom 1.0 at the far corner.
        {60, 180, 300, 300, 1.0, {60, 180, 360, 480}, {0, 0, 300, 300}},
        // Zoom 1.5 at position 4: the partly visible far pixel is included.
        {4, 0, 300, 300, 1.5, {2, 0, 203, 200}, {-1, 0, 300, 300}},
        // A zoom whose zoomed size is fractional never reads past the picture.
        {0, 0, 300, 300, 0.3, {0, 0, 360, 480}, {96, 78, 204, 222}},
    };
    for (const Case &c : cases) {
        CAPTURE(c.zoom);
        CAPTURE(c.sx);
        CanvasPaintRects r = Canvas_PaintRects(c.sx, c.sy, c.cw, c.ch, 360, 480, c.zoom);
        CHECK(r.source.left == c.source.left);
        CHECK(r.source.top == c.source.top);
        CHECK(r.source.right == c.source.right);
        CHECK(r.source.bottom == c.source.bottom);
        CHECK(r.dest.left == c.dest.left);
        CHECK(r.dest.top == c.dest.top);
        CHECK(r.dest.right == c.dest.right);
        CHECK(r.dest.bottom == c.dest.bottom);
    }
}

TEST_CASE("the canvas paints the picture, its black frame and the silver surround")
{
    CanvasFixture f;
    // A red square at picture (10, 20) .. (30, 40) over the green background.
    Layer *square = ImageLayer(2001, f.doc->root, Solid(20, 20, RGB(255, 0, 0), 255), 10, 20);
    PtrList_Add(f.doc->depthList, square);
    Canvas_Refresh(f.canvas);

    f.Zoom(0.5);
    {
        Capture cap(f.canvas, 300, 300);
        CHECK(cap.At(0, 0) == 0xC0C0C0);           // surround
        CHECK(cap.At(59, 29) == 0x000000);         // frame corner
        CHECK(cap.At(240, 270) == 0x000000);       // far frame corner
        CHECK(cap.At(241, 271) == 0xC0C0C0);
        CHECK(cap.At(150, 150) == RGB(0, 255, 0)); // picture
        CHECK(cap.At(60 + 10, 30 + 15) == RGB(255, 0, 0));
        CHECK(GetStretchBltMode(cap.dc) != HALFTONE);  // the previous mode is restored
    }
    // Shrinking averages (HALFTONE); enlarging repeats pixels (COLORONCOLOR).
    // Either way the paint leaves the DC's mode as it found it.
    const struct {
        double zoom;
        int mode;
    } modes[] = {{0.5, HALFTONE}, {2.0, COLORONCOLOR}};
    for (const auto &m : modes) {
        CAPTURE(m.zoom);
        f.Zoom(m.zoom);
        StretchModes used = RecordStretchModes(f.canvas);
        REQUIRE(used.atBlits.size() == 1);
        CHECK(used.atBlits[0] == m.mode);
        CHECK(used.last == used.initial);
    }
    f.Zoom(2.0);
    SendMessageA(f.canvas, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    {
        Capture cap(f.canvas, 300, 300);
        // Picture pixel x maps to client 2x - 5: the square starts at 15, 40.
        CHECK(cap.At(14, 45) == RGB(0, 255, 0));
        CHECK(cap.At(15, 45) == RGB(255, 0, 0));
        CHECK(cap.At(54, 79) == RGB(255, 0, 0));
        CHECK(cap.At(55, 79) == RGB(0, 255, 0));
        CHECK(cap.At(299, 299) == RGB(0, 255, 0));  // the picture covers the client area
    }
}

TEST_CASE("scrolling: positions by code, clamped, and no repaint when nothing moves")
{
    CanvasFixture f;
    struct Step {
        int code;
        int thumb;
        int expected;
    } steps[] = {
        {SB_LINERIGHT, 0, 1},  {SB_PAGERIGHT, 0, 60}, {SB_LINELEFT, 0, 59}, {SB_PAGELEFT, 0, 0},
        {SB_THUMBTRACK, 42, 42}, {SB_RIGHT, 0, 60},     {SB_LINERIGHT, 0, 60}, {SB_ENDSCROLL, 0, 60},
        {SB_THUMBPOSITION, -7, 0}, {SB_LEFT, 0, 0},
    };
    for (const Step &s : steps) {
        CAPTURE(s.code);
        SendMessageA(f.canvas, WM_HSCROLL, MAKEWPARAM(s.code, (WORD)s.thumb), 0);
        int sx, sy;
        Wnd_GetScrollPos(f.canvas, &sx, &sy);
        CHECK(sx == s.expected);
    }

    // At the end of the range SB_LINERIGHT repaints nothing.
    SendMessageA(f.canvas, WM_HSCROLL, SB_RIGHT, 0);
    UpdateWindow(f.canvas);
    SendMessageA(f.canvas, WM_HSCROLL, SB_LINERIGHT, 0);
    CHECK_FALSE(GetUpdateRect(f.canvas, nullptr, FALSE));
    // One line back uncovers only a narrow strip at the left edge.
    SendMessageA(f.canvas, WM_HSCROLL, SB_LINELEFT, 0);
    RECT dirty;
    REQUIRE(GetUpdateRect(f.canvas, &dirty, FALSE));
    CHECK(dirty.left == 0);
    CHECK(dirty.right <= 2);
    UpdateWindow(f.canvas);

    // The vertical bar works the same way.
    SendMessageA(f.canvas, WM_VSCROLL, SB_RIGHT, 0);
    int sx, sy;
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sy == 180);
}

TEST_CASE("client points to picture pixels, and centring on a picture point")
{
    CanvasFixture f;
    struct Case {
        double zoom;
        int sx, sy;
        Point client, image;
    } cases[] = {
        {2.0, 0, 0, {10, 10}, {5, 5}},
        {2.0, 7, 3, {10, 10}, {8, 6}},
        {1.0, 60, 0, {0, 299}, {60, 299}},
        {0.5, 0, 0, {60, 30}, {0, 0}},      // the centred picture's corner
        {0.5, 0, 0, {59, 30}, {-2, 0}},     // left of the picture: negative
        {0.5, 0, 0, {241, 271}, {362, 482}}, // beyond it: past the picture
    };
    for (const Case &c : cases) {
        CAPTURE(c.zoom);
        CAPTURE(c.client.x);
        f.Zoom(c.zoom);
        SendMessageA(f.canvas, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c.sx), 0);
        SendMessageA(f.canvas, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c.sy), 0);
        Point p = c.client;
        Canvas_ClientToImage(f.canvas, &p);
        CHECK(p.x == c.image.x);
        CHECK(p.y == c.image.y);
    }

    // Centring at zoom 2.0: the point lands mid-view; near an edge the
    // scroll bar clamps.
    f.Zoom(2.0);
    Point target = {100, 200};
    Canvas_CenterOn(f.canvas, &target, 1);
    int sx, sy;
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 50);
    CHECK(sy == 250);
    Point middle = {150, 150};
    Canvas_ClientToImage(f.canvas, &middle);
    CHECK(middle.x == 100);
    CHECK(middle.y == 200);
    Point corner = {359, 479};
    Canvas_CenterOn(f.canvas, &corner, 0);
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 420);
    CHECK(sy == 660);

    // The zoom change protocol keeps the picture point under the centre.
    Point centre = {150, 150};
    Canvas_ClientToImage(f.canvas, &centre);
    Canvas_SetZoom(f.canvas, 4.0, 0);
    Canvas_CenterOn(f.canvas, &centre, 1);
    Point again = {150, 150};
    Canvas_ClientToImage(f.canvas, &again);
    CHECK(again.x == centre.x);
    CHECK(again.y == centre.y);
}

TEST_CASE("a double click is reported even where no layer is")
{
    CanvasFixture f;
    f.parent.Clear();
    SendMessageA(f.canvas, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    auto dbl = f.parent.WithCode(FLN_DBLCLK);
    REQUIRE(dbl.size() == 1);
    CHECK(dbl[0].id == CANVAS_ID);
    CHECK((HWND)dbl[0].lParam == f.canvas);
}

TEST_CASE("no scroll bar at 100 % when the picture fits, whatever the zoom before")
{
    // Client areas (without bars) around the 360 x 480 picture.
    struct Case {
        int width, height;
        bool horizontal, vertical;
    } cases[] = {
        {370, 490, false, false},
        {360, 480, false, false},  // exactly
        {380, 470, false, true},   // too low: the vertical bar leaves 380 - bar, still wide enough
        {350, 490, true, true},    // too narrow: the horizontal bar makes it too low as well
        {300, 300, true, true},
    };
    int bar = GetSystemMetrics(SM_CXVSCROLL);
    REQUIRE(370 - bar < 360);
    REQUIRE(380 - bar >= 360);
    for (const Case &c : cases) {
        CAPTURE(c.width);
        CAPTURE(c.height);
        CanvasFixture f(c.width, c.height);
        for (double before : {2.0, 0.5, 1.0}) {
            CAPTURE(before);
            Canvas_SetZoom(f.canvas, before, 1);
            Canvas_SetZoom(f.canvas, 1.0, 1);
            LONG style = GetWindowLongW(f.canvas, GWL_STYLE);
            CHECK(((style & WS_HSCROLL) != 0) == c.horizontal);
            CHECK(((style & WS_VSCROLL) != 0) == c.vertical);
        }
    }
    // The bars follow the canvas's size at the same zoom: growing it past
    // the picture removes them, shrinking it brings them back.
    CanvasFixture f;
    for (const Case &c : cases) {
        CAPTURE(c.width);
        CAPTURE(c.height);
        SetWindowPos(f.canvas, nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
        LONG style = GetWindowLongW(f.canvas, GWL_STYLE);
        CHECK(((style & WS_HSCROLL) != 0) == c.horizontal);
        CHECK(((style & WS_VSCROLL) != 0) == c.vertical);
    }
}
