// The main window's command table: the File and version menu commands, the
// zoom buttons, the preview canvas's notifications and the colour dialogs'
// reports. Every handler is small and hands the work to the models or the
// pages.
#include <windows.h>

#include <new>
#include <commctrl.h>

#include <cstdio>

#include "app/app_win32.h"
#include "core/services/ui_text_win32.h"
#include "canvas/canvas_win32.h"
#include "canvas/zoom_steps.h"
#include "editor/colordlg_win32.h"
#include "core/util.h"
#include "core/window_win32.h"

// Index of the first depth-list entry with the id, or -1.
static int DepthIndexOf(const LayerDocument *doc, int32_t id)
{
    for (int i = 0; i < PtrList_Count(doc->depthList); i++) {
        const Layer *layer = (const Layer *)PtrList_Get(doc->depthList, i);
        if (layer && layer->id == id)
            return i;
    }
    return -1;
}

static void OnLayerMoved(AppContext *app)
{
    int index = DepthIndexOf(app->doc, app->doc->selectedId);
    const Layer *layer = (const Layer *)PtrList_Get(app->doc->depthList, index);
    if (!layer)
        return;
    char text[32];
    snprintf(text, sizeof text, "%d,%d", layer->rect.left, layer->rect.top);
    UiText_SetItem(app->mainWindow, IDC_POSITION_TEXT, text);
}

static void SetProgressRange(AppContext *app)
{
    int count = PtrList_Count(app->doc->requests);
    SendDlgItemMessageA(app->mainWindow, IDC_MAIN_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, count));
}

static void OnLoadStart(AppContext *app)
{
    SetProgressRange(app);
    SendDlgItemMessageA(app->mainWindow, IDC_MAIN_PROGRESS, PBM_SETPOS, 0, 0);
    ShowWindow(GetDlgItem(app->mainWindow, IDC_MAIN_PROGRESS), SW_SHOW);
    EnableWindow(app->mainWindow, FALSE);
}

static void OnLoadItem(AppContext *app, int index)
{
    SetProgressRange(app);
    SendDlgItemMessageA(app->mainWindow, IDC_MAIN_PROGRESS, PBM_SETPOS, index + 1, 0);
}

static void OnLoadDone(AppContext *app)
{
    ShowWindow(GetDlgItem(app->mainWindow, IDC_MAIN_PROGRESS), SW_HIDE);
    if (app->pages[PAGE_CHARA])
        CharaPage_UpdateHairBandButton(app->pages[PAGE_CHARA]);
    // The export keeps the window disabled until it has finished.
    if (!app->exporting)
        EnableWindow(app->mainWindow, TRUE);
}

// A double click on an accessory selects it in the DRESS page's depth list,
// which makes it the canvas's selected layer.
static void OnCanvasDoubleClick(AppContext *app)
{
    HWND dress = app->pages[PAGE_DRESS];
    if (!dress || !DressPage_IsVisible(dress))
        return;
    Point p;
    Canvas_CursorToImage(app->canvas, &p);
    int id = Canvas_HitTest(app->canvas, p.x, p.y);
    if (!IsAccessoryId(id))
        return;
    int index = DepthIndexOf(app->doc, id);
    if (index < 0)
        return;
    Debug_Print("id = %d\n", id);
    SendDlgItemMessageA(dress, IDC_DRESS_DEPTH_LIST, LB_SETCURSEL, index, 0);
}

static void OnCanvasNotify(AppContext *app, int code, LPARAM lp)
{
    if (!app->doc)
        return;
    switch (code) {
    case FLN_MOVED: OnLayerMoved(app); break;
    case FLN_MOVEDONE: App_NoteChange(app, APP_MERGE_NONE); break;
    case FLN_LOADSTART: OnLoadStart(app); break;
    case FLN_LOADDONE: OnLoadDone(app); break;
    case FLN_LOADITEM: OnLoadItem(app, (int)lp); break;
    case FLN_DBLCLK: OnCanvasDoubleClick(app); break;
    case FLN_ZOOM: MainWindow_ShowZoom(app); break;
    }
}

