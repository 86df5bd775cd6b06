// The File menu: New, Open, Save, Save As and Exit, with the standard file
// dialogs around them. What a command does to the project, the pages and
// the caption is in output/project_commands_win32.cpp; this file asks the
// user and reports what went wrong.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include <shellapi.h>

#include "app/app_win32.h"
#include "core/util.h"
#include "core/window_win32.h"
#include "output/project_commands_win32.h"
#include "output/project_history.h"
#include "output/project_session.h"

// Description and pattern pairs, ending with an empty text.
static const char kProjectFilter[] = "VOR전용프로젝트파일(*.vor)\0*.vor\0";

// The file-name field: an edit in the old dialog template, a combo box in
// the explorer-style dialog.
enum { FILEDLG_NAME_EDIT = 1152, FILEDLG_NAME_COMBO = 1148 };

// Asks for an existing file. Returns nonzero when one was chosen; its path
// is in `path` (VOR_MAX_PATH bytes).
static int FileDialog_Open(HWND owner, char *path, const char *initialFolder, const char *filter, int *filterIndex,
                           const char *title)
{
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = filterIndex ? *filterIndex : 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = VOR_MAX_PATH;
    ofn.lpstrInitialDir = initialFolder;
    ofn.lpstrTitle = title;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    int chosen = GetOpenFileNameA(&ofn);
    if (filterIndex)
        *filterIndex = (int)ofn.nFilterIndex;
    Debug_Print("filterindex = %d\n", (int)ofn.nFilterIndex);
    return chosen;
}

// Keeps the typed file name's extension in step with the chosen filter.
static UINT_PTR CALLBACK SaveDialog_Hook(HWND hook, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg != WM_NOTIFY)
        return 0;
    const OFNOTIFYA *notify = (const OFNOTIFYA *)lp;
    HWND dialog = GetParent(hook);
    const OPENFILENAMEA *ofn = notify->lpOFN;
    char ext[64];
    switch (notify->hdr.code) {
    case CDN_INITDONE:
        Wnd_CenterOnParent(dialog);
        ShowWindow(dialog, SW_SHOW);
        ProjectSession_FilterExtension(ofn->lpstrFilter, (int)ofn->nFilterIndex, 0, ext, sizeof ext);
        SendMessageA(dialog, CDM_SETDEFEXT, 0, (LPARAM)ext);
        return 0;
    case CDN_TYPECHANGE:
    case CDN_FILEOK: {
        ProjectSession_FilterExtension(ofn->lpstrFilter, (int)ofn->nFilterIndex, 1, ext, sizeof ext);
        char name[VOR_MAX_PATH] = "";
        int field = GetDlgItem(dialog, FILEDLG_NAME_EDIT) ? FILEDLG_NAME_EDIT : FILEDLG_NAME_COMBO;
        if (SendMessageA(dialog, CDM_GETSPEC, sizeof name, (LPARAM)name) < 0)
            name[0] = '\0';
        if (ext[0] && name[0] && ProjectSession_ForceExtension(name, sizeof name, ext))
            SendMessageA(dialog, CDM_SETCONTROLTEXT, field, (LPARAM)name);
        Debug_Print("<%s>\n", ext);
        // Zero result: the name is accepted.
        SetWindowLongPtrA(hook, DWLP_MSGRESULT, 0);
        return 1;
    }
    }
    return 0;
}

// Asks for a file name to save to, proposing `path`. Returns nonzero when
// one was chosen; it is in `path` (VOR_MAX_PATH bytes).
static int FileDialog_Save(HWND owner, char *path, const char *initialFolder, const char *filter, int *filterIndex,
                           const char *title)
{
    char defaultExt[64];
    ProjectSession_FilterExtension(filter, *filterIndex, 0, defaultExt, sizeof defaultExt);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = *filterIndex;
    ofn.lpstrFile = path;
    ofn.nMaxFile = VOR_MAX_PATH;
    ofn.lpstrInitialDir = initialFolder;
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = defaultExt;
    ofn.lpfnHook = SaveDialog_Hook;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    int chosen = GetSaveFileNameA(&ofn);
    *filterIndex = (int)ofn.nFilterIndex;
    Debug_Print("filterindex = %d\n", *filterIndex);
    return chosen;
}

