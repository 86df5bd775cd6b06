// Canvas interaction under Wine: layer drags at several zooms, panning,
// Ctrl+Shift centring, arrow-key nudges, and hit testing through groups.
#include <doctest.h>

#include <windows.h>

#include "canvas_test_support.h"
#include "core/window_win32.h"
#include "layers/tint.h"

using namespace guitest;

namespace {

const int ACCESSORY = 2100;

// Presses or releases modifier keys the way the keyboard would, so that
// GetAsyncKeyState sees them.
void SetKey(WORD key, bool down)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
    Pump(20);
}

struct HeldKeys {
    std::vector<WORD> keys;
    explicit HeldKeys(std::initializer_list<WORD> k) : keys(k)
    {
        for (WORD key : keys)
            SetKey(key, true);
    }
    ~HeldKeys()
    {
        for (WORD key : keys)
            SetKey(key, false);
    }
};

// An accessory group with a 40 x 40 blue image at (50, 60), selected.
Layer *AddSelectedAccessory(CanvasFixture &f)
{
    Layer *group = PictureGroup(ACCESSORY, f.doc->root);
    ImageLayer(2019, group, Solid(40, 40, RGB(0, 0, 255), 255), 50, 60);
    PtrList_Add(f.doc->depthList, group);
    Canvas_SelectLayer(f.doc, ACCESSORY);
    Canvas_Refresh(f.canvas);
    Pump();
    return group;
}

void Mouse(HWND canvas, UINT msg, int x, int y)
{
    SendMessageA(canvas, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM((WORD)x, (WORD)y));
}

}  // namespace

TEST_CASE("dragging the selected layer moves it by client pixels over the zoom")
{
    struct Case {
        double zoom;
        int dx;
        int moved;
    } cases[] = {{2.0, 10, 5}, {0.5, 10, 20}, {1.0, -7, -7}, {2.0, 3, 1}};
    for (const Case &c : cases) {
        CAPTURE(c.zoom);
        CAPTURE(c.dx);
        CanvasFixture f;
        Layer *group = AddSelectedAccessory(f);
        f.Zoom(c.zoom);
        f.parent.Clear();
        Mouse(f.canvas, WM_LBUTTONDOWN, 150, 150);
        CHECK(GetCapture() == f.canvas);
        Mouse(f.canvas, WM_MOUSEMOVE, 150 + c.dx, 150);
        CHECK(group->rect.left == c.moved);
        CHECK(group->rect.top == 0);
        CHECK(f.parent.WithCode(FLN_MOVED).size() == 1);
        // The same point again moves nothing and says nothing.
        Mouse(f.canvas, WM_MOUSEMOVE, 150 + c.dx, 150);
        CHECK(f.parent.WithCode(FLN_MOVED).size() == 1);
        // The drag went through the drag caches, and the picture shows the move.
        CHECK(f.doc->belowCache != nullptr);
        CHECK(ComposedAt(f.doc, 50 + c.moved + 1, 61) == RGB(0, 0, 255));
        // Leaving the client area puts the layer back where it was.
        Mouse(f.canvas, WM_MOUSEMOVE, -5, 150);
        CHECK(group->rect.left == 0);
        Mouse(f.canvas, WM_LBUTTONUP, -5, 150);
        CHECK(GetCapture() != f.canvas);
        // After the button is up, moves do nothing.
        Mouse(f.canvas, WM_MOUSEMOVE, 200, 200);
        CHECK(group->rect.left == 0);
    }
}

TEST_CASE("no selected layer: the button starts no drag and arrows change nothing")
{
    CanvasFixture f;
    Layer *group = AddSelectedAccessory(f);
    Canvas_SelectLayer(f.doc, -1);
    f.parent.Clear();
    Mouse(f.canvas, WM_LBUTTONDOWN, 100, 100);
    CHECK(GetCapture() != f.canvas);
    Mouse(f.canvas, WM_MOUSEMOVE, 120, 100);
    for (WPARAM key : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})
        SendMessageA(f.canvas, WM_KEYDOWN, key, 0);
    Mouse(f.canvas, WM_LBUTTONUP, 120, 100);
    CHECK(group->rect.left == 0);
    CHECK(group->rect.top == 0);
    CHECK(f.parent.WithCode(FLN_MOVED).empty());
}

