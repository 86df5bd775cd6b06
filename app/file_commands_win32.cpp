// The File menu: New, Open, Save, Save As and Exit, with the standard file
// dialogs around them. What a command does to the project, the pages and
// the caption is in project/project_commands_win32.cpp; this file asks the
// user and reports what went wrong.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include <shellapi.h>

#include "app/app_win32.h"
#include "core/services/ui_text_win32.h"
#include "core/util.h"
#include "core/window_win32.h"
#include "output/export.h"
#include "project/project_commands_win32.h"
#include "project/project_history.h"
#include "project/project_session.h"

// Description and pattern pairs, ending with an empty text.
static const char kProjectFilter[] = "VOR전용프로젝트파일(*.vor)\0*.vor\0";

// The UTF-16 form of a filter: pairs of CP949 texts ending with an empty one.
static std::wstring WideFilter(const char *filter)
{
    size_t length = 0;
    while (filter[length] || filter[length + 1])
        length++;
    length += 2;
    int n = MultiByteToWideChar(UI_CODE_PAGE, 0, filter, (int)length, nullptr, 0);
    std::wstring wide((size_t)(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(UI_CODE_PAGE, 0, filter, (int)length, &wide[0], n);
    return wide;
}

// The path a file dialog gave back, in CP949 as the program keeps paths; a
// path CP949 cannot spell is refused with a message (nonzero when kept).
static int FileDialog_TakePath(HWND owner, const wchar_t *chosen, char *path)
{
    UiTextStatus status = UiText_FromWide(chosen, path, VOR_MAX_PATH);
    if (status == UITEXT_OK)
        return 1;
    char text[256];
    snprintf(text, sizeof text, "이 경로는 사용할 수 없습니다.\n\n%s", UiText_Problem(status));
    UiText_MessageBox(owner, text, "파일 선택", MB_ICONERROR);
    return 0;
}

// One file dialog's set-up: the record and the UTF-16 texts it points into,
// so it must stay where it was set up. The open and the save dialog fill it
// alike and differ only in flags, hook and default extension.
struct FileDialog {
    std::wstring filter, folder, title;
    wchar_t file[VOR_MAX_PATH];
    OPENFILENAMEW ofn;
};

// Fills `d` for `owner`, proposing `path` in `initialFolder` (optional) with
// the `filterIndex`-th pair of `filter` chosen.
static void FileDialog_Init(FileDialog *d, HWND owner, const char *path, const char *initialFolder,
                            const char *filter, int filterIndex, const char *title, DWORD flags)
{
    d->filter = WideFilter(filter);
    d->folder = UiText_ToWide(initialFolder);
    d->title = UiText_ToWide(title);
    lstrcpynW(d->file, UiText_ToWide(path).c_str(), VOR_MAX_PATH);
    d->ofn = OPENFILENAMEW{};
    d->ofn.lStructSize = sizeof d->ofn;
    d->ofn.hwndOwner = owner;
    d->ofn.lpstrFilter = d->filter.c_str();
    d->ofn.nFilterIndex = filterIndex;
    d->ofn.lpstrFile = d->file;
    d->ofn.nMaxFile = VOR_MAX_PATH;
    d->ofn.lpstrInitialDir = initialFolder ? d->folder.c_str() : nullptr;
    d->ofn.lpstrTitle = title ? d->title.c_str() : nullptr;
    d->ofn.Flags = flags;
}

// After the dialog closed (`chosen` its result): hands back the filter the
// user ended on and takes the chosen path into `path`.
static int FileDialog_Finish(const FileDialog *d, HWND owner, int chosen, int *filterIndex, char *path)
{
    if (filterIndex)
        *filterIndex = (int)d->ofn.nFilterIndex;
    Debug_Print("filterindex = %d\n", (int)d->ofn.nFilterIndex);
    return chosen && FileDialog_TakePath(owner, d->file, path);
}

// Asks for an existing file. Returns nonzero when one was chosen; its path
// is in `path` (VOR_MAX_PATH bytes).
static int FileDialog_Open(HWND owner, char *path, const char *initialFolder, const char *filter, int *filterIndex,
                           const char *title)
{
    FileDialog d;
    FileDialog_Init(&d, owner, path, initialFolder, filter, filterIndex ? *filterIndex : 1, title,
                    OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY);
    int chosen = GetOpenFileNameW(&d.ofn);
    return FileDialog_Finish(&d, owner, chosen, filterIndex, path);
}

// Keeps the typed file name's extension in step with the chosen filter.
static UINT_PTR CALLBACK SaveDialog_Hook(HWND hook, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg != WM_NOTIFY)
        return 0;
    const OFNOTIFYW *notify = (const OFNOTIFYW *)lp;
    HWND dialog = GetParent(hook);
    const OPENFILENAMEW *ofn = notify->lpOFN;
    // The CP949 filter the dialog was given rides along as its custom data.
    const char *filter = (const char *)ofn->lCustData;
    char ext[64];
    switch (notify->hdr.code) {
    case CDN_INITDONE:
        Wnd_CenterOnParent(dialog);
        ShowWindow(dialog, SW_SHOW);
        ProjectSession_FilterExtension(filter, (int)ofn->nFilterIndex, 0, ext, sizeof ext);
        UiText_Send(dialog, CDM_SETDEFEXT, 0, ext);
        return 0;
    case CDN_TYPECHANGE:
    case CDN_FILEOK: {
        ProjectSession_FilterExtension(filter, (int)ofn->nFilterIndex, 1, ext, sizeof ext);
        wchar_t wideName[VOR_MAX_PATH] = L"";
        char name[VOR_MAX_PATH] = "";
        int field = GetDlgItem(dialog, FILEDLG_NAME_EDIT) ? FILEDLG_NAME_EDIT : FILEDLG_NAME_COMBO;
        // A name CP949 cannot spell is left as typed; taking the path refuses it.
        if (SendMessageW(dialog, CDM_GETSPEC, VOR_MAX_PATH, (LPARAM)wideName) < 0 ||
            UiText_FromWide(wideName, name, sizeof name) != UITEXT_OK)
            name[0] = '\0';
        if (ext[0] && name[0] && ProjectSession_ForceExtension(name, sizeof name, ext))
            UiText_Send(dialog, CDM_SETCONTROLTEXT, field, name);
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
    std::wstring wideExt = UiText_ToWide(defaultExt);
    FileDialog d;
    FileDialog_Init(&d, owner, path, initialFolder, filter, *filterIndex, title,
                    OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    d.ofn.lpstrDefExt = wideExt.c_str();
    d.ofn.lpfnHook = SaveDialog_Hook;
    d.ofn.lCustData = (LPARAM)filter;
    int chosen = GetSaveFileNameW(&d.ofn);
    return FileDialog_Finish(&d, owner, chosen, filterIndex, path);
}

static void ReportSaveFailure(AppContext *app, const char *path)
{
    char text[VOR_MAX_PATH + 256];
    // The one failure the user can mend by choosing another name says so.
    snprintf(text, sizeof text, "프로젝트 파일을 저장하지 못했습니다.\n\n%s%s%s", path, File_IsOtherThanFile(path) ? "\n\n" : "",
             File_IsOtherThanFile(path) ? Export_FailureText(FILEWRITE_NOT_A_FILE) : "");
    UiText_MessageBox(app->mainWindow, text, "프로젝트파일저장", MB_ICONERROR);
}

static int IsModified(const AppContext *app)
{
    return app->history && History_IsModified(app->history);
}

int FileMenu_ConfirmDiscard(AppContext *app)
{
    if (!IsModified(app))
        return 1;
    int answer = UiText_MessageBox(app->mainWindow, "변경 내용을 저장하시겠습니까?", "VOR 캐릭터 만들기",
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
    UiText_MessageBox(app->mainWindow, "열리지 않습니다.", "파일로열기", MB_ICONERROR);
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
    wchar_t dropped[VOR_MAX_PATH] = L"";
    char path[VOR_MAX_PATH] = "";
    UINT n = DragQueryFileW(drop, 0, dropped, VOR_MAX_PATH);
    DragFinish(drop);
    if (n > 0 && n < VOR_MAX_PATH && FileDialog_TakePath(app->mainWindow, dropped, path)) {
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
    int answer = UiText_MessageBox(app->mainWindow, "VOR 을 종료 하시겠습니까?", "VOR 종료 확인",
                                   MB_ICONQUESTION | MB_YESNO);
    if (answer != IDNO)
        DestroyWindow(app->mainWindow);
}
