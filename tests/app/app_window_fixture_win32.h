// The program's own main window (dialog TEST with its menu, accelerators,
// pages and canvas) over the fixture data tree, pumped through the program's
// message loop step, plus what its tests need to drive it the way a user
// does: keys posted with the keyboard state they need, message boxes
// answered from a timer, the project as the history sees it, the composed
// picture.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_win32.h"
#include "canvas/canvas_win32.h"
#include "core/imaging/dib.h"
#include "core/services/control_init_win32.h"
#include "core/services/registry_win32.h"
#include "core/services/tileview_win32.h"
#include "project/project_commands_win32.h"
#include "project/project_history.h"
#include "project/recent_files.h"
#include "pages_fixture_win32.h"

namespace apptest {

const char QUESTION_TITLE[] = "VOR 캐릭터 만들기";
const char EXIT_TITLE[] = "VOR 종료 확인";
const char OPEN_TITLE[] = "파일로열기";
const char SAVE_TITLE[] = "프로젝트파일저장";
const char COLOUR_TITLE[] = "색 선택";

inline void ClearRecentFiles()
{
    for (int i = 1; i <= RECENT_MAX; i++)
        Reg_SetString(REG_PROGRAM_KEY, ("Recent" + std::to_string(i)).c_str(), "");
}

// A message box or dialog seen by a script: its caption, text and the
// default button it offered.
struct SeenBox {
    std::string title;
    std::string text;
    int defaultId = 0;
};

struct AppWindow {
    ScratchFolder dir;
    std::string data = Fixture_BuildTree(dir.path);
    pagestest::CurrentFolder here;
    AppContext app = {};
    HWND main = nullptr;
    HACCEL accelerators = nullptr;

    // `root`: the folder to run in, holding a data tree (default: the
    // fixture tree written for the test).
    explicit AppWindow(const char *root = nullptr) : here(root ? root : dir.path)
    {
        ClearRecentFiles();
        HINSTANCE instance = GetModuleHandleA(nullptr);
        static bool once = false;
        if (!once) {
            DIB_InitGlobal();
            once = true;
        }
        Control_Init(instance);
        Canvas_Register(instance);
        app.instance = instance;
        app.untitled = 1;
        app.titleModified = 1;
        main = CreateDialogParamW(instance, L"TEST", nullptr, MainWindow_Proc, (LPARAM)&app);
        REQUIRE(main);
        accelerators = LoadAcceleratorsA(instance, "MAIN");
        SetForegroundWindow(main);
        WaitIdle();
    }
    ~AppWindow()
    {
        if (IsWindow(main)) {
            WaitIdle();
            DestroyWindow(main);
        }
        Run();
        Character_Release(&app.character);
        Wardrobe_Release(&app.wardrobe);
        PartCatalog_Free(&g_partCatalog);
        memset(&g_partCatalog, 0, sizeof g_partCatalog);
        DIB_Delete_(app.checkImage);
        ClearRecentFiles();
    }

    HWND Page(int page) { return app.pages[page]; }
    HWND Item(int page, int id) { return GetDlgItem(app.pages[page], id); }

    // The program's loop for `ms` milliseconds (at least one pass).
    void Run(DWORD ms = 0)
    {
        DWORD end = GetTickCount() + ms;
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT)
                    continue;
                if (!IsWindow(main) || !MessageLoop_Filter(main, accelerators, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            if ((LONG)(GetTickCount() - end) >= 0)
                return;
            Sleep(5);
        }
    }
    bool RunUntil(const std::function<bool()> &done, DWORD timeoutMs)
    {
        DWORD end = GetTickCount() + timeoutMs;
        while (!done() && (LONG)(GetTickCount() - end) < 0)
            Run(10);
        return done();
    }
    bool Idle()
    {
        return !IsWindow(main) ||
               (app.doc && !app.doc->loaderRunning && PtrList_Count(app.doc->requests) == 0 && IsWindowEnabled(main));
    }
    // As WaitIdle, but waking for every message and at least every
    // millisecond instead of polling in 10 ms steps: for timings.
    void WaitIdleTight(DWORD timeoutMs = 10000)
    {
        DWORD end = GetTickCount() + timeoutMs;
        while (!Idle() && (LONG)(GetTickCount() - end) < 0) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT)
                    continue;
                if (!IsWindow(main) || !MessageLoop_Filter(main, accelerators, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
            }
        }
    }
    void WaitIdle()
    {
        RunUntil([&] { return Idle(); }, 10000);
        Run();
    }

