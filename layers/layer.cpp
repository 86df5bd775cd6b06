// Layer tree operations: creation, destruction, lookup, placement and the
// image a layer shows.
#include "layers/layer.h"

#include <cstdlib>

#include "core/util.h"
#include "layers/document.h"
#include "layers/render.h"

namespace {

// Children lists start small and grow slowly: most groups hold a handful.
enum { CHILDREN_INITIAL = 16, CHILDREN_GROW = 8 };

}  // namespace

Layer *Layer_Create(int32_t id, Layer *parent)
{
    Layer *layer = (Layer *)calloc(1, sizeof(Layer));
    if (!layer)
        return nullptr;
    layer->children = PtrList_Create(CHILDREN_INITIAL, CHILDREN_GROW);
    if (!layer->children) {
        free(layer);
        return nullptr;
    }
    layer->id = id;
    Rect_Set(&layer->rect, 0, 0, 100, 100);
    layer->flags = LAYER_DEFAULT_FLAGS;
    if (parent) {
        if (PtrList_Add(parent->children, layer) < 0) {
            PtrList_Destroy(layer->children, nullptr);
            free(layer);
            return nullptr;
        }
        layer->parent = parent;
    }
    return layer;
}

Layer *Layer_CreateImage(int32_t id, Layer *parent)
{
    LayerImage *content = (LayerImage *)calloc(1, sizeof(LayerImage));
    if (!content)
        return nullptr;
    Layer *layer = Layer_Create(id, parent);
    if (!layer) {
        free(content);
        return nullptr;
    }
    Rect_Set(&layer->rect, 0, 0, 0, 0);
    layer->userData = content;
    layer->drawHook = LayerImage_Draw;
    layer->destroyHook = LayerImage_Release;
    return layer;
}

void LayerImage_Release(void *layerImage)
{
    LayerImage *content = (LayerImage *)layerImage;
    if (!content)
        return;
    free(content->palette);
    if (content->image)
        DIB_Delete_(content->image);
    free(content);
}

void Layer_Destroy(Layer *layer)
{
    if (!layer)
        return;
    // Pending image requests of a document refer to layers without owning
    // them; a request left pointing at a destroyed layer would write into
    // freed memory at the next load pass.
    const Layer *root = layer;
    while (root->parent)
        root = root->parent;
    LayerDocument_ForgetRequests(LayerDocument_OfRoot(root), layer);

    if (layer->parent) {
        int index = PtrList_IndexOf(layer->parent->children, layer);
        if (index >= 0)
            PtrList_RemoveAt(layer->parent->children, index, nullptr);
        layer->parent = nullptr;
    }
    // Each child takes itself out of this list as it is destroyed, so the
    // list shrinks until it is empty; taking the last one keeps that cheap.
    while (PtrList_Count(layer->children) > 0) {
        Layer *child = (Layer *)PtrList_Get(layer->children, PtrList_Count(layer->children) - 1);
        Layer_Destroy(child);
    }
    PtrList_Destroy(layer->children, nullptr);
    if (layer->destroyHook)
        layer->destroyHook(layer->userData);
    free(layer->name);
    free(layer);
}

void Layer_DestroyItem(void *layer)
{
    Layer_Destroy((Layer *)layer);
}

Layer *Layer_Find(const Layer *layer, int32_t id)
{
    if (!layer)
        return nullptr;
    int count = PtrList_Count(layer->children);
    for (int i = 0; i < count; i++) {
        Layer *child = (Layer *)PtrList_Get(layer->children, i);
        if (child->id == id)
            return child;
    }
    return nullptr;
}

void Layer_MoveTo(Layer *layer, int x, int y)
{
    if (layer)
        Rect_MoveTo(&layer->rect, x, y);
}

int Layer_SetName(Layer *layer, const char *text)
{
    if (!layer)
        return 0;
    char *copy = nullptr;
    if (text) {
        copy = Str_Dup(text);
        if (!copy)
            return 0;
    }
    free(layer->name);
    layer->name = copy;
    return 1;
}

Rect Layer_AbsRect(const Layer *layer)
{
    Rect r = {0, 0, 0, 0};
    if (!layer)
        return r;
    r = layer->rect;
    for (const Layer *a = layer->parent; a; a = a->parent)
        Rect_Offset(&r, a->rect.left, a->rect.top);
    return r;
}

LayerImage *Layer_GetImage(const Layer *layer)
{
    // The destroy hook marks an image layer: nothing else installs it.
    if (!layer || layer->destroyHook != LayerImage_Release)
        return nullptr;
    return (LayerImage *)layer->userData;
}

int Layer_SetImage(Layer *layer, DIB *image)
{
    Point origin = {0, 0};
    return Layer_SetImageAt(layer, image, origin, image ? image->width : 0, image ? image->height : 0);
}

int Layer_SetImageAt(Layer *layer, DIB *image, Point offset, int fullWidth, int fullHeight)
{
    LayerImage *content = Layer_GetImage(layer);
    if (!content) {
        if (image)
            DIB_Delete_(image);
        return 0;
    }
    free(content->palette);
    content->palette = nullptr;
    // The caller hands over one hold on `image`. Given the image the layer
    // already shows (a share of the same cached image), the layer keeps one.
    if (content->image)
        DIB_Delete_(content->image);
    content->image = image;
    content->offset.x = content->offset.y = 0;
    content->fullWidth = content->fullHeight = 0;
    if (!image)
        return 0;
    content->offset = offset;
    content->fullWidth = fullWidth;
    content->fullHeight = fullHeight;
    layer->rect.right = layer->rect.left + fullWidth;
    layer->rect.bottom = layer->rect.top + fullHeight;
    return 1;
}
