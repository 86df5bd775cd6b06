// Front and back hair of the sixteen standard styles, built from one
// parametric description per style: a crown over the skull, bangs made of
// pointed locks (or a blunt cut, or swept up), locks beside the face, and a
// back mass whose length, width and ends vary. Image a holds the grey,
// shaded hair, b its dark outline (lying under a, so only the outer edge
// shows), h the white highlights.
#include <cmath>

#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/hair.h"

static const HairSpec HAIR_SPEC[HAIR_STYLE_COUNT] = {
    {BANGS_LOCKS, 3, 1, 170, 250, 340, 100, ENDS_POINTED, 3, EXTRA_CROWN_BRAID}, // amikomi
    {BANGS_LOCKS, 3, 0, 176, 262, 280, 94, ENDS_CURLED, 0, EXTRA_NONE},          // bob
    {BANGS_LOCKS, 3, 1, 170, 0, 330, 104, ENDS_WAVY, 3, EXTRA_DRILLS},           // carl
    {BANGS_LOCKS, 4, 0, 174, 282, 380, 110, ENDS_POINTED, 4, EXTRA_HEADBAND},    // hairb
    {BANGS_JAGGED, 4, 1, 180, 270, 304, 100, ENDS_POINTED, 5, EXTRA_NONE},       // jaggy
    {BANGS_LOCKS, 3, 1, 176, 330, 470, 124, ENDS_POINTED, 4, EXTRA_NONE},        // long
    {BANGS_SWEPT, 0, 0, 0, 252, 300, 96, ENDS_POINTED, 3, EXTRA_NONE},           // maeage
    {BANGS_SWEPT_STRANDS, 0, 0, 0, 292, 392, 110, ENDS_POINTED, 4, EXTRA_NONE},  // maeage3
    {BANGS_LOCKS, 3, 0, 174, 0, 252, 86, ENDS_BLUNT, 0, EXTRA_BRAIDS},           // mituami
    {BANGS_LOCKS, 3, 1, 174, 242, 254, 86, ENDS_POINTED, 2, EXTRA_TWINTAILS},    // musubi
    {BANGS_BLUNT, 0, 0, 174, 264, 268, 94, ENDS_BLUNT, 0, EXTRA_NONE},           // okappa
    {BANGS_LOCKS, 3, 1, 172, 232, 244, 82, ENDS_POINTED, 2, EXTRA_PONYTAIL},     // ponny
    {BANGS_LOCKS, 3, 0, 176, 300, 384, 112, ENDS_POINTED, 4, EXTRA_NONE},        // slong
    {BANGS_JAGGED, 3, 0, 178, 292, 332, 106, ENDS_LAYERED, 5, EXTRA_NONE},       // shaggy
    {BANGS_LOCKS, 3, 1, 176, 240, 254, 88, ENDS_POINTED, 3, EXTRA_NONE},         // short
    {BANGS_LOCKS, 3, 1, 176, 332, 470, 126, ENDS_WAVY, 4, EXTRA_NONE},           // wavelong
};

// Small fixed variations so that the locks do not look stamped.
static const float JITTER[8] = {0, 7, -5, 4, -8, 6, -3, 5};

// Where the hair meets the face at the temple.
const float TEMPLE_X = FACE_CX - 68, TEMPLE_Y = 178;
// The crown sits a little outside the skull.
const float CROWN_TOP = SKULL_CY - SKULL_RY - 12, CROWN_SIDE = FACE_CX - SKULL_RX - 13;

// Tips remembered while building an outline, for the strand lines.
struct TipList {
    int count;
    Pt tips[32];
};

static void Tips_Add(TipList *t, float x, float y)
{
    if (t->count < 32)
        t->tips[t->count++] = Pt{x, y};
}

// A line to (x, y) bowed sideways by `bow` times its length; with the hair
// above the line and the path running left to right, a positive bow bulges
// the lock outwards.
static void Path_Bow(Path *p, float x, float y, float bow)
{
    Pt a = Path_Last(p);
    float dx = x - a.x, dy = y - a.y;
    Path_QuadTo(p, (a.x + x) / 2 - dy * bow, (a.y + y) / 2 + dx * bow, x, y);
}

