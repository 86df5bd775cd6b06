// The four accessories, each in place on the canvas. Images a (bottom) and
// c (top) are recoloured with the accessory's colour; b between them holds
// fixed-colour parts: metal, lace, outlines.
#include <cmath>

#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/parts.h"

#define METAL_LIGHT Rgb(255, 236, 150)
#define METAL_DARK Rgb(190, 140, 40)

// An arc of the ellipse around the head, from angle a0 to a1 (radians).
static void HeadArc_Path(Path *p, float rx, float ry, float cy, float a0, float a1)
{
    Path_Clear(p);
    for (int i = 0; i <= 48; i++) {
        float a = a0 + (a1 - a0) * i / 48;
        float x = FACE_CX + rx * std::cos(a), y = cy + ry * std::sin(a);
        if (i == 0)
            Path_MoveTo(p, x, y);
        else
            Path_LineTo(p, x, y);
    }
}

// A grey-shaded band along the head arc: dark edge, body, a light line.
static void Band_Draw(Raster *r, const Path *arc, float width)
{
    Raster_Line(r, arc, Paint_Solid(Grey(50)), width + 3);
    Raster_Line(r, arc, Paint_Linear(0, 80, Grey(196), 0, 170, Grey(120)), width);
    Raster_Line(r, arc, Paint_Solid(Grey(236, 170)), width * 0.22f);
}

static void Flower_Draw(Raster *r, float x, float y, float size)
{
    Path p;
    Path_Clear(&p);
    for (int k = 0; k < 5; k++) {
        float a = -1.5708f + k * 1.2566f;
        Path_Ellipse(&p, x + 9 * size * std::cos(a), y + 9 * size * std::sin(a), 9 * size, 6.5f * size, a);
    }
    Raster_Fill(r, &p, Paint_Radial(x, y, 18 * size, Grey(150), Grey(215)));
    Raster_Line(r, &p, Paint_Solid(Grey(60)), 1.4f);
    Path_Clear(&p);
    Path_Ellipse(&p, x, y, 4.5f * size, 4.5f * size);
    Raster_Fill(r, &p, Paint_Solid(Grey(90)));
    Raster_Line(r, &p, Paint_Solid(Grey(50)), 1.0f);
}

static void Kanzashi_Draw(Raster *r, const PartImages *out)
{
    const float fx = FACE_CX + 62, fy = 118;
    Path p;
    Raster_SetTarget(r, out->a);
    Path_Clear(&p);
    Path_MoveTo(&p, fx - 40, fy + 26);
    Path_LineTo(&p, fx + 34, fy - 30);
    Raster_Line(r, &p, Paint_Solid(Grey(50)), 7);
    Raster_Line(r, &p, Paint_Linear(fx, fy - 4, Grey(200), fx, fy + 4, Grey(120)), 4.5f);
    // Dangling chains with beads.
    Raster_SetTarget(r, out->b);
    Path_Clear(&p);
    for (int i = 0; i < 3; i++) {
        float x = fx - 8 + i * 8.0f;
        Path_MoveTo(&p, x, fy + 6);
        Path_LineTo(&p, x + 2, fy + 30 + i * 10);
    }
    Raster_Line(r, &p, Paint_Solid(METAL_DARK), 1.4f);
    Path_Clear(&p);
    for (int i = 0; i < 3; i++) {
        float x = fx - 8 + i * 8.0f;
        Path_Ellipse(&p, x + 2, fy + 33 + i * 10, 3.5f, 4.5f);
        Path_Ellipse(&p, x + 1, fy + 20 + i * 5, 2.2f, 2.2f);
    }
    Raster_Fill(r, &p, Paint_Linear(0, fy + 10, METAL_LIGHT, 0, fy + 60, METAL_DARK));
    Raster_Line(r, &p, Paint_Solid(Rgb(120, 80, 20)), 1.0f);
    Raster_SetTarget(r, out->c);
    Flower_Draw(r, fx, fy, 1.0f);
    Flower_Draw(r, fx + 18, fy - 12, 0.6f);
}

static void Catusya_Draw(Raster *r, const PartImages *out)
{
    Path arc, p;
    const float cy = SKULL_CY + 4;
    HeadArc_Path(&arc, 90, 86, cy, 3.28f, 6.14f);
    Raster_SetTarget(r, out->a);
    Band_Draw(r, &arc, 9);
    // White lace along the band's outer edge.
    Raster_SetTarget(r, out->b);
    Path_Clear(&p);
    for (int i = 0; i < 22; i++) {
        float a = 3.36f + (6.06f - 3.36f) * i / 21;
        float x = FACE_CX + 97 * std::cos(a), y = cy + 93 * std::sin(a);
        Path_Ellipse(&p, x, y, 5, 5);
    }
    Raster_Fill(r, &p, Paint_Solid(Rgb(255, 255, 255)));
    Raster_Line(r, &p, Paint_Solid(Rgb(150, 150, 170)), 1.0f);
    // A bow on the left of the band.
    Raster_SetTarget(r, out->c);
    const float bx = FACE_CX - 60, by = 104;
    Path_Clear(&p);
    Path_MoveTo(&p, bx, by);
    Path_CurveTo(&p, bx - 12, by - 22, bx - 30, by - 12, bx - 26, by + 4);
    Path_CurveTo(&p, bx - 22, by + 14, bx - 8, by + 8, bx, by);
    Path_CurveTo(&p, bx + 12, by - 22, bx + 30, by - 12, bx + 26, by + 4);
    Path_CurveTo(&p, bx + 22, by + 14, bx + 8, by + 8, bx, by);
    Raster_Fill(r, &p, Paint_Linear(0, by - 18, Grey(200), 0, by + 12, Grey(118)));
    Raster_Line(r, &p, Paint_Solid(Grey(50)), 1.6f);
    Path_Clear(&p);
    Path_Ellipse(&p, bx, by, 6, 6);
    Raster_Fill(r, &p, Paint_Solid(Grey(140)));
    Raster_Line(r, &p, Paint_Solid(Grey(50)), 1.4f);
}

