// The version dialog ("VER"): the program's name, version and icon. Only
// the "확인" button (command 1, also Enter) closes it.
#include <windows.h>

#include "app/app_win32.h"
#include "core/services/ui_text_win32.h"
#include "core/window_win32.h"

static INT_PTR CALLBACK VersionDialog_Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        Wnd_CenterOnParent(dialog);
        UiText_FixDialogFont(dialog);
        ShowWindow(dialog, SW_SHOW);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK)
            EndDialog(dialog, 1);
        return 0;
    }
    return 0;
}

void VersionDialog_Show(HINSTANCE instance, HWND owner)
{
    DialogBoxParamW(instance, L"VER", owner, VersionDialog_Proc, 0);
}
