// The FrameLayerWnd window class: registration, the window procedure, the
// document's creation and release, and the notifications to the parent.
//
// Painting happens in WM_ERASEBKGND: WM_PAINT is left to DefWindowProcA,
// whose BeginPaint asks for erasing because every invalidation of the canvas
// does, so the picture and its surround are drawn in one place.
#include <windowsx.h>

#include <cstdlib>

#include "canvas/canvas_internal_win32.h"

namespace {

const char CANVAS_VIEW_PROP[] = "VorCanvasView";

// Remembers a successful registration for the rest of the process.
int canvasRegistered = 0;

void Canvas_RepaintHook(void *context)
{
    PostMessageA((HWND)context, FLM_REPAINT, 0, 0);
}

void Canvas_BusyHook(void *context, int busy)
{
    SetCursor(LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Canvas_OnCreate(HWND canvas)
{
    CanvasView *view = (CanvasView *)calloc(1, sizeof(CanvasView));
    if (view)
        SetPropA(canvas, CANVAS_VIEW_PROP, view);
    LayerDocument *doc = LayerDocument_Create();
    if (!doc)
        return;  // no document: the canvas paints only its surround
    SetWindowLongPtrA(canvas, GWLP_USERDATA, (LONG_PTR)doc);
    CanvasHooks hooks = Canvas_Hooks(canvas);
    Canvas_Render(doc, &hooks);
    Canvas_SetZoom(canvas, 1.0, 0);
}

// A load pass still running holds pointers into the document. Its last
// message to us is FLM_RENDER, which clears the flag; after that the loader
// touches the document no more, so wait for it while letting its sent
// messages through, then free.
void Canvas_WaitForLoader(LayerDocument *doc)
{
    while (doc->loaderRunning) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void Canvas_OnDestroy(HWND canvas)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (doc) {
        Canvas_WaitForLoader(doc);
        SetWindowLongPtrA(canvas, GWLP_USERDATA, 0);
        LayerDocument_Free(doc);
    }
    CanvasView *view = (CanvasView *)RemovePropA(canvas, CANVAS_VIEW_PROP);
    free(view);
}

void Canvas_OnRender(HWND canvas)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc)
        return;
    CanvasHooks hooks = Canvas_Hooks(canvas);
    Canvas_Render(doc, &hooks);
    if (doc->loaderRunning) {
        Canvas_Notify(canvas, FLN_LOADDONE, (LPARAM)canvas);
        doc->loaderRunning = 0;
    }
}

void Canvas_OnRepaint(HWND canvas)
{
    InvalidateRect(canvas, nullptr, TRUE);
    UpdateWindow(canvas);
}

LRESULT CALLBACK Canvas_WndProc(HWND canvas, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE: Canvas_OnCreate(canvas); return 0;
    case WM_DESTROY: Canvas_OnDestroy(canvas); return 0;
    case WM_ERASEBKGND: Canvas_Paint(canvas, (HDC)wp); return 0;
    case WM_SIZE: Canvas_UpdateBars(canvas); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: Canvas_OnKeyDown(canvas, wp); return 0;
    case WM_HSCROLL: Canvas_OnScroll(canvas, SB_HORZ, LOWORD(wp), (short)HIWORD(wp)); return 0;
    case WM_VSCROLL: Canvas_OnScroll(canvas, SB_VERT, LOWORD(wp), (short)HIWORD(wp)); return 0;
    case WM_MOUSEMOVE: Canvas_OnMouseMove(canvas, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), (wp & MK_LBUTTON) != 0); return 0;
    case WM_LBUTTONDOWN: Canvas_OnButtonDown(canvas, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONUP: Canvas_OnButtonUp(canvas); return 0;
    case WM_CAPTURECHANGED: Canvas_OnCaptureChanged(canvas); return 0;
    case WM_LBUTTONDBLCLK: Canvas_Notify(canvas, FLN_DBLCLK, (LPARAM)canvas); return 0;
    case FLM_RENDER: Canvas_OnRender(canvas); return 0;
    case FLM_REPAINT: Canvas_OnRepaint(canvas); return 0;
    }
    return DefWindowProcA(canvas, msg, wp, lp);
}

}  // namespace

int Canvas_Register(HINSTANCE instance)
{
    if (canvasRegistered)
        return 1;
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = Canvas_WndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, CANVAS_CLASS);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszMenuName = CANVAS_CLASS;
    wc.lpszClassName = CANVAS_CLASS;
    canvasRegistered = RegisterClassA(&wc) != 0;
    return canvasRegistered;
}

LayerDocument *Canvas_GetDocument(HWND canvas)
{
    return (LayerDocument *)GetWindowLongPtrA(canvas, GWLP_USERDATA);
}

CanvasView *Canvas_GetView(HWND canvas)
{
    return (CanvasView *)GetPropA(canvas, CANVAS_VIEW_PROP);
}

void Canvas_Notify(HWND canvas, int code, LPARAM lParam)
{
    HWND target = (GetWindowLongA(canvas, GWL_STYLE) & WS_CHILD) ? GetParent(canvas) : GetWindow(canvas, GW_OWNER);
    if (!target)
        return;
    int id = GetDlgCtrlID(canvas);
    SendMessageA(target, WM_COMMAND, (WPARAM)((id & 0xFFFF) | (code << 16)), lParam);
}

CanvasHooks Canvas_Hooks(HWND canvas)
{
    CanvasHooks hooks = {canvas, Canvas_RepaintHook, Canvas_BusyHook};
    return hooks;
}
