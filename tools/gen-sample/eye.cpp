// Eyes for every shape and expression. The iris (recoloured) lies at the
// bottom, the white of the eye with a hole for the iris, the lid shadow and
// the lashes above it, the highlights on top; closed eyes are lash lines
// only, and so is the blink frame of an open eye: its lids meet. Each eye is
// drawn in its own frame: u runs from the nose outwards,
// v downwards, so one description serves both eyes.
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/parts.h"

struct EyeGeometry {
    float innerU, innerV, outerU, outerV; // corners
    float top, bottom;                    // lid heights above and below the centre
    float irisRx, irisRy;
    float lashWidth;
};

// How an expression changes the open eye.
struct EyeMood {
    int closed;       // 0 open, 1 smiling arc, 2 squeezed shut with tears
    float open;       // scale of the lid heights
    float innerDrop;  // the upper lid sinks towards the nose (anger) or rises (worry)
    float lowerLift;  // the lower lid rises (laughing, bashful)
    float irisScale;
    float lookX, lookY;
    int tears;        // tears welling up at the lower lid
};

static const EyeGeometry EYE_GEOMETRY[EYE_SHAPE_COUNT] = {
    {-18, 3, 20, -1, -25, 19, 13.5f, 17.5f, 5.0f}, // round
    {-18, 0, 20, 7, -22, 18, 13.0f, 16.5f, 4.5f},  // droopy
    {-17, 4, 22, -9, -19, 15, 11.5f, 15.5f, 5.5f}, // sharp
};

static const EyeMood EYE_MOOD[EXPR_COUNT] = {
    {0, 1.00f, 0, 0, 1.00f, 0, 0, 0},     // sumashi
    {1, 1.00f, 0, 0, 1.00f, 0, 0, 0},     // niko
    {0, 0.92f, -2, 0.45f, 1.00f, 0, -1, 0}, // nikkori
    {0, 0.80f, 2, 0.20f, 0.95f, 5, 3, 0}, // makka: shy glance aside
    {0, 0.95f, -5, 0.05f, 1.00f, 0, 1, 1}, // naki: worried, tears welling
    {2, 1.00f, 0, 0, 1.00f, 0, 0, 0},     // utumuki
    {0, 0.78f, 9, 0.10f, 0.88f, 0, 2, 0}, // ikari
    {0, 1.14f, -3, -0.05f, 0.68f, 0, 0, 0}, // odoroki: small irises in wide eyes
};

struct EyeFrame {
    float cx, cy, side; // side -1: the eye on the viewer's left
};

static float EX(const EyeFrame &f, float u) { return f.cx + f.side * u; }
static float EY(const EyeFrame &f, float v) { return f.cy + v; }

static void Eye_UpperLid(Path *p, const EyeFrame &f, const EyeGeometry &g, const EyeMood &m, int start)
{
    float top = g.top * m.open;
    if (start)
        Path_MoveTo(p, EX(f, g.innerU), EY(f, g.innerV));
    Path_CurveTo(p, EX(f, g.innerU + 3), EY(f, top * 0.9f + m.innerDrop), EX(f, g.outerU - 10), EY(f, top * 1.12f),
                 EX(f, g.outerU), EY(f, g.outerV));
}

static void Eye_LowerLid(Path *p, const EyeFrame &f, const EyeGeometry &g, const EyeMood &m)
{
    float bottom = g.bottom * m.open * (1 - m.lowerLift);
    Path_CurveTo(p, EX(f, g.outerU - 4), EY(f, bottom * 1.05f), EX(f, g.innerU + 6), EY(f, bottom * 1.15f),
                 EX(f, g.innerU), EY(f, g.innerV));
}

static void Eye_Opening(Path *p, const EyeFrame &f, const EyeGeometry &g, const EyeMood &m)
{
    Path_Clear(p);
    Eye_UpperLid(p, f, g, m, 1);
    Eye_LowerLid(p, f, g, m);
}

static void Eye_Iris(Path *p, const EyeFrame &f, const EyeGeometry &g, const EyeMood &m, float scale)
{
    Path_Clear(p);
    Path_Ellipse(p, f.cx + m.lookX, f.cy + 3 + m.lookY, g.irisRx * m.irisScale * scale, g.irisRy * m.irisScale * scale);
}

