// A program without its main window for the SAVE page and export tests: an
// AppContext over the small fixture data tree, a host window standing in for
// the main window (tab control 1027 and canvas 1011), the SAVE page from its
// resource, and the real CHARA and DRESS pages. Message boxes shown meanwhile are
// answered and recorded, and the PROGRESS window is watched while it is up.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../output/fixture_tree.h"
#include "canvas/canvas_win32.h"
#include "core/services/control_init_win32.h"
#include "core/services/registry_win32.h"
#include "core/util.h"
#include "output/export.h"
#include "output/export_format.h"
#include "output/headless.h"
#include "core/services/tileview_win32.h"
#include "editor/app_context_win32.h"
#include "gui_test_support.h"
#include "layers/render.h"
#include "output/export_worker_win32.h"
#include "project/project_model.h"

namespace savetest {

// A registry value set (or removed) for one test and put back afterwards.
struct RegistryValue {
    std::string key, name;
    bool had = false;
    char before[1024] = "";

    RegistryValue(const char *keyPath, const char *valueName, const char *text)
        : key(keyPath), name(valueName)
    {
        had = Reg_GetString(keyPath, valueName, before, sizeof before) != 0;
        Set(text);
    }
    ~RegistryValue() { Set(had ? before : nullptr); }
    void Set(const char *text)
    {
        if (text) {
            REQUIRE(Reg_SetString(key.c_str(), name.c_str(), text));
            return;
        }
        HKEY k;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
            RegDeleteValueA(k, name.c_str());
            RegCloseKey(k);
        }
    }
    std::string Read() const
    {
        char text[1024] = "";
        return Reg_GetString(key.c_str(), name.c_str(), text, sizeof text) ? text : "<none>";
    }
};


// ---- message boxes and the progress window, seen from a timer ------------

struct ShownBox {
    std::string caption, text;
};

struct ProgressSeen {
    bool seen = false;
    std::string caption;
    int rangeLow = -1, rangeHigh = -1;
    int lastPos = 0;
    std::string lastPath;  // the label's last text
    bool exportingSeen = false;
    bool hasCloseBox = true;
};

struct Watch {
    std::string progressShot;  // when set, the progress window is saved there once
    std::vector<ShownBox> boxes;
    std::set<HWND> answered;
    ProgressSeen progress;
    const AppContext *app = nullptr;
    std::string cancelTitled;  // a dialog of this caption is cancelled, not answered
};

inline Watch *&CurrentWatch()
{
    static Watch *watch = nullptr;
    return watch;
}


inline std::string WindowText(HWND window)
{
    char text[1024] = "";
    UiText_GetWindow(window, text, sizeof text);
    return text;
}

inline BOOL CALLBACK Watch_CollectStatic(HWND child, LPARAM lp)
{
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    std::string text = WindowText(child);
    if (lstrcmpiA(cls, "Static") == 0 && !text.empty())
        *(std::string *)lp += text;
    return TRUE;
}

inline BOOL CALLBACK Watch_Visit(HWND window, LPARAM)
{
    Watch *watch = CurrentWatch();
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (!watch || !IsWindowVisible(window) || strcmp(cls, "#32770") != 0)
        return TRUE;
    if (HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR)) {
        ProgressSeen &p = watch->progress;
        p.seen = true;
        p.caption = WindowText(window);
        p.hasCloseBox = (GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) != 0;
        PBRANGE range;
        SendMessageA(bar, PBM_GETRANGE, TRUE, (LPARAM)&range);
        p.rangeLow = range.iLow;
        p.rangeHigh = range.iHigh;
        p.lastPos = (int)SendMessageA(bar, PBM_GETPOS, 0, 0);
        p.lastPath = WindowText(GetDlgItem(window, IDC_PROGRESS_PATH));
        if (watch->app && watch->app->exporting)
            p.exportingSeen = true;
        if (!watch->progressShot.empty() && !p.lastPath.empty()) {
            guitest::SaveWindowPng(window, watch->progressShot.c_str(), true);
            watch->progressShot.clear();
        }
        return TRUE;
    }
    if (watch->answered.count(window))
        return TRUE;
    ShownBox box;
    box.caption = WindowText(window);
    EnumChildWindows(window, Watch_CollectStatic, (LPARAM)&box.text);
    watch->boxes.push_back(box);
    watch->answered.insert(window);
    PostMessageA(window, WM_COMMAND, box.caption == watch->cancelTitled ? IDCANCEL : IDOK, 0);
    return TRUE;
}

inline void CALLBACK Watch_Tick(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), Watch_Visit, 0);
}

// Answers every message box of this thread while it lives.
struct WatchScope {
    Watch watch;
    UINT_PTR timer;
    explicit WatchScope(const AppContext *app = nullptr)
    {
        watch.app = app;
        CurrentWatch() = &watch;
        timer = SetTimer(nullptr, 0, 2, Watch_Tick);
    }
    ~WatchScope()
    {
        KillTimer(nullptr, timer);
        CurrentWatch() = nullptr;
    }
};

// ---- the host window ---------------------------------------------------------

