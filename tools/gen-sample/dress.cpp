// The four dresses. Image a is the recoloured fabric, b the fixed-colour
// details (apron, blouse, shirt and tie, sash), c the dark outline of the
// whole garment, lying at the bottom so that only its outer half shows.
// Details that sit on top of the fabric are cut out of image a, because the
// program draws a above b.
#include <cmath>

#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/parts.h"

enum Sleeve { SLEEVE_PUFF, SLEEVE_LONG, SLEEVE_WIDE };

// The garment's outline, left half mirrored: neckline (a V to `neckY`, or a
// round neck when `round`), shoulders, sleeves, and the torso to the bottom.
static void Garment_Path(Path *p, float neckY, int round, Sleeve sleeve)
{
    Path_Clear(p);
    Path_MoveTo(p, FACE_CX, neckY);
    if (round)
        Path_QuadTo(p, FACE_CX - 22, neckY, FACE_CX - 22, 297);
    else
        Path_LineTo(p, FACE_CX - 20, 295);
    Path_CurveTo(p, FACE_CX - 34, 306, FACE_CX - 52, 310, FACE_CX - 74, 315);
    switch (sleeve) {
    case SLEEVE_PUFF:
        Path_CurveTo(p, FACE_CX - 108, 318, FACE_CX - 128, 346, FACE_CX - 122, 382);
        Path_QuadTo(p, FACE_CX - 116, 400, FACE_CX - 96, 398);
        Path_QuadTo(p, FACE_CX - 80, 398, FACE_CX - 72, 388);
        Path_CurveTo(p, FACE_CX - 70, 420, FACE_CX - 68, 450, FACE_CX - 68, CANVAS_H + 2);
        break;
    case SLEEVE_LONG:
        Path_CurveTo(p, FACE_CX - 100, 321, FACE_CX - 119, 338, FACE_CX - 120, 372);
        Path_CurveTo(p, FACE_CX - 124, 410, FACE_CX - 126, 450, FACE_CX - 128, CANVAS_H + 2);
        break;
    case SLEEVE_WIDE:
        Path_CurveTo(p, FACE_CX - 100, 321, FACE_CX - 120, 338, FACE_CX - 124, 372);
        Path_CurveTo(p, FACE_CX - 134, 410, FACE_CX - 142, 450, FACE_CX - 150, CANVAS_H + 2);
        break;
    }
    Path_LineTo(p, FACE_CX, CANVAS_H + 2);
    Path_MirrorClose(p, FACE_CX);
}

// Outline (c) and shaded fabric (a) of a garment.
static void Garment_Draw(Raster *r, const PartImages *out, const Path *p)
{
    Raster_SetTarget(r, out->c);
    Raster_Line(r, p, Paint_Solid(INK_DARK), 3.6f);
    Raster_SetTarget(r, out->a);
    Raster_Fill(r, p, Paint_Linear(0, 300, Grey(168), 0, 480, Grey(128)));
}

// Soft folds: dark strokes inside the fabric.
static void Folds_Draw(Raster *r, const PartImages *out, const float (*folds)[6], int count)
{
    Raster_SetTarget(r, out->a);
    Raster_ClipAlpha(r, out->a);
    Path p;
    Path_Clear(&p);
    for (int i = 0; i < count; i++) {
        const float *f = folds[i];
        for (int side = -1; side <= 1; side += 2) {
            Path_MoveTo(&p, FACE_CX + side * f[0], f[1]);
            Path_QuadTo(&p, FACE_CX + side * f[2], f[3], FACE_CX + side * f[4], f[5]);
        }
    }
    Raster_Stroke(r, &p, Paint_Solid(Grey(96, 210)), 0.4f, 2.4f, 0.4f);
    Raster_NoClip(r);
}

// Details drawn into `details` (a scratch image) go onto b and out of a.
static void Details_Apply(Raster *r, const PartImages *out, DIB *details)
{
    Raster_SetTarget(r, out->a);
    Raster_EraseByAlpha(r, details);
    DIBA24_BltDIBA24(out->b, nullptr, details);
}

