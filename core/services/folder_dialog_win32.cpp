// The folder chooser: SHBrowseForFolderA, opening at the start folder.
#include "core/services/folder_dialog_win32.h"

#include <shlobj.h>
#include <cstring>

// Selects the start folder once the browser is ready.
static int CALLBACK FolderDialog_OnEvent(HWND dialog, UINT msg, LPARAM lp, LPARAM data)
{
    if (msg == BFFM_INITIALIZED && data && ((const char *)data)[0])
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
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
    info.lParam = (LPARAM)start;
    (void)caption;  // the shell browser has no caption of its own; the prompt says it
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
