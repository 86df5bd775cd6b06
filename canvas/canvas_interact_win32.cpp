// Mouse and keyboard on the canvas: panning the view with Ctrl held,
// dragging the selected layer, nudging it with the arrow keys.
//
// A layer move goes through the drag caches: the layers behind and in front
// of the selected one are composed once, so every later step redraws only
// the selected layer. Moves are reported to the parent with FLN_MOVED, and
// the end of a move (a drag released or lost, a nudge) with FLN_MOVEDONE.
//
// A drag or pan must never outlive the button: it ends on the button's
// release, when the canvas loses the capture (another window took it, a
// message box opened) and on a mouse move without the button held.
#include "canvas/canvas_internal_win32.h"

namespace {

// The key is down now (the high bit); the low bit only says it was pressed
// at some time since an earlier query, which says nothing about now.
int Canvas_KeyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// The selected layer among the root's direct children, or nullptr.
Layer *Canvas_SelectedLayer(const LayerDocument *doc)
{
    return Layer_Find(doc->root, doc->selectedId);
}

// Leaving the client area snaps a drag back to where it began.
Point Canvas_DragPoint(HWND canvas, const CanvasView *view, int x, int y)
{
    RECT client;
    GetClientRect(canvas, &client);
    Point p = {x, y};
    if (x < client.left || x >= client.right || y < client.top || y >= client.bottom)
        p = view->start;
    return p;
}

void Canvas_StartPan(HWND canvas, CanvasView *view, int x, int y)
{
    SetCapture(canvas);
    view->panning = 1;
    Point_Set(&view->start, x, y);
    Wnd_GetScrollPos(canvas, &view->startValueX, &view->startValueY);
}

void Canvas_PanTo(HWND canvas, const CanvasView *view, int x, int y)
{
    Point p = Canvas_DragPoint(canvas, view, x, y);
    int sx, sy;
    Wnd_GetScrollPos(canvas, &sx, &sy);
    int h = view->startValueX + view->start.x - p.x;
    if (h != sx)
        SendMessageA(canvas, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, (WORD)h), 0);
    int v = view->startValueY + view->start.y - p.y;
    if (v != sy)
        SendMessageA(canvas, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, (WORD)v), 0);
    UpdateWindow(canvas);  // the picture follows the mouse
}

void Canvas_DragTo(HWND canvas, LayerDocument *doc, CanvasView *view, int x, int y)
{
    Layer *layer = Canvas_SelectedLayer(doc);
    CanvasHooks hooks = Canvas_Hooks(canvas);
    Canvas_BuildDragCache(doc, &hooks);
    if (!layer)
        return;
    Point p = Canvas_DragPoint(canvas, view, x, y);
    int left = (int)((p.x - view->start.x) / doc->zoom + view->startValueX);
    int top = (int)((p.y - view->start.y) / doc->zoom + view->startValueY);
    if (left == layer->rect.left && top == layer->rect.top)
        return;
    Layer_MoveTo(layer, left, top);
    view->dragMoved = 1;
    Canvas_Refresh(canvas);
    Canvas_Notify(canvas, FLN_MOVED, (LPARAM)canvas);
}

// Ends a drag or a pan, however it ended; a drag that moved the layer is
// reported once as one finished move.
void Canvas_EndGesture(HWND canvas, CanvasView *view)
{
    int moved = view->dragging && view->dragMoved;
    view->dragging = 0;
    view->panning = 0;
    view->dragMoved = 0;
    if (GetCapture() == canvas)
        ReleaseCapture();
    if (moved)
        Canvas_Notify(canvas, FLN_MOVEDONE, (LPARAM)canvas);
}

}  // namespace

void Canvas_OnButtonDown(HWND canvas, int x, int y)
{
    SetFocus(canvas);
    LayerDocument *doc = Canvas_GetDocument(canvas);
    CanvasView *view = Canvas_GetView(canvas);
    if (!doc || !view)
        return;
    if (!view->panning) {
        int ctrl = Canvas_KeyDown(VK_CONTROL);
        if (ctrl && Canvas_KeyDown(VK_SHIFT)) {
            Point p;
            Canvas_CursorToImage(canvas, &p);
            Canvas_CenterOn(canvas, &p, 1);
        }
        // Ctrl+Shift therefore centres the view and then starts a pan.
        if (ctrl) {
            Canvas_StartPan(canvas, view, x, y);
            return;
        }
    }
    if (view->dragging)
        return;
    Layer *layer = Canvas_SelectedLayer(doc);
    if (!layer)
        return;
    SetCapture(canvas);
    view->dragging = 1;
    view->dragMoved = 0;
    Point_Set(&view->start, x, y);
    view->startValueX = layer->rect.left;
    view->startValueY = layer->rect.top;
}

void Canvas_OnMouseMove(HWND canvas, int x, int y, int buttonDown)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    CanvasView *view = Canvas_GetView(canvas);
    if (!doc || !view)
        return;
    // The release went elsewhere (or never came): the gesture is over.
    if ((view->panning || view->dragging) && !buttonDown) {
        Canvas_EndGesture(canvas, view);
        return;
    }
    if (view->panning)
        Canvas_PanTo(canvas, view, x, y);
    else if (view->dragging)
        Canvas_DragTo(canvas, doc, view, x, y);
}

void Canvas_OnButtonUp(HWND canvas)
{
    CanvasView *view = Canvas_GetView(canvas);
    if (view && (view->dragging || view->panning))
        Canvas_EndGesture(canvas, view);
}

void Canvas_OnCaptureChanged(HWND canvas)
{
    CanvasView *view = Canvas_GetView(canvas);
    if (view && (view->dragging || view->panning))
        Canvas_EndGesture(canvas, view);
}

void Canvas_OnKeyDown(HWND canvas, WPARAM key)
{
    int dx = 0, dy = 0;
    switch (key) {
    case VK_LEFT: dx = -1; break;
    case VK_UP: dy = -1; break;
    case VK_RIGHT: dx = 1; break;
    case VK_DOWN: dy = 1; break;
    default: return;
    }
    LayerDocument *doc = Canvas_GetDocument(canvas);
    if (!doc)
        return;
    CanvasHooks hooks = Canvas_Hooks(canvas);
    Canvas_BuildDragCache(doc, &hooks);
    Layer *layer = Canvas_SelectedLayer(doc);
    if (!layer)
        return;
    Rect_Offset(&layer->rect, dx, dy);
    Canvas_Notify(canvas, FLN_MOVED, (LPARAM)canvas);
    Canvas_Refresh(canvas);
    Canvas_Notify(canvas, FLN_MOVEDONE, (LPARAM)canvas);
}
