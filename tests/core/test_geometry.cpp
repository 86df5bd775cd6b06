// Rectangle normalisation, centring and sizing.
#include <doctest.h>

#include "core/geometry.h"

static bool Same(const Rect &r, int l, int t, int rr, int b)
{
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST_CASE("setters normalise, the other operations keep what they get")
{
    enum Op { SET, COPY, NORMALIZE, SET_SIZE, MOVE_TO, OFFSET };
    struct Case {
        const char *what;
        Op op;
        Rect start;
        int a, b, c, d;
        Rect expected;
    } cases[] = {
        {"set swaps both pairs", SET, {}, 10, 20, 0, 5, {0, 5, 10, 20}},
        {"set keeps an empty rect", SET, {}, 3, 3, 3, 3, {3, 3, 3, 3}},
        {"set swaps only the inverted pair", SET, {}, -2, 9, 4, 1, {-2, 1, 4, 9}},
        {"copy normalises", COPY, {7, 9, 1, 2}, 0, 0, 0, 0, {1, 2, 7, 9}},
        {"normalise swaps each axis on its own", NORMALIZE, {0, 5, -4, 8}, 0, 0, 0, 0, {-4, 5, 0, 8}},
        {"a negative size is kept", SET_SIZE, {0, 5, 10, 20}, -4, 3, 0, 0, {0, 5, -4, 8}},
        {"the size counts from the left and top", SET_SIZE, {-7, 11, 0, 0}, 360, 480, 0, 0, {-7, 11, 353, 491}},
        {"moving keeps the size", MOVE_TO, {-4, 5, 0, 8}, 100, 200, 0, 0, {100, 200, 104, 203}},
        {"moving an inverted rect normalises it", MOVE_TO, {10, 10, 4, 6}, 0, 0, 0, 0, {-6, -4, 0, 0}},
        {"offset moves all four sides", OFFSET, {100, 200, 104, 203}, -10, 5, 0, 0, {90, 205, 94, 208}},
        {"offset keeps an inverted rect inverted", OFFSET, {5, 5, 1, 1}, 1, -1, 0, 0, {6, 4, 2, 0}},
    };
    for (const Case &c : cases) {
        CAPTURE(c.what);
        Rect r = c.start;
        switch (c.op) {
        case SET: Rect_Set(&r, c.a, c.b, c.c, c.d); break;
        case COPY: Rect_Copy(&r, &c.start); break;
        case NORMALIZE: Rect_Normalize(&r); break;
        case SET_SIZE: Rect_SetSize(&r, c.a, c.b); break;
        case MOVE_TO: Rect_MoveTo(&r, c.a, c.b); break;
        case OFFSET: Rect_Offset(&r, c.a, c.b); break;
        }
        CHECK(Same(r, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom));
    }
}

TEST_CASE("centring divides the spare room by two, truncating toward zero")
{
    struct Case {
        Rect container, r, expected;
    } cases[] = {
        {{0, 0, 10, 10}, {0, 0, 5, 5}, {2, 2, 7, 7}},
        {{0, 0, 10, 10}, {3, 3, 6, 6}, {3, 3, 6, 6}},
        {{0, 0, 10, 10}, {0, 0, 15, 13}, {-2, -1, 13, 12}},  // larger: truncated toward zero
        {{100, 50, 200, 90}, {0, 0, 20, 10}, {140, 65, 160, 75}},
        {{-30, -30, -10, -10}, {7, 7, 10, 10}, {-22, -22, -19, -19}},
    };
    for (const Case &c : cases) {
        Rect r = c.r;
        Rect_Center(&c.container, &r);
        CHECK(Same(r, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom));
    }
    // Each direction alone leaves the other untouched.
    Rect h = {0, 1, 5, 4}, v = {0, 1, 5, 4};
    Rect container = {0, 0, 10, 10};
    Rect_CenterH(&container, &h);
    Rect_CenterV(&container, &v);
    CHECK(Same(h, 2, 1, 7, 4));
    CHECK(Same(v, 0, 3, 5, 6));
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