TEST_CASE("arrow keys nudge the selected layer one picture pixel at any zoom")
{
    CanvasFixture f;
    Layer *group = AddSelectedAccessory(f);
    f.Zoom(2.0);
    f.parent.Clear();
    struct Step {
        WPARAM key;
        int left, top;
    } steps[] = {{VK_RIGHT, 1, 0}, {VK_RIGHT, 2, 0}, {VK_DOWN, 2, 1}, {VK_LEFT, 1, 1}, {VK_UP, 1, 0}};
    for (const Step &s : steps) {
        SendMessageA(f.canvas, WM_KEYDOWN, s.key, 0);
        CHECK(group->rect.left == s.left);
        CHECK(group->rect.top == s.top);
    }
    CHECK(group->rect.right == DOCUMENT_WIDTH + 1);
    CHECK(f.parent.WithCode(FLN_MOVED).size() == 5);
    SendMessageA(f.canvas, WM_KEYDOWN, VK_F2, 0);
    SendMessageA(f.canvas, WM_KEYDOWN, 'A', 0);
    CHECK(f.parent.WithCode(FLN_MOVED).size() == 5);
    CHECK(ComposedAt(f.doc, 51, 60) == RGB(0, 0, 255));
    CHECK(ComposedAt(f.doc, 50, 60) == RGB(0, 255, 0));
}

TEST_CASE("Ctrl+drag pans the view with the mouse; Ctrl+Shift+click centres first")
{
    CanvasFixture f;
    Layer *group = AddSelectedAccessory(f);
    SendMessageA(f.canvas, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 60), 0);
    SendMessageA(f.canvas, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), 0);
    int sx, sy;
    {
        HeldKeys ctrl({VK_CONTROL});
        REQUIRE(GetAsyncKeyState(VK_CONTROL) != 0);
        Mouse(f.canvas, WM_LBUTTONDOWN, 100, 100);
    }
    // The pan goes on after Ctrl is released, until the button is.
    Mouse(f.canvas, WM_MOUSEMOVE, 150, 100);
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 10);
    CHECK(sy == 100);
    Mouse(f.canvas, WM_MOUSEMOVE, 150, 80);
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 10);
    CHECK(sy == 120);
    // Outside the client area the view returns to where the pan began.
    Mouse(f.canvas, WM_MOUSEMOVE, 100, 400);
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 60);
    CHECK(sy == 100);
    Mouse(f.canvas, WM_LBUTTONUP, 100, 400);
    CHECK(group->rect.left == 0);  // a pan never moves the layer
    Mouse(f.canvas, WM_MOUSEMOVE, 10, 10);
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 60);

    // Ctrl+Shift+click at client (200, 250), scrolled to (0, 0): picture
    // point (200, 250) comes to the middle, and a pan starts.
    SendMessageA(f.canvas, WM_HSCROLL, SB_LEFT, 0);
    SendMessageA(f.canvas, WM_VSCROLL, SB_LEFT, 0);
    POINT screen = {200, 250};
    ClientToScreen(f.canvas, &screen);
    SetCursorPos(screen.x, screen.y);
    Pump(20);
    {
        HeldKeys keys({VK_CONTROL, VK_SHIFT});
        Mouse(f.canvas, WM_LBUTTONDOWN, 200, 250);
    }
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 50);
    CHECK(sy == 100);
    CHECK(GetCapture() == f.canvas);
    Mouse(f.canvas, WM_MOUSEMOVE, 190, 250);
    Wnd_GetScrollPos(f.canvas, &sx, &sy);
    CHECK(sx == 60);
    Mouse(f.canvas, WM_LBUTTONUP, 190, 250);
    CHECK(GetCapture() != f.canvas);
    CHECK(group->rect.left == 0);
}

