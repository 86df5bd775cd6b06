// The DRESS page: the character's dress styles (add, copy, rename, delete,
// tick for export, choose the dress and its colour) and, through its second
// half, the accessories of the shown style.
//
// The style list control mirrors the wardrobe's style list item for item
// (item data = the DressStyle). Selecting a style, by the user or through
// DressPage_ChooseStyle, shows it through Wardrobe_ShowStyle: the
// accessories of the style left behind are captured into it first.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/data_tree.h"
#include "canvas/canvas_win32.h"
#include "core/imaging/file.h"
#include "editor/colordlg_win32.h"
#include "core/services/filesys.h"
#include "core/services/tileview_win32.h"
#include "editor/dress_page_win32.h"
#include "editor/page_controls_win32.h"
#include "editor/naming_dialogs_win32.h"
#include "editor/tile_draw_win32.h"
#include "layers/render.h"

enum {
    DRESS_MSG_CHOOSE_STYLE = WM_APP + 1,  // wParam = the style; DressPage_ChooseStyle
    STYLE_ITEM_HEIGHT = 24,
    STYLE_LIST_FLAGS = 0xC101,  // focus-bright selection plus the control's standard bits
    STYLE_LIST_BACKGROUND = 0xFFFFFF,
};

DressPage *DressPage_Of(HWND page)
{
    return (DressPage *)GetWindowLongPtrA(page, DWLP_USER);
}

static HWND StyleList_Control(HWND page)
{
    return GetDlgItem(page, IDC_DRESS_STYLE_LIST);
}

static int StyleList_Selection(HWND page)
{
    return (int)SendMessageA(StyleList_Control(page), LB_GETCURSEL, 0, 0);
}

static void StyleList_Redraw(HWND page)
{
    HWND list = StyleList_Control(page);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
}

// A style can only be deleted while another one remains.
static void StyleList_UpdateDeleteButton(HWND page)
{
    int count = (int)SendMessageA(StyleList_Control(page), LB_GETCOUNT, 0, 0);
    EnableWindow(GetDlgItem(page, IDC_DRESS_STYLE_DELETE), count > 1);
}


// Whether the dress has a colourable image, without loading it.
static int Dress_HasColourImage(const PartCatalog *catalog, int dress)
{
    const PartEntry *entry = (const PartEntry *)PtrList_Get(catalog->dresses, dress);
    if (!entry || strlen(entry->path) >= VOR_MAX_PATH)
        return 0;
    char path[VOR_MAX_PATH], name[VOR_MAX_PATH];
    snprintf(name, sizeof name, "%s" DATA_IMAGE_A, entry->folder);
    strcpy(path, entry->path);
    return FilePath_SetName(path, name) && File_Exists(path);
}

// The dress box and colour button show the dress of `style`.
static void DressPage_ShowDress(HWND page, const DressStyle *style, int hasColourImage)
{
    SendDlgItemMessageA(page, IDC_DRESS_DRESS, CB_SETCURSEL, (WPARAM)(style ? style->dress : -1), 0);
    EnableWindow(GetDlgItem(page, IDC_DRESS_DRESS_COLOUR), hasColourImage > 0);
}

static void StyleList_Init(HWND page)
{
    PageControls_SetUpTileView(StyleList_Control(page), STYLE_LIST_FLAGS, STYLE_ITEM_HEIGHT, STYLE_LIST_BACKGROUND);
}

static void DressPage_Init(HWND page, AppContext *app)
{
    SetWindowLongPtrA(page, GWLP_USERDATA, (LONG_PTR)app);
    DressPage *self = (DressPage *)calloc(1, sizeof(DressPage));
    if (self)
        self->app = app;
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)self);
    Wardrobe_Init(&app->wardrobe);
    PageControls_FillEntries(page, IDC_DRESS_DRESS, app->catalog->dresses);
    PageControls_FillEntries(page, IDC_DRESS_ACCESSORY_KIND, app->catalog->accessories);
    DepthList_Init(page, app);
    // The styles arrive with the first project.
    StyleList_Init(page);
    StyleList_UpdateDeleteButton(page);
}

// Style `index` of the list became the selected one: show it.
static void StyleList_OnSelection(HWND page, AppContext *app)
{
    DressPage *self = DressPage_Of(page);
    int index = StyleList_Selection(page);
    if ((self && self->syncing) || index < 0)
        return;
    int hasColourImage = Wardrobe_ShowStyle(&app->character, &app->wardrobe, index);
    if (hasColourImage < 0)
        return;
    DepthList_Rebuild(page, app);
    DressPage_ShowDress(page, Wardrobe_StyleAt(&app->wardrobe, index), hasColourImage);
}

