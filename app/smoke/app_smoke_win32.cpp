// vor-app-smoke: starts VOR.exe and checks it from outside, the way a user
// meets it: the main window appears with its caption, three tabs with the
// first page showing, the preview at 100 %; the zoom buttons and slider and
// the tabs work; a file that is not a project is refused with a message,
// the sample project opens and saves under a new name; the version dialog closes only
// with its OK button; closing the window asks first and "No" keeps the
// program running; "Yes" to the exit command ends it with code 0. Started
// again with "sample.vor" on its command line (Explorer's double click), it
// shows the sample project. A
// screenshot of the main window is written as PNG on the way, and one of
// the version dialog beside it (".version.png" appended).
//
//   vor-app-smoke VOR.EXE SCREENSHOT.PNG
//
// Run in a folder holding a data tree. Exit 0 when every check passed,
// 1 otherwise (each failed check prints one line).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "app/app_win32.h"
#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "editor/app_context_win32.h"

namespace {

int g_failures = 0;

void Check(bool ok, const char *what)
{
    printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok)
        g_failures++;
}

struct WindowQuery {
    DWORD processId;
    const wchar_t *title;
    HWND found;
};

BOOL CALLBACK FindByTitle(HWND window, LPARAM lp)
{
    WindowQuery *q = (WindowQuery *)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != q->processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    if (wcscmp(text, q->title) != 0)
        return TRUE;
    q->found = window;
    return FALSE;
}

BOOL CALLBACK FindVisiblePage(HWND child, LPARAM lp);

// Polls `done` every `stepMs` until it holds (true) or `timeoutMs` passed
// (false); it is asked once more after the time is up.
template <class Condition>
bool WaitUntil(DWORD timeoutMs, Condition done, DWORD stepMs = 100)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(stepMs);
    }
}

