// The DRESS page's depth list: the drawing order of the character's parts
// and accessories, and the accessory controls (kind, colour, add, delete,
// move up and down, back to the origin).
//
// The control mirrors the document's depth list item for item (item data =
// the layer). Each command changes the document or the wardrobe through the
// model and then brings the control and the buttons up to date.
#include <initializer_list>

#include "canvas/canvas_win32.h"
#include "editor/colordlg_win32.h"
#include "core/services/tileview_win32.h"
#include "core/services/ui_text_win32.h"
#include "editor/dress_page_win32.h"
#include "editor/page_controls_win32.h"
#include "layers/render.h"

enum {
    DEPTH_ITEM_HEIGHT = 16,
    // Focus-bright selection plus the control's standard bits; dragging is
    // switched on only while an accessory is selected.
    DEPTH_LIST_FLAGS = 0xC101 | TILEVIEW_ALLOW_DRAG,
    LIST_BACKGROUND = 0xFFFFFF,
};

static HWND DepthList_Control(HWND page)
{
    return GetDlgItem(page, IDC_DRESS_DEPTH_LIST);
}

static int DepthList_Selection(HWND page)
{
    return (int)SendMessageA(DepthList_Control(page), LB_GETCURSEL, 0, 0);
}

static Layer *DepthList_Entry(const AppContext *app, int index)
{
    return (Layer *)PtrList_Get(app->doc->depthList, index);
}

static int IsAccessory(const Layer *layer)
{
    return layer && IsAccessoryId(layer->id);
}

static void DepthList_Redraw(HWND page)
{
    HWND list = DepthList_Control(page);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
}

void DepthList_UpdateAddButton(HWND page, const AppContext *app)
{
    EnableWindow(GetDlgItem(page, IDC_DRESS_ACCESSORY_ADD), Wardrobe_FreeSlot(&app->wardrobe) >= 0);
}

void DepthList_Rebuild(HWND page, AppContext *app)
{
    HWND list = DepthList_Control(page);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < PtrList_Count(app->doc->depthList); i++)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)DepthList_Entry(app, i));
    // From no selection to any index is a change, so the list reports it and
    // the accessory controls follow.
    SendMessageA(list, LB_SETCURSEL, (WPARAM)app->wardrobe.depthSelection, 0);
    // No selection is no change and goes unreported; the controls still
    // have to follow.
    if (DepthList_Selection(page) < 0)
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DRESS_DEPTH_LIST, TILEVIEW_SELCHANGE), (LPARAM)list);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    DepthList_Redraw(page);
    DepthList_UpdateAddButton(page, app);
}

