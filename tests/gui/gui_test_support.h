// Helpers shared by the GUI tests: a top-level test window that records the
// WM_COMMAND notifications and WM_DRAWITEM requests its children send it, and
// a message pump for letting posted and sent messages through.
#pragma once

#include <windows.h>

#include <cstring>
#include <functional>
#include <vector>

#include "core/services/ui_text_win32.h"

namespace guitest {

// The top-level dialog (class #32770) whose caption is the CP949 `title`,
// found through the wide function whatever the system code page.
inline HWND FindTitled(const char *title)
{
    return FindWindowW(L"#32770", UiText_ToWide(title).c_str());
}

struct Notice {
    int id;        // low word of wParam
    int code;      // high word of wParam
    LPARAM lParam;
};

struct DrawRequest {
    int controlId;
    int itemId;
    RECT rect;
    ULONG_PTR itemData;
    UINT itemState;
};

// A visible top-level window standing in for a page or the main window.
struct TestWindow {
    HWND window = nullptr;
    std::vector<Notice> notices;
    std::vector<DrawRequest> draws;
    // Called after a notice is recorded (may be empty).
    std::function<void(const Notice &)> onCommand;
    // Whether WM_DRAWITEM is answered TRUE (after painting the item grey).
    bool paintItems = true;
    // Paints items instead of the grey fill when set.
    std::function<void(const DRAWITEMSTRUCT *)> onDraw;

    TestWindow(int clientWidth = 640, int clientHeight = 560);
    ~TestWindow();

    // Notices with the given code, in order.
    std::vector<Notice> WithCode(int code) const;
    void Clear()
    {
        notices.clear();
        draws.clear();
    }
};

// Resizes a window so that its client area is width x height with the
// scroll bars it shows now.
void SetClientSize(HWND window, int width, int height);

// Dispatches every queued message (sent ones included) until the queue is
// empty, then keeps pumping for `ms` milliseconds.
void Pump(DWORD ms = 0);
// Pumps until `done` returns true or `timeoutMs` passes; returns done().
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs);

// Writes what the screen shows of the window as an opaque PNG: its client
// area, or with `wholeWindow` the window with its frame (repainted first).
bool SaveWindowPng(HWND window, const char *path, bool wholeWindow = false);

// A top-down 24-bit DIB section selected into a memory DC, to paint into.
struct Canvas24 {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    unsigned char *bits = nullptr;
    int width, height, stride;
    Canvas24(int w, int h) : width(w), height(h), stride(((w * 3) + 3) & ~3)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)&bits, nullptr, 0);
        SelectObject(dc, bitmap);
        memset(bits, 0x55, (size_t)stride * h);
    }
    ~Canvas24()
    {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    COLORREF At(int x, int y) const
    {
        const unsigned char *p = bits + y * stride + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
    // Whether any pixel of the row span has exactly this colour.
    bool RowHas(int y, int x0, int x1, COLORREF c) const
    {
        for (int x = x0; x < x1; x++)
            if (At(x, y) == c)
                return true;
        return false;
    }
    bool AreaHas(int x0, int y0, int x1, int y1, COLORREF c) const
    {
        for (int y = y0; y < y1; y++)
            if (RowHas(y, x0, x1, c))
                return true;
        return false;
    }
};

}  // namespace guitest
