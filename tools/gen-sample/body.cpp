// The body: head, ears, neck, shoulders and arms in full colour skin with
// soft shading and outlines. The face itself stays empty (eyes, brows, mouth
// and cheeks are separate parts); only the nose belongs to the body.
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/parts.h"

#define SKIN Rgb(255, 232, 218)
#define SKIN_SHADE Rgb(244, 200, 186)

static void Torso_Path(Path *p)
{
    Path_Clear(p);
    Path_MoveTo(p, FACE_CX, 236);
    Path_LineTo(p, FACE_CX - NECK_HALF, 236);
    Path_LineTo(p, FACE_CX - NECK_HALF, 286);
    Path_CurveTo(p, FACE_CX - NECK_HALF - 2, 302, FACE_CX - 48, 310, FACE_CX - 72, 318);
    Path_CurveTo(p, FACE_CX - SHOULDER_DX - 4, 324, FACE_CX - 114, 340, FACE_CX - 116, 372);
    Path_CurveTo(p, FACE_CX - 120, 410, FACE_CX - 122, 450, FACE_CX - 124, CANVAS_H + 2);
    Path_LineTo(p, FACE_CX, CANVAS_H + 2);
    Path_MirrorClose(p, FACE_CX);
}

static void Head_Path(Path *p)
{
    const float top = SKULL_CY - SKULL_RY, side = FACE_CX - SKULL_RX;
    Path_Clear(p);
    Path_MoveTo(p, FACE_CX, top);
    Path_CurveTo(p, FACE_CX - SKULL_RX * 0.56f, top, side, SKULL_CY - SKULL_RY * 0.55f, side, SKULL_CY);
    Path_CurveTo(p, side, 196, side + 1, 214, side + 7, 232);
    Path_CurveTo(p, side + 16, 252, FACE_CX - 22, CHIN_Y - 2, FACE_CX, CHIN_Y);
    Path_MirrorClose(p, FACE_CX);
}

static void Ears_Draw(Raster *r)
{
    Path p;
    Path_Clear(&p);
    Path_Ellipse(&p, FACE_CX - SKULL_RX + 1, EYE_Y + 2, 9, 16, -0.15f);
    Path_Ellipse(&p, FACE_CX + SKULL_RX - 1, EYE_Y + 2, 9, 16, 0.15f);
    Raster_Fill(r, &p, Paint_Solid(SKIN));
    Raster_Line(r, &p, Paint_Solid(INK_SKIN), 1.8f);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX - SKULL_RX - 2, EYE_Y - 6);
    Path_QuadTo(&p, FACE_CX - SKULL_RX - 6, EYE_Y + 4, FACE_CX - SKULL_RX, EYE_Y + 12);
    Path_MoveTo(&p, FACE_CX + SKULL_RX + 2, EYE_Y - 6);
    Path_QuadTo(&p, FACE_CX + SKULL_RX + 6, EYE_Y + 4, FACE_CX + SKULL_RX, EYE_Y + 12);
    Raster_Stroke(r, &p, Paint_Solid(SKIN_SHADE), 1, 3, 1);
}

static void Camisole_Draw(Raster *r)
{
    Path p;
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 352);
    Path_QuadTo(&p, FACE_CX - 40, 344, FACE_CX - 66, 360);
    Path_CurveTo(&p, FACE_CX - 70, 400, FACE_CX - 68, 440, FACE_CX - 70, CANVAS_H + 2);
    Path_LineTo(&p, FACE_CX, CANVAS_H + 2);
    Path_MirrorClose(&p, FACE_CX);
    Raster_Fill(r, &p, Paint_Linear(0, 350, Rgb(250, 250, 252), 0, 480, Rgb(222, 224, 236)));
    Raster_Line(r, &p, Paint_Solid(Rgb(150, 150, 170)), 1.6f);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX - 44, 310);
    Path_LineTo(&p, FACE_CX - 52, 356);
    Path_MoveTo(&p, FACE_CX + 44, 310);
    Path_LineTo(&p, FACE_CX + 52, 356);
    Raster_Line(r, &p, Paint_Solid(Rgb(150, 150, 170)), 5.5f);
    Raster_Line(r, &p, Paint_Solid(Rgb(246, 246, 250)), 3.2f);
}

void Body_Draw(Raster *r, DIB *image, int withCamisole)
{
    Raster_SetTarget(r, image);
    Path p;
    Torso_Path(&p);
    Raster_Fill(r, &p, Paint_Linear(0, 300, SKIN, 0, 480, Rgb(250, 220, 204)));
    Raster_Line(r, &p, Paint_Solid(INK_SKIN), 2.2f);

    // Shadow of the head on the neck, and the inner line of each arm.
    Raster_ClipPath(r, &p);
    Path s;
    Path_Clear(&s);
    Path_MoveTo(&s, FACE_CX, 240);
    Path_LineTo(&s, FACE_CX - NECK_HALF - 4, 240);
    Path_LineTo(&s, FACE_CX - NECK_HALF - 4, 266);
    Path_QuadTo(&s, FACE_CX - 8, 294, FACE_CX, 292);
    Path_MirrorClose(&s, FACE_CX);
    Raster_Fill(r, &s, Paint_Solid(SKIN_SHADE));
    Raster_NoClip(r);
    Path_Clear(&s);
    Path_MoveTo(&s, FACE_CX - ARMPIT_DX + 2, ARMPIT_Y - 20);
    Path_QuadTo(&s, FACE_CX - ARMPIT_DX - 2, 440, FACE_CX - ARMPIT_DX + 2, CANVAS_H + 4);
    Path_MoveTo(&s, FACE_CX + ARMPIT_DX - 2, ARMPIT_Y - 20);
    Path_QuadTo(&s, FACE_CX + ARMPIT_DX + 2, 440, FACE_CX + ARMPIT_DX - 2, CANVAS_H + 4);
    Raster_Stroke(r, &s, Paint_Solid(INK_SKIN), 0.5f, 1.8f, 2);
    // Collarbones.
    Path_Clear(&s);
    Path_MoveTo(&s, FACE_CX - 8, 318);
    Path_QuadTo(&s, FACE_CX - 24, 312, FACE_CX - 44, 318);
    Path_MoveTo(&s, FACE_CX + 8, 318);
    Path_QuadTo(&s, FACE_CX + 24, 312, FACE_CX + 44, 318);
    Raster_Stroke(r, &s, Paint_Solid(SKIN_SHADE), 0.5f, 2.2f, 0.5f);

    Ears_Draw(r);
    Head_Path(&p);
    Raster_Fill(r, &p, Paint_Radial(FACE_CX, 190, 110, SKIN, Rgb(252, 222, 206)));
    Raster_Line(r, &p, Paint_Solid(INK_SKIN), 2.0f);

    // A small nose: a shadow stroke and its tip.
    Path_Clear(&s);
    Path_MoveTo(&s, FACE_CX + 1, NOSE_Y - 8);
    Path_QuadTo(&s, FACE_CX + 4, NOSE_Y - 1, FACE_CX, NOSE_Y + 2);
    Raster_Stroke(r, &s, Paint_Solid(Rgb(228, 170, 158)), 0.5f, 2.2f, 1.4f);

    if (withCamisole)
        Camisole_Draw(r);
}