static void Detail_Fill(Raster *r, const Path *p, Rgba light, Rgba dark, float top, float bottom)
{
    Raster_Fill(r, p, Paint_Linear(0, top, light, 0, bottom, dark));
    Raster_Line(r, p, Paint_Solid(INK_DARK), 1.6f);
}

static void Waitress_Draw(Raster *r, const PartImages *out, DIB *details)
{
    Path p;
    Garment_Path(&p, 318, 1, SLEEVE_PUFF);
    Garment_Draw(r, out, &p);
    static const float folds[][6] = {{44, 320, 70, 350, 92, 380}, {40, 400, 42, 440, 46, 478}};
    Folds_Draw(r, out, folds, 2);

    Raster_SetTarget(r, details);
    const Rgba white = Rgb(255, 255, 255), shade = Rgb(214, 218, 236);
    // Apron: bib, straps with frills, and the skirt part below the waist.
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 358);
    Path_LineTo(&p, FACE_CX - 30, 358);
    Path_QuadTo(&p, FACE_CX - 34, 400, FACE_CX - 30, 428);
    Path_QuadTo(&p, FACE_CX - 50, 450, FACE_CX - 56, CANVAS_H + 2);
    Path_LineTo(&p, FACE_CX, CANVAS_H + 2);
    Path_MirrorClose(&p, FACE_CX);
    Detail_Fill(r, &p, white, shade, 358, 480);
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 6; i++) {
            float t = i / 5.0f;
            float x = FACE_CX + side * (30 + t * 26), y = 358 - t * 44;
            Path_Ellipse(&p, x + side * 5, y, 7, 5, side * 0.9f);
        }
    }
    Detail_Fill(r, &p, white, shade, 310, 360);
    // Round collar and a black bow.
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 318);
    Path_QuadTo(&p, FACE_CX - 22, 318, FACE_CX - 24, 296);
    Path_CurveTo(&p, FACE_CX - 38, 304, FACE_CX - 42, 328, FACE_CX - 20, 334);
    Path_QuadTo(&p, FACE_CX - 6, 336, FACE_CX, 326);
    Path_MirrorClose(&p, FACE_CX);
    Detail_Fill(r, &p, white, shade, 296, 336);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 325);
    Path_LineTo(&p, FACE_CX - 17, 315);
    Path_LineTo(&p, FACE_CX - 15, 337);
    Path_LineTo(&p, FACE_CX, 329);
    Path_MirrorClose(&p, FACE_CX);
    Path_Ellipse(&p, FACE_CX, 327, 4.5f, 5);
    Detail_Fill(r, &p, Rgb(70, 60, 80), Rgb(30, 24, 36), 316, 338);
    // Cuffs on the puffed sleeves.
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2) {
        Path_MoveTo(&p, FACE_CX + side * 122, 380);
        Path_QuadTo(&p, FACE_CX + side * 100, 392, FACE_CX + side * 72, 386);
        Path_LineTo(&p, FACE_CX + side * 72, 394);
        Path_QuadTo(&p, FACE_CX + side * 100, 404, FACE_CX + side * 118, 392);
        Path_Close(&p);
    }
    Detail_Fill(r, &p, white, shade, 380, 404);
    Details_Apply(r, out, details);
}

