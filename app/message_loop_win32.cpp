// The program's message loop step and its command line.
//
// The accelerators would take Ctrl+X (Exit) and Ctrl+Z (Undo) from an edit
// the user is typing in; while an edit has the focus its own editing keys
// reach it instead, the way they do in any other program.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/app_win32.h"

// Whether the window is an edit control (a plain one or a combo box's).
static int IsEditControl(HWND window)
{
    char name[16] = "";
    return window && GetClassNameA(window, name, sizeof name) && lstrcmpiA(name, "Edit") == 0;
}

// Ctrl with one of the keys every edit control answers.
static int IsEditKey(const MSG *msg)
{
    if (msg->message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0)
        return 0;
    switch (msg->wParam) {
    case 'X': case 'C': case 'V': case 'Z': case 'Y': case 'A': return 1;
    }
    return 0;
}

int MessageLoop_Filter(HWND main, HACCEL accelerators, MSG *msg)
{
    int editKey = IsEditKey(msg) && IsEditControl(msg->hwnd);
    // Not every edit selects everything on Ctrl+A; this one does.
    if (editKey && msg->wParam == 'A') {
        SendMessageA(msg->hwnd, EM_SETSEL, 0, -1);
        return 1;
    }
    if (!editKey && accelerators && TranslateAcceleratorW(main, accelerators, msg))
        return 1;
    return IsDialogMessageW(main, msg) ? 1 : 0;
}

// Runs the loop until the start-up load pass has finished, so that the file
// is applied to an idle document as a user's Open would be.
static void WaitForLoader(HWND main, AppContext *app)
{
    while (app->doc && app->doc->loaderRunning) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage((int)msg.wParam);
                return;
            }
            if (!MessageLoop_Filter(main, nullptr, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
}

void MessageLoop_OpenCommandLine(HWND main, const char *commandLine)
{
    AppContext *app = App_FromWindow(main);
    if (!app || !commandLine)
        return;
    while (*commandLine == ' ' || *commandLine == '\t')
        commandLine++;
    char path[VOR_MAX_PATH] = "";
    if (*commandLine == '"') {
        const char *end = strchr(commandLine + 1, '"');
        size_t n = end ? (size_t)(end - commandLine - 1) : strlen(commandLine + 1);
        if (n >= sizeof path)
            n = sizeof path - 1;
        memcpy(path, commandLine + 1, n);
        path[n] = '\0';
    } else {
        snprintf(path, sizeof path, "%s", commandLine);
        size_t n = strlen(path);
        while (n > 0 && (path[n - 1] == ' ' || path[n - 1] == '\t'))
            path[--n] = '\0';
    }
    if (!path[0])
        return;
    WaitForLoader(main, app);
    if (!IsWindow(main))
        return;
    // A relative path is taken from the folder the program started in.
    char full[VOR_MAX_PATH];
    DWORD n = path[0] ? GetFullPathNameA(path, sizeof full, full, nullptr) : 0;
    if (n > 0 && n < sizeof full)
        FileMenu_OpenPath(app, full);
    else if (path[0])
        FileMenu_OpenPath(app, path);
}
