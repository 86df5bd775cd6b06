// Finding the layer under a picture point: the front-most depth-list entry
// whose visible, pickable subtree has an opaque pixel there.
#include "canvas/canvas_internal_win32.h"

namespace {

// The byte that says whether a pixel shows: the alpha of grey-plus-alpha
// (byte 1) and of 32-bit colour (byte 3); byte 0 for any other depth.
int Pixel_OpacityByte(int bitsPerPixel)
{
    if (bitsPerPixel == 16)
        return 1;
    if (bitsPerPixel == 32)
        return 3;
    return 0;
}

}  // namespace

Layer *LayerImage_HitTest(Layer *layer, int x, int y)
{
    const LayerImage *content = Layer_GetImage(layer);
    if (!content || !content->image)
        return nullptr;
    Rect r = Layer_AbsRect(layer);
    BmpInfo info;
    DIB_GetBmpInfo(content->image, &info);
    // A trimmed image lies at its offset inside the layer, transparent all
    // around. A layer's rect may be larger than its image (the pages give
    // depth-list entries the picture's size), so the image's own bounds decide.
    int column = Geometry_Saturate((long long)x - r.left - content->offset.x);
    int fromTop = Geometry_Saturate((long long)y - r.top - content->offset.y);
    if (column < 0 || column >= info.width || fromTop < 0 || fromTop >= info.height)
        return nullptr;
    int row = (info.flags & BMPINFO_BOTTOMUP) ? info.height - 1 - fromTop : fromTop;
    const unsigned char *pixel = info.bits + row * info.bytesPerRow + column * (info.bitsPerPixel / 8);
    return pixel[Pixel_OpacityByte(info.bitsPerPixel)] ? layer : nullptr;
}

Layer *Layer_HitTest(Layer *layer, int x, int y, LayerHitTestFn test)
{
    if (!(layer->flags & LAYER_VISIBLE) || !(layer->flags & LAYER_PICKABLE))
        return nullptr;
    Rect r = Layer_AbsRect(layer);
    // A group whose rect does not hold the point hides its whole subtree.
    if (layer->parent && !Rect_Contains(&r, x, y))
        return nullptr;
    for (int i = 0; i < PtrList_Count(layer->children); i++) {
        Layer *hit = Layer_HitTest((Layer *)PtrList_Get(layer->children, i), x, y, test);
        if (hit)
            return hit;
    }
    return test(layer, x, y);
}

int DepthList_HitTest(const LayerDocument *doc, int x, int y)
{
    for (int i = 0; i < PtrList_Count(doc->depthList); i++) {
        Layer *entry = (Layer *)PtrList_Get(doc->depthList, i);
        if (Layer_HitTest(entry, x, y, LayerImage_HitTest))
            return entry->id;
    }
    return -1;
}

int Canvas_HitTest(HWND canvas, int x, int y)
{
    LayerDocument *doc = Canvas_GetDocument(canvas);
    return doc ? DepthList_HitTest(doc, x, y) : -1;
}
