// Reaching the program's shared state from any of its windows.
#include "editor/app_context_win32.h"

#include <commctrl.h>

#include "canvas/canvas_win32.h"

AppContext *App_FromWindow(HWND window)
{
    return window ? (AppContext *)GetWindowLongPtrA(window, GWLP_USERDATA) : nullptr;
}

void App_ShowPage(AppContext *app, int index)
{
    if (!app || index < 0 || index >= PAGE_COUNT)
        return;
    SendMessageW(GetDlgItem(app->mainWindow, IDC_MAIN_TABS), TCM_SETCURSEL, (WPARAM)index, 0);
    for (int i = 0; i < PAGE_COUNT; i++)
        if (app->pages[i])
            ShowWindow(app->pages[i], i == index ? SW_SHOW : SW_HIDE);
}

void App_RefreshCanvas(void *context)
{
    AppContext *app = (AppContext *)context;
    if (app && app->canvas)
        Canvas_Refresh(app->canvas);
}

void App_NoteChange(AppContext *app, int mergeTag)
{
    if (!app || !app->onChange || app->restoring > 0 || app->exporting)
        return;
    app->onChange(app, mergeTag);
}

void App_NoteCommand(AppContext *app, int id, int code)
{
    if (code == EN_KILLFOCUS)
        App_NoteChange(app, APP_MERGE_BREAK);
    else
        App_NoteChange(app, code == EN_CHANGE ? id : APP_MERGE_NONE);
}
