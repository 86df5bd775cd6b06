// TileView driven purely through its messages, the way the pages drive it:
// which notifications it sends and when, how it moves dragged items, and how
// it asks its parent to paint.
#include <doctest.h>

#include <windows.h>

#include <cstddef>

#include "core/services/tileview_win32.h"
#include "gui_test_support.h"

using guitest::Notice;
using guitest::TestWindow;

namespace {

const int LIST_ID = 1029;
const int ITEM_HEIGHT = 20;

// A 200 x 100 list (five items visible) holding `count` items with data 100 + i.
HWND MakeList(TestWindow &parent, int count, uint32_t flags = 0)
{
    HWND list = CreateWindowExA(0, TILEVIEW_CLASS, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100, parent.window,
                                (HMENU)(INT_PTR)LIST_ID, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(list);
    // The pages set the state record's fields directly.
    TileViewState *state = TileView_GetState(list);
    REQUIRE(state);
    state->flags = flags;
    state->itemWidth = 200;
    state->itemHeight = ITEM_HEIGHT;
    state->background = 0xFFFFFF;
    for (int i = 0; i < count; i++)
        CHECK(SendMessageA(list, LB_ADDSTRING, 0, 100 + i) == i);
    parent.Clear();
    return list;
}

std::vector<LPARAM> Data(HWND list)
{
    std::vector<LPARAM> out;
    int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++)
        out.push_back(SendMessageA(list, LB_GETITEMDATA, i, 0));
    return out;
}

int ItemCenterY(int index)
{
    return index * ITEM_HEIGHT + ITEM_HEIGHT / 2;
}

void Click(HWND list, int x, int y)
{
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Drag(HWND list, int fromY, int toY)
{
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, fromY));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, (fromY + toY) / 2));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, toY));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(50, toY));
}

}  // namespace

TEST_CASE("TileView reports selection changes, never a re-selection")
{
    TestWindow parent;
    HWND list = MakeList(parent, 10);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == -1);

    struct Step {
        int select;
        LRESULT result;
        int notices;
        int selectedAfter;
    } steps[] = {
        {3, 3, 1, 3},         // a new index is reported
        {3, 3, 0, 3},         // the selected index again: silence
        {99, LB_ERR, 0, 3},   // out of range: refused, nothing changes
        {-2, LB_ERR, 0, 3},
        {0, 0, 1, 0},
        {-1, -1, 1, -1},      // clearing the selection is a change too
        {-1, -1, 0, -1},
    };
    for (const Step &s : steps) {
        CAPTURE(s.select);
        parent.Clear();
        CHECK(SendMessageA(list, LB_SETCURSEL, s.select, 0) == s.result);
        CHECK(parent.WithCode(TILEVIEW_SELCHANGE).size() == (size_t)s.notices);
        CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == s.selectedAfter);
        for (const Notice &n : parent.notices) {
            CHECK(n.id == LIST_ID);
            CHECK((HWND)n.lParam == list);
        }
    }
}

TEST_CASE("TileView: a click is offered to the parent before it selects")
{
    TestWindow parent;
    HWND list = MakeList(parent, 10);
    TileViewState *state = TileView_GetState(list);

    Click(list, 30, ItemCenterY(2));
    REQUIRE(parent.notices.size() == 2);
    CHECK(parent.notices[0].code == TILEVIEW_CLICKED);
    CHECK(parent.notices[1].code == TILEVIEW_SELCHANGE);
    CHECK(state->lastClicked == 2);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 2);

    // Clicking the selected item again: a click, no selection notice.
    parent.Clear();
    Click(list, 30, ItemCenterY(2));
    CHECK(parent.notices.size() == 1);
    CHECK(parent.notices[0].code == TILEVIEW_CLICKED);

    // A parent that clears the click bit (a hit on a check picture) keeps
    // the click from selecting.
    parent.Clear();
    parent.onCommand = [&](const Notice &n) {
        if (n.code == TILEVIEW_CLICKED)
            state->clickFlags &= ~TILEVIEW_CLICK_SELECTS;
    };
    Click(list, 30, ItemCenterY(4));
    CHECK(parent.WithCode(TILEVIEW_CLICKED).size() == 1);
    CHECK(parent.WithCode(TILEVIEW_SELCHANGE).empty());
    CHECK(state->lastClicked == 4);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 2);

    // Below the last item: no click notice, the last click says none.
    parent.onCommand = nullptr;
    SendMessageA(list, LB_DELETESTRING, 9, 0);
    SendMessageA(list, LB_DELETESTRING, 8, 0);
    SendMessageA(list, LB_DELETESTRING, 7, 0);
    SendMessageA(list, LB_DELETESTRING, 6, 0);
    SendMessageA(list, LB_DELETESTRING, 5, 0);
    SendMessageA(list, LB_DELETESTRING, 4, 0);
    parent.Clear();
    Click(list, 30, ItemCenterY(4) + 5);
    CHECK(parent.notices.empty());
    CHECK(state->lastClicked == -1);
}

