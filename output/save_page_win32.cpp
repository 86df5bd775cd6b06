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
#include <string>
#include <vector>

#include "core/services/filesys.h"
#include "core/services/folder_dialog_win32.h"
#include "core/services/registry_win32.h"
#include "core/services/ui_text_win32.h"
#include "editor/app_context_win32.h"
#include "output/export.h"
#include "output/export_format.h"
#include "output/export_worker_win32.h"
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
    int layeredTicked;  // the user's choice of the layered-file box, kept while it does not apply
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

// ---- the output kinds and their settings, from the format table -------------

// The kinds' radio buttons in the order of the formats' saveKind, and the
// text fields and check boxes their options use in the order of saveField.
static const int KIND_RADIOS[] = {IDC_SAVE_KIND_1, IDC_SAVE_KIND_2, IDC_SAVE_KIND_3, IDC_SAVE_KIND_4};
static const int TEXT_FIELDS[] = {IDC_SAVE_FIELD_1};
static const int SWITCH_BOXES[] = {IDC_SAVE_SWITCH_1};
enum {
    KIND_COUNT = sizeof KIND_RADIOS / sizeof KIND_RADIOS[0],
    FIELD_COUNT = sizeof TEXT_FIELDS / sizeof TEXT_FIELDS[0],
    SWITCH_COUNT = sizeof SWITCH_BOXES / sizeof SWITCH_BOXES[0],
};

// The check box of a switch option, or 0.
static int SavePage_SwitchBox(const ExportFormatOption *o)
{
    return !o->value && o->saveField >= 1 && o->saveField <= SWITCH_COUNT ? SWITCH_BOXES[o->saveField - 1] : 0;
}

int SavePage_KindControl(int saveKind)
{
    return saveKind >= 1 && saveKind <= KIND_COUNT ? KIND_RADIOS[saveKind - 1] : 0;
}

// The folder format whose kind is chosen (the first kind when none is).
static const ExportFormat *SavePage_ChosenFormat(HWND page)
{
    for (int k = 1; k <= KIND_COUNT; k++)
        if (IsDlgButtonChecked(page, KIND_RADIOS[k - 1]) == BST_CHECKED && ExportFormat_FromSaveKind(k))
            return ExportFormat_FromSaveKind(k);
    return ExportFormat_FromSaveKind(1);
}

static int SavePage_TakesLayered(const ExportFormat *format)
{
    for (const ExportFormatOption *o = format->options; o->flag; o++)
        if (strcmp(o->key, EXPORT_SETTING_LAYERED) == 0)
            return 1;
    return 0;
}

static void SavePage_InitKinds(HWND page)
{
    for (int k = 1; k <= KIND_COUNT; k++) {
        const ExportFormat *format = ExportFormat_FromSaveKind(k);
        UiText_SetItem(page, KIND_RADIOS[k - 1], format ? format->label : "");
        ShowWindow(GetDlgItem(page, KIND_RADIOS[k - 1]), format ? SW_SHOWNA : SW_HIDE);
        CheckDlgButton(page, KIND_RADIOS[k - 1], k == 1 ? BST_CHECKED : BST_UNCHECKED);
    }
}

// The layered file's choice: the check box, and the format list enabled
// only while it is ticked. The list holds the table's beside formats in
// table order.
int SavePage_GetLayeredFormat(HWND page)
{
    if (IsDlgButtonChecked(page, IDC_SAVE_LAYERED) != BST_CHECKED)
        return LAYERED_NONE;
    LRESULT item = SendDlgItemMessageA(page, IDC_SAVE_LAYERED_FORMAT, CB_GETCURSEL, 0, 0);
    int count = (int)ExportFormat_BesideFormats().size();
    return item >= 0 && item < count ? (int)item + 1 : LAYERED_NONE;
}