// A click on a style's check box ticks or unticks it without selecting the
// row; a click anywhere else on the row selects as usual.
static void StyleList_OnClicked(HWND page, AppContext *app)
{
    HWND list = StyleList_Control(page);
    SetFocus(list);
    TileViewState *s = TileView_GetState(list);
    DressStyle *style = s ? Wardrobe_StyleAt(&app->wardrobe, s->lastClicked) : nullptr;
    Rect item;
    if (!style || !TileView_GetItemRect(list, s->lastClicked, &item))
        return;
    Rect box = CheckPictureRect(Rect_Height(&item), app->checkImage);
    Rect_Offset(&box, item.left, item.top);
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(list, &cursor);
    if (!Rect_Contains(&box, cursor.x, cursor.y))
        return;
    s->clickFlags &= ~TILEVIEW_CLICK_SELECTS;
    // The third state is not exported either; one click clears it.
    style->checkState = style->checkState == STYLE_UNCHECKED ? STYLE_CHECKED : STYLE_UNCHECKED;
    RECT r = {item.left, item.top, item.right, item.bottom};
    InvalidateRect(list, &r, FALSE);
}

// The shown style's live accessories go into it before it is copied.
static void DressPage_CaptureShown(AppContext *app)
{
    Wardrobe *w = &app->wardrobe;
    DressStyle *shown = Wardrobe_StyleAt(w, w->shown);
    if (!shown)
        return;
    AccessorySet *captured = CaptureAccessories(&app->character, w);
    if (captured) {
        AccessorySet_Free(shown->accessories);
        shown->accessories = captured;
    }
}

// ADD over a new or copied style; on OK the style joins the list and is
// shown, otherwise it is thrown away.
static void DressPage_AddStyle(HWND page, AppContext *app, DressStyle *style)
{
    if (!style)
        return;
    Wardrobe *w = &app->wardrobe;
    if (ShowAddStyleDialog(page, style, w->styles, app->catalog->dresses) != IDOK || PtrList_Add(w->styles, style) < 0) {
        FreeStyle(style);
        return;
    }
    HWND list = StyleList_Control(page);
    int at = (int)SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)style);
    SendMessageA(list, LB_SETCURSEL, (WPARAM)at, 0);
    StyleList_Redraw(page);
    StyleList_UpdateDeleteButton(page);
}

static void DressPage_OnCopyStyle(HWND page, AppContext *app, int fromFirst)
{
    int index = StyleList_Selection(page);
    if (index < 0)
        return;
    DressPage_CaptureShown(app);
    DressStyle *source = Wardrobe_StyleAt(&app->wardrobe, fromFirst ? 0 : index);
    if (source)
        DressPage_AddStyle(page, app, CopyStyle(source));
}

static void DressPage_OnProperties(HWND page, AppContext *app)
{
    DressStyle *style = Wardrobe_StyleAt(&app->wardrobe, StyleList_Selection(page));
    if (style && ShowStylePropertiesDialog(page, style, app->wardrobe.styles) == IDOK)
        StyleList_Redraw(page);
}

// The deleted style's accessories are not captured anywhere. The list keeps
// a selection on a neighbour without reporting it, so that neighbour is shown
// now: otherwise the canvas would keep showing the deleted style while the
// list points at another, and selecting that one again would change nothing.
static void DressPage_OnDeleteStyle(HWND page, AppContext *app)
{
    Wardrobe *w = &app->wardrobe;
    int index = StyleList_Selection(page);
    if (index < 0 || PtrList_Count(w->styles) < 2)
        return;
    w->shown = -1;
    SendMessageA(StyleList_Control(page), LB_DELETESTRING, (WPARAM)index, 0);
    PtrList_RemoveAt(w->styles, index, FreeStyleItem);
    w->selected = -1;
    StyleList_OnSelection(page, app);
    StyleList_Redraw(page);
    App_RefreshCanvas(app);
    StyleList_UpdateDeleteButton(page);
}