TEST_CASE("TileView drags items only when allowed, and has moved them before it reports")
{
    TestWindow parent;
    HWND list = MakeList(parent, 6, 0xD101);
    std::vector<LPARAM> seenAtNotice;
    parent.onCommand = [&](const Notice &n) {
        if (n.code == TILEVIEW_DRAGGED)
            seenAtNotice = Data(list);
    };

    // Item 1 dropped before item 4 lands at index 3.
    Drag(list, ItemCenterY(1), 4 * ITEM_HEIGHT + 2);
    auto dragged = parent.WithCode(TILEVIEW_DRAGGED);
    REQUIRE(dragged.size() == 1);
    CHECK(LOWORD(dragged[0].lParam) == 1);
    CHECK(HIWORD(dragged[0].lParam) == 4);
    std::vector<LPARAM> expected = {100, 102, 103, 101, 104, 105};
    CHECK(seenAtNotice == expected);
    CHECK(Data(list) == expected);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 3);  // the selection follows the item

    // Upwards: item 4 dropped before item 0.
    parent.Clear();
    Drag(list, ItemCenterY(4), 2);
    dragged = parent.WithCode(TILEVIEW_DRAGGED);
    REQUIRE(dragged.size() == 1);
    CHECK(LOWORD(dragged[0].lParam) == 4);
    CHECK(HIWORD(dragged[0].lParam) == 0);
    expected = {104, 100, 102, 103, 101, 105};
    CHECK(Data(list) == expected);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 0);

    // Onto its own place or just below itself: nothing moves, nothing is said.
    parent.Clear();
    Drag(list, ItemCenterY(2), 2 * ITEM_HEIGHT + 3);
    Drag(list, ItemCenterY(2), 3 * ITEM_HEIGHT + 3);
    CHECK(parent.WithCode(TILEVIEW_DRAGGED).empty());
    CHECK(Data(list) == expected);

    // Without the drag flag the same gesture only selects.
    TileView_GetState(list)->flags = 0xC101;
    parent.Clear();
    Drag(list, ItemCenterY(1), 5 * ITEM_HEIGHT + 2);
    CHECK(parent.WithCode(TILEVIEW_DRAGGED).empty());
    CHECK(Data(list) == expected);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 1);
}

TEST_CASE("TileView keyboard navigation moves the selection and reports it")
{
    TestWindow parent;
    HWND list = MakeList(parent, 12);  // five items per page
    struct Step {
        WPARAM key;
        int selectedAfter;
        int notices;
    } steps[] = {
        {VK_DOWN, 1, 1}, {VK_DOWN, 2, 1}, {VK_UP, 1, 1},  {VK_NEXT, 6, 1}, {VK_END, 11, 1},
        {VK_DOWN, 11, 0}, {VK_NEXT, 11, 0}, {VK_PRIOR, 6, 1}, {VK_HOME, 0, 1}, {VK_UP, 0, 0},
        {'A', 0, 0},
    };
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    for (const Step &s : steps) {
        CAPTURE(s.key);
        parent.Clear();
        SendMessageA(list, WM_KEYDOWN, s.key, 0);
        CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == s.selectedAfter);
        CHECK(parent.WithCode(TILEVIEW_SELCHANGE).size() == (size_t)s.notices);
    }
    // The selection is kept in view: after End the last item is on screen.
    SendMessageA(list, WM_KEYDOWN, VK_END, 0);
    Rect r;
    REQUIRE(TileView_GetItemRect(list, 11, &r));
    CHECK(r.top >= 0);
    CHECK(r.bottom <= 100);
    CHECK((SendMessageA(list, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS) != 0);
}

TEST_CASE("TileView keeps the selection sensible through inserts and deletes")
{
    TestWindow parent;
    HWND list = MakeList(parent, 5);
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    parent.Clear();

    CHECK(SendMessageA(list, LB_INSERTSTRING, 0, 99) == 0);   // before the selection
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 3);
    CHECK(SendMessageA(list, LB_GETITEMDATA, 3, 0) == 102);
    CHECK(SendMessageA(list, LB_INSERTSTRING, 9, 1) == LB_ERR);
    CHECK(SendMessageA(list, LB_INSERTSTRING, -1, 7) == 6);   // -1 appends

    CHECK(SendMessageA(list, LB_DELETESTRING, 0, 0) == 6);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 2);
    // Deleting the selected item leaves the next one selected, or the last.
    CHECK(SendMessageA(list, LB_DELETESTRING, 2, 0) == 5);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 2);
    CHECK(SendMessageA(list, LB_GETITEMDATA, 2, 0) == 103);
    SendMessageA(list, LB_SETCURSEL, 4, 0);
    CHECK(SendMessageA(list, LB_DELETESTRING, 4, 0) == 4);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == 3);
    CHECK(SendMessageA(list, LB_DELETESTRING, 4, 0) == LB_ERR);

    CHECK(SendMessageA(list, LB_SETITEMDATA, 1, 555) == 0);
    CHECK(SendMessageA(list, LB_GETITEMDATA, 1, 0) == 555);
    CHECK(SendMessageA(list, LB_SETITEMDATA, 7, 1) == LB_ERR);
    CHECK(SendMessageA(list, LB_GETITEMDATA, 7, 0) == LB_ERR);

    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    CHECK(SendMessageA(list, LB_GETCOUNT, 0, 0) == 0);
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == -1);
    // Deletions and resets are not selection changes the parent hears of.
    CHECK(parent.WithCode(TILEVIEW_SELCHANGE).size() == 1);  // only the LB_SETCURSEL above
}

