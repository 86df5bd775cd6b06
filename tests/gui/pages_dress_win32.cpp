// The DRESS page driven through its controls: styles (add, copy, delete,
// check box, dress) and the depth list with its accessories.
#include <doctest.h>

#include <cstring>

#include "core/services/tileview_win32.h"
#include "editor/naming_dialogs_win32.h"
#include "editor/tile_draw_win32.h"
#include "pages_fixture_win32.h"

using pagestest::ModalScript;
using pagestest::PagesFixture;

namespace {

enum {
    DRESS = 1002, KIND = 1014, DRESS_COLOUR = 1016, HOME = 1021, ACC_COLOUR = 1023, UP = 1026, DOWN = 1027,
    ACC_ADD = 1033, ACC_DELETE = 1034, STYLE_DELETE = 1035, STYLE_ADD = 1036, STYLE_COPY = 1040,
};

HWND List(PagesFixture &f, int id)
{
    return GetDlgItem(f.dress, id);
}

int ListSelection(PagesFixture &f, int id)
{
    return (int)SendMessageA(List(f, id), LB_GETCURSEL, 0, 0);
}

void SelectItem(PagesFixture &f, int id, int index)
{
    SendMessageA(List(f, id), LB_SETCURSEL, (WPARAM)index, 0);
    f.WaitIdle();
}

// A DRESS page showing the default project.
struct DressFixture : PagesFixture {
    DressFixture()
    {
        NewProject();
        ShowWindow(chara, SW_HIDE);
        ShowWindow(dress, SW_SHOW);
        guitest::Pump();
    }
    // Clicks a style button that opens ADD and presses OK there.
    bool AddStyleWithOk(int button)
    {
        ModalScript script({[] {
                               HWND d = guitest::FindTitled(pagestest::ADD_TITLE);
                               if (d)
                                   PostMessageA(d, WM_COMMAND, IDOK, 0);
                               return d != nullptr;
                           }},
                           {pagestest::ADD_TITLE});
        Click(dress, button);
        return script.Finished();
    }
    Layer *AddAccessory(int kind)
    {
        Click(dress, ACC_ADD);
        Layer *layer = (Layer *)PtrList_Get(app.doc->depthList, ListSelection(*this, IDC_DRESS_DEPTH_LIST));
        Choose(dress, KIND, kind);
        return layer;
    }
};

}  // namespace

TEST_CASE("DRESS page: initialisation and the first project")
{
    {
        // Every entry covers the picture until an image of its own sizes it.
        PagesFixture bare;
        CHECK(bare.DepthListInStep());
        CHECK(SendMessageA(GetDlgItem(bare.dress, IDC_DRESS_STYLE_LIST), LB_GETCOUNT, 0, 0) == 0);
        for (int i = 0; i < PtrList_Count(bare.app.doc->depthList); i++) {
            Layer *layer = (Layer *)PtrList_Get(bare.app.doc->depthList, i);
            if (bare.HasImage(layer))
                continue;
            CHECK(Rect_Width(&layer->rect) == DOCUMENT_WIDTH);
            CHECK(Rect_Height(&layer->rect) == DOCUMENT_HEIGHT);
        }
    }
    DressFixture f;
    CHECK(f.Selection(f.dress, DRESS, CB_GETCOUNT) == PtrList_Count(f.catalog.dresses));
    CHECK(f.Selection(f.dress, KIND, CB_GETCOUNT) == PtrList_Count(f.catalog.accessories));
    CHECK(f.DepthListInStep());
    TileViewState *depth = TileView_GetState(List(f, IDC_DRESS_DEPTH_LIST));
    TileViewState *styles = TileView_GetState(List(f, IDC_DRESS_STYLE_LIST));
    REQUIRE(depth);
    REQUIRE(styles);
    CHECK(depth->itemHeight == 16);
    CHECK(styles->itemHeight == 24);
    CHECK((styles->flags & TILEVIEW_ALLOW_DRAG) == 0);

    CHECK(SendMessageA(List(f, IDC_DRESS_STYLE_LIST), LB_GETCOUNT, 0, 0) == 1);
    CHECK(ListSelection(f, IDC_DRESS_STYLE_LIST) == 0);
    CHECK(f.app.wardrobe.shown == 0);
    CHECK_FALSE(f.Enabled(f.dress, STYLE_DELETE));
    CHECK(f.Enabled(f.dress, DRESS_COLOUR));
    // Entry 0 is a fixed part: no accessory controls, no dragging.
    CHECK(ListSelection(f, IDC_DRESS_DEPTH_LIST) == 0);
    for (int id : {KIND, ACC_DELETE, UP, DOWN, HOME, ACC_COLOUR})
        CHECK_FALSE(f.Enabled(f.dress, id));
    CHECK((depth->flags & TILEVIEW_ALLOW_DRAG) == 0);
}

