// The pieces some hair styles add to the main shape: braids (hanging or
// across the crown), drill curls, twin tails, a pony tail, and the bands that
// hold them (image d, recoloured with the hair band colour).
#include <cmath>

#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/hair.h"

// A braid: overlapping lobes leaning left and right in turn along the line
// from `from` to `to`.
static void Braid_Draw(Raster *r, const PartImages *out, Pt from, Pt to, float width, int lobes)
{
    float dx = to.x - from.x, dy = to.y - from.y;
    float len = std::sqrt(dx * dx + dy * dy);
    float angle = std::atan2(dy, dx);
    for (int i = 0; i < lobes; i++) {
        float t = (i + 0.5f) / lobes;
        float lean = (i % 2) ? 1.0f : -1.0f;
        float cx = from.x + dx * t - dy / len * lean * width * 0.16f;
        float cy = from.y + dy * t + dx / len * lean * width * 0.16f;
        Path p;
        Path_Clear(&p);
        Path_Ellipse(&p, cx, cy, len / lobes * 0.78f, width * 0.5f, angle + lean * 0.5f);
        HairPiece_Fill(r, out, &p, cy - width * 0.5f, cy + width * 0.5f, HAIR_LIGHT, HAIR_DARK);
    }
}

// Lobes along an arc over the crown.
static void CrownBraid_Draw(Raster *r, const PartImages *out)
{
    const int lobes = 11;
    const float a0 = 3.35f, a1 = 6.07f, rx = 80, ry = 76, cy = SKULL_CY + 8;
    for (int i = 0; i < lobes; i++) {
        float a = a0 + (a1 - a0) * (i + 0.5f) / lobes;
        float x = FACE_CX + rx * std::cos(a), y = cy + ry * std::sin(a);
        float tangent = std::atan2(ry * std::cos(a), -rx * std::sin(a));
        Path p;
        Path_Clear(&p);
        Path_Ellipse(&p, x, y, 13, 8.5f, tangent + ((i % 2) ? 0.5f : -0.5f));
        HairPiece_Fill(r, out, &p, y - 9, y + 9, HAIR_LIGHT, HAIR_DARK);
    }
}

// Drill curls beside the face: rings shrinking downwards, each with the
// line of its turn.
static void Drills_Draw(Raster *r, const PartImages *out)
{
    for (int side = -1; side <= 1; side += 2) {
        const int rings = 6;
        for (int i = 0; i < rings; i++) {
            float x = FACE_CX + side * (SKULL_RX + 12 - i * 1.5f);
            float y = 196 + i * 34.0f;
            float rx = 21 - i * 1.8f;
            Path p;
            Path_Clear(&p);
            Path_Ellipse(&p, x, y, rx, 21, side * 0.25f);
            HairPiece_Fill(r, out, &p, y - 21, y + 21, HAIR_LIGHT, HAIR_DARK - 10);
            Raster_SetTarget(r, out->a);
            Path_Clear(&p);
            Path_MoveTo(&p, x - side * rx * 0.9f, y - 6);
            Path_QuadTo(&p, x, y + 16, x + side * rx * 0.9f, y + 2);
            Raster_Stroke(r, &p, Paint_Solid(Grey(HAIR_LINE)), 0.5f, 2.0f, 0.5f);
        }
    }
}

// A tapering tail hanging from `tie`, swinging out by `swing` (negative to
// the left) and ending at `tip`.
static void Tail_Path(Path *p, Pt tie, float swing, Pt tip, float width)
{
    Path_MoveTo(p, tie.x - width * 0.3f, tie.y);
    Path_CurveTo(p, tie.x + swing, tie.y + 40, tip.x + swing * 0.8f, tip.y - 140, tip.x, tip.y);
    Path_CurveTo(p, tip.x + swing * 0.1f, tip.y - 120, tie.x + swing * 0.1f + width * 0.3f, tie.y + 60,
                 tie.x + width * 0.3f, tie.y);
}

static void Tail_Strands(Raster *r, const PartImages *out, Pt tie, float swing, Pt tip)
{
    Raster_SetTarget(r, out->a);
    Raster_ClipAlpha(r, out->a);
    Path p;
    Path_Clear(&p);
    for (int i = -1; i <= 1; i++) {
        Path_MoveTo(&p, tie.x + i * 4, tie.y + 10);
        Path_CurveTo(&p, tie.x + swing * 0.8f + i * 6, tie.y + 60, tip.x + swing * 0.5f + i * 5, tip.y - 120,
                     tip.x + i * 3, tip.y - 14);
    }
    Raster_Stroke(r, &p, Paint_Solid(Grey(HAIR_LINE, 200)), 0.4f, 1.6f, 0.3f);
    Raster_NoClip(r);
}

// Band pieces are shaded grey like the hair, with a dark edge of their own.
static void Band_Fill(Raster *r, const PartImages *out, const Path *p, float top, float bottom)
{
    Raster_SetTarget(r, out->d);
    Raster_Fill(r, p, Paint_Linear(0, top, Grey(196), 0, bottom, Grey(112)));
    Raster_Line(r, p, Paint_Solid(Grey(52)), 1.5f);
}

