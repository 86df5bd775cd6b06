// TileView: the owner-drawn tile list of the control library.
//
// Items are TileItem records in a PtrList; the list scrolls by whole items
// through its vertical scroll bar. Every change that moves the selection
// goes through TileView_Select, which is the one place the selection
// notification is sent from, so a user's selection and one made with
// LB_SETCURSEL look the same to the parent. A mouse click first asks the
// parent (TILEVIEW_CLICKED) and selects only if the parent left
// TILEVIEW_CLICK_SELECTS set; with TILEVIEW_ALLOW_DRAG the pressed item can
// then be dragged to another place, shown by an insertion line.
#include "core/services/tileview_win32.h"

#include <windowsx.h>

#include <cstddef>
#include <cstdlib>

// On 32-bit Windows the records keep the control's documented word layout;
// on 64-bit the same fields sit at pointer-sized places and are reached only
// by name.
#ifndef _WIN64
static_assert(offsetof(TileItem, state) == 4 && offsetof(TileItem, data) == 8,
              "the item record's state and data are its second and third words");
static_assert(offsetof(TileViewState, flags) == 5 * 4 && offsetof(TileViewState, itemWidth) == 7 * 4 &&
                  offsetof(TileViewState, itemHeight) == 8 * 4 && offsetof(TileViewState, background) == 13 * 4 &&
                  offsetof(TileViewState, clickFlags) == 16 * 4 && offsetof(TileViewState, lastClicked) == 17 * 4,
              "the pages address the state record by 32-bit word number");
#endif

namespace {

enum {
    TILEVIEW_DEFAULT_ITEM_HEIGHT = 16,
    TILEVIEW_WHEEL_LINES = 3,
    TILEVIEW_DROP_LINE = 2,      // thickness of the insertion line while dragging
    TILEVIEW_LIST_START = 16,    // item list capacity and growth step
};

// The parent's own colour for the insertion line: the system highlight.
const int TILEVIEW_DROP_COLOUR = COLOR_HIGHLIGHT;

int TileView_Count(const TileViewState *s)
{
    return PtrList_Count(s->items);
}

TileItem *TileView_Item(const TileViewState *s, int index)
{
    return (TileItem *)PtrList_Get(s->items, index);
}

int TileView_ItemHeight(const TileViewState *s)
{
    return s->itemHeight > 0 ? s->itemHeight : TILEVIEW_DEFAULT_ITEM_HEIGHT;
}

int TileView_ItemWidth(const TileViewState *s)
{
    if (s->itemWidth > 0)
        return s->itemWidth;
    RECT client;
    GetClientRect(s->window, &client);
    return client.right;
}

int TileView_ClientHeight(const TileViewState *s)
{
    RECT client;
    GetClientRect(s->window, &client);
    return client.bottom;
}

// Whole items that fit the view, at least one.
int TileView_PageItems(const TileViewState *s)
{
    int page = TileView_ClientHeight(s) / TileView_ItemHeight(s);
    return page > 0 ? page : 1;
}

int TileView_MaxTop(const TileViewState *s)
{
    int top = TileView_Count(s) - TileView_PageItems(s);
    return top > 0 ? top : 0;
}

void TileView_ItemRectAt(const TileViewState *s, int index, RECT *r)
{
    int h = TileView_ItemHeight(s);
    r->left = 0;
    r->top = (index - s->topIndex) * h;
    r->right = TileView_ItemWidth(s);
    r->bottom = r->top + h;
}

// Index of the item under a client point, -1 when none.
int TileView_ItemAt(const TileViewState *s, int x, int y)
{
    if (y < 0 || x < 0 || x >= TileView_ItemWidth(s))
        return -1;
    int index = s->topIndex + y / TileView_ItemHeight(s);
    return index < TileView_Count(s) ? index : -1;
}

// Insertion index for a drop at client height y: before the item whose
// upper half holds y, or after the last one.
int TileView_DropIndexAt(const TileViewState *s, int y)
{
    int h = TileView_ItemHeight(s);
    int offset = y + h / 2;
    int rows = offset >= 0 ? offset / h : -((-offset + h - 1) / h);
    int index = s->topIndex + rows;
    if (index < 0)
        index = 0;
    if (index > TileView_Count(s))
        index = TileView_Count(s);
    return index;
}

void TileView_Invalidate(TileViewState *s)
{
    if (!s->redrawOff)
        InvalidateRect(s->window, nullptr, FALSE);
}

void TileView_InvalidateItem(TileViewState *s, int index)
{
    if (s->redrawOff || index < 0 || index >= TileView_Count(s))
        return;
    RECT r;
    TileView_ItemRectAt(s, index, &r);
    InvalidateRect(s->window, &r, FALSE);
}

void TileView_UpdateScrollBar(TileViewState *s)
{
    if (s->topIndex > TileView_MaxTop(s))
        s->topIndex = TileView_MaxTop(s);
    if (s->topIndex < 0)
        s->topIndex = 0;
    if (s->redrawOff)
        return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = TileView_Count(s) > 0 ? TileView_Count(s) - 1 : 0;
    si.nPage = TileView_PageItems(s);
    si.nPos = s->topIndex;
    SetScrollInfo(s->window, SB_VERT, &si, TRUE);
}

void TileView_ScrollTo(TileViewState *s, int top)
{
    if (top > TileView_MaxTop(s))
        top = TileView_MaxTop(s);
    if (top < 0)
        top = 0;
    if (top == s->topIndex)
        return;
    s->topIndex = top;
    TileView_UpdateScrollBar(s);
    TileView_Invalidate(s);
}

void TileView_EnsureVisible(TileViewState *s, int index)
{
    if (index < 0)
        return;
    if (index < s->topIndex)
        TileView_ScrollTo(s, index);
    else if (index >= s->topIndex + TileView_PageItems(s))
        TileView_ScrollTo(s, index - TileView_PageItems(s) + 1);
}

void TileView_Notify(TileViewState *s, int code, LPARAM lParam)
{
    HWND parent = GetParent(s->window);
    if (!parent)
        return;
    int id = GetDlgCtrlID(s->window);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id & 0xFFFF, code), lParam);
}