static void DressPage_OnDress(HWND page, AppContext *app)
{
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    DressStyle *style = Wardrobe_StyleAt(&app->wardrobe, StyleList_Selection(page));
    int dress = (int)SendDlgItemMessageA(page, IDC_DRESS_DRESS, CB_GETCURSEL, 0, 0);
    const PartEntry *entry = (const PartEntry *)PtrList_Get(app->catalog->dresses, dress);
    if (style && entry) {
        style->dress = dress;
        style->colour = entry->color;
        Style_SetText(&style->dressKey, nullptr);
        InvalidateRect(StyleList_Control(page), nullptr, FALSE);
        int hasColourImage = LoadStyleDress(&app->character, style);
        EnableWindow(GetDlgItem(page, IDC_DRESS_DRESS_COLOUR), hasColourImage);
    }
    SetCursor(previous ? previous : LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
}

// The main window applies each colour the dialog reports to the selected
// style and its dress layer.
static void DressPage_OnDressColour(HWND page, AppContext *app)
{
    int index = StyleList_Selection(page);
    DressStyle *style = Wardrobe_StyleAt(&app->wardrobe, index);
    if (!style)
        return;
    app->wardrobe.selected = index;
    Canvas_DropDragCache(app->doc);
    ColorDlg_Open(ID_DRESS, page, style->colour, app->character.dataFolder);
}

static void DressPage_OnCommand(HWND page, int id, int code, LPARAM lp)
{
    AppContext *app = App_FromWindow(page);
    if (!app)
        return;
    switch (id) {
    case IDC_DRESS_STYLE_LIST:
        if (code == TILEVIEW_SELCHANGE)
            StyleList_OnSelection(page, app);
        else if (code == TILEVIEW_CLICKED)
            StyleList_OnClicked(page, app);
        return;
    case IDC_DRESS_STYLE_ADD:
        DressPage_AddStyle(page, app, NewStyle());
        return;
    case IDC_DRESS_STYLE_COPY: DressPage_OnCopyStyle(page, app, 0); return;
    case IDC_DRESS_STYLE_COPY_FIRST: DressPage_OnCopyStyle(page, app, 1); return;
    case IDC_DRESS_STYLE_PROPERTIES: DressPage_OnProperties(page, app); return;
    case IDC_DRESS_STYLE_DELETE: DressPage_OnDeleteStyle(page, app); return;
    case IDC_DRESS_DRESS:
        if (code == CBN_SELCHANGE)
            DressPage_OnDress(page, app);
        return;
    case IDC_DRESS_DRESS_COLOUR: DressPage_OnDressColour(page, app); return;
    }
    DepthList_OnCommand(page, app, id, code, lp);
}

static INT_PTR DressPage_OnDrawItem(HWND page, const DRAWITEMSTRUCT *dis)
{
    AppContext *app = App_FromWindow(page);
    const TileItem *item = (const TileItem *)dis->itemData;
    if (!app || !item)
        return FALSE;
    HFONT font = (HFONT)SendMessageW(page, WM_GETFONT, 0, 0);
    if (dis->CtlID == IDC_DRESS_DEPTH_LIST)
        DrawDepthItem(item, dis->hDC, &dis->rcItem, &app->wardrobe, font);
    else if (dis->CtlID == IDC_DRESS_STYLE_LIST)
        DrawStyleItem(item, dis->hDC, &dis->rcItem, app->checkImage, font);
    else
        return FALSE;
    // The list reads the answer of SendMessage, which for a dialog is the
    // message result, not the procedure's return value.
    SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// Another window's choice of a style: the list selects it and reports the
// selection to the page, as a click on it does.
static void DressPage_OnChooseStyle(HWND page, int style)
{
    AppContext *app = App_FromWindow(page);
    if (app && style >= 0 && style < PtrList_Count(app->wardrobe.styles))
        SendMessageA(StyleList_Control(page), LB_SETCURSEL, (WPARAM)style, 0);
}

void DressPage_ChooseStyle(HWND page, int style)
{
    SendMessageW(page, DRESS_MSG_CHOOSE_STYLE, (WPARAM)style, 0);
}

INT_PTR CALLBACK DressPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        DressPage_Init(page, (AppContext *)lp);
        return 0;
    case DRESS_MSG_CHOOSE_STYLE: DressPage_OnChooseStyle(page, (int)wp); return TRUE;
    case WM_COMMAND:
        DressPage_OnCommand(page, LOWORD(wp), HIWORD(wp), lp);
        App_NoteCommand(App_FromWindow(page), LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_DRAWITEM:
        return DressPage_OnDrawItem(page, (const DRAWITEMSTRUCT *)lp);
    case WM_NCDESTROY:
        free(DressPage_Of(page));
        SetWindowLongPtrA(page, DWLP_USER, 0);
        return 0;
    }
    return 0;
}

void DressPage_Sync(HWND page)
{
    AppContext *app = App_FromWindow(page);
    DressPage *self = DressPage_Of(page);
    if (!app || !self)
        return;
    Wardrobe *w = &app->wardrobe;
    HWND list = StyleList_Control(page);
    // The wardrobe has shown its style already; the list only catches up.
    self->syncing = 1;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < PtrList_Count(w->styles); i++)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)Wardrobe_StyleAt(w, i));
    SendMessageA(list, LB_SETCURSEL, (WPARAM)w->selected, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    self->syncing = 0;
    StyleList_Redraw(page);
    StyleList_UpdateDeleteButton(page);

    const DressStyle *shown = Wardrobe_StyleAt(w, w->shown);
    DressPage_ShowDress(page, shown, shown ? Dress_HasColourImage(app->catalog, shown->dress) : 0);
    DepthList_Rebuild(page, app);
}

int DressPage_IsVisible(HWND page)
{
    return page && IsWindowVisible(page);
}