// The process's visible top-level window with exactly this caption, waiting
// up to `timeoutMs`.
HWND WaitForWindow(DWORD processId, const wchar_t *title, DWORD timeoutMs)
{
    WindowQuery q = {processId, title, nullptr};
    WaitUntil(timeoutMs, [&] {
        EnumWindows(FindByTitle, (LPARAM)&q);
        return q.found != nullptr;
    });
    return q.found;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil(timeoutMs, [&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

// The text of a control in the other process (WM_GETTEXT is carried across).
void ControlText(HWND control, wchar_t *text, int size)
{
    text[0] = 0;
    DWORD_PTR result;
    SendMessageTimeoutW(control, WM_GETTEXT, size, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &result);
}

// A tab's label, read through memory in the program's own address space.
bool TabLabel(HANDLE process, HWND tabs, int index, wchar_t *label, int size)
{
    struct Remote {
        TCITEMW item;
        wchar_t text[64];
    };
    Remote *remote = (Remote *)VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return false;
    Remote local = {};
    local.item.mask = TCIF_TEXT;
    local.item.pszText = remote->text;
    local.item.cchTextMax = 64;
    bool ok = WriteProcessMemory(process, remote, &local, sizeof local, nullptr) &&
              SendMessageW(tabs, TCM_GETITEMW, index, (LPARAM)&remote->item) &&
              ReadProcessMemory(process, remote, &local, sizeof local, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (ok)
        swprintf(label, size, L"%ls", local.text);
    return ok;
}

struct PageCount {
    int pages;
    int visible;
    HWND visiblePage;
};

BOOL CALLBACK CountPages(HWND child, LPARAM lp)
{
    PageCount *c = (PageCount *)lp;
    wchar_t className[64] = L"";
    GetClassNameW(child, className, 64);
    if (wcscmp(className, L"#32770") != 0 || GetParent(child) == nullptr)
        return TRUE;
    c->pages++;
    if (IsWindowVisible(child)) {
        c->visible++;
        c->visiblePage = child;
    }
    return TRUE;
}

// Copies the window's area of the screen into a PNG.
// Where the screenshots go (the second argument).
static std::string g_screenshotBase;

bool SaveScreenshot(HWND window, const char *path)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Sleep(500);
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    DIB *image = DIB_Create(32, w, h);
    bool ok = image && GetDIBits(memory, bitmap, 0, h, DIB_Bits(image), (BITMAPINFO *)image, DIB_RGB_COLORS) == h;
    if (ok) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                DIB_RowTD(image, y)[4 * x + 3] = 255;
        VorFile *file = FILE_Open(path, "wb");
        ok = file && DIB_WritePNG(image, file);
        if (file)
            ok = FILE_Close(file) == 0 && ok;
    }
    if (image)
        DIB_Delete_(image);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return ok;
}


// Waits until loading is over: the main window enabled and its progress bar
// hidden, both for a whole second. The window is enabled before the first
// load pass even starts, so being enabled alone says nothing.
bool WaitLoaded(HWND main, DWORD timeoutMs)
{
    DWORD quietSince = 0;
    bool quiet = false;
    return WaitUntil(
        timeoutMs,
        [&] {
            bool idle = IsWindowEnabled(main) && !IsWindowVisible(GetDlgItem(main, IDC_MAIN_PROGRESS));
            DWORD now = GetTickCount();
            if (idle && !quiet)
                quietSince = now;
            quiet = idle;
            return quiet && now - quietSince >= 1000;
        },
        50);
}

// The one visible page of the main window.
HWND VisiblePage(HWND main)
{
    HWND found = nullptr;
    EnumChildWindows(main, FindVisiblePage, (LPARAM)&found);
    return found;
}

BOOL CALLBACK FindVisiblePage(HWND child, LPARAM lp)
{
    wchar_t className[64] = L"";
    GetClassNameW(child, className, 64);
    if (wcscmp(className, L"#32770") == 0 && IsWindowVisible(child)) {
        *(HWND *)lp = child;
        return FALSE;
    }
    return TRUE;
}

bool ZoomTextIs(HWND main, const wchar_t *expected)
{
    wchar_t text[64];
    ControlText(GetDlgItem(main, IDC_ZOOM_TEXT), text, 64);
    return wcscmp(text, expected) == 0;
}

void CheckZoomAndTabs(HWND main)
{
    HWND slider = GetDlgItem(main, IDC_ZOOM_SLIDER);
    SendMessageW(main, WM_COMMAND, IDC_ZOOM_IN, 0);
    Check(ZoomTextIs(main, L"125.00%") && SendMessageW(slider, TBM_GETPOS, 0, 0) == 20, "+ zooms to 125 %");
    SendMessageW(main, WM_COMMAND, IDC_ZOOM_OUT, 0);
    SendMessageW(main, WM_COMMAND, IDC_ZOOM_OUT, 0);
    Check(ZoomTextIs(main, L"75.00%") && SendMessageW(slider, TBM_GETPOS, 0, 0) == 10, "- - zooms to 75 %");
    SendMessageW(slider, TBM_SETPOS, TRUE, 155);
    SendMessageW(main, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 155), (LPARAM)slider);
    Check(ZoomTextIs(main, L"800.00%"), "the slider's end zooms to 800 %");
    SendMessageW(slider, TBM_SETPOS, TRUE, 15);
    SendMessageW(main, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 15), (LPARAM)slider);
    Check(ZoomTextIs(main, L"100.00%"), "slider position 15 is 100 %");

    HWND tabs = GetDlgItem(main, IDC_MAIN_TABS);
    struct {
        int tab, control;
        const char *what;
    } steps[] = {{PAGE_DRESS, IDC_DRESS_STYLE_LIST, "the DRESS tab shows the style list"},
                 {PAGE_SAVE, IDC_SAVE_FREE_FOLDER, "the SAVE tab shows the folder edit"},
                 {PAGE_CHARA, IDC_CHARA_NAME, "back on the CHARA tab"}};
    for (const auto &s : steps) {
        SendMessageW(tabs, TCM_SETCURFOCUS, s.tab, 0);
        HWND page = VisiblePage(main);
        PageCount pages = {};
        EnumChildWindows(main, CountPages, (LPARAM)&pages);
        Check(pages.visible == 1 && page && GetDlgItem(page, s.control) != nullptr, s.what);
    }
}

// The SAVE page's browse button opens the folder chooser under its own
// caption; cancelling it leaves the program as it was.
void CheckFolderChooser(DWORD pid, HWND main)
{
    HWND tabs = GetDlgItem(main, IDC_MAIN_TABS);
    SendMessageW(tabs, TCM_SETCURFOCUS, PAGE_SAVE, 0);
    HWND page = VisiblePage(main);
    HWND browse = page ? GetDlgItem(page, IDC_SAVE_BROWSE) : nullptr;
    Check(browse != nullptr, "the SAVE page has its browse button");
    if (browse) {
        PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SAVE_BROWSE, BN_CLICKED), (LPARAM)browse);
        HWND chooser = WaitForWindow(pid, L"저장 폴더 선택", 15000);
        Check(chooser != nullptr, "the folder chooser is titled 저장 폴더 선택");
        if (chooser) {
            PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
            Check(WaitUntilGone(chooser, 5000), "cancel closes the folder chooser");
        }
    }
    SendMessageW(tabs, TCM_SETCURFOCUS, PAGE_CHARA, 0);
}

