// The main window (dialog "TEST"): its initialisation, the three tab pages,
// the zoom slider and buttons under the preview, and the dispatch of its
// messages. The command table lives in main_commands_win32.cpp.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "app/app_win32.h"
#include "canvas/canvas_win32.h"
#include "canvas/zoom_steps.h"
#include "core/imaging/dib_win32.h"
#include "core/services/ui_text_win32.h"
#include "core/util.h"
#include "core/window_win32.h"

// The pages in tab order: dialog resource, tab label (CP949), procedure.
struct PageRow {
    const wchar_t *resource;
    const char *label;
    DLGPROC proc;
};
static const PageRow kPages[PAGE_COUNT] = {
    {L"CHARA", "얼굴", CharaPage_Proc},
    {L"DRESS", "복장", DressPage_Proc},
    {L"SAVE", "출력", SavePage_Proc},
};

// The image pixel under the middle of the canvas, to keep it in place
// across a zoom change.
static Point CanvasCentre(AppContext *app)
{
    RECT client;
    GetClientRect(app->canvas, &client);
    Point p = {client.right / 2, client.bottom / 2};
    Canvas_ClientToImage(app->canvas, &p);
    return p;
}

void MainWindow_SetZoomAroundCentre(AppContext *app, double zoom)
{
    if (!app->canvas)
        return;
    Point centre = CanvasCentre(app);
    Canvas_SetZoom(app->canvas, zoom, 0);
    Canvas_CenterOn(app->canvas, &centre, 1);
}

void MainWindow_ShowZoom(AppContext *app)
{
    if (!app->doc)
        return;
    double zoom = app->doc->zoom;
    char text[32];
    Zoom_FormatPercent(zoom, text, sizeof text);
    UiText_SetItem(app->mainWindow, IDC_ZOOM_TEXT, text);
    int position = Zoom_ToSliderPos(zoom);
    SendDlgItemMessageA(app->mainWindow, IDC_ZOOM_SLIDER, TBM_SETPOS, TRUE, position);
    Debug_Print("%f -> %d , %d\n", zoom, position, 1);
}

static void MainWindow_OnSlider(AppContext *app, HWND control, int code)
{
    if (!control || GetDlgCtrlID(control) != IDC_ZOOM_SLIDER || code >= SB_ENDSCROLL)
        return;
    int position = (int)SendMessageA(control, TBM_GETPOS, 0, 0);
    Debug_Print("(%d) zoom = %d\n", code, position);
    MainWindow_SetZoomAroundCentre(app, Zoom_FromSliderPos(position));
}

// The page a tab item stands for (its item data).
static HWND TabPage(HWND tabs, int index)
{
    TCITEMW item = {};
    item.mask = TCIF_PARAM;
    if (index < 0 || !SendMessageW(tabs, TCM_GETITEMW, index, (LPARAM)&item))
        return nullptr;
    return (HWND)item.lParam;
}

