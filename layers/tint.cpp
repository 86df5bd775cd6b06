// Conversion of layers to grey plus alpha and their recolouring.
#include "layers/tint.h"

#include <cstdlib>

int Layer_MakeTintableFrom(Layer *layer, const DIB *source)
{
    Point origin = {0, 0};
    return source ? Layer_MakeTintableAt(layer, source, origin, source->width, source->height) : 0;
}

int Layer_MakeTintableAt(Layer *layer, const DIB *source, Point offset, int fullWidth, int fullHeight)
{
    LayerImage *content = Layer_GetImage(layer);
    if (!content || !source || source->bitCount != 32)
        return 0;
    DIB *grey = DIB_Create(16, source->width, source->height);
    if (!grey)
        return 0;
    PaletteEntry *palette = (PaletteEntry *)calloc(HLS_PALETTE_ENTRIES, sizeof(PaletteEntry));
    if (!palette) {
        DIB_Delete_(grey);
        return 0;
    }
    DIBGA8_BltDIBA24(grey, nullptr, source);
    // Layer_SetImageAt frees the old image (which may be `source` itself when
    // the layer owned it) only after the conversion above has read it.
    Layer_SetImageAt(layer, grey, offset, fullWidth, fullHeight);
    content->palette = palette;
    return 1;
}

int Layer_MakeTintable(Layer *layer)
{
    LayerImage *content = Layer_GetImage(layer);
    if (!content || !content->image)
        return 0;
    if (content->palette)
        return 1;
    return Layer_MakeTintableAt(layer, content->image, content->offset, content->fullWidth, content->fullHeight);
}

void Layer_SetColor(Layer *layer, HlsColour colour)
{
    LayerImage *content = Layer_GetImage(layer);
    if (!content || !content->palette)
        return;
    content->colour = colour;
    Hls_FillPalette(content->palette, colour);
}
