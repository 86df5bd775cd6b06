// The folder chooser: SHBrowseForFolderA, opening at the start folder.
#include "core/services/folder_dialog_win32.h"

#include <shlobj.h>
#include <cstring>

// What the browser's callback needs once the dialog exists.
struct FolderDialogStart {
    const char *folder;   // selected at first; empty: the shell's default
    const char *caption;  // the dialog's title; nullptr keeps the shell's
};

// Titles the browser and selects the start folder once it is ready: the shell
// takes only a prompt up front, the caption has to be set on the window.
static int CALLBACK FolderDialog_OnEvent(HWND dialog, UINT msg, LPARAM lp, LPARAM data)
{
    const FolderDialogStart *start = (const FolderDialogStart *)data;
    if (msg != BFFM_INITIALIZED || !start)
        return 0;
    if (start->caption && start->caption[0])
        SetWindowTextA(dialog, start->caption);
    if (start->folder[0])
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, (LPARAM)start->folder);
    return 0;
}

int FileSys_GetFolderName(HWND owner, char *buffer, int size, const char *caption, const char *prompt)
{
    if (!buffer || size <= 0)
        return 0;
    char chosen[MAX_PATH] = "";
    char start[MAX_PATH];
    lstrcpynA(start, buffer, MAX_PATH);
    CoInitialize(nullptr);
    BROWSEINFOA info;
    memset(&info, 0, sizeof info);
    info.hwndOwner = owner;
    info.pszDisplayName = chosen;
    info.lpszTitle = prompt;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = FolderDialog_OnEvent;
    FolderDialogStart opening = {start, caption};
    info.lParam = (LPARAM)&opening;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    int ok = 0;
    if (item) {
        if (SHGetPathFromIDListA(item, chosen) && (int)strlen(chosen) < size) {
            memcpy(buffer, chosen, strlen(chosen) + 1);
            ok = 1;
        }
        CoTaskMemFree(item);
    }
    CoUninitialize();
    return ok;
}
