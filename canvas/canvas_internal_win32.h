// What the canvas's source files share among themselves: the per-window
// interaction record, the hooks the layer engine calls back through, the
// notification helper and the message handlers split across the files.
#pragma once

#include <windows.h>

#include "canvas/canvas_win32.h"
#include "core/window_win32.h"
#include "layers/render.h"

// Pan and layer-drag state of one canvas, kept in a window property because
// the user data slot holds the document.
struct CanvasView {
    int panning;       // a pan drag is in progress (mouse captured)
    int dragging;      // a layer drag is in progress (mouse captured)
    Point start;       // client point where the current drag began
    int startValueX;   // pan: scroll positions at the start; drag: layer left, top
    int startValueY;
    int dragMoved;     // the current layer drag has moved the layer
};

// The view record, nullptr before WM_CREATE or after WM_DESTROY.
CanvasView *Canvas_GetView(HWND canvas);

// Sends WM_COMMAND with the canvas's id and `code` to its parent, or to its
// owner when it has none.
void Canvas_Notify(HWND canvas, int code, LPARAM lParam);
// The repaint and wait-cursor hooks for Canvas_Render and Canvas_BuildDragCache.
CanvasHooks Canvas_Hooks(HWND canvas);

// Message handlers (canvas_paint, canvas_view, canvas_interact).
void Canvas_Paint(HWND canvas, HDC dc);
void Canvas_OnScroll(HWND canvas, int bar, int code, int thumbPosition);
// Shows, hides and sizes the scroll bars for the zoom and the client area;
// also on every resize, so that a bar's page is always what is visible.
void Canvas_UpdateBars(HWND canvas);
void Canvas_OnButtonDown(HWND canvas, int x, int y);
// `buttonDown`: the left button is held (MK_LBUTTON of the move).
void Canvas_OnMouseMove(HWND canvas, int x, int y, int buttonDown);
void Canvas_OnButtonUp(HWND canvas);
void Canvas_OnCaptureChanged(HWND canvas);
void Canvas_OnKeyDown(HWND canvas, WPARAM key);