TEST_CASE("DRESS page: adding, recolouring the kind of, moving and deleting an accessory")
{
    DressFixture f;
    Wardrobe &w = f.app.wardrobe;
    SelectItem(f, IDC_DRESS_DEPTH_LIST, 2);
    int count = PtrList_Count(f.app.doc->depthList);

    Layer *acc = f.AddAccessory(1);
    REQUIRE(acc);
    CHECK(acc->id == ID_ACCESSORY_FIRST);
    CHECK(PtrList_Count(f.app.doc->depthList) == count + 1);
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == 2);
    CHECK(ListSelection(f, IDC_DRESS_DEPTH_LIST) == 2);
    CHECK(f.DepthListInStep());
    CHECK(w.slotCount == 1);
    CHECK(w.slots[0].kind == 1);
    CHECK(f.app.doc->selectedId == ID_ACCESSORY_FIRST);
    CHECK(strstr(acc->name, "a1") != nullptr);
    for (int id : {KIND, ACC_DELETE, UP, DOWN, HOME, ACC_COLOUR})
        CHECK(f.Enabled(f.dress, id));
    CHECK((TileView_GetState(List(f, IDC_DRESS_DEPTH_LIST))->flags & TILEVIEW_ALLOW_DRAG) != 0);
    CHECK(f.HasImage(Layer_Find(acc, ID_IMAGE_A)));

    // Up swaps with the fixed neighbour; the selection follows the accessory.
    Layer *neighbour = (Layer *)PtrList_Get(f.app.doc->depthList, 1);
    f.Click(f.dress, UP);
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == 1);
    CHECK(PtrList_Get(f.app.doc->depthList, 2) == neighbour);
    CHECK(ListSelection(f, IDC_DRESS_DEPTH_LIST) == 1);
    CHECK(f.DepthListInStep());
    f.Click(f.dress, DOWN);
    f.Click(f.dress, DOWN);
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == 3);
    CHECK(f.DepthListInStep());

    // Back to the origin, and the main window hears of the move.
    Layer_MoveTo(acc, 30, 40);
    f.main.Clear();
    f.Click(f.dress, HOME);
    CHECK(acc->rect.left == 0);
    CHECK(acc->rect.top == 0);
    bool moved = false;
    for (auto &n : f.main.notices)
        moved = moved || (n.id == IDC_MAIN_CANVAS && n.code == FLN_MOVED);
    CHECK(moved);

    f.Click(f.dress, ACC_DELETE);
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == -1);
    CHECK(PtrList_Count(f.app.doc->depthList) == count);
    CHECK(f.DepthListInStep());
    CHECK(w.slotCount == 0);
    CHECK(f.Enabled(f.dress, ACC_ADD));
    // The list selects a neighbour, a fixed entry: the controls follow.
    CHECK_FALSE(f.Enabled(f.dress, ACC_DELETE));
}

TEST_CASE("DRESS page: dragging an accessory in the list reorders the document the same way")
{
    DressFixture f;
    SelectItem(f, IDC_DRESS_DEPTH_LIST, 0);
    f.AddAccessory(1);
    REQUIRE(f.DepthIndexOf(ID_ACCESSORY_FIRST) == 0);
    HWND list = List(f, IDC_DRESS_DEPTH_LIST);
    struct { int toItem; int expected; } drags[] = {
        {4, 3},  // below item 3: lands at 3
        {4, 3},  // just below itself: nothing moves
        {0, 0},  // to the front
    };
    for (auto &d : drags) {
        int from = f.DepthIndexOf(ID_ACCESSORY_FIRST);
        int y0 = from * 16 + 8, y1 = d.toItem * 16 + 2;
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y0));
        for (int y = y0; y != y1; y += (y1 > y0 ? 2 : -2))
            SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, y));
        SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, y1));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(20, y1));
        f.WaitIdle();
        CAPTURE(d.toItem);
        CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == d.expected);
        CHECK(f.DepthListInStep());
    }
}

