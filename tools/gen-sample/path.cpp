// Building outlines: lines, flattened Bezier curves, ellipses and mirror
// images. Curves are cut into straight pieces of about two pixels, which is
// finer than the anti-aliasing can show.
#include <cmath>

#include "tools/gen-sample/raster.h"

static void Path_Add(Path *p, float x, float y)
{
    if (p->refused || p->count >= PATH_MAX_POINTS)
        return;
    p->pts[p->count++] = Pt{x, y};
}

// Pieces for a curve whose control polygon is `length` pixels long.
static int CurvePieces(float length)
{
    int n = (int)(length / 2.0f) + 1;
    if (n < 4)
        n = 4;
    if (n > 64)
        n = 64;
    return n;
}

static float Distance(float ax, float ay, float bx, float by)
{
    return std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
}

void Path_Clear(Path *p)
{
    p->count = 0;
    p->figureCount = 0;
    p->refused = 0;
}

void Path_MoveTo(Path *p, float x, float y)
{
    if (p->figureCount >= PATH_MAX_FIGURES) {
        // Later points would otherwise join the last figure to shapes far away.
        p->refused = 1;
        return;
    }
    p->figureStart[p->figureCount] = p->count;
    p->figureClosed[p->figureCount] = 0;
    p->figureCount++;
    Path_Add(p, x, y);
}

void Path_LineTo(Path *p, float x, float y)
{
    if (p->figureCount == 0)
        Path_MoveTo(p, x, y);
    else
        Path_Add(p, x, y);
}

Pt Path_Last(const Path *p)
{
    return p->count > 0 ? p->pts[p->count - 1] : Pt{0, 0};
}

void Path_QuadTo(Path *p, float cx, float cy, float x, float y)
{
    Pt a = Path_Last(p);
    int n = CurvePieces(Distance(a.x, a.y, cx, cy) + Distance(cx, cy, x, y));
    for (int i = 1; i <= n; i++) {
        float t = (float)i / n, u = 1 - t;
        Path_LineTo(p, u * u * a.x + 2 * u * t * cx + t * t * x, u * u * a.y + 2 * u * t * cy + t * t * y);
    }
}

void Path_CurveTo(Path *p, float c1x, float c1y, float c2x, float c2y, float x, float y)
{
    Pt a = Path_Last(p);
    int n = CurvePieces(Distance(a.x, a.y, c1x, c1y) + Distance(c1x, c1y, c2x, c2y) + Distance(c2x, c2y, x, y));
    for (int i = 1; i <= n; i++) {
        float t = (float)i / n, u = 1 - t;
        float b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        Path_LineTo(p, b0 * a.x + b1 * c1x + b2 * c2x + b3 * x, b0 * a.y + b1 * c1y + b2 * c2y + b3 * y);
    }
}

void Path_Close(Path *p)
{
    if (p->figureCount > 0)
        p->figureClosed[p->figureCount - 1] = 1;
}

void Path_Ellipse(Path *p, float cx, float cy, float rx, float ry, float angle)
{
    int n = CurvePieces(6.3f * (rx > ry ? rx : ry));
    if (n < 16)
        n = 16;
    float ca = std::cos(angle), sa = std::sin(angle);
    for (int i = 0; i < n; i++) {
        float t = 6.2831853f * i / n;
        float ex = rx * std::cos(t), ey = ry * std::sin(t);
        float x = cx + ex * ca - ey * sa, y = cy + ex * sa + ey * ca;
        if (i == 0)
            Path_MoveTo(p, x, y);
        else
            Path_LineTo(p, x, y);
    }
    Path_Close(p);
}

void Path_AppendMirrored(Path *p, const Path *src, float axis)
{
    for (int f = 0; f < src->figureCount; f++) {
        int first = src->figureStart[f];
        int end = f + 1 < src->figureCount ? src->figureStart[f + 1] : src->count;
        for (int i = first; i < end; i++) {
            float x = 2 * axis - src->pts[i].x;
            if (i == first)
                Path_MoveTo(p, x, src->pts[i].y);
            else
                Path_LineTo(p, x, src->pts[i].y);
        }
        if (src->figureClosed[f])
            Path_Close(p);
    }
}

void Path_MirrorClose(Path *p, float axis)
{
    if (p->figureCount == 0)
        return;
    int first = p->figureStart[p->figureCount - 1];
    int last = p->count - 1;
    for (int i = last; i >= first; i--) {
        Pt q = p->pts[i];
        if (std::fabs(q.x - axis) < 0.01f && (i == last || i == first))
            continue; // the points on the axis are there once already
        Path_Add(p, 2 * axis - q.x, q.y);
    }
    Path_Close(p);
}