static void Sailor_Draw(Raster *r, const PartImages *out, DIB *details)
{
    Path body, collar, p;
    Garment_Path(&body, 330, 0, SLEEVE_LONG);
    Raster_SetTarget(r, out->c);
    Raster_Line(r, &body, Paint_Solid(INK_DARK), 3.6f);
    // The blouse is white (fixed); the big collar is the recoloured part.
    Raster_SetTarget(r, out->b);
    Raster_Fill(r, &body, Paint_Linear(0, 300, Rgb(255, 255, 255), 0, 480, Rgb(216, 222, 240)));
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2) {
        Path_MoveTo(&p, FACE_CX + side * 58, 400);
        Path_QuadTo(&p, FACE_CX + side * 60, 440, FACE_CX + side * 56, 478);
        Path_MoveTo(&p, FACE_CX + side * 118, 380);
        Path_QuadTo(&p, FACE_CX + side * 110, 430, FACE_CX + side * 112, 478);
    }
    Raster_Stroke(r, &p, Paint_Solid(Rgb(170, 176, 206)), 0.4f, 2.2f, 0.4f);

    Path_Clear(&collar);
    Path_MoveTo(&collar, FACE_CX, 384);
    Path_LineTo(&collar, FACE_CX - 20, 295);
    Path_CurveTo(&collar, FACE_CX - 40, 308, FACE_CX - 62, 312, FACE_CX - 84, 318);
    Path_QuadTo(&collar, FACE_CX - 90, 338, FACE_CX - 84, 352);
    Path_LineTo(&collar, FACE_CX - 8, 398);
    Path_LineTo(&collar, FACE_CX, 398);
    Path_MirrorClose(&collar, FACE_CX);
    Raster_SetTarget(r, out->a);
    Raster_Fill(r, &collar, Paint_Linear(0, 295, Grey(170), 0, 398, Grey(126)));
    Raster_Line(r, &collar, Paint_Solid(Grey(60)), 1.6f);
    // Two light stripes along the collar's edge.
    Raster_ClipPath(r, &collar);
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2)
        for (int k = 0; k < 2; k++) {
            float in = 7 + k * 6;
            Path_MoveTo(&p, FACE_CX + side * (84 - in), 318 + in * 0.3f);
            Path_QuadTo(&p, FACE_CX + side * (90 - in), 338, FACE_CX + side * (84 - in), 352 - in * 0.5f);
            Path_LineTo(&p, FACE_CX + side * 8, 398 - in * 1.4f);
        }
    Raster_Line(r, &p, Paint_Solid(Grey(238)), 2.2f);
    Raster_NoClip(r);

    // The scarf knot and its ends, red, on top of the collar.
    Raster_SetTarget(r, details);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 372);
    Path_LineTo(&p, FACE_CX - 26, 360);
    Path_LineTo(&p, FACE_CX - 22, 386);
    Path_MoveTo(&p, FACE_CX - 4, 380);
    Path_LineTo(&p, FACE_CX - 20, 432);
    Path_LineTo(&p, FACE_CX - 6, 428);
    Path_LineTo(&p, FACE_CX + 2, 382);
    Path_MoveTo(&p, FACE_CX + 4, 380);
    Path_LineTo(&p, FACE_CX + 16, 430);
    Path_LineTo(&p, FACE_CX + 4, 434);
    Path_LineTo(&p, FACE_CX - 2, 382);
    Path_MoveTo(&p, FACE_CX, 372);
    Path_LineTo(&p, FACE_CX + 26, 360);
    Path_LineTo(&p, FACE_CX + 22, 386);
    Path_Ellipse(&p, FACE_CX, 374, 8, 9);
    Detail_Fill(r, &p, Rgb(236, 70, 84), Rgb(170, 30, 52), 360, 434);
    Details_Apply(r, out, details);
}