// The one way the selection changes. Re-selecting the selected index does
// nothing at all; any other index (or -1) is taken, shown and reported.
void TileView_Select(TileViewState *s, int index)
{
    if (index == s->selected)
        return;
    int old = s->selected;
    s->selected = index;
    TileView_InvalidateItem(s, old);
    TileView_InvalidateItem(s, index);
    TileView_EnsureVisible(s, index);
    TileView_Notify(s, TILEVIEW_SELCHANGE, (LPARAM)s->window);
}

void TileView_EndDrag(TileViewState *s)
{
    // Capture is taken only with a press, so without one there is nothing
    // to give back; asking for it costs a call to the window system, once
    // per item when a list of millions is filled.
    if (s->pressedIndex < 0 && !s->dragging)
        return;
    int wasShowing = s->dragging;
    s->pressedIndex = -1;
    s->dragging = 0;
    s->dropBefore = -1;
    if (GetCapture() == s->window)
        ReleaseCapture();
    if (wasShowing)
        TileView_Invalidate(s);
}

// An index moved from `from` to `to` (an insertion index) shifts by one.
int TileView_IndexAfterMove(int index, int from, int to)
{
    int landed = to > from ? to - 1 : to;
    if (index == from)
        return landed;
    if (from < index && index <= landed)
        return index - 1;
    if (landed <= index && index < from)
        return index + 1;
    return index;
}

// Moves item `from` to stand before the item that was at `to`. Returns 1 when
// anything moved (dropping an item onto its own place moves nothing).
int TileView_MoveItem(TileViewState *s, int from, int to)
{
    int count = TileView_Count(s);
    if (from < 0 || from >= count || to < 0 || to > count || to == from || to == from + 1)
        return 0;
    // Both a removal and an insertion into the same list: the insertion
    // cannot fail for want of memory because the removal freed a slot.
    void *item = PtrList_Take(s->items, from);
    PtrList_InsertAt(s->items, to > from ? to - 1 : to, item);
    if (s->selected >= 0)
        s->selected = TileView_IndexAfterMove(s->selected, from, to);
    return 1;
}

// ---- messages ------------------------------------------------------------

LRESULT TileView_OnAdd(TileViewState *s, int index, LPARAM data)
{
    int count = TileView_Count(s);
    if (index == -1)
        index = count;
    if (index < 0 || index > count)
        return LB_ERR;
    TileItem *item = (TileItem *)calloc(1, sizeof(TileItem));
    if (!item)
        return LB_ERRSPACE;
    item->control = s->window;
    item->data = data;
    if (PtrList_InsertAt(s->items, index, item) < 0) {
        free(item);
        return LB_ERRSPACE;
    }
    if (s->selected >= index)
        s->selected++;
    TileView_EndDrag(s);
    TileView_UpdateScrollBar(s);
    TileView_Invalidate(s);
    return index;
}