TEST_CASE("hit tests: front-most opaque entry, through transparent pixels and groups")
{
    CanvasFixture f;
    Layer *root = f.doc->root;
    // Front to back: an accessory (left half of its image transparent), the
    // mouth group with an empty rect, the body holding its own image.
    Layer *accessory = PictureGroup(ACCESSORY, root);
    DIB *half = Solid(40, 40, RGB(0, 0, 255), 255);
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 20; x++)
            DIB_RowTD(half, y)[4 * x + 3] = 0;
    ImageLayer(2019, accessory, half, 100, 100);
    Layer *mouth = Layer_CreateImage(2003, root);
    ImageLayer(2016, mouth, Solid(30, 10, RGB(200, 0, 0), 255), 10, 300);
    Layer *body = ImageLayer(2001, root, Solid(200, 200, RGB(250, 220, 200), 255), 80, 80);
    PtrList_Add(f.doc->depthList, accessory);
    PtrList_Add(f.doc->depthList, mouth);
    PtrList_Add(f.doc->depthList, body);
    // The pages give depth-list entries the picture's size; the image stays smaller.
    Rect_SetSize(&body->rect, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);

    struct Probe {
        int x, y;
        int id;
    } probes[] = {
        {130, 110, ACCESSORY},  // opaque half of the accessory
        {110, 110, 2001},       // transparent half: the body behind it
        {15, 305, -1},          // only the mouth's images: its group rect is empty
        {5, 5, -1},             // nothing
        {300, 300, -1},         // inside the body's rect, outside its image
        {279, 279, 2001},       // the body image's last pixel
        {280, 279, -1},
    };
    for (const Probe &p : probes) {
        CAPTURE(p.x);
        CAPTURE(p.y);
        CHECK(Canvas_HitTest(f.canvas, p.x, p.y) == p.id);
    }

    // Hidden or unpickable entries are passed over.
    accessory->flags &= ~LAYER_VISIBLE;
    CHECK(Canvas_HitTest(f.canvas, 130, 110) == 2001);
    accessory->flags |= LAYER_VISIBLE;
    accessory->flags &= ~LAYER_PICKABLE;
    CHECK(Canvas_HitTest(f.canvas, 130, 110) == 2001);
    accessory->flags |= LAYER_PICKABLE;
    // A group given a rect lets the test reach its children.
    Rect_Set(&mouth->rect, 0, 0, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    CHECK(Canvas_HitTest(f.canvas, 15, 305) == 2003);
    // The image test itself on grey-plus-alpha pixels reads the alpha byte.
    Layer *grey = ImageLayer(7, root, DIB_Create(16, 4, 4), 0, 0);
    CHECK(LayerImage_HitTest(grey, 1, 1) == nullptr);
    DIB_RowTD(Layer_GetImage(grey)->image, 1)[2 * 1 + 1] = 255;
    CHECK(LayerImage_HitTest(grey, 1, 1) == grey);
    CHECK(LayerImage_HitTest(grey, 1, 2) == nullptr);
}

