// The cast sheet (see cast_sheet.h). The names are lettered with glyphs
// drawn in advance for exactly the syllables of the cast's names
// (scripts/gen-name-glyphs), so the sheet needs no font and comes out the
// same bytes on every build.
#include "output/cast_sheet.h"

#include <cstdint>
#include <cstring>

#include "layers/document.h"
#include "layers/render.h"
#include "output/export.h"

namespace {

enum { GLYPH_SIDE = 16 };
const int GLYPH_MISSING_ADVANCE = 16;  // a hollow box as wide as a syllable

struct Glyph {
    uint16_t code;  // CP949 lead and trail byte, or an ASCII byte
    uint8_t advance;
    uint8_t coverage[GLYPH_SIDE * GLYPH_SIDE / 2];  // four bits a pixel, left pixel high
};

const Glyph GLYPHS[] = {
#include "output/name_glyphs.inc"
};

// Ground, ink and the empty cell's frame, as blue, green, red.
const uint8_t GROUND[3] = {0xF4, 0xF2, 0xF0};
const uint8_t INK[3] = {0x40, 0x38, 0x30};

const Glyph *FindGlyph(uint16_t code)
{
    for (const Glyph &g : GLYPHS)
        if (g.code == code)
            return &g;
    return nullptr;
}

// One character of CP949 text: its code and byte length.
int NextCode(const unsigned char *p, uint16_t *code)
{
    if (p[0] >= 0x81 && p[1]) {
        *code = (uint16_t)(p[0] << 8 | p[1]);
        return 2;
    }
    *code = p[0];
    return 1;
}

void Blend(unsigned char *px, const uint8_t colour[3], int alpha)
{
    for (int c = 0; c < 3; c++)
        px[c] = (unsigned char)((colour[c] * alpha + px[c] * (255 - alpha) + 127) / 255);
}

void DrawGlyph(DIB *image, int x, int top, const Glyph *g)
{
    for (int y = 0; y < GLYPH_SIDE; y++) {
        if (top + y < 0 || top + y >= image->height)
            continue;
        unsigned char *row = DIB_RowTD(image, top + y);
        for (int i = 0; i < GLYPH_SIDE; i++) {
            if (x + i < 0 || x + i >= image->width)
                continue;
            int byte = g->coverage[(y * GLYPH_SIDE + i) / 2];
            int level = i % 2 ? byte & 15 : byte >> 4;
            Blend(row + (x + i) * 4, INK, level * 17);
        }
    }
}

void DrawBox(DIB *image, int x, int top)
{
    for (int y = 2; y < GLYPH_SIDE - 2; y++)
        for (int i = 2; i < GLYPH_SIDE - 2; i++)
            if ((y == 2 || y == GLYPH_SIDE - 3 || i == 2 || i == GLYPH_SIDE - 3) && top + y >= 0 &&
                top + y < image->height && x + i >= 0 && x + i < image->width)
                Blend(DIB_RowTD(image, top + y) + (x + i) * 4, INK, 255);
}

int TextWidth(const char *text)
{
    int width = 0;
    for (const unsigned char *p = (const unsigned char *)text; *p;) {
        uint16_t code;
        p += NextCode(p, &code);
        const Glyph *g = FindGlyph(code);
        width += g ? g->advance : GLYPH_MISSING_ADVANCE;
    }
    return width;
}

// The picture halved into the cell at (x, y), over the ground: each cell
// pixel is the alpha-weighted mean of its four picture pixels.
void PutHalved(DIB *sheet, int x, int y, const DIB *picture)
{
    const int s = CAST_SHEET_SCALE;
    for (int cy = 0; cy < picture->height / s; cy++) {
        unsigned char *out = DIB_RowTD(sheet, y + cy) + x * 4;
        for (int cx = 0; cx < picture->width / s; cx++, out += 4) {
            int sum[3] = {0, 0, 0}, alpha = 0;
            for (int dy = 0; dy < s; dy++) {
                const unsigned char *in = DIB_RowTD(picture, cy * s + dy) + cx * s * 4;
                for (int dx = 0; dx < s; dx++, in += 4) {
                    for (int c = 0; c < 3; c++)
                        sum[c] += in[c] * in[3];
                    alpha += in[3];
                }
            }
            if (alpha == 0)
                continue;
            uint8_t colour[3];
            for (int c = 0; c < 3; c++)
                colour[c] = (uint8_t)((sum[c] + alpha / 2) / alpha);
            Blend(out, colour, (alpha + s * s / 2) / (s * s));
        }
    }
}

// The first checked style in the first expression, composed as the export
// composes it.
DIB *FirstPicture(Headless *h)
{
    for (int i = 0; i < PtrList_Count(h->w.styles); i++) {
        if (Wardrobe_StyleAt(&h->w, i)->checkState != STYLE_CHECKED)
            continue;
        if (h->w.selected != i)
            Wardrobe_ShowStyle(&h->ch, &h->w, i);
        Character_ChooseExpression(&h->ch, 0);
        Export_LoadNow(h->doc);
        return Canvas_ComposeExport(h->doc);
    }
    return nullptr;
}

}  // namespace