TEST_CASE("DRESS page: switching styles keeps each style's accessories")
{
    DressFixture f;
    Wardrobe &w = f.app.wardrobe;
    SelectItem(f, IDC_DRESS_DEPTH_LIST, 3);
    Layer *acc = f.AddAccessory(1);
    Layer_MoveTo(acc, 12, 34);
    HlsColour colour = {40, 100, 200};
    ApplySlotColour(&f.app.character, &w, acc->id, colour, 1);
    f.WaitIdle();

    REQUIRE(f.AddStyleWithOk(STYLE_ADD));
    REQUIRE(PtrList_Count(w.styles) == 2);
    CHECK(ListSelection(f, IDC_DRESS_STYLE_LIST) == 1);
    CHECK(w.shown == 1);
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == -1);
    CHECK(f.DepthListInStep());
    CHECK(f.Enabled(f.dress, STYLE_DELETE));

    SelectItem(f, IDC_DRESS_STYLE_LIST, 0);
    CHECK(w.shown == 0);
    int at = f.DepthIndexOf(ID_ACCESSORY_FIRST);
    CHECK(at == 3);
    CHECK(ListSelection(f, IDC_DRESS_DEPTH_LIST) == 3);
    CHECK(f.DepthListInStep());
    Layer *back = (Layer *)PtrList_Get(f.app.doc->depthList, at);
    CHECK(back->rect.left == 12);
    CHECK(back->rect.top == 34);
    CHECK(w.slots[0].kind == 1);
    CHECK(w.slots[0].colour.hue == 40);
    CHECK(f.app.doc->selectedId == ID_ACCESSORY_FIRST);
}

TEST_CASE("DRESS page: a copied style takes the live accessories; deleting shows the style the list selects")
{
    DressFixture f;
    Wardrobe &w = f.app.wardrobe;
    SelectItem(f, IDC_DRESS_DEPTH_LIST, 1);
    f.AddAccessory(1);
    REQUIRE(f.AddStyleWithOk(STYLE_COPY));
    REQUIRE(PtrList_Count(w.styles) == 2);
    DressStyle *copy = Wardrobe_StyleAt(&w, 1);
    CHECK(AccessorySet_Count(copy->accessories) == 1);
    CHECK(strcmp(copy->outputFolder, Wardrobe_StyleAt(&w, 0)->outputFolder) != 0);
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == 1);

    // The copy is shown; take its accessory off, then delete it.
    SelectItem(f, IDC_DRESS_DEPTH_LIST, 1);
    f.Click(f.dress, ACC_DELETE);
    f.Click(f.dress, STYLE_DELETE);
    CHECK(PtrList_Count(w.styles) == 1);
    CHECK(ListSelection(f, IDC_DRESS_STYLE_LIST) == 0);
    CHECK(w.shown == 0);
    CHECK(w.selected == 0);
    // Style 0's own accessory is back and nothing was captured into it.
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST) == 1);
    CHECK(AccessorySet_Count(Wardrobe_StyleAt(&w, 0)->accessories) == 1);
    CHECK(f.DepthListInStep());
    CHECK_FALSE(f.Enabled(f.dress, STYLE_DELETE));
    // The last style cannot be deleted.
    SendMessageA(f.dress, WM_COMMAND, MAKEWPARAM(STYLE_DELETE, BN_CLICKED), 0);
    CHECK(PtrList_Count(w.styles) == 1);
}

TEST_CASE("DRESS page: the dress box sets the style's dress and default colour")
{
    DressFixture f;
    DressStyle *style = Wardrobe_StyleAt(&f.app.wardrobe, 0);
    const PartEntry *d2 = (const PartEntry *)PtrList_Get(f.catalog.dresses, 1);
    f.Choose(f.dress, DRESS, 1);
    CHECK(style->dress == 1);
    CHECK(style->colour.hue == d2->color.hue);
    CHECK(style->colour.luminance == d2->color.luminance);
    LayerImage *a = Layer_GetImage(f.Find(ID_DRESS, ID_IMAGE_A));
    REQUIRE(a);
    CHECK(a->image);
    CHECK(a->colour.hue == d2->color.hue);
}