// The bangs from the temple to the centre line, left half.
static void Bangs_Half(Path *p, const HairSpec &s, TipList *tips)
{
    if (s.bangs == BANGS_BLUNT) {
        Path_LineTo(p, TEMPLE_X + 4, s.bangTipY + 2);
        for (int i = 1; i <= 8; i++)
            Path_LineTo(p, TEMPLE_X + 4 + (FACE_CX - TEMPLE_X - 4) * i / 8, s.bangTipY + (i % 2 ? -2.0f : 0.0f));
        Tips_Add(tips, TEMPLE_X + 24, s.bangTipY);
        Tips_Add(tips, TEMPLE_X + 50, s.bangTipY);
        return;
    }
    if (s.bangs == BANGS_SWEPT || s.bangs == BANGS_SWEPT_STRANDS) {
        // Forehead free: the hairline climbs from the temple in two waves.
        Path_Bow(p, FACE_CX - 44, 124, 0.10f);
        Path_Bow(p, FACE_CX - 14, 112, 0.12f);
        Path_Bow(p, FACE_CX, 116, 0.1f);
        Tips_Add(tips, FACE_CX - 44, 124);
        Tips_Add(tips, FACE_CX - 14, 112);
        return;
    }
    int n = 2 * s.bangLocks + (s.centreTip ? 1 : 0);
    float span = FACE_CX - TEMPLE_X;
    float bow = s.bangs == BANGS_JAGGED ? 0.04f : 0.13f;
    for (int j = 1; j <= n; j++) {
        float x = TEMPLE_X + span * j / n;
        if (j % 2) {
            // A tip; the ones near the temple reach a little lower.
            float y = s.bangTipY + JITTER[j % 8] + (n - j) * 1.5f;
            if (s.bangs == BANGS_JAGGED)
                y += (j % 4 == 1) ? 8 : -4;
            Path_Bow(p, x, y, bow);
            Tips_Add(tips, x, y);
        } else {
            float y = 132 + JITTER[(j + 3) % 8] * 0.6f - (j == n ? 6 : 0);
            Path_Bow(p, x, y, bow);
        }
    }
}

static void FrontHair_Path(Path *p, const HairSpec &s, TipList *tips)
{
    Path_Clear(p);
    Path_MoveTo(p, FACE_CX, CROWN_TOP);
    Path_CurveTo(p, FACE_CX - (FACE_CX - CROWN_SIDE) * 0.56f, CROWN_TOP, CROWN_SIDE, SKULL_CY - 50, CROWN_SIDE,
                 SKULL_CY);
    if (s.sideTipY > 0) {
        float tipX = CROWN_SIDE + 8;
        Path_CurveTo(p, CROWN_SIDE - 2, 200, CROWN_SIDE, s.sideTipY - 40, tipX, s.sideTipY);
        Tips_Add(tips, tipX, s.sideTipY);
        Path_CurveTo(p, tipX + 10, s.sideTipY - 30, TEMPLE_X + 8, 224, TEMPLE_X + 6, 196);
        Path_LineTo(p, TEMPLE_X, TEMPLE_Y);
    } else {
        Path_CurveTo(p, CROWN_SIDE, 176, CROWN_SIDE + 4, 188, CROWN_SIDE + 8, 194);
        Path_Bow(p, TEMPLE_X, TEMPLE_Y, 0.1f);
    }
    Bangs_Half(p, s, tips);
    Path_MirrorClose(p, FACE_CX);
    // The mirror image of each tip.
    int n = tips->count;
    for (int i = 0; i < n; i++)
        Tips_Add(tips, 2 * FACE_CX - tips->tips[i].x, tips->tips[i].y);
}

static void BackHair_Path(Path *p, const HairSpec &s, TipList *tips)
{
    const float side = FACE_CX - SKULL_RX - 16, top = SKULL_CY - SKULL_RY - 16;
    float endX = FACE_CX - s.backHalf, tip = s.backTipY;
    Path_Clear(p);
    Path_MoveTo(p, FACE_CX, top);
    Path_CurveTo(p, FACE_CX - (FACE_CX - side) * 0.56f, top, side, SKULL_CY - 52, side, SKULL_CY);
    if (s.ends == ENDS_WAVY) {
        // The outer edge swings in and out on its way down.
        float y0 = SKULL_CY, steps = 8;
        for (int i = 1; i <= steps; i++) {
            float y = y0 + (tip - 20 - y0) * i / steps;
            float x = side + (endX - side) * i / steps + (i % 2 ? -9.0f : 5.0f);
            Path_Bow(p, x, y, i % 2 ? 0.18f : -0.18f);
        }
    } else {
        Path_CurveTo(p, side - 4, 220, endX - 6, tip - 70, endX, tip - 16);
    }
    switch (s.ends) {
    case ENDS_BLUNT:
        Path_LineTo(p, endX + 2, tip);
        Path_LineTo(p, FACE_CX, tip + 2);
        break;
    case ENDS_CURLED:
        // The ends turn inwards, as a bob does.
        Path_CurveTo(p, endX - 2, tip + 4, endX + 14, tip + 8, endX + 26, tip - 2);
        Path_QuadTo(p, FACE_CX - 30, tip - 14, FACE_CX, tip - 16);
        break;
    default: {
        int n = 2 * s.backLocks;
        float span = FACE_CX - endX;
        for (int j = 1; j <= n; j++) {
            float x = endX + span * j / n;
            float y = (j % 2) ? tip - 14 : tip + JITTER[j % 8] * 0.8f;
            if (s.ends == ENDS_LAYERED && j % 4 == 2)
                y -= 26;
            if (j % 2 == 0)
                Tips_Add(tips, x, y);
            Path_Bow(p, x, y, s.ends == ENDS_WAVY ? 0.2f : 0.08f);
        }
        break;
    }
    }
    Path_MirrorClose(p, FACE_CX);
    Tips_Add(tips, endX, tip - 16);
    int n = tips->count;
    for (int i = 0; i < n; i++)
        Tips_Add(tips, 2 * FACE_CX - tips->tips[i].x, tips->tips[i].y);
}