static void MainWindow_OnNotify(AppContext *app, const NMHDR *header)
{
    if (!header || header->idFrom != IDC_MAIN_TABS)
        return;
    if (header->code != (UINT)TCN_SELCHANGING && header->code != (UINT)TCN_SELCHANGE)
        return;
    HWND tabs = GetDlgItem(app->mainWindow, IDC_MAIN_TABS);
    HWND page = TabPage(tabs, (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    if (page)
        ShowWindow(page, header->code == (UINT)TCN_SELCHANGE ? SW_SHOW : SW_HIDE);
}

// The tab control's display area in the main window's client coordinates:
// below the row of tabs, inside the border.
static RECT PageRect(HWND main, HWND tabs)
{
    RECT r;
    GetClientRect(tabs, &r);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, (LPARAM)&r);
    MapWindowPoints(tabs, main, (POINT *)&r, 2);
    return r;
}

static void MainWindow_CreatePages(AppContext *app)
{
    HWND main = app->mainWindow;
    HWND tabs = GetDlgItem(main, IDC_MAIN_TABS);
    for (int i = 0; i < PAGE_COUNT; i++) {
        HWND page = CreateDialogParamW(app->instance, kPages[i].resource, main, kPages[i].proc, (LPARAM)app);
        if (!page)
            Debug_Print("create page %d failed\n", i);
        UiText_FixDialogFont(page);
        app->pages[i] = page;
        std::wstring label = UiText_ToWide(kPages[i].label);
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = &label[0];
        item.lParam = (LPARAM)page;
        SendMessageW(tabs, TCM_INSERTITEMW, i, (LPARAM)&item);
    }
    // The display area is measured once the tabs exist, so that the pages
    // start below the row of tabs whatever the font makes its height. The
    // pages lie above the tab control so that it never paints over them.
    RECT r = PageRect(main, tabs);
    for (int i = 0; i < PAGE_COUNT; i++)
        if (app->pages[i])
            SetWindowPos(app->pages[i], HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOACTIVATE);
}

static void MainWindow_OnInit(HWND main, AppContext *app)
{
    app->mainWindow = main;
    UiText_FixDialogFont(main);
    SetWindowLongPtrA(main, GWLP_USERDATA, (LONG_PTR)app);
    if (!GetCurrentDirectoryA(sizeof app->startFolder, app->startFolder))
        app->startFolder[0] = '\0';
    app->canvas = GetDlgItem(main, IDC_MAIN_CANVAS);
    app->doc = app->canvas ? Canvas_GetDocument(app->canvas) : nullptr;

    SendMessageA(main, WM_SETICON, ICON_BIG, (LPARAM)LoadIconA(app->instance, "APP"));
    SendDlgItemMessageA(main, IDC_ZOOM_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(ZOOM_SLIDER_MIN, ZOOM_SLIDER_MAX));
    SendDlgItemMessageA(main, IDC_ZOOM_SLIDER, TBM_SETPOS, TRUE, ZOOM_SLIDER_ONE);
    Wnd_CenterOnParent(main);
    app->checkImage = DIB_CreateFromResource(app->instance, "BTN_CHECK");

    LoadPartCatalog();
    app->catalog = &g_partCatalog;

    // The history exists before the pages; what they do while they start
    // up is not an edit, and the first project resets it.
    EditMenu_Install(app);
    RecentMenu_Load(app);
    DragAcceptFiles(main, TRUE);
    app->restoring++;
    MainWindow_CreatePages(app);
    App_ShowPage(app, PAGE_CHARA);
    app->restoring--;
    ShowWindow(main, SW_SHOW);
    SendMessageA(main, WM_COMMAND, CMD_NEW, 0);
}

static void MainWindow_OnDestroy(AppContext *app)
{
    DragAcceptFiles(app->mainWindow, FALSE);
    EditMenu_Uninstall(app);
    RecentMenu_Free(app);
    PostQuitMessage(0);
}

INT_PTR CALLBACK MainWindow_Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        MainWindow_OnInit(window, (AppContext *)lp);
        return 0;
    }
    // Messages before WM_INITDIALOG (the canvas reports its first zoom while
    // the controls are still being created) find no context and do nothing.
    AppContext *app = App_FromWindow(window);
    if (!app)
        return 0;
    switch (msg) {
    case WM_COMMAND: MainWindow_OnCommand(app, LOWORD(wp), HIWORD(wp), lp); return 0;
    case WM_NOTIFY: MainWindow_OnNotify(app, (const NMHDR *)lp); return 0;
    case WM_HSCROLL: MainWindow_OnSlider(app, (HWND)lp, LOWORD(wp)); return 1;
    case WM_CLOSE: SendMessageA(window, WM_COMMAND, CMD_EXIT, 0); return 1;
    case WM_DROPFILES: FileMenu_OnDrop(app, (HDROP)wp); return 0;
    case WM_DESTROY: MainWindow_OnDestroy(app); return 1;
    }
    return 0;
}