static void Bonbon_Draw(Raster *r, const PartImages *out)
{
    Path arc, p;
    const float cy = SKULL_CY + 4;
    HeadArc_Path(&arc, 90, 86, cy, 3.28f, 6.14f);
    Raster_SetTarget(r, out->a);
    Band_Draw(r, &arc, 6);
    // Small metal clasps where the balls are tied on.
    Raster_SetTarget(r, out->b);
    Path_Clear(&p);
    Path_Ellipse(&p, FACE_CX - 52, 100, 5, 4);
    Path_Ellipse(&p, FACE_CX + 52, 100, 5, 4);
    Raster_Fill(r, &p, Paint_Linear(0, 96, METAL_LIGHT, 0, 104, METAL_DARK));
    Raster_Line(r, &p, Paint_Solid(Rgb(120, 80, 20)), 1.0f);
    // Two fluffy balls: a ring of small puffs around a round core.
    Raster_SetTarget(r, out->c);
    for (int side = -1; side <= 1; side += 2) {
        float x = FACE_CX + side * 56, y = 84;
        Path_Clear(&p);
        Path_Ellipse(&p, x, y, 18, 18);
        for (int k = 0; k < 12; k++) {
            float a = k * 0.5236f;
            Path_Ellipse(&p, x + 17 * std::cos(a), y + 17 * std::sin(a), 5, 5);
        }
        Raster_Line(r, &p, Paint_Solid(Grey(60)), 2.0f);
        Raster_Fill(r, &p, Paint_Radial(x - 6, y - 7, 30, Grey(228), Grey(118)));
    }
}

static void Wing_Draw(Raster *r, const PartImages *out)
{
    Path wing, p;
    Path_Clear(&wing);
    // Left wing; the right one is its mirror image.
    Path_MoveTo(&wing, FACE_CX - 40, 330);
    Path_CurveTo(&wing, FACE_CX - 90, 250, FACE_CX - 140, 200, FACE_CX - 172, 190);
    Path_CurveTo(&wing, FACE_CX - 170, 240, FACE_CX - 176, 260, FACE_CX - 164, 270);
    Path_CurveTo(&wing, FACE_CX - 178, 300, FACE_CX - 176, 320, FACE_CX - 160, 330);
    Path_CurveTo(&wing, FACE_CX - 170, 360, FACE_CX - 166, 380, FACE_CX - 150, 386);
    Path_CurveTo(&wing, FACE_CX - 154, 414, FACE_CX - 140, 428, FACE_CX - 124, 428);
    Path_CurveTo(&wing, FACE_CX - 100, 420, FACE_CX - 70, 380, FACE_CX - 40, 330);
    Path both;
    Path_Clear(&both);
    Path_AppendMirrored(&both, &wing, FACE_CX);
    for (int i = 0; i < wing.count; i++) {
        if (i == 0)
            Path_MoveTo(&both, wing.pts[i].x, wing.pts[i].y);
        else
            Path_LineTo(&both, wing.pts[i].x, wing.pts[i].y);
    }
    Raster_SetTarget(r, out->a);
    Raster_Fill(r, &both, Paint_Linear(0, 190, Grey(210), 0, 430, Grey(140)));
    // Outline and the edges of the long feathers.
    Raster_SetTarget(r, out->b);
    Raster_Line(r, &both, Paint_Solid(Rgb(70, 70, 100)), 2.2f);
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2) {
        const float tips[][2] = {{164, 270}, {160, 330}, {150, 386}, {130, 420}};
        for (const auto &t : tips) {
            Path_MoveTo(&p, FACE_CX + side * 70, 320);
            Path_QuadTo(&p, FACE_CX + side * (t[0] - 30), t[1] - 30, FACE_CX + side * t[0], t[1]);
        }
    }
    Raster_Stroke(r, &p, Paint_Solid(Rgb(90, 90, 130)), 0.5f, 1.8f, 0.5f);
    // Small covert feathers near the shoulders, recoloured lighter.
    Raster_SetTarget(r, out->c);
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2)
        for (int i = 0; i < 5; i++) {
            float x = FACE_CX + side * (84 + i * 14), y = 276 - i * 12 + i * i * 1.5f;
            Path_Ellipse(&p, x, y + 14, 8, 16, side * 0.5f);
        }
    Raster_Fill(r, &p, Paint_Linear(0, 230, Grey(240), 0, 300, Grey(170)));
    Raster_Line(r, &p, Paint_Solid(Grey(80)), 1.2f);
}

void Accessory_Draw(Raster *r, AccessoryId accessory, const PartImages *out)
{
    switch (accessory) {
    case ACC_KANZASHI: Kanzashi_Draw(r, out); break;
    case ACC_CBONBON: Bonbon_Draw(r, out); break;
    case ACC_CATUSYA: Catusya_Draw(r, out); break;
    case ACC_WING: Wing_Draw(r, out); break;
    default: break;
    }
}