void HairPiece_Fill(Raster *r, const PartImages *out, const Path *p, float top, float bottom, int light, int dark)
{
    Raster_SetTarget(r, out->b);
    Raster_Line(r, p, Paint_Solid(INK_HAIR), 3.4f);
    Raster_SetTarget(r, out->a);
    Raster_Fill(r, p, Paint_Linear(0, top, Grey(light), 0, bottom, Grey(dark)));
    Raster_Line(r, p, Paint_Solid(Grey(HAIR_EDGE)), 1.2f);
}

// Strand lines from near the crown towards each tip, inside the hair only.
static void Strands_Draw(Raster *r, const PartImages *out, const TipList *tips, float fromY)
{
    Raster_SetTarget(r, out->a);
    Raster_ClipAlpha(r, out->a);
    Path p;
    Path_Clear(&p);
    for (int i = 0; i < tips->count; i++) {
        Pt t = tips->tips[i];
        float sx = FACE_CX + (t.x - FACE_CX) * 0.45f;
        Path_MoveTo(&p, sx, fromY);
        Path_QuadTo(&p, t.x + (t.x - FACE_CX) * 0.1f, (fromY + t.y) / 2, t.x, t.y - 10);
    }
    Raster_Stroke(r, &p, Paint_Solid(Grey(HAIR_LINE, 200)), 0.3f, 1.6f, 0.4f);
    Raster_NoClip(r);
}

// The shine across the crown: a faint band with brighter lenses along an
// arc, light from above.
static void Shine_Draw(Raster *r, const PartImages *out, float y, float halfWidth, int alpha)
{
    Raster_SetTarget(r, out->h);
    Raster_ClipAlpha(r, out->a);
    Path p;
    Path_Clear(&p);
    for (int i = 0; i < 5; i++) {
        float t = -1 + 2.0f * i / 4;
        float x = FACE_CX + t * halfWidth;
        Path_Ellipse(&p, x, y + t * t * 22, 15 - std::fabs(t) * 4, 3.2f, t * 0.42f);
    }
    Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255, alpha)));
    Raster_NoClip(r);
}

// Long back hair catches the light in long streaks on both sides.
static void Streaks_Draw(Raster *r, const PartImages *out, float bottom)
{
    Raster_SetTarget(r, out->h);
    Raster_ClipAlpha(r, out->a);
    Path p;
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2) {
        float x = FACE_CX + side * 96;
        Path_MoveTo(&p, x, 230);
        Path_QuadTo(&p, x + side * 8, (230 + bottom) / 2, x + side * 4, bottom - 40);
    }
    Raster_Stroke(r, &p, Paint_Solid(Rgb(255, 255, 255, 70)), 0.5f, 4.0f, 0.5f);
    Raster_NoClip(r);
}

int Hair_Draw(Raster *r, HairStyleId style, int back, const PartImages *out)
{
    const HairSpec &s = HAIR_SPEC[style];
    Path p;
    TipList tips = {};
    if (back) {
        BackHair_Path(&p, s, &tips);
        HairPiece_Fill(r, out, &p, 80, s.backTipY, HAIR_BASE - 8, HAIR_DARK - 14);
        Strands_Draw(r, out, &tips, 120);
        int band = HairExtra_DrawBack(r, s.extra, out);
        if (s.backTipY > 330)
            Streaks_Draw(r, out, s.backTipY);
        return band;
    }
    FrontHair_Path(&p, s, &tips);
    HairPiece_Fill(r, out, &p, CROWN_TOP, 190, HAIR_LIGHT, HAIR_DARK + 6);
    // A soft shadow where the bangs fall over the forehead.
    Raster_SetTarget(r, out->a);
    Raster_ClipAlpha(r, out->a);
    Path shade;
    Path_Clear(&shade);
    Path_Ellipse(&shade, FACE_CX, 200, 78, 62);
    Raster_Fill(r, &shade, Paint_Solid(Grey(HAIR_DARK - 10, 90)));
    Raster_NoClip(r);
    Strands_Draw(r, out, &tips, 90);
    if (s.bangs == BANGS_SWEPT_STRANDS) {
        // Three strands fall back over the free forehead.
        Path q;
        Path_Clear(&q);
        for (int i = 0; i < 3; i++) {
            float x = FACE_CX - 10 + i * 8.0f;
            Path_MoveTo(&q, x, 112);
            Path_CurveTo(&q, x - 14, 130, x - 8 - i * 3, 150, x - 16 + i * 4, 168 + i * 4);
            Path_CurveTo(&q, x - 2 - i * 3, 150, x - 2, 130, x + 8, 112);
        }
        HairPiece_Fill(r, out, &q, 110, 170, HAIR_BASE, HAIR_DARK);
    }
    int band = HairExtra_DrawFront(r, s.extra, out);
    Shine_Draw(r, out, s.bangs >= BANGS_SWEPT ? 96 : 104, 56, 150);
    return band;
}
