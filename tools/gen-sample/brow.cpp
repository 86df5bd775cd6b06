// Brows (recoloured) and the double eyelid line above each eye (fixed
// skin shadow colour). Expressions move the inner and outer ends: raised
// inner ends read as worry, lowered ones as anger.
#include "tools/gen-sample/figure.h"
#include "tools/gen-sample/parts.h"

struct BrowMood {
    float innerDy, outerDy, arch; // offsets from the calm brow line; arch < 0 bends up
    float creaseDy;               // height of the eyelid line; 0 = no line (closed eyes)
};

static const BrowMood BROW_MOOD[EXPR_COUNT] = {
    {0, 2, -4, -33},   // sumashi
    {-3, -1, -7, 0},   // niko
    {-5, -2, -7, -32}, // nikkori
    {-5, 3, -2, -29},  // makka
    {-10, 4, 0, -31},  // naki
    {-8, 6, 2, 0},     // utumuki
    {9, -5, 1, -26},   // ikari
    {-12, -9, -8, -37}, // odoroki
};

void Brow_Draw(Raster *r, BrowShape shape, Expression expression, const PartImages *out)
{
    const BrowMood &m = BROW_MOOD[expression];
    const float thick = shape == BROW_THICK ? 1.8f : 1.0f;
    Path p;
    for (int side = -1; side <= 1; side += 2) {
        float cx = FACE_CX + side * EYE_DX;
        float ix = cx + side * -17, ox = cx + side * 21;
        float iy = BROW_Y + m.innerDy, oy = BROW_Y + 3 + m.outerDy;

        Raster_SetTarget(r, out->a);
        Path_Clear(&p);
        Path_MoveTo(&p, ix, iy);
        Path_QuadTo(&p, cx + side * 2, BROW_Y + m.arch + (m.innerDy + m.outerDy) * 0.4f, ox, oy);
        // A darker core keeps the brow readable where it lies over bangs of
        // a similar colour.
        Raster_Stroke(r, &p, Paint_Solid(Grey(118)), 3.6f * thick, 3.2f * thick, 1.0f);
        Raster_Stroke(r, &p, Paint_Solid(Grey(64)), 1.6f * thick, 1.6f * thick, 0.4f);

        if (m.creaseDy == 0)
            continue;
        Raster_SetTarget(r, out->b);
        Path_Clear(&p);
        Path_MoveTo(&p, cx + side * -4, EYE_Y + m.creaseDy + 1);
        Path_QuadTo(&p, cx + side * 10, EYE_Y + m.creaseDy - 3, cx + side * 21, EYE_Y + m.creaseDy + 6);
        Raster_Stroke(r, &p, Paint_Solid(Rgb(205, 138, 128)), 0.4f, 1.7f, 0.8f);
    }
}
