// Rectangle and point arithmetic (see geometry.h).
#include "core/geometry.h"

#include <cstdint>

// Positions come from project files and may be anywhere in the 32-bit
// range; sums saturate at its ends instead of wrapping (or being undefined).
int32_t Geometry_Saturate(long long v)
{
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return (int32_t)v;
}

void Rect_Normalize(Rect *r)
{
    if (r->right < r->left) {
        int32_t t = r->left; r->left = r->right; r->right = t;
    }
    if (r->bottom < r->top) {
        int32_t t = r->top; r->top = r->bottom; r->bottom = t;
    }
}

void Rect_Set(Rect *r, int left, int top, int right, int bottom)
{
    r->left = left;
    r->top = top;
    r->right = right;
    r->bottom = bottom;
    Rect_Normalize(r);
}

void Rect_Copy(Rect *dst, const Rect *src)
{
    Rect_Set(dst, src->left, src->top, src->right, src->bottom);
}

int Rect_Width(const Rect *r) { return Geometry_Saturate((long long)r->right - r->left); }
int Rect_Height(const Rect *r) { return Geometry_Saturate((long long)r->bottom - r->top); }

void Rect_MoveTo(Rect *r, int x, int y)
{
    Rect_Set(r, x, y, Geometry_Saturate((long long)x + Rect_Width(r)), Geometry_Saturate((long long)y + Rect_Height(r)));
}

void Rect_SetSize(Rect *r, int w, int h)
{
    r->right = Geometry_Saturate((long long)r->left + w);
    r->bottom = Geometry_Saturate((long long)r->top + h);
}

void Rect_Offset(Rect *r, int dx, int dy)
{
    r->left = Geometry_Saturate((long long)r->left + dx);
    r->right = Geometry_Saturate((long long)r->right + dx);
    r->top = Geometry_Saturate((long long)r->top + dy);
    r->bottom = Geometry_Saturate((long long)r->bottom + dy);
}

void Rect_CenterH(const Rect *container, Rect *r)
{
    long long w = Rect_Width(r);
    r->left = Geometry_Saturate(container->left + ((long long)Rect_Width(container) - w) / 2);
    r->right = Geometry_Saturate(r->left + w);
}

void Rect_CenterV(const Rect *container, Rect *r)
{
    long long h = Rect_Height(r);
    r->top = Geometry_Saturate(container->top + ((long long)Rect_Height(container) - h) / 2);
    r->bottom = Geometry_Saturate(r->top + h);
}

void Rect_Center(const Rect *container, Rect *r)
{
    Rect_CenterH(container, r);
    Rect_CenterV(container, r);
}

int Rect_Contains(const Rect *r, int x, int y)
{
    return x >= r->left && x < r->right && y >= r->top && y < r->bottom;
}

void Point_Set(Point *p, int x, int y)
{
    p->x = x;
    p->y = y;
}

void Point_Copy(Point *dst, const Point *src)
{
    *dst = *src;
}

void Swap_Int(int *a, int *b)
{
    int t = *a;
    *a = *b;
    *b = t;
}
