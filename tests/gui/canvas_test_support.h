// A canvas inside a recording test window, and small pictures drawn in code
// for its layers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "canvas/canvas_win32.h"
#include "core/imaging/dib.h"
#include "gui_test_support.h"
#include "layers/document.h"
#include "layers/layer.h"

namespace guitest {

const int CANVAS_ID = 1011;

struct CanvasFixture {
    TestWindow parent;
    HWND canvas = nullptr;
    LayerDocument *doc = nullptr;

    // A canvas whose client area is clientWidth x clientHeight at zoom 1.0
    // (both scroll bars showing when the picture is larger).
    CanvasFixture(int clientWidth = 300, int clientHeight = 300)
    {
        canvas = CreateWindowExA(0, CANVAS_CLASS, "\xB9\xCC\xB8\xAE\xBA\xB8\xB1\xE2", WS_CHILD | WS_VISIBLE, 10, 10,
                                 clientWidth, clientHeight, parent.window, (HMENU)(INT_PTR)CANVAS_ID,
                                 GetModuleHandleA(nullptr), nullptr);
        doc = Canvas_GetDocument(canvas);
        SetClientSize(canvas, clientWidth, clientHeight);
        Canvas_SetZoom(canvas, 1.0, 1);
        SetClientSize(canvas, clientWidth, clientHeight);
        Pump();
    }
    ~CanvasFixture() { DestroyWindow(canvas); }

    // Sets the zoom and then gives the client area the size asked for with
    // the scroll bars that zoom shows.
    void Zoom(double zoom, int clientWidth = 300, int clientHeight = 300)
    {
        Canvas_SetZoom(canvas, zoom, 1);
        SetClientSize(canvas, clientWidth, clientHeight);
        Canvas_SetZoom(canvas, zoom, 1);
        Pump();
    }
};

// A 32-bit image of one colour and alpha.
inline DIB *Solid(int width, int height, COLORREF colour, uint8_t alpha)
{
    DIB *image = DIB_Create(32, width, height);
    for (int y = 0; y < height; y++) {
        unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < width; x++) {
            row[4 * x + 0] = GetBValue(colour);
            row[4 * x + 1] = GetGValue(colour);
            row[4 * x + 2] = GetRValue(colour);
            row[4 * x + 3] = alpha;
        }
    }
    return image;
}

// An image layer holding `image`, at (x, y) inside `parent`.
inline Layer *ImageLayer(int id, Layer *parent, DIB *image, int x, int y)
{
    Layer *layer = Layer_CreateImage(id, parent);
    Layer_SetImage(layer, image);
    Layer_MoveTo(layer, x, y);
    return layer;
}

// A group the size of the picture, as the pages make accessory groups.
inline Layer *PictureGroup(int id, Layer *parent)
{
    Layer *group = Layer_CreateImage(id, parent);
    Rect_Set(&group->rect, 0, 0, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    return group;
}

// Colour of picture pixel (x, y) of the composed 24-bit image.
inline COLORREF ComposedAt(const LayerDocument *doc, int x, int y)
{
    const unsigned char *p = DIB_RowTD(doc->composed, y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

}  // namespace guitest