int CastSheet_CanLetter(const char *text)
{
    for (const unsigned char *p = (const unsigned char *)text; *p;) {
        uint16_t code;
        p += NextCode(p, &code);
        if (!FindGlyph(code))
            return 0;
    }
    return 1;
}

int CastSheet_Letter(DIB *image, int centreX, int top, const char *text)
{
    int width = TextWidth(text);
    int x = centreX - width / 2;
    for (const unsigned char *p = (const unsigned char *)text; *p;) {
        uint16_t code;
        p += NextCode(p, &code);
        const Glyph *g = FindGlyph(code);
        if (g)
            DrawGlyph(image, x, top, g);
        else
            DrawBox(image, x, top);
        x += g ? g->advance : GLYPH_MISSING_ADVANCE;
    }
    return width;
}

DIB *CastSheet_Compose(Headless *h, const char *const *paths, int count)
{
    if (count < 1)
        return nullptr;
    const int cellW = DOCUMENT_WIDTH / CAST_SHEET_SCALE, cellH = DOCUMENT_HEIGHT / CAST_SHEET_SCALE;
    const int pitchX = cellW + CAST_SHEET_MARGIN, pitchY = cellH + CAST_SHEET_LABEL + CAST_SHEET_MARGIN;
    // Rows of ten, or wider rows once ten would make the sheet taller than
    // an image may be.
    const int maxRows = (DIB_MAX_SIDE - CAST_SHEET_MARGIN) / pitchY;
    int perRow = (count + maxRows - 1) / maxRows;
    if (perRow < CAST_SHEET_COLUMNS)
        perRow = CAST_SHEET_COLUMNS;
    const int columns = count < perRow ? count : perRow;
    const int rows = (count + perRow - 1) / perRow;
    DIB *sheet = DIB_Create(32, CAST_SHEET_MARGIN + columns * pitchX, CAST_SHEET_MARGIN + rows * pitchY);
    if (!sheet)
        return nullptr;
    for (int y = 0; y < sheet->height; y++) {
        unsigned char *px = DIB_RowTD(sheet, y);
        for (int x = 0; x < sheet->width; x++, px += 4) {
            memcpy(px, GROUND, 3);
            px[3] = 255;
        }
    }
    for (int i = 0; i < count; i++) {
        int x = CAST_SHEET_MARGIN + i % perRow * pitchX;
        int y = CAST_SHEET_MARGIN + i / perRow * pitchY;
        const char *name = paths[i];
        if (Headless_LoadProject(h, paths[i]) == PROJECT_OK) {
            name = h->ch.name ? h->ch.name : "";
            DIB *picture = FirstPicture(h);
            if (picture && picture->width == DOCUMENT_WIDTH && picture->height == DOCUMENT_HEIGHT)
                PutHalved(sheet, x, y, picture);
            DIB_Delete_(picture);
        }
        CastSheet_Letter(sheet, x + cellW / 2, y + cellH + (CAST_SHEET_LABEL - GLYPH_SIDE) / 2, name);
    }
    return sheet;
}