// A ribbon bow: two loops, two short ends and a knot.
static void Bow_Draw(Raster *r, const PartImages *out, float x, float y, float size)
{
    Path p;
    Path_Clear(&p);
    Path_MoveTo(&p, x, y);
    Path_CurveTo(&p, x - 10 * size, y - 16 * size, x - 22 * size, y - 8 * size, x - 18 * size, y + 2 * size);
    Path_CurveTo(&p, x - 16 * size, y + 10 * size, x - 6 * size, y + 6 * size, x, y);
    Path_CurveTo(&p, x + 10 * size, y - 16 * size, x + 22 * size, y - 8 * size, x + 18 * size, y + 2 * size);
    Path_CurveTo(&p, x + 16 * size, y + 10 * size, x + 6 * size, y + 6 * size, x, y);
    Path_MoveTo(&p, x - 2 * size, y + 2 * size);
    Path_LineTo(&p, x - 10 * size, y + 20 * size);
    Path_LineTo(&p, x - 4 * size, y + 18 * size);
    Path_LineTo(&p, x + 1 * size, y + 4 * size);
    Path_MoveTo(&p, x + 2 * size, y + 2 * size);
    Path_LineTo(&p, x + 11 * size, y + 19 * size);
    Path_LineTo(&p, x + 5 * size, y + 19 * size);
    Path_LineTo(&p, x - 1 * size, y + 4 * size);
    Band_Fill(r, out, &p, y - 14 * size, y + 18 * size);
    Path_Clear(&p);
    Path_Ellipse(&p, x, y + 1, 4.5f * size, 4 * size);
    Band_Fill(r, out, &p, y - 4 * size, y + 5 * size);
}

static void Headband_Draw(Raster *r, const PartImages *out)
{
    Path arc;
    Path_Clear(&arc);
    const float cy = SKULL_CY + 6, rx = 86, ry = 80;
    for (int i = 0; i <= 40; i++) {
        float a = 3.30f + (6.12f - 3.30f) * i / 40;
        float x = FACE_CX + rx * std::cos(a), y = cy + ry * std::sin(a);
        if (i == 0)
            Path_MoveTo(&arc, x, y);
        else
            Path_LineTo(&arc, x, y);
    }
    Raster_SetTarget(r, out->d);
    Raster_Line(r, &arc, Paint_Solid(Grey(52)), 12);
    Raster_Line(r, &arc, Paint_Linear(0, cy - ry, Grey(190), 0, cy, Grey(120)), 9);
    Raster_Line(r, &arc, Paint_Solid(Grey(232, 180)), 2);
}

int HairExtra_DrawFront(Raster *r, HairExtra extra, const PartImages *out)
{
    switch (extra) {
    case EXTRA_CROWN_BRAID: CrownBraid_Draw(r, out); return 0;
    case EXTRA_DRILLS: Drills_Draw(r, out); return 0;
    case EXTRA_HEADBAND: Headband_Draw(r, out); return 1;
    case EXTRA_BRAIDS:
        for (int side = -1; side <= 1; side += 2) {
            Pt from = {FACE_CX + side * 64, 222}, to = {FACE_CX + side * 58, 410};
            Braid_Draw(r, out, from, to, 26, 8);
            // The tuft below the tie, then the tie.
            Path p;
            Path_Clear(&p);
            Path_MoveTo(&p, to.x - 8, to.y + 2);
            Path_QuadTo(&p, to.x - 6, to.y + 24, to.x + side * 2, to.y + 34);
            Path_QuadTo(&p, to.x + 6, to.y + 24, to.x + 8, to.y + 2);
            HairPiece_Fill(r, out, &p, to.y, to.y + 34, HAIR_BASE, HAIR_DARK);
            Path_Clear(&p);
            Path_Ellipse(&p, to.x, to.y + 2, 9, 5);
            Band_Fill(r, out, &p, to.y - 3, to.y + 7);
        }
        return 1;
    case EXTRA_TWINTAILS:
        Bow_Draw(r, out, FACE_CX - 80, 122, 1.0f);
        Bow_Draw(r, out, FACE_CX + 80, 122, 1.0f);
        return 1;
    default: return 0;
    }
}

int HairExtra_DrawBack(Raster *r, HairExtra extra, const PartImages *out)
{
    Path p;
    Path_Clear(&p);
    if (extra == EXTRA_TWINTAILS) {
        for (int side = -1; side <= 1; side += 2) {
            Pt tie = {FACE_CX + side * 84, 128}, tip = {FACE_CX + side * 118, 392};
            Path_Clear(&p);
            Tail_Path(&p, tie, side * 46.0f, tip, 34);
            HairPiece_Fill(r, out, &p, 120, 400, HAIR_BASE, HAIR_DARK - 10);
            Tail_Strands(r, out, tie, side * 46.0f, tip);
        }
        return 0;
    }
    if (extra == EXTRA_PONYTAIL) {
        Pt tie = {FACE_CX + 62, 104}, tip = {FACE_CX + 96, 410};
        Tail_Path(&p, tie, 70, tip, 40);
        HairPiece_Fill(r, out, &p, 100, 410, HAIR_BASE, HAIR_DARK - 10);
        Tail_Strands(r, out, tie, 70, tip);
        Path_Clear(&p);
        Path_Ellipse(&p, tie.x + 2, tie.y + 4, 12, 8, 0.5f);
        Band_Fill(r, out, &p, tie.y - 4, tie.y + 12);
        return 1;
    }
    return 0;
}