// The colour slots and accessory layers a colour dialog may edit.
static int IsColourDialogId(int id)
{
    return (id >= ID_BROW && id <= ID_DRESS) || id == ID_HAIR_ACCESSORY || IsAccessoryId(id);
}

static void OnColourDialog(AppContext *app, int id, int code, HWND dialog)
{
    switch (code) {
    case COLORDLG_CHANGED: {
        HlsColour colour;
        if (!ColorDlg_GetColorHLS(dialog, &colour))
            return;
        HWND dress = app->pages[PAGE_DRESS];
        ApplySlotColour(&app->character, &app->wardrobe, id, colour, dress ? DressPage_IsVisible(dress) : 0);
        if (IsAccessoryId(id) && dress)
            DressPage_RedrawDepthList(dress);
        GlanceWindow_Refresh(app);
        break;
    }
    case COLORDLG_SHOWN:
        // Every colour dialog opens where the last one was closed.
        if (app->colourDialogPlaced)
            Wnd_SetPos(dialog, app->colourDialogPos.x, app->colourDialogPos.y, TRUE);
        else {
            Wnd_CenterOnParent(dialog);
            int x, y;
            Wnd_GetPos(dialog, &x, &y);
            app->colourDialogPos.x = x;
            app->colourDialogPos.y = y;
            app->colourDialogPlaced = 1;
        }
        break;
    case COLORDLG_CLOSING: {
        int x, y;
        Wnd_GetPos(dialog, &x, &y);
        app->colourDialogPos.x = x;
        app->colourDialogPos.y = y;
        break;
    }
    }
}

static void RunCommand(AppContext *app, int id, int code, LPARAM lp)
{
    if (id == IDC_MAIN_CANVAS) {
        OnCanvasNotify(app, code, lp);
        return;
    }
    if (IsColourDialogId(id) && code >= COLORDLG_CHANGED && code <= COLORDLG_CLOSING) {
        OnColourDialog(app, id, code, (HWND)lp);
        return;
    }
    switch (id) {
    case CMD_EXIT: FileMenu_Exit(app); break;
    case IDC_ZOOM_IN:
        if (app->doc)
            MainWindow_SetZoomAroundCentre(app, Zoom_StepIn(app->doc->zoom));
        break;
    case IDC_ZOOM_OUT:
        if (app->doc)
            MainWindow_SetZoomAroundCentre(app, Zoom_StepOut(app->doc->zoom));
        break;
    case CMD_SAVE: FileMenu_Save(app); break;
    case CMD_NEW: FileMenu_New(app); break;
    case CMD_OPEN: FileMenu_Open(app); break;
    case CMD_SAVE_AS: FileMenu_SaveAs(app); break;
    case CMD_VERSION: VersionDialog_Show(app->instance, app->mainWindow); break;
    case CMD_UNDO: EditMenu_Undo(app); break;
    case CMD_REDO: EditMenu_Redo(app); break;
    case CMD_RANDOM: EditMenu_Random(app); break;
    case CMD_RANDOM_DIALOG: EditMenu_RandomDialog(app); break;
    case CMD_CREDITS: CreditsDialog_Show(app); break;
    case CMD_GLANCE: GlanceWindow_Open(app); break;
    default: RecentMenu_OnCommand(app, id); break;
    }
}

// Memory running out in the middle of a command refuses that command, never
// the program: the undo steps are let go to make room and the user hears
// it, with the project as it is on screen to save.
void MainWindow_OnCommand(AppContext *app, int id, int code, LPARAM lp)
{
    try {
        RunCommand(app, id, code, lp);
    } catch (const std::bad_alloc &) {
        App_OnOutOfMemory(app);
    }
}