// The controls of the chosen kind's options. Layered files go beside the
// pictures of a kind that takes them: the choice rests while another kind
// is chosen.
static void SavePage_UpdateOptionControls(HWND page)
{
    int applies = SavePage_TakesLayered(SavePage_ChosenFormat(page));
    // A box that does not apply shows clear; the choice comes back with it.
    SavePage *state = SavePage_State(page);
    if (state)
        CheckDlgButton(page, IDC_SAVE_LAYERED, applies && state->layeredTicked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_SAVE_LAYERED), applies);
    EnableWindow(GetDlgItem(page, IDC_SAVE_LAYERED_FORMAT),
                 applies && IsDlgButtonChecked(page, IDC_SAVE_LAYERED) == BST_CHECKED);
    // A switch's box is usable only with a kind that has the switch.
    const ExportFormat *chosen = SavePage_ChosenFormat(page);
    for (int box : SWITCH_BOXES) {
        int has = 0;
        for (const ExportFormatOption *o = chosen->options; o->flag; o++)
            has |= SavePage_SwitchBox(o) == box;
        EnableWindow(GetDlgItem(page, box), has);
    }
}

static void SavePage_OnLayeredClick(HWND page)
{
    if (SavePage *state = SavePage_State(page))
        state->layeredTicked = IsDlgButtonChecked(page, IDC_SAVE_LAYERED) == BST_CHECKED;
    SavePage_UpdateOptionControls(page);
}

// The choice is remembered between runs: whether the box is ticked, and the
// format (its registry word) either way.
static const char REG_LAYERED_FILES[] = "LayeredFiles";
static const char REG_LAYERED_FORMAT[] = "LayeredFormat";

static void SavePage_InitLayeredChoice(HWND page)
{
    HWND list = GetDlgItem(page, IDC_SAVE_LAYERED_FORMAT);
    std::vector<const ExportFormat *> beside = ExportFormat_BesideFormats();
    for (const ExportFormat *f : beside)
        UiText_Send(list, CB_ADDSTRING, 0, f->label);
    char word[16] = "", on[4] = "";
    Reg_GetString(REG_PROGRAM_KEY, REG_LAYERED_FORMAT, word, sizeof word);
    Reg_GetString(REG_PROGRAM_KEY, REG_LAYERED_FILES, on, sizeof on);
    int item = 0;
    for (size_t i = 0; i < beside.size(); i++)
        if (beside[i] == ExportFormat_FromRegistryWord(word))
            item = (int)i;
    SendMessageA(list, CB_SETCURSEL, item, 0);
    CheckDlgButton(page, IDC_SAVE_LAYERED, strcmp(on, "1") == 0 ? BST_CHECKED : BST_UNCHECKED);
    if (SavePage *state = SavePage_State(page))
        state->layeredTicked = strcmp(on, "1") == 0;
    SavePage_UpdateOptionControls(page);
}

static void SavePage_StoreLayeredChoice(HWND page)
{
    LRESULT item = SendDlgItemMessageA(page, IDC_SAVE_LAYERED_FORMAT, CB_GETCURSEL, 0, 0);
    std::vector<const ExportFormat *> beside = ExportFormat_BesideFormats();
    if (item >= 0 && item < (LRESULT)beside.size())
        Reg_SetString(REG_PROGRAM_KEY, REG_LAYERED_FORMAT, beside[(size_t)item]->registryWord);
    SavePage *state = SavePage_State(page);
    int ticked = state ? state->layeredTicked : IsDlgButtonChecked(page, IDC_SAVE_LAYERED) == BST_CHECKED;
    Reg_SetString(REG_PROGRAM_KEY, REG_LAYERED_FILES, ticked ? "1" : "0");
}

