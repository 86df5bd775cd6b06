// Paints: what colour a shape has at each pixel. Gradients interpolate the
// straight (not premultiplied) colour and the alpha separately, which is
// what a soft blush fading to transparent needs.
#include <cmath>

#include "tools/gen-sample/raster.h"

static Rgba Mix(Rgba a, Rgba b, float t)
{
    if (t <= 0)
        return a;
    if (t >= 1)
        return b;
    return Rgba{(uint8_t)(a.r + (b.r - a.r) * t + 0.5f), (uint8_t)(a.g + (b.g - a.g) * t + 0.5f),
                (uint8_t)(a.b + (b.b - a.b) * t + 0.5f), (uint8_t)(a.a + (b.a - a.a) * t + 0.5f)};
}

static Rgba ShadeLinear(const Paint *p, float x, float y)
{
    float dx = p->x1 - p->x0, dy = p->y1 - p->y0;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((x - p->x0) * dx + (y - p->y0) * dy) / len2 : 0;
    return Mix(p->from, p->to, t);
}

static Rgba ShadeRadial(const Paint *p, float x, float y)
{
    float d = std::sqrt((x - p->x0) * (x - p->x0) + (y - p->y0) * (y - p->y0));
    return Mix(p->from, p->to, p->x1 > 0 ? d / p->x1 : 1);
}

Paint Paint_Solid(Rgba colour)
{
    Paint p = {};
    p.from = colour;
    p.to = colour;
    return p;
}

Paint Paint_Linear(float x0, float y0, Rgba from, float x1, float y1, Rgba to)
{
    Paint p = {ShadeLinear, from, to, x0, y0, x1, y1};
    return p;
}

Paint Paint_Radial(float cx, float cy, float radius, Rgba inner, Rgba outer)
{
    Paint p = {ShadeRadial, inner, outer, cx, cy, radius, 0};
    return p;
}