TEST_CASE("DRESS page: a click on the check box toggles export without selecting the row")
{
    DressFixture f;
    Wardrobe &w = f.app.wardrobe;
    REQUIRE(f.AddStyleWithOk(STYLE_ADD));
    SelectItem(f, IDC_DRESS_STYLE_LIST, 1);
    HWND list = List(f, IDC_DRESS_STYLE_LIST);
    Wardrobe_StyleAt(&w, 0)->checkState = STYLE_THIRD;

    auto clickCheck = [&](int index) {
        Rect item;
        REQUIRE(TileView_GetItemRect(list, index, &item));
        Rect box = CheckPictureRect(Rect_Height(&item), f.app.checkImage);
        POINT p = {item.left + (box.left + box.right) / 2, item.top + (box.top + box.bottom) / 2};
        POINT screen = p;
        ClientToScreen(list, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        f.WaitIdle();
    };
    int expected[] = {STYLE_UNCHECKED, STYLE_CHECKED, STYLE_UNCHECKED};
    for (int e : expected) {
        clickCheck(0);
        CHECK(Wardrobe_StyleAt(&w, 0)->checkState == e);
        CHECK(ListSelection(f, IDC_DRESS_STYLE_LIST) == 1);
        CHECK(w.shown == 1);
    }
    // A click beside the box selects the row as usual.
    Rect item;
    TileView_GetItemRect(list, 0, &item);
    POINT beside = {item.left + 60, item.top + 5};
    POINT screen = beside;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(beside.x, beside.y));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(beside.x, beside.y));
    f.WaitIdle();
    CHECK(ListSelection(f, IDC_DRESS_STYLE_LIST) == 0);
    CHECK(w.shown == 0);
}

TEST_CASE("DRESS page: both lists show the page's painting on screen")
{
    DressFixture f;
    SelectItem(f, IDC_DRESS_DEPTH_LIST, 0);
    f.AddAccessory(1);
    HWND styles = List(f, IDC_DRESS_STYLE_LIST), depth = List(f, IDC_DRESS_DEPTH_LIST);
    SetForegroundWindow(f.main.window);
    for (HWND list : {styles, depth}) {
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
    HDC dc = GetDC(styles);
    // Style 0 is checked: the second check picture in its box.
    COLORREF check = GetPixel(dc, 11, 11);
    ReleaseDC(styles, dc);
    CHECK(check == pagestest::CHECK_COLOURS[1]);
    dc = GetDC(depth);
    // Entry 0 is the new accessory: a black swatch frame.
    COLORREF frame = GetPixel(dc, 2, 2);
    ReleaseDC(depth, dc);
    CHECK(frame == RGB(0, 0, 0));
}

TEST_CASE("DRESS page: the add button stops at 32 accessories")
{
    DressFixture f;
    for (int i = 0; i < ACCESSORY_SLOT_COUNT; i++)
        f.Click(f.dress, ACC_ADD);
    CHECK(f.app.wardrobe.slotCount == ACCESSORY_SLOT_COUNT);
    CHECK_FALSE(f.Enabled(f.dress, ACC_ADD));
    CHECK(f.DepthListInStep());
    SendMessageA(f.dress, WM_COMMAND, MAKEWPARAM(ACC_ADD, BN_CLICKED), 0);
    CHECK(f.app.wardrobe.slotCount == ACCESSORY_SLOT_COUNT);
    SelectItem(f, IDC_DRESS_DEPTH_LIST, f.DepthIndexOf(ID_ACCESSORY_FIRST + 5));
    f.Click(f.dress, ACC_DELETE);
    CHECK(f.Enabled(f.dress, ACC_ADD));
    f.Click(f.dress, ACC_ADD);
    // The freed slot is taken again.
    CHECK(f.DepthIndexOf(ID_ACCESSORY_FIRST + 5) >= 0);
    CHECK(f.DepthListInStep());
}
