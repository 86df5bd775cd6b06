// Rectangles and points with the layouts of the Win32 RECT and POINT.
// Rect_Set and its callers leave a rectangle normalised (left <= right,
// top <= bottom); the other operations keep what they are given. Halving is
// integer division truncating toward zero.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left, top, right, bottom;
};

struct Point {
    int32_t x, y;
};

// A sum or difference of positions taken in 64 bits, held at the ends of the
// 32-bit range instead of wrapping: positions come from project files.
int32_t Geometry_Saturate(long long v);

void Rect_Set(Rect *r, int left, int top, int right, int bottom);
void Rect_Copy(Rect *dst, const Rect *src);
void Rect_Normalize(Rect *r);
int Rect_Width(const Rect *r);
int Rect_Height(const Rect *r);
void Rect_MoveTo(Rect *r, int x, int y);
void Rect_SetSize(Rect *r, int w, int h);
void Rect_Offset(Rect *r, int dx, int dy);
void Rect_CenterH(const Rect *container, Rect *r);
void Rect_CenterV(const Rect *container, Rect *r);
void Rect_Center(const Rect *container, Rect *r);
int Rect_Contains(const Rect *r, int x, int y);  // left <= x < right, top <= y < bottom
void Point_Set(Point *p, int x, int y);
void Point_Copy(Point *dst, const Point *src);
void Swap_Int(int *a, int *b);
