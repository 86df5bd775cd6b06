// The application icon: a head with dark hair and shoulders on a rounded
// blue tile. Each pixel is sampled 4 x 4 times so that the edges are smooth
// at 16 pixels as well as at 48.
#include <cmath>

#include "tools/gen-resources/gen_resources.h"

namespace {

struct Colour {
    float b, g, r, a;
};

// Shapes in unit coordinates (0..1 across the icon, y downwards).
bool InRoundedTile(float x, float y)
{
    const float margin = 0.03f, radius = 0.2f;
    float lo = margin + radius, hi = 1 - margin - radius;
    float cx = x < lo ? lo : (x > hi ? hi : x);
    float cy = y < lo ? lo : (y > hi ? hi : y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius && x >= margin && x <= 1 - margin &&
           y >= margin && y <= 1 - margin;
}

bool InEllipse(float x, float y, float cx, float cy, float rx, float ry)
{
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1;
}

// The colour of the topmost shape at a sample point; alpha 0 outside.
Colour Sample(float x, float y)
{
    if (!InRoundedTile(x, y))
        return {0, 0, 0, 0};
    Colour tile = {200 - 60 * y, 120 - 40 * y, 40, 255};  // light to deep blue
    bool face = InEllipse(x, y, 0.5f, 0.45f, 0.2f, 0.23f);
    bool hairBack = InEllipse(x, y, 0.5f, 0.42f, 0.27f, 0.3f) && y < 0.72f;
    bool fringe = InEllipse(x, y, 0.5f, 0.3f, 0.25f, 0.16f) && y < 0.36f;
    bool shoulders = InEllipse(x, y, 0.5f, 1.02f, 0.36f, 0.3f);
    bool collar = InEllipse(x, y, 0.5f, 0.74f, 0.08f, 0.06f);
    bool eye = InEllipse(x, y, 0.42f, 0.47f, 0.03f, 0.045f) || InEllipse(x, y, 0.58f, 0.47f, 0.03f, 0.045f);
    Colour hair = {30, 45, 90, 255};
    Colour skin = {200, 222, 250, 255};
    Colour dress = {70, 60, 200, 255};
    Colour dark = {60, 40, 40, 255};
    if (fringe)
        return hair;
    if (eye && face)
        return dark;
    if (face || collar)
        return skin;
    if (shoulders)
        return dress;
    if (hairBack)
        return hair;
    return tile;
}

}  // namespace

DIB *Icon_Draw(int size)
{
    DIB *image = DIB_Create(32, size, size);
    if (!image)
        return nullptr;
    const int grid = 4;
    for (int py = 0; py < size; py++) {
        unsigned char *row = DIB_RowTD(image, py);
        for (int px = 0; px < size; px++) {
            // Premultiplied sums, so that transparent samples add no colour.
            float b = 0, g = 0, r = 0, a = 0;
            for (int sy = 0; sy < grid; sy++)
                for (int sx = 0; sx < grid; sx++) {
                    Colour c = Sample((px + (sx + 0.5f) / grid) / size, (py + (sy + 0.5f) / grid) / size);
                    b += c.b * c.a;
                    g += c.g * c.a;
                    r += c.r * c.a;
                    a += c.a;
                }
            unsigned char *p = row + 4 * px;
            if (a > 0) {
                p[0] = (unsigned char)lroundf(b / a);
                p[1] = (unsigned char)lroundf(g / a);
                p[2] = (unsigned char)lroundf(r / a);
            }
            p[3] = (unsigned char)lroundf(a / (grid * grid));
        }
    }
    return image;
}