// After deleting the selected item the selection stays on the same index
// (the item that moved up into it), or on the new last item, so a list that
// still holds items always has one selected. Nothing is reported.
LRESULT TileView_OnDelete(TileViewState *s, int index)
{
    int count = TileView_Count(s);
    if (index < 0 || index >= count)
        return LB_ERR;
    PtrList_RemoveAt(s->items, index, free);
    count--;
    if (s->selected > index)
        s->selected--;
    else if (s->selected == index && s->selected >= count)
        s->selected = count - 1;
    TileView_EndDrag(s);
    TileView_UpdateScrollBar(s);
    TileView_Invalidate(s);
    return count;
}

void TileView_OnReset(TileViewState *s)
{
    PtrList_Reset(s->items, free);
    s->selected = -1;
    s->topIndex = 0;
    s->lastClicked = -1;
    TileView_EndDrag(s);
    TileView_UpdateScrollBar(s);
    TileView_Invalidate(s);
}

LRESULT TileView_OnSetItemData(TileViewState *s, int index, LPARAM data)
{
    if (index < 0 || index >= TileView_Count(s))
        return LB_ERR;
    TileView_Item(s, index)->data = data;
    TileView_InvalidateItem(s, index);
    return 0;
}

LRESULT TileView_OnGetItemRect(TileViewState *s, int index, RECT *out)
{
    if (index < 0 || index >= TileView_Count(s) || !out)
        return LB_ERR;
    TileView_ItemRectAt(s, index, out);
    return 0;
}

void TileView_OnSetRedraw(TileViewState *s, BOOL on)
{
    s->redrawOff = !on;
    if (on) {
        TileView_UpdateScrollBar(s);
        InvalidateRect(s->window, nullptr, FALSE);
    }
}

uint32_t TileView_StateFor(const TileViewState *s, int index)
{
    if (index != s->selected)
        return 0;
    uint32_t state = TILEITEM_SELECTED;
    if (s->hasFocus && (s->flags & TILEVIEW_FOCUS_BRIGHT))
        state |= TILEITEM_BRIGHT;
    return state;
}

void TileView_FillRect(HDC dc, const RECT *r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, r, brush);
    DeleteObject(brush);
}

void TileView_OnPaint(TileViewState *s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(s->window, &ps);
    RECT client;
    GetClientRect(s->window, &client);
    HWND parent = GetParent(s->window);
    int id = GetDlgCtrlID(s->window);
    int h = TileView_ItemHeight(s);
    int width = TileView_ItemWidth(s);

    int y = 0;
    int index = s->topIndex;
    for (; index < TileView_Count(s) && y < client.bottom; index++, y += h) {
        RECT r = {0, y, width, y + h};
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &ps.rcPaint))
            continue;
        TileItem *item = TileView_Item(s, index);
        item->state = TileView_StateFor(s, index);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_LISTBOX;
        dis.CtlID = id;
        dis.itemID = index;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (item->state & TILEITEM_SELECTED) ? ODS_SELECTED : 0;
        if (s->hasFocus && index == s->selected)
            dis.itemState |= ODS_FOCUS;
        dis.hwndItem = s->window;
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = (ULONG_PTR)item;
        int saved = SaveDC(dc);
        LRESULT painted = parent ? SendMessageA(parent, WM_DRAWITEM, id, (LPARAM)&dis) : 0;
        RestoreDC(dc, saved);
        if (!painted)
            TileView_FillRect(dc, &r, s->background);
    }
    // Whatever the tiles leave uncovered shows the background colour.
    if (width < client.right) {
        RECT side = {width, 0, client.right, y < client.bottom ? y : client.bottom};
        TileView_FillRect(dc, &side, s->background);
    }
    if (y < client.bottom) {
        RECT below = {0, y, client.right, client.bottom};
        TileView_FillRect(dc, &below, s->background);
    }
    if (s->dragging && s->dropBefore >= 0) {
        int lineY = (s->dropBefore - s->topIndex) * h;
        RECT line = {0, lineY - TILEVIEW_DROP_LINE / 2, width, lineY - TILEVIEW_DROP_LINE / 2 + TILEVIEW_DROP_LINE};
        FillRect(dc, &line, GetSysColorBrush(TILEVIEW_DROP_COLOUR));
    }
    EndPaint(s->window, &ps);
}

