// The SAVE page: where the export writes (a target game's character picture
// folder, found through the registry, or a free folder typed or browsed by
// the user) and the output button that checks the names and runs it.
//
// The free folder survives across runs in the registry (SaveDir), and the
// page records the program's own folder there (InstallDir) when it closes.
// The page's user data is the AppContext, like every page; its own state
// (the two picture folders) lives in a record under DWLP_USER.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/services/filesys.h"
#include "core/services/folder_dialog_win32.h"
#include "core/services/registry_win32.h"
#include "core/services/ui_text_win32.h"
#include "editor/app_context_win32.h"
#include "output/export.h"
#include "output/export_worker_win32.h"
#include "output/renpy_export.h"
#include "output/layered_file.h"

enum {
    IDC_SAVE_FIRST_TARGET = 1028,
    IDC_SAVE_SECOND_TARGET = 1032,
    TARGET_COUNT = 2,
};

static const char *const TARGET_KEYS[TARGET_COUNT] = {"Software\\Sorrel\\TideGarden\\",
                                                      "Software\\Sorrel\\EmberVale\\"};
static const int TARGET_RADIOS[TARGET_COUNT] = {IDC_SAVE_FIRST_TARGET, IDC_SAVE_SECOND_TARGET};
// Where the games look for character pictures, below their install folder.
static const char PICTURE_FOLDER[] = "Data\\Picture\\CHARA\\";

struct SavePage {
    char pictureFolder[TARGET_COUNT][VOR_MAX_PATH];  // each ends with `\`
    int available[TARGET_COUNT];                     // the game's InstallDir was found
};

static SavePage *SavePage_State(HWND page)
{
    return page ? (SavePage *)GetWindowLongPtrA(page, DWLP_USER) : nullptr;
}

// ---- the accessors other windows use ----------------------------------------

// The edit's text, as far as a path can hold it.
static int SavePage_ReadFreeFolder(HWND page, char *folder)
{
    UiTextStatus status = UiText_GetItem(page, IDC_SAVE_FREE_FOLDER, folder, VOR_MAX_PATH);
    if (status == UITEXT_TOO_LONG) {
        // The edit holds what a path can; the tail is cut as before.
        std::wstring wide(VOR_MAX_PATH, L'\0');
        GetDlgItemTextW(page, IDC_SAVE_FREE_FOLDER, &wide[0], VOR_MAX_PATH / 2);
        status = UiText_FromWide(wide.c_str(), folder, VOR_MAX_PATH);
    }
    if (status != UITEXT_OK)
        folder[0] = 0;
    return status == UITEXT_OK;
}

// The model follows every change of the edit, typed or set.
static void SavePage_OnFreeFolderChange(HWND page)
{
    AppContext *app = App_FromWindow(page);
    if (app)
        app->freeFolderUsable = SavePage_ReadFreeFolder(page, app->freeFolder);
}

void SavePage_SetFreeFolder(HWND page, const char *folder)
{
    AppContext *app = App_FromWindow(page);
    if (app) {
        snprintf(app->freeFolder, sizeof app->freeFolder, "%s", folder ? folder : "");
        app->freeFolderUsable = 1;
    }
    UiText_SetItem(page, IDC_SAVE_FREE_FOLDER, folder);
}

int SavePage_GetFreeFolder(HWND page, char *folder)
{
    AppContext *app = App_FromWindow(page);
    if (!app) {
        folder[0] = 0;
        return 0;
    }
    memcpy(folder, app->freeFolder, sizeof app->freeFolder);
    return app->freeFolderUsable;
}

int SavePage_IsFreeFolderChecked(HWND page)
{
    return IsDlgButtonChecked(page, IDC_SAVE_FREE_RADIO) == BST_CHECKED;
}

void SavePage_SetFreeFolderChecked(HWND page, int checked)
{
    // Unticking the free folder leaves the first target the radio group
    // can offer; without one the free folder stays the choice.
    int target = -1;
    for (int t = 0; t < TARGET_COUNT && !checked && target < 0; t++)
        if (IsWindowEnabled(GetDlgItem(page, TARGET_RADIOS[t])))
            target = t;
    if (!checked && target < 0)
        return;
    for (int t = 0; t < TARGET_COUNT; t++)
        CheckDlgButton(page, TARGET_RADIOS[t], t == target ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SAVE_FREE_RADIO, checked ? BST_CHECKED : BST_UNCHECKED);
}