// What the page asks of the chosen format: its folder, the options its
// fields hold and the layered file.
static int SavePage_Choice(HWND page, const ExportFormat *format, const char *base, ExportChoice *choice)
{
    *choice = ExportChoice{format, base, {}};
    for (const ExportFormatOption *o = format->options; o->flag; o++) {
        if (int box = SavePage_SwitchBox(o)) {
            if (IsDlgButtonChecked(page, box) == BST_CHECKED)
                choice->settings[o->key] = "1";
        } else if (o->value && o->saveField >= 1 && o->saveField <= FIELD_COUNT) {
            char text[VOR_MAX_PATH] = "";
            if (UiText_GetItem(page, TEXT_FIELDS[o->saveField - 1], text, sizeof text) != UITEXT_OK)
                strcpy(text, "?");  // not CP949: the format's rules refuse it with their message
            choice->settings[o->key] = text;
        }
    }
    int layered = SavePage_TakesLayered(format) ? SavePage_GetLayeredFormat(page) : LAYERED_NONE;
    if (layered != LAYERED_NONE)
        choice->settings[EXPORT_SETTING_LAYERED] = ExportFormat_BesideFormats()[(size_t)layered - 1]->word;
    return 1;
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
    SavePage_InitKinds(page);
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

// Returns 1 when a folder was chosen (the field then shows it).
static int SavePage_Browse(HWND page)
{
    AppContext *app = App_FromWindow(page);
    char folder[VOR_MAX_PATH];
    SavePage_GetFreeFolder(page, folder);
    if (!FileSys_GetFolderName(app ? app->mainWindow : page, folder, sizeof folder, "저장 폴더 선택",
                               "저장 폴더를 선택하세요"))
        return 0;
    SavePage_SetFreeFolder(page, folder);
    return 1;
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

static void SavePage_Output(HWND page)
{
    AppContext *app = App_FromWindow(page);
    if (!app || CountExportStyles(app->wardrobe.styles) == 0)
        return;
    const ExportFormat *format = SavePage_ChosenFormat(page);
    const char *name = app->character.name ? app->character.name : "";
    // The name's own rules first (their messages in the order the user
    // learns them), then the folder, then what the format needs of the
    // names, before anything is written.
    if (const char *problem = format->nameProblem ? format->nameProblem(name) : nullptr) {
        UiText_MessageBox(page, problem, "이름 입력", MB_ICONERROR);
        SavePage_ShowNameField(app);
        return;
    }
    char folder[VOR_MAX_PATH] = "";
    if (SavePage_IsFreeFolderChecked(page) && !SavePage_GetFreeFolder(page, folder)) {
        UiText_MessageBox(page, UiText_Problem(UITEXT_UNREPRESENTABLE), "폴더명 입력", MB_ICONERROR);
        return;
    }
    // An empty field would mean the program's own folder: the user says
    // where instead, and a cancelled chooser writes nothing.
    if (SavePage_IsFreeFolderChecked(page) && folder[0] == 0 && !SavePage_Browse(page))
        return;
    char base[VOR_MAX_PATH];
    ExportChoice choice;
    if (!SavePage_GetExportBase(page, base) || !SavePage_Choice(page, format, base, &choice)) {
        UiText_MessageBox(page, "출력할 폴더를 사용할 수 없습니다.", "출력", MB_ICONERROR);
        return;
    }
    ExportTally tally;
    std::string problem;
    if (Export_RunChoices(app->mainWindow, {choice}, &tally, &problem) < 0) {
        if (!problem.empty())
            UiText_MessageBox(page, problem.c_str(), format->refusalCaption, MB_ICONERROR);
        else
            UiText_MessageBox(page, "출력할 폴더를 사용할 수 없습니다.", "출력", MB_ICONERROR);
        return;
    }
    if (tally.failed > 0) {
        SavePage_ShowExportFailure(page, &tally);
        return;
    }
    // Where the files went, and how many.
    std::string done = std::string(format->doneMessage) + "\n\n" + base + "\n(파일 " +
                       std::to_string(tally.written) + " 개)";
    UiText_MessageBox(page, done.c_str(), "출력 완료창", MB_OK);
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
    else if (id == IDC_SAVE_LAYERED)
        SavePage_OnLayeredClick(page);
    else if (id == IDC_SAVE_KIND_1 || id == IDC_SAVE_KIND_2 || id == IDC_SAVE_KIND_3 || id == IDC_SAVE_KIND_4)
        SavePage_UpdateOptionControls(page);
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