inline std::vector<UINT> &TabNotices()
{
    static std::vector<UINT> codes;
    return codes;
}

inline LRESULT CALLBACK Host_Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY && ((NMHDR *)lp)->idFrom == IDC_MAIN_TABS) {
        const NMHDR *header = (const NMHDR *)lp;
        TabNotices().push_back(header->code);
        // Like the main window: the selected tab's page is the visible one.
        AppContext *app = App_FromWindow(window);
        if (header->code == (UINT)TCN_SELCHANGE && app) {
            int current = (int)SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0);
            for (int i = 0; i < PAGE_COUNT; i++)
                if (app->pages[i])
                    ShowWindow(app->pages[i], i == current ? SW_SHOW : SW_HIDE);
        }
        return 0;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

inline void RegisterClasses()
{
    static bool done = false;
    if (done)
        return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    Control_Init(instance);
    Canvas_Register(instance);
    TileView_Register(instance);
    WNDCLASSA wc = {};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = Host_Proc;
    wc.lpszClassName = "VorSaveTestHost";
    RegisterClassA(&wc);
    done = true;
}

// ---- the project every export test uses --------------------------------------

// Three styles, the second not exported and the third with the other dress
// and an accessory; the name "Abc".
inline Project *BuildProject(const PartCatalog *catalog)
{
    Project *p = Project_MakeDefault(catalog, "");
    free(p->name);
    p->name = Str_Dup("Abc");
    DressStyle *first = (DressStyle *)PtrList_Get(p->styles, 0);
    first->colour = {100, 90, 200};
    Style_SetText(&first->outputFolder, "one");
    DressStyle *second = CopyStyle(first);
    second->checkState = STYLE_UNCHECKED;
    Style_SetText(&second->outputFolder, "two");
    DressStyle *third = CopyStyle(first);
    third->dress = 1;
    Style_SetText(&third->outputFolder, "three");
    AccessoryPlacement *a = (AccessoryPlacement *)calloc(1, sizeof(AccessoryPlacement));
    a->kind = 0;
    a->colour = {30, 140, 200};
    a->position = {5, 6};
    PtrList_Add(third->accessories->placements, a);
    PtrList_Add(p->styles, second);
    PtrList_Add(p->styles, third);
    return p;
}

// The rig's project opened without a window over the rig's data folder,
// showing `style` and `expression` and loaded, as the program's export
// would start from it.
inline void OpenHeadlessProject(Headless *h, int style, int expression)
{
    REQUIRE(Headless_Open(h, ".\\data\\"));
    Project *p = BuildProject(&h->catalog);
    Project_Apply(p, &h->ch, &h->w);
    Project_Free(p);
    Wardrobe_ShowStyle(&h->ch, &h->w, style);
    Character_ChooseExpression(&h->ch, expression);
    Headless_LoadNow(h);
}

// ---- the rig ---------------------------------------------------------------------

struct Rig {
    ScratchFolder dir;
    char previousFolder[MAX_PATH] = "";
    PartCatalog catalog = {};
    AppContext app = {};
    HWND host = nullptr, tabs = nullptr;
    HWND styleList = nullptr, expressionList = nullptr;
    bool modelsReady = false;