void SavePage_UpdateOutputButton(HWND page)
{
    AppContext *app = App_FromWindow(page);
    int anyChecked = app && CountExportStyles(app->wardrobe.styles) > 0;
    EnableWindow(GetDlgItem(page, IDC_SAVE_OUTPUT), anyChecked);
}

int SavePage_GetExportBase(HWND page, char *base)
{
    base[0] = 0;
    SavePage *state = SavePage_State(page);
    if (!state)
        return 0;
    for (int t = 0; t < TARGET_COUNT; t++) {
        if (state->available[t] && IsDlgButtonChecked(page, TARGET_RADIOS[t]) == BST_CHECKED) {
            strcpy(base, state->pictureFolder[t]);
            return 1;
        }
    }
    char folder[VOR_MAX_PATH];
    SavePage_GetFreeFolder(page, folder);
    return Export_FreeFolderBase(folder, base);
}

// The layered file's choice: the check box, and the format list enabled
// only while it is ticked. The list's items are in LayeredFormat order.
static const char *const LAYERED_FORMAT_NAMES[] = {"PSD", "OpenRaster"};

int SavePage_GetLayeredFormat(HWND page)
{
    if (IsDlgButtonChecked(page, IDC_SAVE_LAYERED) != BST_CHECKED)
        return LAYERED_NONE;
    LRESULT item = SendDlgItemMessageA(page, IDC_SAVE_LAYERED_FORMAT, CB_GETCURSEL, 0, 0);
    return item == 1 ? LAYERED_ORA : LAYERED_PSD;
}

// Layered files go beside the PNG files only: the choice rests while the
// output kind is the Ren'Py character.
static void SavePage_UpdateLayeredChoice(HWND page)
{
    int pngKind = IsDlgButtonChecked(page, IDC_SAVE_KIND_RENPY) != BST_CHECKED;
    EnableWindow(GetDlgItem(page, IDC_SAVE_LAYERED), pngKind);
    EnableWindow(GetDlgItem(page, IDC_SAVE_LAYERED_FORMAT),
                 pngKind && IsDlgButtonChecked(page, IDC_SAVE_LAYERED) == BST_CHECKED);
}

// The choice is remembered between runs: whether the box is ticked, and the
// format ("psd" or "ora", the words of vor-cli's --layered) either way.
static const char REG_LAYERED_FILES[] = "LayeredFiles";
static const char REG_LAYERED_FORMAT[] = "LayeredFormat";

static void SavePage_InitLayeredChoice(HWND page)
{
    HWND list = GetDlgItem(page, IDC_SAVE_LAYERED_FORMAT);
    for (const char *name : LAYERED_FORMAT_NAMES)
        UiText_Send(list, CB_ADDSTRING, 0, name);
    char format[8] = "", on[4] = "";
    Reg_GetString(REG_PROGRAM_KEY, REG_LAYERED_FORMAT, format, sizeof format);
    Reg_GetString(REG_PROGRAM_KEY, REG_LAYERED_FILES, on, sizeof on);
    SendMessageA(list, CB_SETCURSEL, Layered_FormatFromName(format) == LAYERED_ORA ? 1 : 0, 0);
    CheckDlgButton(page, IDC_SAVE_LAYERED, strcmp(on, "1") == 0 ? BST_CHECKED : BST_UNCHECKED);
    SavePage_UpdateLayeredChoice(page);
}

static void SavePage_StoreLayeredChoice(HWND page)
{
    LRESULT item = SendDlgItemMessageA(page, IDC_SAVE_LAYERED_FORMAT, CB_GETCURSEL, 0, 0);
    Reg_SetString(REG_PROGRAM_KEY, REG_LAYERED_FORMAT, item == 1 ? "ora" : "psd");
    Reg_SetString(REG_PROGRAM_KEY, REG_LAYERED_FILES,
                  IsDlgButtonChecked(page, IDC_SAVE_LAYERED) == BST_CHECKED ? "1" : "0");
}

// ---- creation and destruction -----------------------------------------------

// A game's picture folder from its InstallDir. The folder name is set as
// the install path's file-name part, the way the games themselves build it.
static int SavePage_FindTarget(const char *key, char *pictureFolder)
{
    pictureFolder[0] = 0;
    if (!Reg_GetString(key, "InstallDir", pictureFolder, VOR_MAX_PATH))
        return 0;
    if (!FilePath_SetName(pictureFolder, PICTURE_FOLDER)) {
        pictureFolder[0] = 0;
        return 0;
    }
    return 1;
}

