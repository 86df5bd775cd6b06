// The recording test window and the message pump of the GUI tests.
#include "gui_test_support.h"

#include "canvas/canvas_win32.h"
#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "core/services/control_init_win32.h"

namespace guitest {

namespace {

// A Unicode window, as the program's own are: a page's texts reach it
// without the system code page in between.
const wchar_t TEST_WINDOW_CLASS[] = L"VorGuiTestWindow";

LRESULT CALLBACK TestWindow_Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CREATESTRUCTW *cs = (CREATESTRUCTW *)lp;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)cs->lpCreateParams);
        return DefWindowProcW(window, msg, wp, lp);
    }
    TestWindow *self = (TestWindow *)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!self)
        return DefWindowProcW(window, msg, wp, lp);
    switch (msg) {
    case WM_COMMAND: {
        Notice n = {LOWORD(wp), HIWORD(wp), lp};
        self->notices.push_back(n);
        if (self->onCommand)
            self->onCommand(n);
        return 0;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *dis = (const DRAWITEMSTRUCT *)lp;
        DrawRequest d = {(int)dis->CtlID, (int)dis->itemID, dis->rcItem, dis->itemData, dis->itemState};
        self->draws.push_back(d);
        if (!self->paintItems)
            return FALSE;
        if (self->onDraw)
            self->onDraw(dis);
        else
            FillRect(dis->hDC, &dis->rcItem, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
        return TRUE;
    }
    }
    return DefWindowProcW(window, msg, wp, lp);
}

void TestWindow_Register()
{
    static bool done = false;
    if (done)
        return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    Control_Init(instance);
    Canvas_Register(instance);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TestWindow_Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = TEST_WINDOW_CLASS;
    RegisterClassW(&wc);
    done = true;
}

}  // namespace

TestWindow::TestWindow(int clientWidth, int clientHeight)
{
    TestWindow_Register();
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    window = CreateWindowExW(0, TEST_WINDOW_CLASS, L"test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    Pump();
}

TestWindow::~TestWindow()
{
    DestroyWindow(window);
    Pump();
}

std::vector<Notice> TestWindow::WithCode(int code) const
{
    std::vector<Notice> out;
    for (const Notice &n : notices)
        if (n.code == code)
            out.push_back(n);
    return out;
}

void SetClientSize(HWND window, int width, int height)
{
    for (int attempt = 0; attempt < 3; attempt++) {
        RECT client, outer;
        GetClientRect(window, &client);
        GetWindowRect(window, &outer);
        if (client.right == width && client.bottom == height)
            return;
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                     outer.bottom - outer.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    }
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms)
            Sleep(1);
    } while (GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return done();
}

bool SaveWindowPng(HWND window, const char *path, bool wholeWindow)
{
    RECT r;
    if (wholeWindow) {
        GetWindowRect(window, &r);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else {
        GetClientRect(window, &r);
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    DIB *image = DIB_Create(32, w, h);
    if (!image)
        return false;
    HDC source = wholeWindow ? GetWindowDC(window) : GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    bool ok = GetDIBits(memory, bitmap, 0, h, DIB_Bits(image), (BITMAPINFO *)image, DIB_RGB_COLORS) == h;
    for (int y = 0; ok && y < h; y++)
        for (int x = 0; x < w; x++)
            DIB_RowTD(image, y)[4 * x + 3] = 255;
    VorFile *file = ok ? FILE_Open(path, "wb") : nullptr;
    ok = file && DIB_WritePNG(image, file);
    if (file)
        FILE_Close(file);
    DIB_Delete_(image);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok;
}

}  // namespace guitest
