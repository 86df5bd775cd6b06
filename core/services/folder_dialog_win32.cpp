// The folder chooser: SHBrowseForFolderW, opening at the start folder. The
// folder comes back in CP949 like every path the program keeps; one CP949
// cannot spell is refused with a message.
//
// The browser selects a start folder only when it is given as the shell
// names it: a whole path without a trailing `\` (a relative path or
// "C:\out\" leaves it at the top of the tree), and one that exists. So the
// field's text is made whole, and a folder not made yet starts the browser
// at its nearest parent that is there.
#include "core/services/folder_dialog_win32.h"

#include <shlobj.h>
#include <cstring>
#include <string>

#include "core/services/ui_text_win32.h"

// What the browser's callback needs once the dialog exists.
struct FolderDialogStart {
    const wchar_t *folder;   // selected at first; empty: the shell's default
    const wchar_t *caption;  // the dialog's title; empty keeps the shell's
};

// Titles the browser and selects the start folder once it is ready: the shell
// takes only a prompt up front, the caption has to be set on the window.
static int CALLBACK FolderDialog_OnEvent(HWND dialog, UINT msg, LPARAM lp, LPARAM data)
{
    const FolderDialogStart *start = (const FolderDialogStart *)data;
    if (msg != BFFM_INITIALIZED || !start)
        return 0;
    if (start->caption[0])
        SetWindowTextW(dialog, start->caption);
    if (start->folder[0]) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, (LPARAM)start->folder);
        // The newer browser selects without opening the branch to it; and
        // some browsers still fill the tree in while this first call runs
        // and land beside the folder, so it is chosen once more when the
        // dialog is ready (the text lives until the browser returns).
        SendMessageW(dialog, BFFM_SETEXPANDED, TRUE, (LPARAM)start->folder);
        PostMessageW(dialog, BFFM_SETSELECTIONW, TRUE, (LPARAM)start->folder);
    }
    return 0;
}

// The folder to open at for the typed `folder` (see above); empty when
// nothing of it exists.
static std::wstring FolderDialog_StartFolder(const std::wstring &folder)
{
    if (folder.empty())
        return folder;
    wchar_t whole[MAX_PATH];
    DWORD n = GetFullPathNameW(folder.c_str(), MAX_PATH, whole, nullptr);
    if (n == 0 || n >= MAX_PATH)
        return L"";
    std::wstring path = whole;
    for (;;) {
        // "C:\" keeps its separator: without it the name is the drive's
        // current folder.
        while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
            path.pop_back();
        DWORD attr = GetFileAttributesW(path.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
            return path;
        size_t slash = path.find_last_of(L"\\/");
        if (slash == std::wstring::npos || path.size() <= 3)
            return L"";
        path.erase(slash + 1);
    }
}

int FileSys_GetFolderName(HWND owner, char *buffer, int size, const char *caption, const char *prompt)
{
    if (!buffer || size <= 0)
        return 0;
    wchar_t chosen[MAX_PATH] = L"";
    std::wstring start = FolderDialog_StartFolder(UiText_ToWide(buffer)), title = UiText_ToWide(caption), question = UiText_ToWide(prompt);
    CoInitialize(nullptr);
    BROWSEINFOW info;
    memset(&info, 0, sizeof info);
    info.hwndOwner = owner;
    info.pszDisplayName = chosen;
    info.lpszTitle = question.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = FolderDialog_OnEvent;
    FolderDialogStart opening = {start.c_str(), title.c_str()};
    info.lParam = (LPARAM)&opening;
    LPITEMIDLIST item = SHBrowseForFolderW(&info);
    int ok = 0;
    if (item) {
        if (SHGetPathFromIDListW(item, chosen)) {
            UiTextStatus status = UiText_FromWide(chosen, buffer, (size_t)size);
            ok = status == UITEXT_OK;
            if (!ok)
                UiText_MessageBox(owner, UiText_Problem(status), caption ? caption : "", MB_ICONERROR);
        }
        CoTaskMemFree(item);
    }
    CoUninitialize();
    return ok;
}