static void Blazer_Draw(Raster *r, const PartImages *out, DIB *details)
{
    Path p;
    // Shirt and tie first (fixed colours, under the jacket).
    Raster_SetTarget(r, out->b);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 300);
    Path_LineTo(&p, FACE_CX - 22, 290);
    Path_LineTo(&p, FACE_CX - 40, 330);
    Path_LineTo(&p, FACE_CX - 10, 460);
    Path_LineTo(&p, FACE_CX, 460);
    Path_MirrorClose(&p, FACE_CX);
    Detail_Fill(r, &p, Rgb(255, 255, 255), Rgb(220, 224, 238), 290, 460);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 306);
    Path_LineTo(&p, FACE_CX - 22, 290);
    Path_LineTo(&p, FACE_CX - 16, 318);
    Path_MirrorClose(&p, FACE_CX);
    Detail_Fill(r, &p, Rgb(255, 255, 255), Rgb(226, 230, 242), 290, 318);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 308);
    Path_LineTo(&p, FACE_CX - 7, 310);
    Path_LineTo(&p, FACE_CX - 5, 322);
    Path_LineTo(&p, FACE_CX - 10, 410);
    Path_LineTo(&p, FACE_CX, 424);
    Path_MirrorClose(&p, FACE_CX);
    Detail_Fill(r, &p, Rgb(150, 30, 48), Rgb(110, 20, 36), 308, 424);
    Raster_ClipPath(r, &p);
    Path_Clear(&p);
    for (int i = 0; i < 6; i++) {
        Path_MoveTo(&p, FACE_CX - 12, 330 + i * 16);
        Path_LineTo(&p, FACE_CX + 12, 318 + i * 16);
    }
    Raster_Line(r, &p, Paint_Solid(Rgb(230, 190, 90)), 3);
    Raster_NoClip(r);

    // The jacket with a deep V, lapels drawn as lines.
    Path jacket;
    Path_Clear(&jacket);
    Path_MoveTo(&jacket, FACE_CX, 446);
    Path_LineTo(&jacket, FACE_CX - 28, 330);
    Path_LineTo(&jacket, FACE_CX - 24, 296);
    Path_CurveTo(&jacket, FACE_CX - 36, 306, FACE_CX - 52, 310, FACE_CX - 74, 315);
    Path_CurveTo(&jacket, FACE_CX - 100, 321, FACE_CX - 119, 338, FACE_CX - 120, 372);
    Path_CurveTo(&jacket, FACE_CX - 124, 410, FACE_CX - 126, 450, FACE_CX - 128, CANVAS_H + 2);
    Path_LineTo(&jacket, FACE_CX, CANVAS_H + 2);
    Path_MirrorClose(&jacket, FACE_CX);
    Garment_Draw(r, out, &jacket);
    Raster_SetTarget(r, out->a);
    Raster_Line(r, &jacket, Paint_Solid(Grey(64)), 1.4f);
    Raster_ClipAlpha(r, out->a);
    Path_Clear(&p);
    for (int side = -1; side <= 1; side += 2) {
        Path_MoveTo(&p, FACE_CX + side * 24, 296);
        Path_LineTo(&p, FACE_CX + side * 44, 344);
        Path_LineTo(&p, FACE_CX + side * 30, 352);
        Path_LineTo(&p, FACE_CX + side * 6, 440);
    }
    Raster_Line(r, &p, Paint_Solid(Grey(84)), 1.8f);
    static const float folds[][6] = {{60, 330, 78, 380, 84, 470}, {112, 380, 108, 420, 112, 476}};
    Raster_NoClip(r);
    Folds_Draw(r, out, folds, 2);

    // Buttons and the crest on the breast pocket sit on the jacket.
    Raster_SetTarget(r, details);
    Path_Clear(&p);
    Path_Ellipse(&p, FACE_CX + 10, 456, 4.5f, 4.5f);
    Path_Ellipse(&p, FACE_CX + 10, 474, 4.5f, 4.5f);
    Detail_Fill(r, &p, Rgb(255, 226, 130), Rgb(196, 150, 40), 450, 478);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX + 58, 372);
    Path_LineTo(&p, FACE_CX + 76, 372);
    Path_LineTo(&p, FACE_CX + 76, 386);
    Path_QuadTo(&p, FACE_CX + 76, 394, FACE_CX + 67, 398);
    Path_QuadTo(&p, FACE_CX + 58, 394, FACE_CX + 58, 386);
    Path_Close(&p);
    Detail_Fill(r, &p, Rgb(255, 226, 130), Rgb(196, 150, 40), 372, 398);
    Details_Apply(r, out, details);
}

