// FrameLayerWnd: the preview canvas that owns a layer document, shows its
// composed picture zoomed and scrolled, lets the user pan the view and drag
// or nudge the selected layer, and reports to its parent.
//
// The window's user data (GWLP_USERDATA) is its LayerDocument. Pages edit the
// document and call Canvas_Refresh; the canvas loads queued images on a
// loader thread and composes the result on the user-interface thread.
#pragma once

#include <windows.h>

#include "core/geometry.h"
#include "layers/document.h"
#include "layers/layer.h"

#define CANVAS_CLASS "FrameLayerWnd"

// Private messages to the canvas.
enum : UINT {
    FLM_RENDER = WM_USER,       // compose the depth list now (ends a load pass)
    FLM_REPAINT = WM_USER + 1,  // repaint the whole canvas at once
};

// Notification codes in the high word of WM_COMMAND's wParam to the parent.
enum {
    FLN_MOVED = 0x401,      // the selected layer was dragged or nudged
    FLN_LOADSTART = 0x402,  // a load pass is about to start
    FLN_LOADDONE = 0x403,   // a load pass ended and its result is composed
    FLN_LOADITEM = 0x404,   // lParam = index of the request being loaded
    FLN_DBLCLK = 0x405,     // left double click
    FLN_ZOOM = 0x406,       // Canvas_SetZoom ran
    FLN_MOVEDONE = 0x407,   // a drag that moved the layer ended, or a nudge was made
};

// Registers the window class once per process. Returns 1 when it is registered.
int Canvas_Register(HINSTANCE instance);

// The canvas's document, nullptr when it has none (creation failed).
LayerDocument *Canvas_GetDocument(HWND canvas);

// Stores the zoom, resets both scroll bars' ranges and pages for it,
// repaints (at once when `update` is non-zero) and sends FLN_ZOOM.
void Canvas_SetZoom(HWND canvas, double zoom, int update);
// Client point to composed-picture pixel, in place.
void Canvas_ClientToImage(HWND canvas, Point *p);
// The mouse cursor's position as a composed-picture pixel.
void Canvas_CursorToImage(HWND canvas, Point *p);
// Scrolls so that the picture pixel comes to the middle of the view.
void Canvas_CenterOn(HWND canvas, const Point *imagePoint, int update);

// After any change of the document: nothing while a load pass runs; compose
// at once when nothing is queued; otherwise start a load pass on a thread.
void Canvas_Refresh(HWND canvas);

// Id of the front-most depth-list entry with an opaque pixel at the picture
// point (x, y) in its pickable, visible subtree; -1 when none.
int Canvas_HitTest(HWND canvas, int x, int y);
int DepthList_HitTest(const LayerDocument *doc, int x, int y);
// Searches a subtree, children before the layer itself, for the first
// non-null answer of `test`. A layer with a parent is searched only when
// (x, y) lies inside its absolute rect.
typedef Layer *(*LayerHitTestFn)(Layer *layer, int x, int y);
Layer *Layer_HitTest(Layer *layer, int x, int y, LayerHitTestFn test);
// The layer when its image has a non-transparent pixel at (x, y), else nullptr.
Layer *LayerImage_HitTest(Layer *layer, int x, int y);

// The painting geometry for one paint: source rectangle in picture pixels
// (top-down rows) and destination rectangle in client pixels.
struct CanvasPaintRects {
    Rect source;
    Rect dest;
};
// Computes them from the scroll positions, the client size, the picture size
// and the zoom, centring a picture smaller than the client area.
CanvasPaintRects Canvas_PaintRects(int scrollX, int scrollY, int clientWidth, int clientHeight, int imageWidth,
                                   int imageHeight, double zoom);
