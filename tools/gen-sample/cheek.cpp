// Cheeks: the blush and the small marks that make an expression readable at
// a glance (blush lines, a sweat drop, tears, an anger mark, shock lines).
// Never recoloured; soft edges come from stacked translucent ellipses.
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/parts.h"

static void Blush_Draw(Raster *r, int strength, float size)
{
    Path p;
    const int steps = 6;
    for (int i = 0; i < steps; i++) {
        float k = 1.0f - i * 0.12f;
        Path_Clear(&p);
        Path_Ellipse(&p, FACE_CX - CHEEK_DX, CHEEK_Y, 21 * k * size, 10 * k * size);
        Path_Ellipse(&p, FACE_CX + CHEEK_DX, CHEEK_Y, 21 * k * size, 10 * k * size);
        Raster_Fill(r, &p, Paint_Solid(Rgb(255, 120, 135, strength / steps)));
    }
}

static void Blush_Lines(Raster *r, int count)
{
    Path p;
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2)
        for (int i = 0; i < count; i++) {
            float x = FACE_CX + side * CHEEK_DX - 10 + i * 8;
            Path_MoveTo(&p, x + 4, CHEEK_Y - 5);
            Path_LineTo(&p, x - 2, CHEEK_Y + 5);
        }
    Raster_Stroke(r, &p, Paint_Solid(Rgb(230, 80, 100, 220)), 0.6f, 1.8f, 0.6f);
}

static void SweatDrop_Draw(Raster *r, float x, float y, float size)
{
    Path p;
    Path_Clear(&p);
    Path_MoveTo(&p, x, y - 14 * size);
    Path_CurveTo(&p, x + 3 * size, y - 6 * size, x + 8 * size, y - 2 * size, x + 7 * size, y + 3 * size);
    Path_CurveTo(&p, x + 6 * size, y + 9 * size, x - 6 * size, y + 9 * size, x - 7 * size, y + 3 * size);
    Path_CurveTo(&p, x - 8 * size, y - 2 * size, x - 3 * size, y - 6 * size, x, y - 14 * size);
    Raster_Fill(r, &p, Paint_Linear(x, y - 14 * size, Rgb(220, 240, 255), x, y + 8 * size, Rgb(130, 190, 240)));
    Raster_Line(r, &p, Paint_Solid(Rgb(60, 110, 170)), 1.6f);
    Path_Clear(&p);
    Path_Ellipse(&p, x - 2.5f * size, y + 1 * size, 1.6f * size, 2.6f * size, 0.3f);
    Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255)));
}

// The cross of bulging veins that comics use for anger.
static void AngerMark_Draw(Raster *r, float x, float y)
{
    Path p;
    Path_Clear(&p);
    for (int q = 0; q < 4; q++) {
        float sx = (q & 1) ? 1.0f : -1.0f, sy = (q & 2) ? 1.0f : -1.0f;
        Path_MoveTo(&p, x + sx * 3, y + sy * 11);
        Path_QuadTo(&p, x + sx * 4, y + sy * 4, x + sx * 11, y + sy * 3);
    }
    Raster_Stroke(r, &p, Paint_Solid(Rgb(120, 0, 20)), 5.5f, 5.0f, 5.5f);
    Raster_Stroke(r, &p, Paint_Solid(Rgb(235, 40, 60)), 3.0f, 2.6f, 3.0f);
}

static void ShockLines_Draw(Raster *r)
{
    Path p;
    Path_Clear(&p);
    for (int i = 0; i < 4; i++) {
        float x = FACE_CX - 46 + i * 8.0f;
        Path_MoveTo(&p, x, 150 + (i % 2) * 4);
        Path_LineTo(&p, x, 178 + (i % 2) * 3);
    }
    Raster_Stroke(r, &p, Paint_Solid(Rgb(110, 100, 190, 150)), 1.8f, 1.6f, 0.4f);
}

void Cheek_Draw(Raster *r, Expression expression, const PartImages *out)
{
    Raster_SetTarget(r, out->b);
    switch (expression) {
    case EXPR_SUMASHI: Blush_Draw(r, 70, 0.85f); break;
    case EXPR_NIKO: Blush_Draw(r, 110, 1.0f); break;
    case EXPR_NIKKORI:
        Blush_Draw(r, 120, 1.05f);
        Blush_Lines(r, 2);
        break;
    case EXPR_MAKKA:
        Blush_Draw(r, 230, 1.25f);
        Blush_Lines(r, 3);
        break;
    case EXPR_NAKI:
        Blush_Draw(r, 50, 0.8f);
        SweatDrop_Draw(r, FACE_CX + 64, 150, 1.0f);
        break;
    case EXPR_UTUMUKI:
        Blush_Draw(r, 150, 1.1f);
        break;
    case EXPR_IKARI:
        Blush_Draw(r, 40, 0.7f);
        AngerMark_Draw(r, FACE_CX + 52, 128);
        break;
    case EXPR_ODOROKI:
        ShockLines_Draw(r);
        SweatDrop_Draw(r, FACE_CX - 68, 176, 0.7f);
        break;
    default: break;
    }
}
