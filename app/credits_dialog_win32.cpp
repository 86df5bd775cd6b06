// The parts window ("CREDITS", 버전정보 ▸ 사용한 부품 정보): the list the
// export writes as CREDITS.txt, for the character as it is now, noted
// through the export's own loop without showing anything. Only "확인"
// (Enter) and Escape close it.
#include <windows.h>

#include <string>

#include "app/app_win32.h"
#include "core/services/ui_text_win32.h"
#include "core/window_win32.h"
#include "output/credits.h"

static INT_PTR CreditsDialog_OnInit(HWND dialog, AppContext *app)
{
    ExportCredits credits;
    Credits_NoteExport(&credits, &app->character, &app->wardrobe);
    std::string text = Credits_Text(&credits, app->catalog, app->character.name);
    UiText_SetItem(dialog, IDC_CREDITS_TEXT, text.c_str());
    Wnd_CenterOnParent(dialog);
    UiText_FixDialogFont(dialog);
    // The button, not the text, has the focus: Enter closes at once.
    SetFocus(GetDlgItem(dialog, IDOK));
    return FALSE;
}

static INT_PTR CALLBACK CreditsDialog_Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: return CreditsDialog_OnInit(dialog, (AppContext *)lp);
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)
            EndDialog(dialog, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

void CreditsDialog_Show(AppContext *app)
{
    DialogBoxParamW(app->instance, L"CREDITS", app->mainWindow, CreditsDialog_Proc, (LPARAM)app);
}
