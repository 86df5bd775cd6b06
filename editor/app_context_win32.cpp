// Reaching the program's shared state from any of its windows.
#include "editor/app_context_win32.h"

#include "canvas/canvas_win32.h"

AppContext *App_FromWindow(HWND window)
{
    return window ? (AppContext *)GetWindowLongPtrA(window, GWLP_USERDATA) : nullptr;
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
