// The CHARA and DRESS pages inside a recording test window with a real
// canvas, over a small data tree written by the test, plus a timer-driven
// script for the modal dialogs the pages open (ADD, PROP, colour dialog,
// message boxes).
#pragma once

#include <windows.h>

#include <direct.h>

#include <functional>
#include <string>
#include <vector>

#include "canvas/canvas_win32.h"
#include "core/services/control_init_win32.h"
#include "editor/app_context_win32.h"
#include "gui_test_support.h"
#include "layers/render.h"
#include "output/fixture_tree.h"
#include "project/project.h"
#include "project/project_model.h"

namespace pagestest {

// Enters a folder for the fixture's lifetime (the character names its body
// image relative to the current folder) and returns before it is removed.
struct CurrentFolder {
    char previous[MAX_PATH] = "";
    explicit CurrentFolder(const std::string &folder)
    {
        GetCurrentDirectoryA(sizeof previous, previous);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(previous); }
};

// An 11 x 33 check picture whose three 11 x 11 pictures are plain colours,
// so a painted item tells which one was used.
inline DIB *MakeCheckImage(const COLORREF colours[3])
{
    DIB *image = DIB_Create(32, 11, 33);
    for (int y = 0; y < 33; y++)
        for (int x = 0; x < 11; x++) {
            unsigned char *p = DIB_RowTD(image, y) + 4 * x;
            COLORREF c = colours[y / 11];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            p[3] = 255;
        }
    return image;
}

const COLORREF CHECK_COLOURS[3] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};

struct PagesFixture {
    ScratchFolder dir;
    std::string data = Fixture_BuildTree(dir.path);
    CurrentFolder here;
    PartCatalog catalog = {};
    guitest::TestWindow main{900, 700};
    AppContext app = {};
    HWND chara = nullptr, dress = nullptr;

    // `root` holds the data tree to use (default: the fixture tree).
    explicit PagesFixture(const char *root = nullptr) : here(root ? root : dir.path)
    {
        const char *dataFolder = ".\\data\\";
        HINSTANCE instance = GetModuleHandleA(nullptr);
        Control_Init(instance);
        Canvas_Register(instance);
        PartCatalog_Load(&catalog, dataFolder);
        app.instance = instance;
        app.mainWindow = main.window;
        app.canvas = CreateWindowExA(0, CANVAS_CLASS, "", WS_CHILD | WS_VISIBLE, 240, 10, 380, 500, main.window,
                                     (HMENU)(INT_PTR)IDC_MAIN_CANVAS, instance, nullptr);
        app.doc = Canvas_GetDocument(app.canvas);
        app.catalog = &catalog;
        app.checkImage = MakeCheckImage(CHECK_COLOURS);
        chara = CreateDialogParamW(instance, L"CHARA", main.window, CharaPage_Proc, (LPARAM)&app);
        dress = CreateDialogParamW(instance, L"DRESS", main.window, DressPage_Proc, (LPARAM)&app);
        app.pages[PAGE_CHARA] = chara;
        app.pages[PAGE_DRESS] = dress;
        SetWindowPos(chara, nullptr, 0, 0, 230, 560, SWP_NOZORDER | SWP_SHOWWINDOW);
        SetWindowPos(dress, nullptr, 0, 0, 230, 560, SWP_NOZORDER | SWP_HIDEWINDOW);
        WaitIdle();
    }
    ~PagesFixture()
    {
        WaitIdle();
        DestroyWindow(dress);
        DestroyWindow(chara);
        DestroyWindow(app.canvas);
        Character_Release(&app.character);
        Wardrobe_Release(&app.wardrobe);
        PartCatalog_Free(&catalog);
        DIB_Delete_(app.checkImage);
    }

    // The New command: the default project applied to the models, then the
    // pages catch up.
    void NewProject()
    {
        Project *p = Project_MakeDefault(&catalog, ".\\");
        Project_Apply(p, &app.character, &app.wardrobe);
        Project_Free(p);
        CharaPage_Sync(chara);
        DressPage_Sync(dress);
        WaitIdle();
    }

