// The preview sheet: characters composed from the images read back from a
// generated tree, in the program's drawing order and through the program's
// own recolouring, laid out in a grid. It shows at a glance whether the
// parts sit where they belong and whether tinting keeps the shading.
#include <cstdio>
#include <cstring>

#include "catalog/data_tree.h"
#include "core/imaging/file.h"
#include "layers/hls.h"
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/sample_tree.h"

// One character of the sheet; -1 leaves a part out.
struct SheetCell {
    int hair, backHair, dress, eye, brow, mouth, expression, accessory;
};

enum { SHEET_COLUMNS = 8 };
static const uint32_t BAND_COLOUR = 0x00A0DC;

static HlsColour Colour_FromValue(uint32_t v)
{
    return HlsColour{(uint8_t)(v >> 16), (uint8_t)(v >> 8), (uint8_t)v};
}

// Draws one part image over `out`, recoloured when `colour` is given.
static void Sheet_Layer(DIB *out, const char *path, const uint32_t *colour)
{
    DIB *image = DIB_CreateFromFile(path);
    if (!image)
        return;
    if (colour) {
        DIB *grey = DIB_Create(16, image->width, image->height);
        if (grey) {
            PaletteEntry palette[HLS_PALETTE_ENTRIES];
            Hls_FillPalette(palette, Colour_FromValue(*colour));
            DIBGA8_BltDIBA24(grey, nullptr, image);
            DIBA24_BltPaletteDIBGA8(out, nullptr, grey, palette);
            DIB_Delete_(grey);
        }
    } else {
        DIBA24_BltDIBA24(out, nullptr, image);
    }
    DIB_Delete_(image);
}