TEST_CASE("a drag or pan ends when the canvas loses the capture or sees a move without the button")
{
    struct Case {
        const char *name;
        bool pan;
        bool byCapture;  // else by a move without the button
    } cases[] = {
        {"drag, capture taken", false, true},
        {"drag, release missed", false, false},
        {"pan, capture taken", true, true},
        {"pan, release missed", true, false},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        CanvasFixture f;
        Layer *group = AddSelectedAccessory(f);
        SendMessageA(f.canvas, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
        f.parent.Clear();
        if (c.pan) {
            HeldKeys ctrl({VK_CONTROL});
            Mouse(f.canvas, WM_LBUTTONDOWN, 100, 100);
        } else {
            Mouse(f.canvas, WM_LBUTTONDOWN, 100, 100);
        }
        Mouse(f.canvas, WM_MOUSEMOVE, 110, 100);
        int left = group->rect.left, sx, sy;
        Wnd_GetScrollPos(f.canvas, &sx, &sy);
        CHECK(GetCapture() == f.canvas);
        if (c.byCapture) {
            // Another window takes the mouse (a message box, another program).
            SetCapture(f.parent.window);
            ReleaseCapture();
        } else {
            SendMessageA(f.canvas, WM_MOUSEMOVE, 0, MAKELPARAM(140, 100));
        }
        CHECK(GetCapture() != f.canvas);
        // The drag ended where it was: the next moves change nothing.
        Mouse(f.canvas, WM_MOUSEMOVE, 160, 120);
        CHECK(group->rect.left == left);
        int sx2, sy2;
        Wnd_GetScrollPos(f.canvas, &sx2, &sy2);
        CHECK(sx2 == sx);
        // A drag that moved reports its end once; a pan moves no layer.
        CHECK(f.parent.WithCode(FLN_MOVEDONE).size() == (c.pan ? 0u : 1u));
    }
}

TEST_CASE("a finished drag and each nudge report FLN_MOVEDONE once; a drag that moved nothing does not")
{
    CanvasFixture f;
    AddSelectedAccessory(f);
    f.parent.Clear();
    Mouse(f.canvas, WM_LBUTTONDOWN, 100, 100);
    Mouse(f.canvas, WM_LBUTTONUP, 100, 100);
    CHECK(f.parent.WithCode(FLN_MOVEDONE).empty());
    Mouse(f.canvas, WM_LBUTTONDOWN, 100, 100);
    for (int x = 101; x < 110; x++)
        Mouse(f.canvas, WM_MOUSEMOVE, x, 100);
    CHECK(f.parent.WithCode(FLN_MOVEDONE).empty());
    Mouse(f.canvas, WM_LBUTTONUP, 109, 100);
    CHECK(f.parent.WithCode(FLN_MOVEDONE).size() == 1);
    SendMessageA(f.canvas, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(f.canvas, WM_KEYDOWN, VK_UP, 0);
    CHECK(f.parent.WithCode(FLN_MOVEDONE).size() == 3);
}

TEST_CASE("hit tests see a trimmed part exactly as the whole part, plain and tinted")
{
    // A 60 x 50 part with a ring of visible pixels and a hole, kept whole by
    // one layer and trimmed to its box (with its offset) by the other, both
    // inside a moved group.
    DIB *whole = Solid(60, 50, RGB(10, 200, 30), 255);
    for (int y = 0; y < 50; y++)
        for (int x = 0; x < 60; x++) {
            int d2 = (x - 35) * (x - 35) + (y - 20) * (y - 20);
            DIB_RowTD(whole, y)[4 * x + 3] = (unsigned char)(d2 <= 144 && d2 >= 16 ? (d2 % 7 ? 255 : 1) : 0);
        }
    Point offset;
    DIB *box = DIB_Trim(whole, &offset);
    REQUIRE(box);
    REQUIRE(box->width < 60);
    Layer *root = Layer_Create(0, nullptr);
    Layer *group = Layer_Create(1, root);
    Layer_MoveTo(group, 7, -3);
    Layer *a = Layer_CreateImage(2, group);
    Layer *b = Layer_CreateImage(3, group);
    Layer_MoveTo(a, 11, 13);
    Layer_MoveTo(b, 11, 13);
    Layer_SetImage(a, whole);
    Layer_SetImageAt(b, box, offset, 60, 50);
    CHECK(memcmp(&a->rect, &b->rect, sizeof a->rect) == 0);
    for (int pass = 0; pass < 2; pass++) {
        CAPTURE(pass);
        int differ = 0, hits = 0;
        for (int y = -5; y < 70; y++)
            for (int x = 0; x < 90; x++) {
                bool ha = LayerImage_HitTest(a, x, y) != nullptr, hb = LayerImage_HitTest(b, x, y) != nullptr;
                differ += ha != hb;
                hits += ha;
            }
        CHECK(hits > 100);
        CHECK(differ == 0);
        // Then both made tintable: grey-plus-alpha images, same answers.
        Layer_MakeTintable(a);
        Layer_MakeTintable(b);
    }
    Layer_Destroy(root);
}
