// The drawing of every part image of the sample data tree.
//
// Each function draws one part's images for one variant into blank 32-bit
// canvas-sized images (a role the part does not have is left blank). Images
// that the program recolours are drawn in grey with alpha; the others are
// full colour.
#pragma once

#include "core/imaging/dib.h"
#include "tools/gen-sample/raster.h"

// The images of one part folder entry, by the letter of their role.
struct PartImages {
    DIB *a; // recoloured main image
    DIB *b; // fixed colour: outlines and details
    DIB *c; // dress: fixed underlayer; accessory: recoloured top image
    DIB *d; // hair band, recoloured
    DIB *h; // highlights
};

enum Expression {
    EXPR_SUMASHI,  // calm
    EXPR_NIKO,     // ^-^ closed-eye smile
    EXPR_NIKKORI,  // ^o^ open laugh
    EXPR_MAKKA,    // *^^* blushing
    EXPR_NAKI,     // '-'; troubled, sweating
    EXPR_UTUMUKI,  // T.T crying
    EXPR_IKARI,    // --+ angry
    EXPR_ODOROKI,  // O_O surprised
    EXPR_COUNT
};

// Shape families of the face parts.
enum EyeShape { EYE_ROUND, EYE_DROOPY, EYE_SHARP, EYE_SHAPE_COUNT };
enum BrowShape { BROW_THIN, BROW_THICK, BROW_SHAPE_COUNT };
enum MouthShape { MOUTH_SMALL, MOUTH_CAT, MOUTH_SHAPE_COUNT };

enum HairStyleId {
    HAIR_AMIKOMI, HAIR_BOB, HAIR_CARL, HAIR_HAIRB, HAIR_JAGGY, HAIR_LONG, HAIR_MAEAGE, HAIR_MAEAGE3,
    HAIR_MITUAMI, HAIR_MUSUBI, HAIR_OKAPPA, HAIR_PONNY, HAIR_SLONG, HAIR_SHAGGY, HAIR_SHORT, HAIR_WAVELONG,
    HAIR_STYLE_COUNT
};
enum DressId { DRESS_WAITRESS, DRESS_TG, DRESS_EV, DRESS_YUKATA, DRESS_COUNT };
enum AccessoryId { ACC_KANZASHI, ACC_CBONBON, ACC_CATUSYA, ACC_WING, ACC_COUNT };

// `withCamisole` draws the plain undershirt of the start-up body.
void Body_Draw(Raster *r, DIB *image, int withCamisole);
// `back` selects the back hair (behind the body) instead of the front hair.
// Returns 1 when the style has a hair band image (d) on that side.
int Hair_Draw(Raster *r, HairStyleId style, int back, const PartImages *out);
void Dress_Draw(Raster *r, DressId dress, const PartImages *out);
void Accessory_Draw(Raster *r, AccessoryId accessory, const PartImages *out);
void Eye_Draw(Raster *r, EyeShape shape, Expression expression, const PartImages *out);
// The blink frame (the lids shut, into b only) of an expression whose eyes
// are open; returns 0 and draws nothing where they are closed already.
int Eye_DrawBlink(Raster *r, EyeShape shape, Expression expression, const PartImages *out);
// a: the brow, b: the double eyelid line.
void Brow_Draw(Raster *r, BrowShape shape, Expression expression, const PartImages *out);
void Mouth_Draw(Raster *r, MouthShape shape, Expression expression, const PartImages *out);
// The talking frame: the expression's mouth opened (or half closed) in speech.
void Mouth_DrawTalk(Raster *r, MouthShape shape, Expression expression, const PartImages *out);
// b: blush and the expression's marks (sweat, tears, anger).
void Cheek_Draw(Raster *r, Expression expression, const PartImages *out);
