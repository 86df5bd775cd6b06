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