// Chooses `name` in the open or save dialog titled `title` (typed into the
// file-name field, then OK) and waits until the dialog is gone.
bool ChooseInFileDialog(DWORD pid, HWND main, UINT command, const wchar_t *title, const wchar_t *name)
{
    PostMessageW(main, WM_COMMAND, command, 0);
    HWND dialog = WaitForWindow(pid, title, 15000);
    if (!dialog) {
        printf("     no dialog titled %ls\n", title);
        return false;
    }
    Sleep(500);
    // The old template's edit or the explorer dialog's combo.
    HWND field = GetDlgItem(dialog, FILEDLG_NAME_EDIT);
    if (!field) {
        HWND combo = GetDlgItem(dialog, FILEDLG_NAME_COMBO);
        field = combo ? (HWND)SendMessageW(combo, CBEM_GETEDITCONTROL, 0, 0) : nullptr;
    }
    if (!field) {
        printf("     no file-name field in the dialog\n");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        WaitUntilGone(dialog, 5000);
        return false;
    }
    SendMessageW(field, WM_SETTEXT, 0, (LPARAM)name);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return WaitUntilGone(dialog, 10000);
}

bool WaitForCaption(HWND main, const wchar_t *caption, DWORD timeoutMs)
{
    return WaitUntil(timeoutMs, [&] {
        wchar_t text[256] = L"";
        GetWindowTextW(main, text, 256);
        return wcscmp(text, caption) == 0;
    });
}

void CheckFileMenu(DWORD pid, HWND main)
{
    // A file that is not a project is refused with a message; nothing changes.
    FILE *junk = fopen("smoke_not_a_project.vor", "wb");
    if (junk) {
        fputs("not a project", junk);
        fclose(junk);
    }
    Check(ChooseInFileDialog(pid, main, CMD_OPEN, L"파일로열기", L"smoke_not_a_project.vor"), "the open dialog");
    HWND refusal = WaitForWindow(pid, L"파일로열기", 10000);
    Check(refusal != nullptr, "a refused file is reported");
    if (refusal) {
        PostMessageW(refusal, WM_COMMAND, IDOK, 0);
        WaitUntilGone(refusal, 5000);
    }
    Check(WaitForCaption(main, L"VOR - VOR 캐릭터 만들기", 1000), "the caption stays after a refusal");
    DeleteFileA("smoke_not_a_project.vor");

    Check(ChooseInFileDialog(pid, main, CMD_OPEN, L"파일로열기", L"sample.vor"), "open sample.vor");
    Check(WaitForCaption(main, L"sample - VOR 캐릭터 만들기", 10000), "the caption names the opened file");
    WaitLoaded(main, 60000);
    // Pictures of the opened sample on each tab, for a person to look at.
    HWND tabs = GetDlgItem(main, IDC_MAIN_TABS);
    for (int tab : {PAGE_DRESS, PAGE_SAVE, PAGE_CHARA}) {
        SendMessageW(tabs, TCM_SETCURFOCUS, tab, 0);
        Sleep(300);
        std::string shot = g_screenshotBase + ".sample" + std::to_string(tab) + ".png";
        Check(SaveScreenshot(main, shot.c_str()), "screenshot of the opened sample");
    }

    DeleteFileA("smoke_copy.vor");
    Check(ChooseInFileDialog(pid, main, CMD_SAVE_AS, L"프로젝트파일저장", L"smoke_copy"), "the save-as dialog");
    Check(WaitForCaption(main, L"smoke_copy - VOR 캐릭터 만들기", 10000), "the caption names the saved file");
    Check(GetFileAttributesA("smoke_copy.vor") != INVALID_FILE_ATTRIBUTES, "the .vor extension was added");
    DeleteFileA("smoke_copy.vor");
}

void CheckMainWindow(HANDLE process, HWND main)
{
    HWND tabs = GetDlgItem(main, IDC_MAIN_TABS);
    Check(tabs && SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0) == PAGE_COUNT, "three tabs");
    Check(tabs && SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == PAGE_CHARA, "the first tab is selected");
    const wchar_t *labels[PAGE_COUNT] = {L"얼굴", L"복장", L"출력"};
    for (int i = 0; i < PAGE_COUNT; i++) {
        wchar_t label[64] = L"";
        Check(TabLabel(process, tabs, i, label, 64) && wcscmp(label, labels[i]) == 0, "tab label");
    }
    PageCount pages = {};
    EnumChildWindows(main, CountPages, (LPARAM)&pages);
    Check(pages.pages == PAGE_COUNT, "three pages");
    Check(pages.visible == 1 && GetDlgItem(pages.visiblePage, IDC_CHARA_NAME) != nullptr,
          "only the CHARA page (with the name edit) is visible");
    if (pages.visiblePage && tabs) {
        RECT page, tabRow;
        GetWindowRect(pages.visiblePage, &page);
        GetWindowRect(tabs, &tabRow);
        Check(page.top > tabRow.top + 10 && page.bottom <= tabRow.bottom && page.left >= tabRow.left &&
                  page.right <= tabRow.right,
              "the page lies inside the tab control below its tabs");
    }
    wchar_t className[64] = L"";
    GetClassNameW(GetDlgItem(main, IDC_MAIN_CANVAS), className, 64);
    Check(wcscmp(className, L"FrameLayerWnd") == 0, "the preview canvas");
    wchar_t text[64];
    ControlText(GetDlgItem(main, IDC_MAIN_CANVAS), text, 64);
    Check(wcscmp(text, L"미리보기") == 0, "the canvas's own text is 미리보기");
    ControlText(GetDlgItem(main, IDC_ZOOM_TEXT), text, 64);
    Check(wcscmp(text, L"100.00%") == 0, "zoom text 100.00%");
    Check(SendMessageW(GetDlgItem(main, IDC_ZOOM_SLIDER), TBM_GETPOS, 0, 0) == 15, "zoom slider at 15");
    Check(!IsWindowVisible(GetDlgItem(main, IDC_MAIN_PROGRESS)), "the progress bar is hidden after loading");
}

