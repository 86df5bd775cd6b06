// Mouths. The lip line is recoloured (image a); an open mouth's inside and
// tongue are fixed colours below it (b); teeth and fangs lie on top (h).
// The cat mouth differs from the small one by its w-shaped upper line and
// a fang. The talking frame opens a shut mouth into a small round one and
// half closes an open one, so that every expression moves when it speaks.
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/parts.h"

enum MouthOpening { SHUT, LAUGH, WAIL, ROUND, TEETH };

struct MouthMood {
    MouthOpening open;
    float halfWidth;
    float curve;  // shut mouths: > 0 smiles, < 0 frowns
    float depth;  // open mouths: how far the opening reaches down
    int wavy;     // a wobbling line (embarrassed)
    int fang;     // the cat mouth shows a fang
};

static const MouthMood MOUTH_MOOD[EXPR_COUNT] = {
    {SHUT, 7, 2.5f, 0, 0, 0},   // sumashi
    {SHUT, 12, 5, 0, 0, 0},     // niko
    {LAUGH, 12, 0, 16, 0, 1},   // nikkori
    {SHUT, 7, 1, 0, 1, 1},      // makka
    {SHUT, 9, -1.5f, 0, 0, 0},  // naki
    {WAIL, 11, 0, 14, 0, 0},    // utumuki
    {TEETH, 11, 0, 9, 0, 1},    // ikari
    {ROUND, 6, 0, 9, 0, 0},     // odoroki
};

const float MX = FACE_CX, MY = MOUTH_Y;

// The upper line from left to right: a curve, or a w for the cat.
static void Mouth_TopLine(Path *p, MouthShape shape, float left, float right, float y, float curve, int start)
{
    if (start)
        Path_MoveTo(p, left, y);
    if (shape == MOUTH_CAT) {
        float mid = (left + right) / 2;
        Path_QuadTo(p, (left + mid) / 2, y + 4 + curve, mid, y - 1);
        Path_QuadTo(p, (mid + right) / 2, y + 4 + curve, right, y);
    } else {
        Path_QuadTo(p, (left + right) / 2, y + curve, right, y);
    }
}

static void Mouth_Shut(Raster *r, MouthShape shape, const MouthMood &m, const PartImages *out)
{
    Path p;
    Path_Clear(&p);
    float w = m.halfWidth;
    if (m.wavy) {
        Path_MoveTo(&p, MX - w, MY + 1);
        Path_QuadTo(&p, MX - w / 2, MY - 4, MX, MY);
        Path_QuadTo(&p, MX + w / 2, MY + 4, MX + w, MY - 1);
    } else if (m.curve < 0) {
        Path_MoveTo(&p, MX - w, MY + 2);
        Path_QuadTo(&p, MX, MY - 2 + m.curve, MX + w, MY - 1);
    } else {
        Mouth_TopLine(&p, shape, MX - w, MX + w, MY - m.curve * 0.4f, m.curve * 1.4f, 1);
    }
    Raster_SetTarget(r, out->a);
    Raster_Stroke(r, &p, Paint_Solid(Grey(92)), 0.8f, 2.4f, 0.8f);
    // A hint of the lower lip.
    Raster_SetTarget(r, out->b);
    Path_Clear(&p);
    Path_MoveTo(&p, MX - w * 0.35f, MY + 5 + m.curve * 0.5f);
    Path_QuadTo(&p, MX, MY + 7 + m.curve * 0.6f, MX + w * 0.35f, MY + 5 + m.curve * 0.5f);
    Raster_Stroke(r, &p, Paint_Solid(Rgb(230, 150, 145, 150)), 0.3f, 1.8f, 0.3f);
    if (shape == MOUTH_CAT && m.fang) {
        Raster_SetTarget(r, out->h);
        Path_Clear(&p);
        Path_MoveTo(&p, MX + w * 0.3f, MY + 1);
        Path_LineTo(&p, MX + w * 0.3f + 4, MY + 1);
        Path_LineTo(&p, MX + w * 0.3f + 1.5f, MY + 6);
        Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255)));
        Raster_Line(r, &p, Paint_Solid(Rgb(120, 60, 70)), 0.9f);
    }
}