static void Eye_DrawOpen(Raster *r, const EyeFrame &f, const EyeGeometry &g, const EyeMood &m, const PartImages *out)
{
    Path opening, iris, p;
    Eye_Opening(&opening, f, g, m);
    Eye_Iris(&iris, f, g, m, 1);
    float ix = f.cx + m.lookX, iy = f.cy + 3 + m.lookY;
    float rx = g.irisRx * m.irisScale, ry = g.irisRy * m.irisScale;

    // The iris: dark under the lid, bright below, a dark rim and pupil.
    Raster_SetTarget(r, out->a);
    Raster_ClipPath(r, &opening);
    Raster_Fill(r, &iris, Paint_Linear(0, iy - ry, Grey(58), 0, iy + ry, Grey(205)));
    Raster_ClipPath(r, &iris);
    Path_Clear(&p);
    Path_Ellipse(&p, ix, iy + ry * 0.5f, rx * 0.75f, ry * 0.38f);
    Raster_Fill(r, &p, Paint_Solid(Grey(235, 150)));
    Path_Clear(&p);
    Path_Ellipse(&p, ix, iy + 1, rx * 0.42f, ry * 0.48f);
    Raster_Fill(r, &p, Paint_Linear(0, iy - ry * 0.5f, Grey(18), 0, iy + ry * 0.5f, Grey(60)));
    Raster_NoClip(r);
    Raster_ClipPath(r, &opening);
    Raster_Line(r, &iris, Paint_Solid(Grey(40)), 1.8f);
    Raster_NoClip(r);

    // The white with its hole, the shadow of the lid, the lashes.
    Raster_SetTarget(r, out->b);
    Raster_Fill(r, &opening, Paint_Solid(Rgb(255, 255, 255)));
    Raster_Erase(r, &iris);
    Raster_ClipPath(r, &opening);
    Path_Clear(&p);
    Eye_UpperLid(&p, f, g, m, 1);
    Path_LineTo(&p, EX(f, g.outerU), EY(f, g.outerV + 9));
    Path_CurveTo(&p, EX(f, g.outerU - 10), EY(f, g.top * m.open * 1.12f + 9), EX(f, g.innerU + 3),
                 EY(f, g.top * m.open * 0.9f + m.innerDrop + 9), EX(f, g.innerU), EY(f, g.innerV + 9));
    Raster_Fill(r, &p, Paint_Solid(Rgb(90, 80, 140, 70)));
    Raster_NoClip(r);
    Path_Clear(&p);
    Eye_UpperLid(&p, f, g, m, 1);
    Raster_Stroke(r, &p, Paint_Solid(INK_DARK), 1.6f, g.lashWidth, g.lashWidth * 0.8f);
    // A flick of lashes past the outer corner.
    Path_Clear(&p);
    Path_MoveTo(&p, EX(f, g.outerU - 6), EY(f, g.outerV - 3));
    Path_QuadTo(&p, EX(f, g.outerU + 2), EY(f, g.outerV - 2), EX(f, g.outerU + 6), EY(f, g.outerV - 7));
    Raster_Stroke(r, &p, Paint_Solid(INK_DARK), 3.5f, 2.5f, 0.6f);
    Path_Clear(&p);
    Path_MoveTo(&p, EX(f, g.outerU - 1), EY(f, g.outerV + 1));
    float bottom = g.bottom * m.open * (1 - m.lowerLift);
    Path_CurveTo(&p, EX(f, g.outerU - 4), EY(f, bottom * 1.05f), EX(f, 2), EY(f, bottom * 1.12f), EX(f, -4),
                 EY(f, bottom * 1.1f));
    Raster_Stroke(r, &p, Paint_Solid(Rgb(120, 74, 74)), 2.0f, 1.3f, 0.3f);

    // Highlights: the light comes from the upper left for both eyes.
    Raster_SetTarget(r, out->h);
    Raster_ClipPath(r, &opening);
    float big = m.irisScale < 0.8f ? 3.0f : 4.8f;
    Path_Clear(&p);
    Path_Ellipse(&p, ix - rx * 0.35f, iy - ry * 0.38f, big, big * 1.2f, -0.4f);
    Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255, 245)));
    Path_Clear(&p);
    Path_Ellipse(&p, ix + rx * 0.35f, iy + ry * 0.4f, big * 0.45f, big * 0.45f);
    Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255, 210)));
    if (m.tears) {
        // Wet eyes: extra sparkle and a line of tears on the lower lid.
        Path_Clear(&p);
        Path_Ellipse(&p, ix + rx * 0.1f, iy - ry * 0.05f, 2.2f, 2.2f);
        Path_Ellipse(&p, ix - rx * 0.5f, iy + ry * 0.3f, 1.6f, 1.6f);
        Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255, 230)));
        Raster_NoClip(r);
        Path_Clear(&p);
        Path_MoveTo(&p, EX(f, g.innerU + 4), EY(f, bottom * 1.02f));
        Path_QuadTo(&p, EX(f, 2), EY(f, bottom * 1.25f + 2), EX(f, g.outerU - 3), EY(f, bottom * 0.9f));
        Raster_Stroke(r, &p, Paint_Solid(Rgb(170, 215, 255, 200)), 1.5f, 4.5f, 2.0f);
        Raster_Stroke(r, &p, Paint_Solid(Rgb(255, 255, 255, 220)), 0.3f, 1.4f, 0.3f);
    }
    Raster_NoClip(r);
}