TEST_CASE("TileView paints through its parent with the item record")
{
    TestWindow parent;
    HWND list = MakeList(parent, 8, 0xD101);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    InvalidateRect(list, nullptr, FALSE);
    parent.Clear();
    UpdateWindow(list);

    REQUIRE(parent.draws.size() == 5);  // 100 pixels of 20-pixel items
    for (int i = 0; i < 5; i++) {
        const guitest::DrawRequest &d = parent.draws[i];
        CAPTURE(i);
        CHECK(d.controlId == LIST_ID);
        CHECK(d.itemId == i);
        CHECK(d.rect.top == i * ITEM_HEIGHT);
        CHECK(d.rect.bottom == (i + 1) * ITEM_HEIGHT);
        CHECK(d.rect.right == 200);
        const TileItem *record = (const TileItem *)d.itemData;
        CHECK(record->data == 100 + i);
        CHECK((record->state & TILEITEM_SELECTED) == (i == 1 ? (uint32_t)TILEITEM_SELECTED : 0u));
    }
    // With the focus the selection is drawn brighter (flag 0x4000 is set).
    SetFocus(list);
    parent.Clear();
    InvalidateRect(list, nullptr, FALSE);
    UpdateWindow(list);
    REQUIRE(parent.draws.size() == 5);
    CHECK(((const TileItem *)parent.draws[1].itemData)->state == (TILEITEM_SELECTED | TILEITEM_BRIGHT));

    // Scrolled by a line, by the wheel: the first item drawn follows.
    SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0);
    parent.Clear();
    UpdateWindow(list);
    REQUIRE(!parent.draws.empty());
    CHECK(parent.draws[0].itemId == 1);
    CHECK(parent.draws[0].rect.top == 0);
    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-WHEEL_DELTA), 0);
    CHECK(SendMessageA(list, LB_GETTOPINDEX, 0, 0) == 3);  // clamped: 8 items, 5 per page
    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 2), 0);
    CHECK(SendMessageA(list, LB_GETTOPINDEX, 0, 0) == 0);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    REQUIRE(GetScrollInfo(list, SB_VERT, &si));
    CHECK(si.nMax == 7);
    CHECK(si.nPage == 5);

    // While redrawing is off the list's changes invalidate nothing and leave
    // the scroll bar alone; turning it back on catches up.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ValidateRect(list, nullptr);
    SendMessageA(list, LB_ADDSTRING, 0, 200);
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    CHECK_FALSE(GetUpdateRect(list, nullptr, FALSE));
    REQUIRE(GetScrollInfo(list, SB_VERT, &si));
    CHECK(si.nMax == 7);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    CHECK(GetUpdateRect(list, nullptr, FALSE));
    REQUIRE(GetScrollInfo(list, SB_VERT, &si));
    CHECK(si.nMax == 8);
}

#ifndef _WIN64
TEST_CASE("TileView records keep their 32-bit word layout on 32-bit Windows")
{
    // Pages written against the 32-bit control address the records by word
    // number; the 64-bit build has the same fields at pointer-sized places.
    CHECK(offsetof(TileItem, state) == 1 * 4);
    CHECK(offsetof(TileItem, data) == 2 * 4);
    CHECK(offsetof(TileViewState, flags) == 5 * 4);
    CHECK(offsetof(TileViewState, itemWidth) == 7 * 4);
    CHECK(offsetof(TileViewState, itemHeight) == 8 * 4);
    CHECK(offsetof(TileViewState, background) == 13 * 4);
    CHECK(offsetof(TileViewState, clickFlags) == 16 * 4);
    CHECK(offsetof(TileViewState, lastClicked) == 17 * 4);
}
#endif

TEST_CASE("TileView: a change to the items ends a press, and a refill of many items stays quick")
{
    TestWindow parent;
    HWND list = MakeList(parent, 3, TILEVIEW_ALLOW_DRAG);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, ItemCenterY(1)));
    CHECK(GetCapture() == list);
    SendMessageA(list, LB_ADDSTRING, 0, 7);
    CHECK(GetCapture() != list);

    // A project can hold millions of dress styles. Filling the list costs no
    // call to the window system per item: 300,000 items once took 15 s
    // under Wine, and take a fraction of a second.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    DWORD start = GetTickCount();
    for (int i = 0; i < 300000; i++)
        SendMessageA(list, LB_ADDSTRING, 0, i);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    CHECK(SendMessageA(list, LB_GETCOUNT, 0, 0) == 300000);
    CHECK(GetTickCount() - start < 3000);
}