void TileView_OnButtonDown(TileViewState *s, int x, int y)
{
    SetFocus(s->window);
    int index = TileView_ItemAt(s, x, y);
    s->lastClicked = index;
    if (index < 0)
        return;
    s->clickFlags |= TILEVIEW_CLICK_SELECTS;
    TileView_Notify(s, TILEVIEW_CLICKED, (LPARAM)s->window);
    if (!(s->clickFlags & TILEVIEW_CLICK_SELECTS))
        return;
    // The parent may have changed the list while handling the click.
    if (index >= TileView_Count(s))
        return;
    TileView_Select(s, index);
    if (s->flags & TILEVIEW_ALLOW_DRAG) {
        s->pressedIndex = index;
        s->pressX = x;
        s->pressY = y;
        s->dragging = 0;
        s->dropBefore = -1;
        SetCapture(s->window);
    }
}

void TileView_OnMouseMove(TileViewState *s, int x, int y)
{
    if (s->pressedIndex < 0 || GetCapture() != s->window)
        return;
    if (!s->dragging) {
        int threshold = GetSystemMetrics(SM_CYDRAG);
        if (threshold < 2)
            threshold = 2;
        if (abs(y - s->pressY) < threshold)
            return;
        s->dragging = 1;
    }
    // Past the top or bottom edge the list scrolls one item per move.
    if (y < 0)
        TileView_ScrollTo(s, s->topIndex - 1);
    else if (y >= TileView_ClientHeight(s))
        TileView_ScrollTo(s, s->topIndex + 1);
    int drop = TileView_DropIndexAt(s, y);
    if (drop != s->dropBefore) {
        s->dropBefore = drop;
        TileView_Invalidate(s);
    }
}

void TileView_OnButtonUp(TileViewState *s, int x, int y)
{
    if (s->pressedIndex < 0)
        return;
    int from = s->pressedIndex;
    int to = TileView_DropIndexAt(s, y);
    int dragged = s->dragging;
    TileView_EndDrag(s);
    if (dragged && TileView_MoveItem(s, from, to)) {
        TileView_Invalidate(s);
        TileView_Notify(s, TILEVIEW_DRAGGED, MAKELPARAM(from, to));
    }
}

void TileView_OnKey(TileViewState *s, WPARAM key)
{
    int count = TileView_Count(s);
    if (count == 0)
        return;
    int sel = s->selected;
    int page = TileView_PageItems(s);
    int target;
    switch (key) {
    case VK_UP: target = sel < 0 ? 0 : sel - 1; break;
    case VK_DOWN: target = sel + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_PRIOR: target = sel < 0 ? 0 : sel - page; break;
    case VK_NEXT: target = sel < 0 ? page - 1 : sel + page; break;
    default: return;
    }
    if (target < 0)
        target = 0;
    if (target >= count)
        target = count - 1;
    TileView_Select(s, target);
    TileView_EnsureVisible(s, target);
}

void TileView_OnScroll(TileViewState *s, int code)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(s->window, SB_VERT, &si);
    int top = s->topIndex;
    switch (code) {
    case SB_LINEUP: top--; break;
    case SB_LINEDOWN: top++; break;
    case SB_PAGEUP: top -= TileView_PageItems(s); break;
    case SB_PAGEDOWN: top += TileView_PageItems(s); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = si.nTrackPos; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = TileView_MaxTop(s); break;
    default: return;
    }
    TileView_ScrollTo(s, top);
}

void TileView_OnWheel(TileViewState *s, int delta)
{
    s->wheelRemainder += delta;
    int notches = s->wheelRemainder / WHEEL_DELTA;
    if (notches == 0)
        return;
    s->wheelRemainder -= notches * WHEEL_DELTA;
    TileView_ScrollTo(s, s->topIndex - notches * TILEVIEW_WHEEL_LINES);
}

void TileView_OnFocus(TileViewState *s, int focused)
{
    s->hasFocus = focused;
    TileView_InvalidateItem(s, s->selected);
}

