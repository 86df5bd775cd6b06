// Rectangle normalisation, centring and sizing.
#include <doctest.h>

#include "core/geometry.h"

static bool Same(const Rect &r, int l, int t, int rr, int b)
{
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST_CASE("setters normalise, the other operations keep what they get")
{
    Rect r;
    Rect_Set(&r, 10, 20, 0, 5);
    CHECK(Same(r, 0, 5, 10, 20));

    Rect_SetSize(&r, -4, 3);
    CHECK(Same(r, 0, 5, -4, 8));  // no normalisation
    Rect_Normalize(&r);
    CHECK(Same(r, -4, 5, 0, 8));

    Rect_MoveTo(&r, 100, 200);
    CHECK(Same(r, 100, 200, 104, 203));
    Rect_Offset(&r, -10, 5);
    CHECK(Same(r, 90, 205, 94, 208));

    Rect copy;
    Rect raw = {7, 9, 1, 2};
    Rect_Copy(&copy, &raw);
    CHECK(Same(copy, 1, 2, 7, 9));
}

TEST_CASE("centring divides the spare room by two, truncating toward zero")
{
    struct Case {
        Rect container, r;
        int left, top;
    } cases[] = {
        {{0, 0, 10, 10}, {0, 0, 5, 5}, 2, 2},
        {{0, 0, 10, 10}, {3, 3, 6, 6}, 3, 3},
        {{0, 0, 10, 10}, {0, 0, 15, 13}, -2, -1},     // wider: left of the container
        {{100, 50, 200, 90}, {0, 0, 20, 10}, 140, 65},
    };
    for (const Case &c : cases) {
        Rect r = c.r;
        int w = Rect_Width(&r), h = Rect_Height(&r);
        Rect_Center(&c.container, &r);
        CHECK(r.left == c.left);
        CHECK(r.top == c.top);
        CHECK(Rect_Width(&r) == w);
        CHECK(Rect_Height(&r) == h);
    }
    Rect r = {0, 0, 5, 5};
    Rect container = {0, 0, 10, 10};
    Rect_CenterH(&container, &r);
    CHECK(Same(r, 2, 0, 7, 5));
}

TEST_CASE("points and containment")
{
    Rect r = {0, 0, 2, 2};
    CHECK(Rect_Contains(&r, 0, 0));
    CHECK(Rect_Contains(&r, 1, 1));
    CHECK_FALSE(Rect_Contains(&r, 2, 1));
    CHECK_FALSE(Rect_Contains(&r, -1, 0));
    Point p, q;
    Point_Set(&p, 3, -4);
    Point_Copy(&q, &p);
    CHECK(q.x == 3);
    CHECK(q.y == -4);
    int a = 1, b = 2;
    Swap_Int(&a, &b);
    CHECK(a == 2);
    CHECK(b == 1);
}