static void ReportSaveFailure(AppContext *app, const char *path)
{
    char text[VOR_MAX_PATH + 128];
    snprintf(text, sizeof text, "프로젝트 파일을 저장하지 못했습니다.\n\n%s", path);
    MessageBoxA(app->mainWindow, text, "프로젝트파일저장", MB_ICONERROR);
}

static int IsModified(const AppContext *app)
{
    return app->history && History_IsModified(app->history);
}

int FileMenu_ConfirmDiscard(AppContext *app)
{
    if (!IsModified(app))
        return 1;
    int answer = MessageBoxA(app->mainWindow, "변경 내용을 저장하시겠습니까?", "VOR 캐릭터 만들기",
                             MB_ICONQUESTION | MB_YESNOCANCEL | MB_DEFBUTTON1);
    if (answer == IDNO)
        return 1;
    if (answer != IDYES)
        return 0;
    return FileMenu_Save(app);
}

void FileMenu_New(AppContext *app)
{
    if (!FileMenu_ConfirmDiscard(app))
        return;
    ProjectCmd_New(app);
    EditMenu_Update(app);
}

static void ReportOpenRefused(AppContext *app)
{
    MessageBoxA(app->mainWindow, "열리지 않습니다.", "파일로열기", MB_ICONERROR);
}

// Opens a path the user has chosen; the question was asked already.
static void OpenChosenPath(AppContext *app, const char *path)
{
    char currentFolder[VOR_MAX_PATH];
    GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    if (ProjectCmd_Open(app, path) == PROJECTCMD_OPENED) {
        RecentMenu_Add(app, path);
    } else {
        RecentMenu_Remove(app, path);
        ReportOpenRefused(app);
    }
    EditMenu_Update(app);
    SetCurrentDirectoryA(currentFolder);
}

void FileMenu_Open(AppContext *app)
{
    if (!FileMenu_ConfirmDiscard(app))
        return;
    char currentFolder[VOR_MAX_PATH];
    GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    char path[VOR_MAX_PATH] = "";
    int chosen = FileDialog_Open(app->mainWindow, path, app->startFolder, kProjectFilter, nullptr, "파일로열기");
    SetCurrentDirectoryA(currentFolder);
    if (chosen)
        OpenChosenPath(app, path);
}

void FileMenu_OpenPath(AppContext *app, const char *path)
{
    if (!path || !path[0] || !FileMenu_ConfirmDiscard(app))
        return;
    OpenChosenPath(app, path);
}

void FileMenu_OnDrop(AppContext *app, HDROP drop)
{
    char path[VOR_MAX_PATH] = "";
    UINT n = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (n > 0 && n < sizeof path) {
        // The question and the refusal belong in front of the user.
        SetForegroundWindow(app->mainWindow);
        FileMenu_OpenPath(app, path);
    }
}

int FileMenu_SaveAs(AppContext *app)
{
    int filterIndex = 1;
    char currentFolder[VOR_MAX_PATH];
    GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    char path[VOR_MAX_PATH];
    memcpy(path, app->projectPath, sizeof path);
    int saved = 0;
    // No initial folder: the dialog starts in the proposed path's folder.
    if (FileDialog_Save(app->mainWindow, path, nullptr, kProjectFilter, &filterIndex, "프로젝트파일저장")) {
        SetCurrentDirectoryA(currentFolder);
        SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
        saved = ProjectCmd_SaveAs(app, path);
        SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
        if (saved)
            RecentMenu_Add(app, path);
        else
            ReportSaveFailure(app, path);
    }
    SetCurrentDirectoryA(currentFolder);
    EditMenu_Update(app);
    return saved;
}

int FileMenu_Save(AppContext *app)
{
    if (app->untitled)
        return FileMenu_SaveAs(app);
    SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    int saved = ProjectCmd_Save(app);
    SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
    if (saved)
        RecentMenu_Add(app, app->projectPath);
    else
        ReportSaveFailure(app, app->projectPath);
    EditMenu_Update(app);
    return saved;
}

void FileMenu_Exit(AppContext *app)
{
    if (IsModified(app)) {
        if (FileMenu_ConfirmDiscard(app))
            DestroyWindow(app->mainWindow);
        return;
    }
    int answer = MessageBoxA(app->mainWindow, "VOR 을 종료 하시겠습니까?", "VOR 종료 확인", MB_ICONQUESTION | MB_YESNO);
    if (answer != IDNO)
        DestroyWindow(app->mainWindow);
}