static INT_PTR SavePage_OnInit(HWND page, AppContext *app)
{
    SetWindowLongPtrA(page, GWLP_USERDATA, (LONG_PTR)app);
    SavePage *state = (SavePage *)calloc(1, sizeof(SavePage));
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)state);

    char freeFolder[VOR_MAX_PATH];
    if (!Reg_GetString(REG_PROGRAM_KEY, "SaveDir", freeFolder, sizeof freeFolder)) {
        DWORD n = GetCurrentDirectoryA(sizeof freeFolder, freeFolder);
        if (n == 0 || n >= sizeof freeFolder)
            freeFolder[0] = 0;
    }
    for (int t = 0; t < TARGET_COUNT; t++) {
        int found = state && SavePage_FindTarget(TARGET_KEYS[t], state->pictureFolder[t]);
        if (state)
            state->available[t] = found;
        EnableWindow(GetDlgItem(page, TARGET_RADIOS[t]), found);
    }
    SavePage_SetFreeFolder(page, freeFolder);
    CheckDlgButton(page, IDC_SAVE_FIRST_TARGET, BST_UNCHECKED);
    CheckDlgButton(page, IDC_SAVE_SECOND_TARGET, BST_UNCHECKED);
    CheckDlgButton(page, IDC_SAVE_FREE_RADIO, BST_CHECKED);
    CheckDlgButton(page, IDC_SAVE_KIND_PNG, BST_CHECKED);
    SavePage_InitLayeredChoice(page);
    return TRUE;
}