static void Sheet_Part(DIB *out, const char *root, const char *relative, const uint32_t *colour)
{
    char path[VOR_MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\data\\%s", root, relative) < (int)sizeof path)
        Sheet_Layer(out, path, colour);
}

static void Sheet_Hair(DIB *out, const char *root, int style, const char *side)
{
    const SampleEntry *e = &SAMPLE_HAIR[style];
    char rel[VOR_MAX_PATH];
    const char roles[] = "badh";
    for (const char *role = roles; *role; role++) {
        snprintf(rel, sizeof rel, DATA_KIND_HAIR "\\%s\\%s\\%s%s", e->folder, side, e->folder, Role_Suffix(*role));
        const uint32_t *colour = *role == 'a' ? &e->colour : (*role == 'd' ? &BAND_COLOUR : nullptr);
        Sheet_Part(out, root, rel, colour);
    }
}

static void Sheet_Accessory(DIB *out, const char *root, int index)
{
    const SampleEntry *e = &SAMPLE_ACCESSORY[index];
    char rel[VOR_MAX_PATH];
    const char roles[] = "abc";
    for (const char *role = roles; *role; role++) {
        snprintf(rel, sizeof rel, DATA_KIND_ACCESSORY "\\%s\\%s%s", e->folder, e->folder, Role_Suffix(*role));
        Sheet_Part(out, root, rel, *role == 'b' ? nullptr : &e->colour);
    }
}

// Face part images `<kind>\<folder>\<expression>_<role>.png` in role order.
static void Sheet_Face(DIB *out, const char *root, const char *kind, const SampleEntry *e, int expression,
                       const char *roles, char tinted)
{
    char rel[VOR_MAX_PATH];
    for (const char *role = roles; *role; role++) {
        snprintf(rel, sizeof rel, "%s\\%s\\%s%s", kind, e->folder, EXPRESSION_FOLDER[expression], Role_Suffix(*role));
        Sheet_Part(out, root, rel, *role == tinted ? &e->colour : nullptr);
    }
}

// From back to front: back hair, body, double eyelid, dress, front hair,
// brow, cheek, eye, mouth; the wings go behind everything, other
// accessories in front.
static void Sheet_Compose(DIB *out, const char *root, const SheetCell *c)
{
    char rel[VOR_MAX_PATH];
    if (c->accessory == ACC_WING)
        Sheet_Accessory(out, root, c->accessory);
    if (c->backHair >= 0)
        Sheet_Hair(out, root, c->backHair, DATA_HAIR_BACK);
    if (c->dress >= 0) {
        snprintf(rel, sizeof rel, DATA_KIND_DRESS "\\%s\\" DATA_BODY_IMAGE, SAMPLE_DRESS[c->dress].folder);
        Sheet_Part(out, root, rel, nullptr);
    } else {
        Sheet_Part(out, root, DATA_BODY_PATH, nullptr);
    }
    if (c->brow >= 0)
        Sheet_Face(out, root, DATA_KIND_BROW, &SAMPLE_BROW[c->brow], c->expression, "b", 0);
    if (c->dress >= 0) {
        const SampleEntry *e = &SAMPLE_DRESS[c->dress];
        const char roles[] = "cba";
        for (const char *role = roles; *role; role++) {
            snprintf(rel, sizeof rel, DATA_KIND_DRESS "\\%s\\%s%s", e->folder, e->folder, Role_Suffix(*role));
            Sheet_Part(out, root, rel, *role == 'a' ? &e->colour : nullptr);
        }
    }
    if (c->hair >= 0)
        Sheet_Hair(out, root, c->hair, DATA_HAIR_FRONT);
    if (c->brow >= 0)
        Sheet_Face(out, root, DATA_KIND_BROW, &SAMPLE_BROW[c->brow], c->expression, "a", 'a');
    Sheet_Face(out, root, DATA_KIND_CHEEK, &SAMPLE_CHEEK, c->expression, "b", 0);
    if (c->eye >= 0)
        Sheet_Face(out, root, DATA_KIND_EYE, &SAMPLE_EYE[c->eye], c->expression, "abh", 'a');
    if (c->mouth >= 0)
        Sheet_Face(out, root, DATA_KIND_MOUTH, &SAMPLE_MOUTH[c->mouth], c->expression, "bah", 'a');
    if (c->accessory >= 0 && c->accessory != ACC_WING)
        Sheet_Accessory(out, root, c->accessory);
}

// Copies `cell` (opaque background already under it) into the sheet at
// column/row, halving it with a 2 x 2 box filter unless `fullSize`.
static void Sheet_Place(DIB *sheet, const DIB *cell, int column, int row, int fullSize)
{
    int scale = fullSize ? 1 : 2;
    int w = CANVAS_W / scale, h = CANVAS_H / scale;
    for (int y = 0; y < h; y++) {
        unsigned char *dst = DIB_RowTD(sheet, row * h + y) + 4 * column * w;
        for (int x = 0; x < w; x++) {
            for (int ch = 0; ch < 4; ch++) {
                int sum = 0;
                for (int dy = 0; dy < scale; dy++)
                    for (int dx = 0; dx < scale; dx++)
                        sum += DIB_RowTD(cell, y * scale + dy)[4 * (x * scale + dx) + ch];
                dst[4 * x + ch] = (unsigned char)(sum / (scale * scale));
            }
        }
    }
}

static int Sheet_Cells(int sheet, SheetCell *cells, int max)
{
    int n = 0;
    if (sheet == 0) {
        const SheetCell people[] = {
            {HAIR_PONNY, HAIR_PONNY, DRESS_TG, EYE_ROUND, BROW_THIN, MOUTH_SMALL, 0, -1},
            {HAIR_LONG, HAIR_LONG, DRESS_WAITRESS, EYE_DROOPY, BROW_THICK, MOUTH_CAT, 0, ACC_CATUSYA},
            {HAIR_SHORT, HAIR_SHORT, DRESS_EV, EYE_SHARP, BROW_THIN, MOUTH_SMALL, 0, -1},
        };
        for (const SheetCell &p : people)
            for (int x = 0; x < EXPR_COUNT && n < max; x++) {
                cells[n] = p;
                cells[n++].expression = x;
            }
    } else {
        for (int i = 0; i < HAIR_STYLE_COUNT && n < max; i++)
            cells[n++] = SheetCell{i, i, i % DRESS_COUNT, i % EYE_SHAPE_COUNT, i % BROW_SHAPE_COUNT,
                                   i % MOUTH_SHAPE_COUNT, i % EXPR_COUNT, -1};
        for (int i = 0; i < ACC_COUNT && n < max; i++)
            cells[n++] = SheetCell{HAIR_BOB + 4 * i, HAIR_BOB + 4 * i, i, EYE_ROUND, BROW_THIN, MOUTH_SMALL, 0, i};
        for (int i = 0; i < DRESS_COUNT && n < max; i++)
            cells[n++] = SheetCell{-1, -1, i, EYE_DROOPY, BROW_THICK, MOUTH_CAT, EXPR_ODOROKI, -1};
    }
    return n;
}

int ContactSheet_Write(const char *root, const char *pngPath, int sheet, int fullSize, const Rect *crop)
{
    SheetCell cells[32];
    int count = Sheet_Cells(sheet, cells, 32);
    int scale = fullSize ? 1 : 2;
    int rows = (count + SHEET_COLUMNS - 1) / SHEET_COLUMNS;
    DIB *out = DIB_Create(32, SHEET_COLUMNS * CANVAS_W / scale, rows * CANVAS_H / scale);
    DIB *cell = DIB_Create(32, CANVAS_W, CANVAS_H);
    int ok = out && cell;
    for (int i = 0; ok && i < count; i++) {
        // A pale background shows every part's outline; alternate shades
        // mark the cells.
        Rect all = {0, 0, CANVAS_W, CANVAS_H};
        DIB24_FillRect(cell, &all, (i + i / SHEET_COLUMNS) % 2 ? 0x00E8F0F4 : 0x00F4F0E8);
        Sheet_Compose(cell, root, &cells[i]);
        Sheet_Place(out, cell, i % SHEET_COLUMNS, i / SHEET_COLUMNS, fullSize);
    }
    if (ok && crop) {
        // Only a part of the sheet, for a close look at details.
        Rect area = *crop;
        if (area.right > out->width)
            area.right = out->width;
        if (area.bottom > out->height)
            area.bottom = out->height;
        DIB *part = area.right > area.left && area.bottom > area.top
                        ? DIB_Create(32, area.right - area.left, area.bottom - area.top)
                        : nullptr;
        if (part)
            DIB_Blt(part, nullptr, out, &area);
        DIB_Delete_(out);
        out = part;
        ok = out != nullptr;
    }
    if (ok) {
        WriteLog log = {};
        ok = Output_Image(&log, out, pngPath);
    }
    if (out)
        DIB_Delete_(out);
    if (cell)
        DIB_Delete_(cell);
    return ok;
}