void DepthList_Init(HWND page, AppContext *app)
{
    HWND list = DepthList_Control(page);
    PageControls_SetUpTileView(list, DEPTH_LIST_FLAGS, DEPTH_ITEM_HEIGHT, LIST_BACKGROUND);
    // Every entry covers the whole picture, so that an accessory can be
    // dragged anywhere and hit-tested there.
    for (int i = 0; i < PtrList_Count(app->doc->depthList); i++)
        Rect_SetSize(&DepthList_Entry(app, i)->rect, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    app->wardrobe.depthSelection = 0;
    DepthList_Rebuild(page, app);
}

// The selection moved: the canvas selects an accessory (ready to drag) and
// the accessory controls are usable only for one.
static void DepthList_OnSelection(HWND page, AppContext *app)
{
    int index = DepthList_Selection(page);
    Wardrobe_SelectDepthEntry(&app->character, &app->wardrobe, index);
    Layer *entry = DepthList_Entry(app, index);
    int accessory = IsAccessory(entry);
    if (TileViewState *s = TileView_GetState(DepthList_Control(page))) {
        if (accessory)
            s->flags |= TILEVIEW_ALLOW_DRAG;
        else
            s->flags &= ~TILEVIEW_ALLOW_DRAG;
    }
    for (int id : {IDC_DRESS_ACCESSORY_DELETE, IDC_DRESS_MOVE_UP, IDC_DRESS_MOVE_DOWN, IDC_DRESS_ACCESSORY_KIND,
                   IDC_DRESS_ACCESSORY_HOME})
        EnableWindow(GetDlgItem(page, id), accessory);
    LayerImage *colourable = accessory ? Layer_GetImage(Layer_Find(entry, ID_IMAGE_A)) : nullptr;
    EnableWindow(GetDlgItem(page, IDC_DRESS_ACCESSORY_COLOUR), colourable && colourable->image);
    if (accessory) {
        const AccessorySlot *slot = &app->wardrobe.slots[entry->id - ID_ACCESSORY_FIRST];
        SendDlgItemMessageA(page, IDC_DRESS_ACCESSORY_KIND, CB_SETCURSEL, (WPARAM)slot->kind, 0);
    }
}

// The user dragged item `from` to stand before the item that was at `to`;
// the control has moved its item already.
static void DepthList_OnDragged(HWND page, AppContext *app, int from, int to)
{
    app->wardrobe.depthSelection = DepthList_Selection(page);
    if (!Array_Move(app->doc->depthList, from, from, to))
        return;
    Canvas_DropDragCache(app->doc);
    App_RefreshCanvas(app);
}

// Swaps the selected entry with its neighbour one place to the front (-1)
// or to the back (+1); the selection follows the entry.
static void DepthList_Swap(HWND page, AppContext *app, int step)
{
    PtrList *depth = app->doc->depthList;
    int i = DepthList_Selection(page), j = i + step;
    if (i < 0 || j < 0 || j >= PtrList_Count(depth))
        return;
    Layer *a = DepthList_Entry(app, i), *b = DepthList_Entry(app, j);
    PtrList_Set(depth, i, b);
    PtrList_Set(depth, j, a);
    HWND list = DepthList_Control(page);
    SendMessageA(list, LB_SETITEMDATA, (WPARAM)i, (LPARAM)b);
    SendMessageA(list, LB_SETITEMDATA, (WPARAM)j, (LPARAM)a);
    SendMessageA(list, LB_SETCURSEL, (WPARAM)j, 0);
    Canvas_DropDragCache(app->doc);
    App_RefreshCanvas(app);
}

static void DepthList_OnKind(HWND page, AppContext *app)
{
    int kind = (int)SendDlgItemMessageA(page, IDC_DRESS_ACCESSORY_KIND, CB_GETCURSEL, 0, 0);
    int index = DepthList_Selection(page);
    if (kind < 0 || !IsAccessory(DepthList_Entry(app, index)))
        return;
    int colourable = Wardrobe_SetAccessoryKind(&app->character, &app->wardrobe, index, kind);
    EnableWindow(GetDlgItem(page, IDC_DRESS_ACCESSORY_COLOUR), colourable);
    DepthList_Redraw(page);
}

// The colour dialog reports each colour to the main window, which recolours
// the accessory live. The accessory is the canvas's selected layer, so its
// drag caches stay valid.
static void DepthList_OnColour(HWND page, AppContext *app)
{
    Layer *entry = DepthList_Entry(app, DepthList_Selection(page));
    if (!IsAccessory(entry))
        return;
    ColorDlg_Open(entry->id, page, app->wardrobe.slots[entry->id - ID_ACCESSORY_FIRST].colour,
                  app->character.dataFolder);
}

static void DepthList_OnAdd(HWND page, AppContext *app)
{
    int hadFreeSlot = Wardrobe_FreeSlot(&app->wardrobe) >= 0;
    Layer *layer = Wardrobe_AddAccessory(&app->character, &app->wardrobe);
    if (!layer) {
        // With a free slot the only reason is memory; the list is unchanged.
        if (hadFreeSlot)
            UiText_MessageBox(page, "메모리가 부족하여 장신구를 추가하지 못했습니다.", "장신구 추가", MB_OK | MB_ICONERROR);
        return;
    }
    int at = PtrList_IndexOf(app->doc->depthList, layer);
    HWND list = DepthList_Control(page);
    SendMessageA(list, LB_INSERTSTRING, (WPARAM)at, (LPARAM)layer);
    // The insertion pushed the selection one place down; selecting the new
    // accessory reports the change and makes it the canvas's selected layer.
    SendMessageA(list, LB_SETCURSEL, (WPARAM)at, 0);
    DepthList_Redraw(page);
    DepthList_UpdateAddButton(page, app);
}

static void DepthList_OnDelete(HWND page, AppContext *app)
{
    int index = DepthList_Selection(page);
    if (!Wardrobe_RemoveAccessory(&app->character, &app->wardrobe, index))
        return;
    SendMessageA(DepthList_Control(page), LB_DELETESTRING, (WPARAM)index, 0);
    // The list keeps a selection on a neighbour without reporting it.
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DRESS_DEPTH_LIST, TILEVIEW_SELCHANGE),
                 (LPARAM)DepthList_Control(page));
    DepthList_Redraw(page);
    DepthList_UpdateAddButton(page, app);
}

// Back to the picture's top-left; the main window's position read-out
// learns of it as after a drag on the canvas.
static void DepthList_OnHome(HWND page, AppContext *app)
{
    Layer *entry = DepthList_Entry(app, DepthList_Selection(page));
    if (!entry)
        return;
    Layer_MoveTo(entry, 0, 0);
    if (entry->id != app->doc->selectedId)
        Canvas_DropDragCache(app->doc);
    SendMessageA(GetParent(page), WM_COMMAND, MAKEWPARAM(IDC_MAIN_CANVAS, FLN_MOVED), (LPARAM)app->canvas);
    App_RefreshCanvas(app);
}

int DepthList_OnCommand(HWND page, AppContext *app, int id, int code, LPARAM lp)
{
    switch (id) {
    case IDC_DRESS_DEPTH_LIST:
        if (code == TILEVIEW_SELCHANGE)
            DepthList_OnSelection(page, app);
        else if (code == TILEVIEW_DRAGGED)
            DepthList_OnDragged(page, app, LOWORD(lp), HIWORD(lp));
        return 1;
    case IDC_DRESS_MOVE_UP: DepthList_Swap(page, app, -1); return 1;
    case IDC_DRESS_MOVE_DOWN: DepthList_Swap(page, app, +1); return 1;
    case IDC_DRESS_ACCESSORY_KIND:
        if (code == CBN_SELCHANGE)
            DepthList_OnKind(page, app);
        return 1;
    case IDC_DRESS_ACCESSORY_COLOUR: DepthList_OnColour(page, app); return 1;
    case IDC_DRESS_ACCESSORY_ADD: DepthList_OnAdd(page, app); return 1;
    case IDC_DRESS_ACCESSORY_DELETE: DepthList_OnDelete(page, app); return 1;
    case IDC_DRESS_ACCESSORY_HOME: DepthList_OnHome(page, app); return 1;
    }
    return 0;
}

void DressPage_RedrawDepthList(HWND page)
{
    DepthList_Redraw(page);
}