void CheckVersionDialog(DWORD pid, HWND main, const char *screenshot)
{
    PostMessageW(main, WM_COMMAND, CMD_VERSION, 0);
    HWND about = WaitForWindow(pid, L"버전 정보", 10000);
    Check(about != nullptr, "the version dialog opens");
    if (!about)
        return;
    Check(SaveScreenshot(about, screenshot), "screenshot of the version dialog written");
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    Sleep(700);
    Check(IsWindow(about) && IsWindowVisible(about), "Esc leaves the version dialog open");
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    Check(WaitUntilGone(about, 5000), "OK closes the version dialog");
}

// Asks the program to close with `msg`/`wp` and answers the question.
bool AskToClose(DWORD pid, HWND main, UINT msg, WPARAM wp, int answer)
{
    PostMessageW(main, msg, wp, 0);
    HWND question = WaitForWindow(pid, L"VOR 종료 확인", 10000);
    if (!question)
        return false;
    PostMessageW(question, WM_COMMAND, answer, 0);
    return WaitUntilGone(question, 5000);
}

// VOR.exe started with the sample project on its command line shows it
// once its first load is over, and closes as before.
void CheckCommandLine(const char *program)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    char commandLine[MAX_PATH + 32];
    snprintf(commandLine, sizeof commandLine, "\"%s\" sample.vor", program);
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
        Check(false, "start with sample.vor on the command line");
        return;
    }
    HWND main = WaitForWindow(child.dwProcessId, L"sample - VOR 캐릭터 만들기", 60000);
    Check(main != nullptr, "the command line's sample.vor opens at start-up");
    if (main) {
        Check(WaitLoaded(main, 60000), "its load pass ends");
        Check(AskToClose(child.dwProcessId, main, WM_CLOSE, 0, IDYES), "closing asks and Yes ends it");
    }
    if (WaitForSingleObject(child.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: vor-app-smoke VOR.EXE SCREENSHOT.PNG\n");
        return 2;
    }
    DIB_InitGlobal();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    char commandLine[MAX_PATH + 2];
    snprintf(commandLine, sizeof commandLine, "\"%s\"", argv[1]);
    if (!CreateProcessA(argv[1], commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
        printf("FAIL: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    DWORD pid = child.dwProcessId;
    HWND main = WaitForWindow(pid, L"VOR - VOR 캐릭터 만들기", 60000);
    Check(main != nullptr, "main window with the caption of the untitled project");
    if (main) {
        Check(WaitLoaded(main, 60000), "the first load pass ends and the window is enabled again");
        CheckMainWindow(child.hProcess, main);
        g_screenshotBase = argv[2];
        Check(SaveScreenshot(main, argv[2]), "screenshot written");
        CheckZoomAndTabs(main);
        CheckFolderChooser(pid, main);
        std::string aboutShot = std::string(argv[2]) + ".version.png";
        CheckVersionDialog(pid, main, aboutShot.c_str());
        CheckFileMenu(pid, main);
        Check(AskToClose(pid, main, WM_CLOSE, 0, IDNO), "closing asks first");
        Sleep(500);
        Check(IsWindow(main) && WaitForSingleObject(child.hProcess, 0) == WAIT_TIMEOUT, "No keeps the program running");
        Check(AskToClose(pid, main, WM_COMMAND, CMD_EXIT, IDYES), "the exit command asks first");
    }
    DWORD exitCode = 1;
    bool ended = WaitForSingleObject(child.hProcess, 20000) == WAIT_OBJECT_0;
    if (ended)
        GetExitCodeProcess(child.hProcess, &exitCode);
    Check(ended && exitCode == 0, "Yes ends the program with code 0");
    if (!ended)
        TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    CheckCommandLine(argv[1]);
    printf("%d failed\n", g_failures);
    return g_failures ? 1 : 0;
}