    void WaitIdle()
    {
        // Requests queued without a refresh (the body at start-up) wait for
        // the next one; a test does not.
        if (app.doc && !app.doc->loaderRunning && PtrList_Count(app.doc->requests) > 0)
            Canvas_Refresh(app.canvas);
        guitest::PumpUntil([&] { return app.doc && !app.doc->loaderRunning && PtrList_Count(app.doc->requests) == 0; },
                           5000);
        guitest::Pump();
    }

    // What a user's choice in a combo box sends.
    void Choose(HWND page, int id, int index)
    {
        SendDlgItemMessageA(page, id, CB_SETCURSEL, (WPARAM)index, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)GetDlgItem(page, id));
        WaitIdle();
    }
    void Click(HWND page, int id)
    {
        SendDlgItemMessageA(page, id, BM_CLICK, 0, 0);
        WaitIdle();
    }
    int Selection(HWND page, int id, UINT msg = CB_GETCURSEL)
    {
        return (int)SendDlgItemMessageA(page, id, msg, 0, 0);
    }
    bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != 0; }

    Layer *Find(int32_t id, int32_t sub = 0) { return Character_FindLayer(&app.character, id, sub); }
    // The layer (or sub-layer) holds a decoded image.
    bool HasImage(Layer *layer)
    {
        LayerImage *li = Layer_GetImage(layer);
        return li && li->image;
    }

    // The depth list control holds exactly the document's depth list.
    bool DepthListInStep()
    {
        HWND list = GetDlgItem(dress, IDC_DRESS_DEPTH_LIST);
        int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
        if (n != PtrList_Count(app.doc->depthList))
            return false;
        for (int i = 0; i < n; i++)
            if ((void *)SendMessageA(list, LB_GETITEMDATA, i, 0) != PtrList_Get(app.doc->depthList, i))
                return false;
        return true;
    }
    int DepthIndexOf(int32_t id)
    {
        for (int i = 0; i < PtrList_Count(app.doc->depthList); i++)
            if (((Layer *)PtrList_Get(app.doc->depthList, i))->id == id)
                return i;
        return -1;
    }
};

// Runs steps on a thread timer while a modal loop (dialog, message box) owns
// the thread; each step returns true when it has done its part, and the next
// one waits for the following tick. After the steps, or when the script runs
// too long, every window titled in `closeTitles` is cancelled so that a test
// can never hang.
struct ModalScript {
    std::vector<std::function<bool()>> steps;
    std::vector<std::string> closeTitles;
    size_t next = 0;
    int ticks = 0;
    bool busy = false;
    UINT_PTR timer = 0;
    static ModalScript *&Current()
    {
        static ModalScript *current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript *s = Current();
        if (!s || s->busy)
            return;
        s->busy = true;
        s->ticks++;
        if (s->next < s->steps.size() && s->ticks < 150) {
            if (s->steps[s->next]())
                s->next++;
        } else {
            for (const std::string &t : s->closeTitles)
                if (HWND w = guitest::FindTitled(t.c_str()))
                    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        }
        s->busy = false;
    }
    ModalScript(std::vector<std::function<bool()>> s, std::vector<std::string> titles)
        : steps(std::move(s)), closeTitles(std::move(titles))
    {
        Current() = this;
        timer = SetTimer(nullptr, 0, 40, Tick);
    }
    ~ModalScript()
    {
        KillTimer(nullptr, timer);
        Current() = nullptr;
    }
    bool Finished() const { return next == steps.size(); }
};

// CP949 titles of the naming dialogs and the message box captions.
const char ADD_TITLE[] = "새 스타일 생성";
const char PROP_TITLE[] = "정보 변경";
const char FOLDER_CAPTION[] = "폴더명 입력";
const char NAME_CAPTION[] = "이름 입력";

inline std::string ItemText(HWND dialog, int id)
{
    char text[512] = "";
    UiText_GetItem(dialog, id, text, sizeof text);
    return text;
}

}  // namespace pagestest