    Rig()
    {
        RegisterClasses();
        Fixture_BuildTree(dir.path);
        // The program reads its data below the current folder.
        GetCurrentDirectoryA(sizeof previousFolder, previousFolder);
        SetCurrentDirectoryA(dir.path.c_str());
        PartCatalog_Load(&catalog, ".\\data\\");
        TabNotices().clear();

        HINSTANCE instance = GetModuleHandleA(nullptr);
        host = CreateWindowExA(0, "VorSaveTestHost", "VOR", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 900, 620,
                               nullptr, nullptr, instance, nullptr);
        SetWindowLongPtrA(host, GWLP_USERDATA, (LONG_PTR)&app);
        tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 5, 5, 320, 24, host,
                               (HMENU)(INT_PTR)IDC_MAIN_TABS, instance, nullptr);
        for (const char *label : {"CHARA", "DRESS", "SAVE"}) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = (char *)label;
            SendMessageA(tabs, TCM_INSERTITEMA, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), (LPARAM)&item);
        }
        app.instance = instance;
        app.mainWindow = host;
        app.catalog = &catalog;
        app.canvas = CreateWindowExA(0, CANVAS_CLASS, "", WS_CHILD | WS_VISIBLE, 340, 5, 540, 570, host,
                                     (HMENU)(INT_PTR)IDC_MAIN_CANVAS, instance, nullptr);
        app.doc = Canvas_GetDocument(app.canvas);
        ShowWindow(host, SW_SHOW);
    }

    ~Rig()
    {
        if (host)
            DestroyWindow(host);  // the pages are its children
        guitest::Pump();
        if (modelsReady) {
            Wardrobe_Release(&app.wardrobe);
            Character_Release(&app.character);
        }
        PartCatalog_Free(&catalog);
        SetCurrentDirectoryA(previousFolder);
    }

    HWND Page(int index) const { return app.pages[index]; }

    // Creates the SAVE page from its resource.
    HWND CreateSavePage()
    {
        app.pages[PAGE_SAVE] = CreateDialogParamW(app.instance, L"SAVE", host, SavePage_Proc, (LPARAM)&app);
        SetWindowPos(app.pages[PAGE_SAVE], nullptr, 5, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return app.pages[PAGE_SAVE];
    }

    // The SAVE page, then the other pages with the test project.
    HWND CreateSavePageWithProject()
    {
        HWND save = CreateSavePage();
        Project *p = BuildProject(&catalog);
        CreatePages(p);
        Project_Free(p);
        return save;
    }

    // The CHARA and DRESS pages from their resources (they build the
    // models), then the project applied the way the File commands do.
    void CreatePages(Project *project)
    {
        HWND chara = CreateDialogParamW(app.instance, L"CHARA", host, CharaPage_Proc, (LPARAM)&app);
        HWND dress = CreateDialogParamW(app.instance, L"DRESS", host, DressPage_Proc, (LPARAM)&app);
        REQUIRE(chara);
        REQUIRE(dress);
        modelsReady = true;
        app.pages[PAGE_CHARA] = chara;
        app.pages[PAGE_DRESS] = dress;
        for (HWND page : {chara, dress})
            SetWindowPos(page, nullptr, 5, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        expressionList = GetDlgItem(chara, IDC_CHARA_EXPRESSION);
        styleList = GetDlgItem(dress, IDC_DRESS_STYLE_LIST);
        Project_Apply(project, &app.character, &app.wardrobe);
        CharaPage_Sync(chara);
        DressPage_Sync(dress);
        if (app.pages[PAGE_SAVE])
            SavePage_UpdateOutputButton(app.pages[PAGE_SAVE]);
        WaitForLoader();
    }

    void SetName(const char *name)
    {
        // As typed: the page stores it in the character.
        UiText_SetItem(Page(PAGE_CHARA), IDC_CHARA_NAME, name);
    }

    // The user's choices, made through the pages' controls.
    void SelectStyle(int index)
    {
        SendMessageA(styleList, LB_SETCURSEL, index, 0);
        WaitForLoader();
    }
    void SelectExpression(int index)
    {
        SendMessageA(expressionList, CB_SETCURSEL, index, 0);
        SendMessageA(Page(PAGE_CHARA), WM_COMMAND, MAKEWPARAM(IDC_CHARA_EXPRESSION, CBN_SELCHANGE),
                     (LPARAM)expressionList);
        WaitForLoader();
    }

    bool WaitForLoader()
    {
        return guitest::PumpUntil([this] { return app.doc->loaderRunning == 0; }, 10000);
    }

    // Presses the SAVE page's output button, answering the boxes it shows.
    Watch PressOutput(const char *progressShot = nullptr, const char *cancelTitled = "")
    {
        WatchScope scope(&app);
        if (progressShot)
            scope.watch.progressShot = progressShot;
        scope.watch.cancelTitled = cancelTitled;
        HWND save = Page(PAGE_SAVE);
        SendMessageA(save, WM_COMMAND, MAKEWPARAM(IDC_SAVE_OUTPUT, BN_CLICKED),
                     (LPARAM)GetDlgItem(save, IDC_SAVE_OUTPUT));
        guitest::Pump(20);
        return scope.watch;
    }
};

// Every file below a folder (program path ending with `\`), by relative
// path, with its bytes.
// The radio button of a format's output kind.
inline int KindRadio(const char *word)
{
    return SavePage_KindControl(ExportFormat_FromWord(word)->saveKind);
}

// Chooses a kind as a click on its radio button does, and types the tag
// (nullptr: leaves the field as it is).
inline void ChooseKind(HWND save, const char *word, const char *tag = nullptr)
{
    for (int k = 1; SavePage_KindControl(k); k++)
        CheckDlgButton(save, SavePage_KindControl(k), BST_UNCHECKED);
    CheckDlgButton(save, KindRadio(word), BST_CHECKED);
    SendMessageA(save, WM_COMMAND, MAKEWPARAM(KindRadio(word), BN_CLICKED), (LPARAM)GetDlgItem(save, KindRadio(word)));
    if (tag)
        UiText_SetItem(save, IDC_SAVE_FIELD_1, tag);
}

inline std::map<std::string, std::vector<unsigned char>> FilesBelow(const std::string &folder)
{
    std::map<std::string, std::vector<unsigned char>> files;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec || !it->is_regular_file())
            continue;
        std::string relative = std::filesystem::relative(it->path(), folder).string();
        files[relative] = ScratchFolder::ReadBytes(it->path().string());
    }
    return files;
}

inline std::vector<unsigned char> ComposedBytes(const LayerDocument *doc)
{
    DIB *image = Canvas_ComposeExport(doc);
    std::vector<unsigned char> bytes;
    if (image) {
        const unsigned char *bits = (const unsigned char *)DIB_Bits(image);
        bytes.assign(bits, bits + (size_t)DIB_BytesPerRow(image) * image->height);
        DIB_Delete_(image);
    }
    return bytes;
}

}  // namespace savetest
