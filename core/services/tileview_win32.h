// TileView: an owner-drawn vertical list of equal tiles, driven with the
// list-box messages.
//
// The control stores one pointer-sized value per item (the lParam of
// LB_ADDSTRING, LB_INSERTSTRING and LB_SETITEMDATA; no text is kept) and asks
// its parent to paint every visible item with WM_DRAWITEM, whose itemData
// points at the item's TileItem. It reports to its parent with WM_COMMAND
// (control id in the low word of wParam, code in the high word):
//   TILEVIEW_SELCHANGE  the selection moved to another index, by the user or
//                       by LB_SETCURSEL; selecting the selected item is silent
//   TILEVIEW_DRAGGED    the user dragged item `from` to stand before the item
//                       that was at `to` (lParam = from | to << 16); the
//                       control has already moved it
//   TILEVIEW_CLICKED    a mouse click landed on an item (state word 17 says
//                       which); the parent may clear TILEVIEW_CLICK_SELECTS
//                       in word 16 to keep the click from selecting
// The state record hangs off GWLP_USERDATA and is read and written by the
// pages as 32-bit words, so its layout below is fixed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/array.h"
#include "core/geometry.h"

#define TILEVIEW_CLASS "TileView"

enum {
    TILEVIEW_SELCHANGE = 1,
    TILEVIEW_DRAGGED = 6,
    TILEVIEW_CLICKED = 13,
};

// Item state word bits.
enum : uint32_t {
    TILEITEM_SELECTED = 0x1000,
    TILEITEM_BRIGHT = 0x2000,  // selected while the control has the focus
};

// Style flags (state word 5).
enum : uint32_t {
    TILEVIEW_ALLOW_DRAG = 0x1000,       // items can be dragged to a new place
    TILEVIEW_FOCUS_BRIGHT = 0x4000,     // the selection is drawn brighter while focused
};

// Click flags (state word 16).
enum : uint32_t {
    TILEVIEW_CLICK_SELECTS = 0x2,  // set before TILEVIEW_CLICKED; cleared = ignore the click
};

// What WM_DRAWITEM's itemData points at.
struct TileItem {
    HWND control;       // word 0: the list holding the item
    uint32_t state;     // word 1: TILEITEM_* bits
    LPARAM data;        // word 2: the value the program gave the item
};

// The control's state, reached with GetWindowLongA (window, GWLP_USERDATA).
// Words the program reads or writes are marked; the rest are the control's.
struct TileViewState {
    HWND window;            // 0
    PtrList *items;         // 1  TileItem, owned
    int32_t selected;       // 2  selected index, -1 none
    int32_t topIndex;       // 3  first item at the top of the view
    int32_t redrawOff;      // 4  non-zero between WM_SETREDRAW FALSE and TRUE
    uint32_t flags;         // 5  program: TILEVIEW_ALLOW_DRAG, TILEVIEW_FOCUS_BRIGHT
    int32_t pressedIndex;   // 6  item under the button while it is held, -1 none
    int32_t itemWidth;      // 7  program: tile width (0 = client width)
    int32_t itemHeight;     // 8  program: tile height
    int32_t dragging;       // 9  a drag has moved past the threshold
    int32_t dropBefore;     // 10 insertion index shown while dragging, -1 none
    int32_t pressX;         // 11 where the button went down (client)
    int32_t pressY;         // 12
    COLORREF background;    // 13 program: colour behind and below the tiles
    int32_t wheelRemainder; // 14 wheel delta not yet turned into lines
    int32_t hasFocus;       // 15
    uint32_t clickFlags;    // 16 program: TILEVIEW_CLICK_SELECTS
    int32_t lastClicked;    // 17 program: item under the last click, -1 none
};

// Registers the class (done by Control_Init). Returns 1 when registered.
int TileView_Register(HINSTANCE instance);
// The item's rectangle in client coordinates; 0 for an index out of range.
int TileView_GetItemRect(HWND control, int index, Rect *out);
// The control's state record, or nullptr for a window that is not a TileView.
TileViewState *TileView_GetState(HWND control);
