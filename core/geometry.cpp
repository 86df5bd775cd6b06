// Rectangle and point arithmetic (see geometry.h).
#include "core/geometry.h"

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

int Rect_Width(const Rect *r) { return r->right - r->left; }
int Rect_Height(const Rect *r) { return r->bottom - r->top; }

void Rect_MoveTo(Rect *r, int x, int y)
{
    Rect_Set(r, x, y, x + Rect_Width(r), y + Rect_Height(r));
}

void Rect_SetSize(Rect *r, int w, int h)
{
    r->right = r->left + w;
    r->bottom = r->top + h;
}

void Rect_Offset(Rect *r, int dx, int dy)
{
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
}

void Rect_CenterH(const Rect *container, Rect *r)
{
    int w = Rect_Width(r);
    r->left = container->left + (Rect_Width(container) - w) / 2;
    r->right = r->left + w;
}

void Rect_CenterV(const Rect *container, Rect *r)
{
    int h = Rect_Height(r);
    r->top = container->top + (Rect_Height(container) - h) / 2;
    r->bottom = r->top + h;
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
