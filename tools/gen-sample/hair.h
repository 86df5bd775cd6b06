// Shared by the hair drawing files: the style descriptions and the pieces
// (braids, tails, curls, bands) that some styles add to the main shape.
#pragma once

#include "tools/gen-sample/parts.h"

enum BangKind { BANGS_LOCKS, BANGS_JAGGED, BANGS_BLUNT, BANGS_SWEPT, BANGS_SWEPT_STRANDS };
enum HairEnds { ENDS_POINTED, ENDS_BLUNT, ENDS_CURLED, ENDS_WAVY, ENDS_LAYERED };
enum HairExtra { EXTRA_NONE, EXTRA_CROWN_BRAID, EXTRA_DRILLS, EXTRA_HEADBAND, EXTRA_BRAIDS, EXTRA_TWINTAILS,
                 EXTRA_PONYTAIL };

struct HairSpec {
    BangKind bangs;
    int bangLocks;    // locks on each half of the forehead
    int centreTip;    // a lock hangs in the middle (else the bangs part there)
    float bangTipY;   // how low the bangs reach
    float sideTipY;   // how low the locks beside the face reach (0: none)
    float backTipY;   // how low the back hair reaches
    float backHalf;   // half width of the back hair at its ends
    HairEnds ends;
    int backLocks;    // pointed ends on each half
    HairExtra extra;
};

// Grey levels of the recoloured hair: the base sits a little above mid
// grey, shadows and strand lines below it.
enum { HAIR_LIGHT = 182, HAIR_BASE = 150, HAIR_DARK = 118, HAIR_LINE = 92, HAIR_EDGE = 70 };

// A filled hair piece in image a with a gradient from top to bottom and a
// thin dark edge, plus its outline in image b.
void HairPiece_Fill(Raster *r, const PartImages *out, const Path *p, float top, float bottom, int light, int dark);

// The extra pieces; each returns 1 when it drew into the band image (d).
int HairExtra_DrawFront(Raster *r, HairExtra extra, const PartImages *out);
int HairExtra_DrawBack(Raster *r, HairExtra extra, const PartImages *out);
