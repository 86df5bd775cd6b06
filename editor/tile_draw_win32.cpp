// Painting of the DRESS page's depth-list and style-list items.
#include "editor/tile_draw_win32.h"

#include "core/imaging/dib_win32.h"
#include "editor/dress_style.h"
#include "layers/hls.h"
#include "layers/layer.h"

enum : COLORREF {
    TILE_BACKGROUND = 0xFFFFFF,
    TILE_SELECTION_LEFT = 0x400000,         // dark blue
    TILE_SELECTION_LEFT_BRIGHT = 0xFF0000,  // blue: a plain band while focused
    TILE_SELECTION_RIGHT = 0xFF0000,
    TILE_TEXT_SELECTED = 0xFFFFFF,
    TILE_TEXT = 0x000000,
    TILE_TEXT_ACCESSORY = 0x0000FF,         // red, selected or not
    TILE_SWATCH_FRAME = 0x000000,
};

enum {
    TILE_TEXT_CHAR_WIDTH = 6,
    TILE_TEXT_CHAR_HEIGHT = 12,
    ACCESSORY_TEXT_INDENT = 16,  // room for the colour swatch
    DEPTH_TEXT_MARGIN = 4,       // keeps a name off the list's left border
    STYLE_NAME_COLUMN_WIDTH = 100,
    CHECK_PICTURES = 3,          // empty box, ticked box, ticked box on blue
};

static void PaintSelection(DIB *image, uint32_t state)
{
    COLORREF left = (state & TILEITEM_BRIGHT) ? TILE_SELECTION_LEFT_BRIGHT : TILE_SELECTION_LEFT;
    DIB24_GradeH(image, left, TILE_SELECTION_RIGHT);
}

static void DrawTileText(DIB *image, int left, int top, int right, int bottom, const char *text, uint32_t options,
                     COLORREF colour, HFONT font = nullptr)
{
    if (!text || !*text || right <= left)
        return;
    TextInfo info;
    TextInfo_Init(&info);
    info.charWidth = TILE_TEXT_CHAR_WIDTH;
    info.charHeight = TILE_TEXT_CHAR_HEIGHT;
    info.options |= options;
    info.colour = colour;
    info.font = font;
    Rect r;
    Rect_Set(&r, left, top, right, bottom);
    DIB_DrawTextEx(image, &r, text, &info);
}

static void CopyToScreen(HDC dc, const RECT *rect, const DIB *image)
{
    Rect dst;
    Rect_Set(&dst, rect->left, rect->top, rect->right, rect->bottom);
    HDC_DrawDIB(dc, &dst, nullptr, image, SRCCOPY);
}

void DrawDepthItem(const TileItem *item, HDC dc, const RECT *rect, const Wardrobe *wardrobe, HFONT font)
{
    int width = rect->right - rect->left, height = rect->bottom - rect->top;
    DIB *image = DIB_Create(24, width, height);
    if (!image)
        return;
    const Layer *layer = (const Layer *)item->data;
    int accessory = layer && IsAccessoryId(layer->id);
    int selected = (item->state & TILEITEM_SELECTED) != 0;

    DIB24_FillRect(image, nullptr, TILE_BACKGROUND);
    if (selected)
        PaintSelection(image, item->state);

    COLORREF text = accessory ? TILE_TEXT_ACCESSORY : selected ? TILE_TEXT_SELECTED : TILE_TEXT;
    DrawTileText(image, accessory ? ACCESSORY_TEXT_INDENT : DEPTH_TEXT_MARGIN, 0, width, height,
                 layer ? layer->name : nullptr, TEXTINFO_VCENTER, text, font);

    if (accessory && wardrobe) {
        RgbBytes rgb = Hls_ToRgb(wardrobe->slots[layer->id - ID_ACCESSORY_FIRST].colour);
        Rect frame, swatch;
        Rect_Set(&frame, 2, 2, 14, 14);
        Rect_Set(&swatch, 3, 3, 13, 13);
        DIB24_FillRect(image, &frame, TILE_SWATCH_FRAME);
        DIB24_FillRect(image, &swatch, RGB(rgb.red, rgb.green, rgb.blue));
    }
    CopyToScreen(dc, rect, image);
    DIB_Delete_(image);
}

Rect CheckPictureRect(int itemHeight, const DIB *checkImage)
{
    Rect r = {0, 0, 0, 0};
    if (!checkImage)
        return r;
    int w = checkImage->width, h = checkImage->height / CHECK_PICTURES;
    // The same place DrawStyleItem puts the picture, so a hit test agrees
    // with what the user sees.
    int left = (itemHeight - w) / 2, top = (itemHeight - h) / 2;
    Rect_Set(&r, left, top, left + w, top + h);
    return r;
}

// Copies check picture `index` to `pos`, blending a picture with alpha over
// the item's background.
static void DrawCheckPicture(DIB *image, const Point *pos, const DIB *checkImage, int index)
{
    int w = checkImage->width, h = checkImage->height / CHECK_PICTURES;
    Rect source;
    Rect_Set(&source, 0, index * h, w, (index + 1) * h);
    if (checkImage->bitCount == 24) {
        DIB_Blt(image, pos, checkImage, &source);
        return;
    }
    if (checkImage->bitCount != 32)
        return;
    DIB *picture = DIB_Create(32, w, h);
    if (!picture)
        return;
    DIB_Blt(picture, nullptr, checkImage, &source);
    DIB24_BltDIBA24(image, pos, picture);
    DIB_Delete_(picture);
}

void DrawStyleItem(const TileItem *item, HDC dc, const RECT *rect, const DIB *checkImage, HFONT font)
{
    int width = rect->right - rect->left, height = rect->bottom - rect->top;
    DIB *image = DIB_Create(24, width, height);
    if (!image)
        return;
    const DressStyle *style = (const DressStyle *)item->data;
    int selected = (item->state & TILEITEM_SELECTED) != 0;
    if (selected) {
        DIB24_FillRect(image, nullptr, 0x000000);
        PaintSelection(image, item->state);
    } else {
        DIB24_FillRect(image, nullptr, TILE_BACKGROUND);
    }
    COLORREF text = selected ? TILE_TEXT_SELECTED : TILE_TEXT;

    if (style && checkImage && style->checkState >= 0 && style->checkState < CHECK_PICTURES) {
        Rect place = CheckPictureRect(height, checkImage);
        Point pos = {place.left, place.top};
        DrawCheckPicture(image, &pos, checkImage, style->checkState);
    }
    if (style) {
        uint32_t options = TEXTINFO_VCENTER | TEXTINFO_ELLIPSIS;
        DrawTileText(image, height, 0, height + STYLE_NAME_COLUMN_WIDTH, height, style->name, options, text, font);
        DrawTileText(image, 2 * height + STYLE_NAME_COLUMN_WIDTH, 0, width, height, style->outputFolder, options, text,
                     font);
    }
    CopyToScreen(dc, rect, image);
    DIB_Delete_(image);
}
