// The program's entry: initialises the imaging and control libraries,
// registers the preview canvas, creates the main window and runs the
// message loop until that window is destroyed.
#include <windows.h>

#include "app/app_win32.h"
#include "canvas/canvas_win32.h"
#include "core/imaging/dib.h"
#include "core/services/control_init_win32.h"

// The program's one shared state; the main window and the pages reach it
// through their window user data.
static AppContext g_app;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    g_app.instance = instance;
    g_app.untitled = 1;
    g_app.titleModified = 1;
    DIB_InitGlobal();
    Control_Init(instance);
    Canvas_Register(instance);
    HWND main = CreateDialogParamW(instance, L"TEST", nullptr, MainWindow_Proc, (LPARAM)&g_app);
    if (!main)
        return 1;
    HACCEL accelerators = LoadAcceleratorsA(instance, "MAIN");
    // A file named on the command line (Explorer's double click) opens once
    // the window and its first project are up.
    MessageLoop_OpenCommandLine(main, commandLine);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (MessageLoop_Filter(main, accelerators, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