TileViewState *TileView_CreateState(HWND window)
{
    TileViewState *s = (TileViewState *)calloc(1, sizeof(TileViewState));
    if (!s)
        return nullptr;
    s->items = PtrList_Create(TILEVIEW_LIST_START, TILEVIEW_LIST_START);
    if (!s->items) {
        free(s);
        return nullptr;
    }
    s->window = window;
    s->selected = -1;
    s->pressedIndex = -1;
    s->dropBefore = -1;
    s->lastClicked = -1;
    s->itemHeight = TILEVIEW_DEFAULT_ITEM_HEIGHT;
    s->background = GetSysColor(COLOR_WINDOW);
    return s;
}

void TileView_FreeState(TileViewState *s)
{
    PtrList_Destroy(s->items, free);
    free(s);
}

LRESULT TileView_Dispatch(TileViewState *s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case LB_ADDSTRING: return TileView_OnAdd(s, -1, lp);
    case LB_INSERTSTRING: return TileView_OnAdd(s, (int)wp, lp);
    case LB_DELETESTRING: return TileView_OnDelete(s, (int)wp);
    case LB_RESETCONTENT: TileView_OnReset(s); return 0;
    case LB_GETCOUNT: return TileView_Count(s);
    case LB_GETCURSEL: return s->selected;
    case LB_SETCURSEL:
        if ((int)wp < -1 || (int)wp >= TileView_Count(s))
            return LB_ERR;
        TileView_Select(s, (int)wp);
        return (int)wp;
    case LB_GETITEMDATA:
        if ((int)wp < 0 || (int)wp >= TileView_Count(s))
            return LB_ERR;
        return TileView_Item(s, (int)wp)->data;
    case LB_SETITEMDATA: return TileView_OnSetItemData(s, (int)wp, lp);
    case LB_GETITEMRECT: return TileView_OnGetItemRect(s, (int)wp, (RECT *)lp);
    case LB_GETTOPINDEX: return s->topIndex;
    case WM_SETREDRAW: TileView_OnSetRedraw(s, (BOOL)wp); return 0;
    case WM_PAINT: TileView_OnPaint(s); return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
    case WM_SIZE: TileView_UpdateScrollBar(s); TileView_Invalidate(s); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: TileView_OnKey(s, wp); return 0;
    case WM_VSCROLL: TileView_OnScroll(s, LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL: TileView_OnWheel(s, GET_WHEEL_DELTA_WPARAM(wp)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: TileView_OnButtonDown(s, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_MOUSEMOVE: TileView_OnMouseMove(s, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONUP: TileView_OnButtonUp(s, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_CAPTURECHANGED:
        if ((HWND)lp != s->window && s->pressedIndex >= 0) {
            s->pressedIndex = -1;
            s->dragging = 0;
            s->dropBefore = -1;
            TileView_Invalidate(s);
        }
        return 0;
    case WM_SETFOCUS: TileView_OnFocus(s, 1); return 0;
    case WM_KILLFOCUS: TileView_OnFocus(s, 0); return 0;
    }
    return DefWindowProcA(s->window, msg, wp, lp);
}

LRESULT CALLBACK TileView_WndProc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        TileViewState *s = TileView_CreateState(window);
        if (!s)
            return FALSE;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)s);
        return DefWindowProcA(window, msg, wp, lp);
    }
    TileViewState *s = (TileViewState *)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!s)
        return DefWindowProcA(window, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        TileView_FreeState(s);
        return DefWindowProcA(window, msg, wp, lp);
    }
    return TileView_Dispatch(s, msg, wp, lp);
}

}  // namespace

int TileView_Register(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(instance, TILEVIEW_CLASS, &wc))
        return 1;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = TileView_WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = TILEVIEW_CLASS;
    return RegisterClassA(&wc) != 0;
}

TileViewState *TileView_GetState(HWND control)
{
    char name[32];
    if (!control || !GetClassNameA(control, name, sizeof name) || lstrcmpiA(name, TILEVIEW_CLASS) != 0)
        return nullptr;
    return (TileViewState *)GetWindowLongPtrA(control, GWLP_USERDATA);
}

int TileView_GetItemRect(HWND control, int index, Rect *out)
{
    TileViewState *s = TileView_GetState(control);
    if (!s || !out || index < 0 || index >= TileView_Count(s))
        return 0;
    RECT r;
    TileView_ItemRectAt(s, index, &r);
    Rect_Set(out, r.left, r.top, r.right, r.bottom);
    return 1;
}
