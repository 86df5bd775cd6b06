// Helpers shared by the GUI tests: a top-level test window that records the
// WM_COMMAND notifications and WM_DRAWITEM requests its children send it, and
// a message pump for letting posted and sent messages through.
#pragma once

#include <windows.h>

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

}  // namespace guitest