    // A command as the menu sends it.
    void Command(int id)
    {
        SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        WaitIdle();
    }
    // What a user's choice in a page's combo box sends.
    void Choose(int page, int id, int index)
    {
        SendMessageA(Item(page, id), CB_SETCURSEL, (WPARAM)index, 0);
        SendMessageA(Page(page), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)Item(page, id));
        WaitIdle();
    }
    // The same choice timed as a user sees it: from the selection to the
    // painted canvas, in milliseconds.
    double TimedChoose(int page, int id, int index)
    {
        LARGE_INTEGER start, end, frequency;
        QueryPerformanceCounter(&start);
        SendMessageA(Item(page, id), CB_SETCURSEL, (WPARAM)index, 0);
        SendMessageA(Page(page), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)Item(page, id));
        WaitIdleTight();
        UpdateWindow(app.canvas);
        QueryPerformanceCounter(&end);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    }
    void Click(int page, int id)
    {
        SendMessageA(Item(page, id), BM_CLICK, 0, 0);
        WaitIdle();
    }
    void ShowTab(int index)
    {
        HWND tabs = GetDlgItem(main, IDC_MAIN_TABS);
        NMHDR header = {tabs, IDC_MAIN_TABS, (UINT)TCN_SELCHANGING};
        SendMessageA(main, WM_NOTIFY, IDC_MAIN_TABS, (LPARAM)&header);
        SendMessageA(tabs, TCM_SETCURSEL, index, 0);
        header.code = (UINT)TCN_SELCHANGE;
        SendMessageA(main, WM_NOTIFY, IDC_MAIN_TABS, (LPARAM)&header);
        WaitIdle();
    }

    // A key pressed while `target` has the focus, with the modifiers held:
    // the key messages go through the program's loop with the keyboard
    // state a real press leaves, so the accelerators and TranslateMessage
    // see what they would see.
    void Key(HWND target, std::initializer_list<BYTE> modifiers, WORD key)
    {
        SetFocus(target);
        BYTE saved[256], state[256];
        GetKeyboardState(saved);
        memcpy(state, saved, sizeof state);
        for (BYTE m : modifiers)
            state[m] |= 0x80;
        SetKeyboardState(state);
        HWND focus = GetFocus();
        UINT scan = MapVirtualKeyA(key, 0);
        PostMessageA(focus, WM_KEYDOWN, key, 1 | (scan << 16));
        Run();
        PostMessageA(focus ? focus : main, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
        Run();
        SetKeyboardState(saved);
        WaitIdle();
    }

    std::string Caption()
    {
        char text[512] = "";
        UiText_GetWindow(main, text, sizeof text);
        return text;
    }
    bool CaptionModified() { return Caption().find("* - ") != std::string::npos; }
    std::string Text(int page, int id) { return pagestest::ItemText(Page(page), id); }

    // The project as the history keeps it (the file image, selections aside).
    std::string Project()
    {
        ProjectState s;
        if (!ProjectCmd_TakeState(&app, &s))
            return "";
        std::string image((const char *)s.bytes, s.size);
        ProjectState_Free(&s);
        return image;
    }
    // The composed picture's pixels.
    std::vector<unsigned char> Picture()
    {
        WaitIdle();
        DIB *image = app.doc ? app.doc->composed : nullptr;
        std::vector<unsigned char> pixels;
        if (!image)
            return pixels;
        int rowBytes = DIB_BytesPerRow(image);
        int height = image->height < 0 ? -image->height : image->height;
        for (int y = 0; y < height; y++) {
            const unsigned char *row = DIB_RowTD(image, y);
            pixels.insert(pixels.end(), row, row + rowBytes);
        }
        return pixels;
    }
    bool CanUndo() { return app.history && History_CanUndo(app.history); }
    bool MenuEnabled(int id)
    {
        UINT state = GetMenuState(GetMenu(main), id, MF_BYCOMMAND);
        return state != (UINT)-1 && !(state & (MF_GRAYED | MF_DISABLED));
    }

    // Writes a project of `styles` styles named S0, S1, ... with the
    // character named `name`, to open later.
    std::string WriteProject(const char *file, const char *name, int styles)
    {
        ::Project *p = Project_MakeDefault(&g_partCatalog, dir.path.c_str());
        Style_SetText(&p->name, name);
        for (int i = 1; i < styles; i++)
            PtrList_Add(p->styles, CopyStyle((DressStyle *)PtrList_Get(p->styles, 0)));
        for (int i = 0; i < styles; i++)
            Style_SetText(&((DressStyle *)PtrList_Get(p->styles, i))->name, ("S" + std::to_string(i)).c_str());
        char folder[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof folder, folder);
        std::string path = std::string(folder) + "\\" + file;
        ProjectKeySource keys = Project_CatalogKeys(&g_partCatalog);
        REQUIRE(Project_WriteFile(path.c_str(), p, &keys));
        Project_Free(p);
        return path;
    }
};

struct DialogSearch {
    const char *title;
    HWND found;
};

inline BOOL CALLBACK FindDialog_Visit(HWND w, LPARAM lp)
{
    DialogSearch *s = (DialogSearch *)lp;
    char text[256] = "", cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    UiText_GetWindow(w, text, sizeof text);
    if (IsWindowVisible(w) && strcmp(cls, "#32770") == 0 && strcmp(text, s->title) == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level dialog of this thread with the caption, or nullptr.
inline HWND FindDialog(const char *title)
{
    DialogSearch search = {title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog_Visit, (LPARAM)&search);
    return search.found;
}

// Answers the next box titled `title` with button `id`, recording it.
inline std::function<bool()> Answer(const char *title, int id, std::vector<SeenBox> *seen,
                                    const char *screenshot = nullptr)
{
    std::string t = title;
    std::string shot = screenshot ? screenshot : "";
    return [t, id, seen, shot]() {
        HWND box = FindDialog(t.c_str());
        if (!box)
            return false;
        SeenBox b;
        b.title = t;
        b.text = pagestest::ItemText(box, 0xFFFF);
        // The default button is the one drawn as such, which Enter presses.
        for (int button : {IDYES, IDNO, IDCANCEL, IDOK}) {
            HWND item = GetDlgItem(box, button);
            if (item && (GetWindowLongA(item, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
                b.defaultId = button;
        }
        if (seen)
            seen->push_back(b);
        if (!shot.empty())
            guitest::SaveWindowPng(box, shot.c_str(), true);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
        return true;
    };
}

// Every dialog a test may leave open is cancelled by the script's end.
inline std::vector<std::string> AllTitles()
{
    return {QUESTION_TITLE, EXIT_TITLE, OPEN_TITLE, SAVE_TITLE, COLOUR_TITLE, "Open", "Save As", "열기"};
}

}  // namespace apptest