// A pattern of small five-petal flowers over the fabric, lighter than the
// base so the tint shows them as a paler shade of the same colour.
static void Flowers_Draw(Raster *r, const PartImages *out)
{
    static const float spots[][2] = {{-96, 360}, {-60, 420}, {-110, 452}, {-40, 340}, {-20, 470}, {36, 362},
                                     {74, 410},  {108, 350}, {96, 466},   {20, 420},  {-84, 398}, {122, 420}};
    Raster_SetTarget(r, out->a);
    Raster_ClipAlpha(r, out->a);
    Path p;
    Path_Clear(&p);
    for (const auto &s : spots)
        for (int k = 0; k < 5; k++) {
            float a = k * 1.2566f + s[1] * 0.01f;
            Path_Ellipse(&p, FACE_CX + s[0] + 6 * std::cos(a), s[1] + 6 * std::sin(a), 4.2f, 2.6f, a);
        }
    Raster_Fill(r, &p, Paint_Solid(Grey(222)));
    Path_Clear(&p);
    for (const auto &s : spots)
        Path_Ellipse(&p, FACE_CX + s[0], s[1], 2.2f, 2.2f);
    Raster_Fill(r, &p, Paint_Solid(Grey(100)));
    Raster_NoClip(r);
}

static void Yukata_Draw(Raster *r, const PartImages *out, DIB *details)
{
    Path p;
    Garment_Path(&p, 352, 0, SLEEVE_WIDE);
    Garment_Draw(r, out, &p);
    Flowers_Draw(r, out);
    // The collar band runs down both edges of the V and on across the chest:
    // the left panel overlaps the right.
    Raster_SetTarget(r, out->a);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX - 20, 296);
    Path_LineTo(&p, FACE_CX, 352);
    Path_LineTo(&p, FACE_CX + 30, 420);
    Path_MoveTo(&p, FACE_CX + 20, 296);
    Path_LineTo(&p, FACE_CX, 352);
    Raster_Line(r, &p, Paint_Solid(Grey(70)), 9);
    Raster_Line(r, &p, Paint_Solid(Grey(112)), 6);
    static const float folds[][6] = {{120, 380, 130, 430, 136, 476}, {84, 330, 100, 360, 108, 392}};
    Folds_Draw(r, out, folds, 2);
    // White under-collar showing in the V (under the fabric).
    Raster_SetTarget(r, out->b);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 356);
    Path_LineTo(&p, FACE_CX - 26, 292);
    Path_LineTo(&p, FACE_CX - 16, 292);
    Path_LineTo(&p, FACE_CX, 334);
    Path_MirrorClose(&p, FACE_CX);
    Detail_Fill(r, &p, Rgb(255, 255, 255), Rgb(226, 230, 242), 292, 356);
    // The sash with its cord, on top.
    Raster_SetTarget(r, details);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX, 424);
    Path_QuadTo(&p, FACE_CX - 40, 422, FACE_CX - 76, 426);
    Path_LineTo(&p, FACE_CX - 80, 474);
    Path_QuadTo(&p, FACE_CX - 40, 470, FACE_CX, 472);
    Path_MirrorClose(&p, FACE_CX);
    Detail_Fill(r, &p, Rgb(250, 196, 84), Rgb(214, 140, 40), 424, 474);
    Path_Clear(&p);
    Path_MoveTo(&p, FACE_CX - 78, 450);
    Path_QuadTo(&p, FACE_CX, 444, FACE_CX + 78, 450);
    Raster_Line(r, &p, Paint_Solid(Rgb(150, 30, 50)), 4.5f);
    Raster_Line(r, &p, Paint_Solid(Rgb(230, 80, 96)), 2.0f);
    Details_Apply(r, out, details);
}

void Dress_Draw(Raster *r, DressId dress, const PartImages *out)
{
    DIB *details = DIB_Create(32, CANVAS_W, CANVAS_H);
    if (!details)
        return;
    switch (dress) {
    case DRESS_WAITRESS: Waitress_Draw(r, out, details); break;
    case DRESS_TG: Sailor_Draw(r, out, details); break;
    case DRESS_EV: Blazer_Draw(r, out, details); break;
    case DRESS_YUKATA: Yukata_Draw(r, out, details); break;
    default: break;
    }
    DIB_Delete_(details);
}