static void Eye_DrawClosed(Raster *r, const EyeFrame &f, const EyeGeometry &g, const EyeMood &m, const PartImages *out)
{
    Path p;
    Path_Clear(&p);
    Raster_SetTarget(r, out->b);
    if (m.closed == 1) {
        // ^ ^: an arch bent upwards.
        Path_MoveTo(&p, EX(f, g.innerU + 1), EY(f, 6));
        Path_CurveTo(&p, EX(f, g.innerU + 8), EY(f, -10), EX(f, g.outerU - 10), EY(f, -12 + g.outerV * 0.3f),
                     EX(f, g.outerU + 1), EY(f, 4 + g.outerV * 0.5f));
        Raster_Stroke(r, &p, Paint_Solid(INK_DARK), 1.8f, g.lashWidth, 2.4f);
        return;
    }
    // Squeezed shut: a lid line bent down with short lashes, and tears.
    Path_MoveTo(&p, EX(f, g.innerU + 2), EY(f, -2));
    Path_CurveTo(&p, EX(f, g.innerU + 10), EY(f, 6), EX(f, g.outerU - 10), EY(f, 6), EX(f, g.outerU + 1),
                 EY(f, -3 + g.outerV * 0.4f));
    Raster_Stroke(r, &p, Paint_Solid(INK_DARK), 2.0f, g.lashWidth, 2.0f);
    Path_Clear(&p);
    for (int i = 0; i < 3; i++) {
        float u = -6 + i * 9.0f;
        Path_MoveTo(&p, EX(f, u), EY(f, 5));
        Path_LineTo(&p, EX(f, u + 1.5f), EY(f, 11));
    }
    Raster_Stroke(r, &p, Paint_Solid(INK_DARK), 1.8f, 1.2f, 0.4f);
    Raster_SetTarget(r, out->h);
    Path_Clear(&p);
    Path_MoveTo(&p, EX(f, 2), EY(f, 8));
    Path_CurveTo(&p, EX(f, 4), EY(f, 22), EX(f, 0), EY(f, 36), EX(f, 3), EY(f, 56));
    Raster_Stroke(r, &p, Paint_Solid(Rgb(150, 205, 255, 190)), 5.5f, 6.5f, 3.0f);
    Raster_Stroke(r, &p, Paint_Solid(Rgb(255, 255, 255, 200)), 1.2f, 1.6f, 0.4f);
}

void Eye_Draw(Raster *r, EyeShape shape, Expression expression, const PartImages *out)
{
    // Drawn a little larger than the table: big eyes carry the expression.
    const float scale = 1.12f;
    EyeGeometry g = EYE_GEOMETRY[shape];
    g.innerU *= scale;
    g.innerV *= scale;
    g.outerU *= scale;
    g.outerV *= scale;
    g.top *= scale;
    g.bottom *= scale;
    g.irisRx *= scale;
    g.irisRy *= scale;
    const EyeMood &m = EYE_MOOD[expression];
    for (int side = -1; side <= 1; side += 2) {
        EyeFrame f = {FACE_CX + side * EYE_DX, EYE_Y, (float)side};
        if (m.closed)
            Eye_DrawClosed(r, f, g, m, out);
        else
            Eye_DrawOpen(r, f, g, m, out);
    }
}

// The lids meeting a little below the centre, the lashes drawn down with
// them, so that the blink reads as the same eye for an instant.
static void Eye_DrawShut(Raster *r, const EyeFrame &f, const EyeGeometry &g, const EyeMood &m, const PartImages *out)
{
    float bottom = g.bottom * m.open * (1 - m.lowerLift);
    float sag = bottom * 0.35f;
    Path p;
    Path_Clear(&p);
    Raster_SetTarget(r, out->b);
    Path_MoveTo(&p, EX(f, g.innerU), EY(f, g.innerV));
    Path_CurveTo(&p, EX(f, g.innerU + 8), EY(f, sag + m.innerDrop * 0.3f), EX(f, g.outerU - 10), EY(f, sag),
                 EX(f, g.outerU), EY(f, g.outerV));
    Raster_Stroke(r, &p, Paint_Solid(INK_DARK), 1.6f, g.lashWidth, g.lashWidth * 0.8f);
    Path_Clear(&p);
    Path_MoveTo(&p, EX(f, g.outerU - 6), EY(f, g.outerV + 1));
    Path_QuadTo(&p, EX(f, g.outerU + 2), EY(f, g.outerV + 3), EX(f, g.outerU + 6), EY(f, g.outerV + 6));
    Raster_Stroke(r, &p, Paint_Solid(INK_DARK), 3.0f, 2.0f, 0.6f);
}

int Eye_DrawBlink(Raster *r, EyeShape shape, Expression expression, const PartImages *out)
{
    const EyeMood &m = EYE_MOOD[expression];
    if (m.closed)
        return 0;
    const float scale = 1.12f;  // as Eye_Draw
    EyeGeometry g = EYE_GEOMETRY[shape];
    g.innerU *= scale;
    g.innerV *= scale;
    g.outerU *= scale;
    g.outerV *= scale;
    g.top *= scale;
    g.bottom *= scale;
    for (int side = -1; side <= 1; side += 2) {
        EyeFrame f = {FACE_CX + side * EYE_DX, EYE_Y, (float)side};
        Eye_DrawShut(r, f, g, m, out);
    }
    return 1;
}
