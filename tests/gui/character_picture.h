// A character-like layer document drawn in code for the screenshot and the
// drag-step timing: soft-edged shapes in full-picture images, tinted hair,
// and an accessory group of three sub-layers, about as many layers and
// pixels as a real character holds.
#pragma once

#include <cmath>

#include "canvas_test_support.h"
#include "layers/tint.h"

namespace guitest {

// A picture-sized 32-bit image holding one soft-edged ellipse.
inline DIB *EllipseImage(int width, int height, double cx, double cy, double rx, double ry, COLORREF colour)
{
    DIB *image = DIB_Create(32, width, height);
    for (int y = 0; y < height; y++) {
        unsigned char *row = DIB_RowTD(image, y);
        for (int x = 0; x < width; x++) {
            double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            double d = sqrt(dx * dx + dy * dy);
            // About a pixel and a half of soft edge.
            double edge = (1.0 - d) * (rx < ry ? rx : ry) / 1.5;
            double a = edge < 0 ? 0 : edge > 1 ? 1 : edge;
            // A little shading from the top left, so tinted parts look round.
            double shade = 1.0 - 0.35 * (dx + dy + 2) / 4;
            row[4 * x + 0] = (uint8_t)(GetBValue(colour) * shade);
            row[4 * x + 1] = (uint8_t)(GetGValue(colour) * shade);
            row[4 * x + 2] = (uint8_t)(GetRValue(colour) * shade);
            row[4 * x + 3] = (uint8_t)(a * 255);
        }
    }
    return image;
}

inline Layer *PartLayer(LayerDocument *doc, int id, DIB *image, const HlsColour *tint)
{
    Layer *layer = Layer_CreateImage(id, doc->root);
    Layer_SetImage(layer, image);
    if (tint && Layer_MakeTintable(layer))
        Layer_SetColor(layer, *tint);
    return layer;
}

// Fills the document; the accessory group 2100 is selected and drawn in front.
inline void BuildCharacter(LayerDocument *doc)
{
    const int W = DOCUMENT_WIDTH, H = DOCUMENT_HEIGHT;
    HlsColour hair = {150, 110, 160};
    HlsColour dress = {20, 120, 200};
    HlsColour band = {0, 128, 255};
    // Depth-list entries from front to back, as the pages order them.
    Layer *entries[] = {
        nullptr,  // accessory, filled in below
        PartLayer(doc, 2009, EllipseImage(W, H, 180, 95, 95, 22, RGB(160, 160, 160)), &band),     // hair band
        PartLayer(doc, 2002, EllipseImage(W, H, 180, 120, 100, 60, RGB(150, 150, 150)), &hair),   // front hair
        PartLayer(doc, 2005, EllipseImage(W, H, 150, 170, 9, 12, RGB(40, 40, 90)), nullptr),      // eye
        PartLayer(doc, 2006, EllipseImage(W, H, 210, 170, 9, 12, RGB(40, 40, 90)), nullptr),      // eye
        PartLayer(doc, 2007, EllipseImage(W, H, 180, 225, 14, 5, RGB(200, 60, 70)), nullptr),     // mouth
        PartLayer(doc, 2008, EllipseImage(W, H, 145, 200, 12, 7, RGB(255, 170, 170)), nullptr),   // cheek
        PartLayer(doc, 2004, EllipseImage(W, H, 180, 380, 110, 120, RGB(150, 150, 150)), &dress), // dress
        PartLayer(doc, 2001, EllipseImage(W, H, 180, 175, 75, 90, RGB(250, 222, 200)), nullptr),  // face
        PartLayer(doc, 2010, EllipseImage(W, H, 180, 330, 60, 110, RGB(250, 222, 200)), nullptr), // body
        PartLayer(doc, 2003, EllipseImage(W, H, 180, 200, 120, 170, RGB(140, 140, 140)), &hair), // back hair
    };
    Layer *accessory = PictureGroup(2100, doc->root);
    HlsColour gold = {40, 140, 230};
    Layer *a = Layer_CreateImage(2019, accessory);
    Layer_SetImage(a, EllipseImage(80, 80, 40, 40, 36, 36, RGB(170, 170, 170)));
    Layer_MakeTintable(a);
    Layer_SetColor(a, gold);
    Layer_MoveTo(a, 250, 60);
    Layer *b = Layer_CreateImage(2021, accessory);
    Layer_SetImage(b, EllipseImage(80, 80, 40, 40, 14, 14, RGB(255, 255, 255)));
    Layer_MoveTo(b, 250, 60);
    Layer *c = Layer_CreateImage(2020, accessory);
    Layer_SetImage(c, EllipseImage(80, 80, 30, 30, 6, 6, RGB(255, 255, 200)));
    Layer_MoveTo(c, 250, 60);
    entries[0] = accessory;
    for (Layer *e : entries)
        PtrList_Add(doc->depthList, e);
    Canvas_SelectLayer(doc, 2100);
}

}  // namespace guitest