static void Mouth_OpeningPath(Path *p, MouthShape shape, const MouthMood &m)
{
    float w = m.halfWidth, h = m.depth;
    Path_Clear(p);
    switch (m.open) {
    case LAUGH:
        Mouth_TopLine(p, shape, MX - w, MX + w, MY - 3, 2, 1);
        Path_CurveTo(p, MX + w * 0.8f, MY + h, MX - w * 0.8f, MY + h, MX - w, MY - 3);
        break;
    case WAIL:
        Path_MoveTo(p, MX - w * 0.8f, MY + 1);
        Path_QuadTo(p, MX, MY - 6, MX + w * 0.8f, MY + 1);
        Path_CurveTo(p, MX + w * 1.15f, MY + h, MX - w * 1.15f, MY + h, MX - w * 0.8f, MY + 1);
        break;
    case TEETH:
        Path_MoveTo(p, MX - w, MY + 1);
        Path_QuadTo(p, MX, MY - 5, MX + w, MY + 1);
        Path_LineTo(p, MX + w * 0.8f, MY + h);
        Path_QuadTo(p, MX, MY + h - 3, MX - w * 0.8f, MY + h);
        break;
    default:
        Path_Ellipse(p, MX, MY + 2, w, h);
        break;
    }
}

static void Mouth_Open(Raster *r, MouthShape shape, const MouthMood &m, const PartImages *out)
{
    Path opening, p;
    Mouth_OpeningPath(&opening, shape, m);
    float w = m.halfWidth, h = m.depth;

    Raster_SetTarget(r, out->b);
    Raster_Fill(r, &opening, Paint_Linear(0, MY - 4, Rgb(110, 24, 40), 0, MY + h, Rgb(150, 40, 55)));
    Raster_ClipPath(r, &opening);
    Path_Clear(&p);
    Path_Ellipse(&p, MX + (m.open == ROUND ? 0 : 2), MY + h * 0.85f, w * 0.62f, h * 0.45f);
    Raster_Fill(r, &p, Paint_Solid(Rgb(240, 118, 126)));
    Raster_NoClip(r);

    Raster_SetTarget(r, out->h);
    Raster_ClipPath(r, &opening);
    if (m.open == TEETH) {
        Raster_Fill(r, &opening, Paint_Solid(Rgb(255, 255, 255)));
        Path_Clear(&p);
        Path_MoveTo(&p, MX - w, MY + h * 0.45f);
        Path_QuadTo(&p, MX, MY + h * 0.35f, MX + w, MY + h * 0.45f);
        Raster_Line(r, &p, Paint_Solid(Rgb(170, 160, 175)), 1.2f);
    } else if (m.open == LAUGH) {
        Path_Clear(&p);
        Mouth_TopLine(&p, shape, MX - w, MX + w, MY - 3, 2, 1);
        Path_LineTo(&p, MX + w, MY + 1);
        Path_LineTo(&p, MX - w, MY + 1);
        Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255)));
    }
    Raster_NoClip(r);
    if (shape == MOUTH_CAT && m.fang && m.open != TEETH) {
        Path_Clear(&p);
        Path_MoveTo(&p, MX + w * 0.35f, MY - 1);
        Path_LineTo(&p, MX + w * 0.35f + 4.5f, MY - 1);
        Path_LineTo(&p, MX + w * 0.35f + 2, MY + 5);
        Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255)));
    }

    Raster_SetTarget(r, out->a);
    Raster_Line(r, &opening, Paint_Solid(Grey(92)), 1.9f);
    if (shape == MOUTH_CAT && m.open != LAUGH) {
        // The cat keeps its w above any opening.
        Path_Clear(&p);
        Mouth_TopLine(&p, shape, MX - w - 2, MX + w + 2, MY - 5, 0, 1);
        Raster_Stroke(r, &p, Paint_Solid(Grey(92)), 0.6f, 1.8f, 0.6f);
    }
}

void Mouth_Draw(Raster *r, MouthShape shape, Expression expression, const PartImages *out)
{
    const MouthMood &m = MOUTH_MOOD[expression];
    if (m.open == SHUT)
        Mouth_Shut(r, shape, m, out);
    else
        Mouth_Open(r, shape, m, out);
}

void Mouth_DrawTalk(Raster *r, MouthShape shape, Expression expression, const PartImages *out)
{
    MouthMood m = MOUTH_MOOD[expression];
    if (m.open == SHUT) {
        m.open = ROUND;
        m.halfWidth *= 0.6f;
        m.depth = 5.5f;
    } else {
        m.depth *= 0.5f;
    }
    Mouth_Open(r, shape, m, out);
}