static void SavePage_OnDestroy(HWND page)
{
    char freeFolder[VOR_MAX_PATH];
    SavePage_GetFreeFolder(page, freeFolder);
    Reg_SetString(REG_PROGRAM_KEY, "SaveDir", freeFolder);
    SavePage_StoreLayeredChoice(page);

    char program[VOR_MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    if (n > 0 && n < sizeof program) {
        // The folder without the backslash before the file name.
        char *name = FilePath_GetName(program);
        if (name > program && name[-1] == '\\')
            name[-1] = 0;
        else
            *name = 0;
        Reg_SetString(REG_PROGRAM_KEY, "InstallDir", program);
    }
    free(SavePage_State(page));
    SetWindowLongPtrA(page, DWLP_USER, 0);
}

// ---- commands -----------------------------------------------------------------

static void SavePage_Browse(HWND page)
{
    AppContext *app = App_FromWindow(page);
    char folder[VOR_MAX_PATH];
    SavePage_GetFreeFolder(page, folder);
    if (FileSys_GetFolderName(app ? app->mainWindow : page, folder, sizeof folder, "저장 폴더 선택",
                              "저장 폴더를 선택하세요"))
        SavePage_SetFreeFolder(page, folder);
}

// Leaves the user in the name field of the first tab.
static void SavePage_ShowNameField(AppContext *app)
{
    App_ShowPage(app, PAGE_CHARA);
    HWND nameEdit = GetDlgItem(app->pages[PAGE_CHARA], IDC_CHARA_NAME);
    SendMessageA(nameEdit, EM_SETSEL, 0, -1);
    SetFocus(nameEdit);
}

// Success is only claimed when every file was written; otherwise the count
// and the first failure, so the user can look at that folder.
static void SavePage_ShowExportFailure(HWND page, const ExportTally *tally)
{
    char message[EXPORT_PATH_TEXT_MAX + 256];
    snprintf(message, sizeof message, "파일 %d 개를 출력하지 못했습니다. (출력한 파일 %d 개)\n\n%s\n\n%s",
             tally->failed, tally->written, tally->firstFailedPath, Export_FailureText(tally->firstFailure));
    UiText_MessageBox(page, message, "출력 실패", MB_ICONERROR);
}

// The Ren'Py kind: the same destination and checks of the folder, then the
// tag and attribute names, each refusal before anything is written.
static void SavePage_OutputRenPy(HWND page, AppContext *app)
{
    char folder[VOR_MAX_PATH], tag[VOR_MAX_PATH] = "";
    if (SavePage_IsFreeFolderChecked(page) && !SavePage_GetFreeFolder(page, folder)) {
        UiText_MessageBox(page, UiText_Problem(UITEXT_UNREPRESENTABLE), "폴더명 입력", MB_ICONERROR);
        return;
    }
    if (UiText_GetItem(page, IDC_SAVE_RENPY_TAG, tag, sizeof tag) != UITEXT_OK)
        strcpy(tag, "?");  // not ASCII: refused below with the rule
    RenPyNames names;
    char message[1024];
    if (!RenPy_Validate(&app->character, &app->wardrobe, tag, &names, message, sizeof message)) {
        UiText_MessageBox(page, message, "Ren'Py 출력", MB_ICONERROR);
        return;
    }
    char base[VOR_MAX_PATH];
    ExportTally tally;
    if (!SavePage_GetExportBase(page, base) || Export_RunRenPy(app->mainWindow, base, &names, &tally) < 0) {
        UiText_MessageBox(page, "출력할 폴더를 사용할 수 없습니다.", "출력", MB_ICONERROR);
        return;
    }
    if (tally.failed > 0) {
        SavePage_ShowExportFailure(page, &tally);
        return;
    }
    UiText_MessageBox(page, "Ren'Py 캐릭터 출력을 완료했습니다", "출력 완료창", MB_OK);
}

static void SavePage_Output(HWND page)
{
    AppContext *app = App_FromWindow(page);
    if (!app || CountExportStyles(app->wardrobe.styles) == 0)
        return;
    if (IsDlgButtonChecked(page, IDC_SAVE_KIND_RENPY) == BST_CHECKED) {
        SavePage_OutputRenPy(page, app);
        return;
    }
    const char *name = app->character.name ? app->character.name : "";
    // The name's own rules first (their messages in the order the user
    // learns them), then what the file system needs of it and of every
    // exported style's folder.
    if (const char *problem = Export_CharacterNameProblem(name)) {
        UiText_MessageBox(page, problem, "이름 입력", MB_ICONERROR);
        SavePage_ShowNameField(app);
        return;
    }
    char folder[VOR_MAX_PATH];
    if (SavePage_IsFreeFolderChecked(page) && !SavePage_GetFreeFolder(page, folder)) {
        UiText_MessageBox(page, UiText_Problem(UITEXT_UNREPRESENTABLE), "폴더명 입력", MB_ICONERROR);
        return;
    }
    char message[512];
    if (!Export_Validate(name, app->wardrobe.styles, message, sizeof message)) {
        UiText_MessageBox(page, message, "폴더명 입력", MB_ICONERROR);
        return;
    }
    char base[VOR_MAX_PATH];
    ExportTally tally;
    int layered = SavePage_GetLayeredFormat(page);
    if (!SavePage_GetExportBase(page, base) || Export_Run(app->mainWindow, base, &tally, layered) < 0) {
        UiText_MessageBox(page, "출력할 폴더를 사용할 수 없습니다.", "출력", MB_ICONERROR);
        return;
    }
    if (tally.failed > 0) {
        SavePage_ShowExportFailure(page, &tally);
        return;
    }
    UiText_MessageBox(page, "개별 이미지 출력을 완료했습니다", "출력 완료창", MB_OK);
}

static void SavePage_OnCommand(HWND page, int id, int code)
{
    // The free folder and its radio button are stored in the project.
    if (id == IDC_SAVE_FREE_FOLDER && code == EN_CHANGE)
        SavePage_OnFreeFolderChange(page);
    App_NoteCommand(App_FromWindow(page), id, code);
    if (code != BN_CLICKED)
        return;
    if (id == IDC_SAVE_BROWSE)
        SavePage_Browse(page);
    else if (id == IDC_SAVE_LAYERED || id == IDC_SAVE_KIND_PNG || id == IDC_SAVE_KIND_RENPY)
        SavePage_UpdateLayeredChoice(page);
    else if (id == IDC_SAVE_OUTPUT)
        SavePage_Output(page);
}

INT_PTR CALLBACK SavePage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: return SavePage_OnInit(page, (AppContext *)lp);
    case WM_COMMAND: SavePage_OnCommand(page, LOWORD(wp), HIWORD(wp)); return TRUE;
    case WM_SHOWWINDOW: SavePage_UpdateOutputButton(page); return FALSE;
    case WM_DESTROY: SavePage_OnDestroy(page); return FALSE;
    }
    return FALSE;
}
