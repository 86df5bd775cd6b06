// The ADD and PROP dialogs and the name checks behind their OK buttons.
#include "editor/naming_dialogs_win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/part_catalog.h"
#include "core/imaging/file.h"
#include "core/services/ui_text_win32.h"
#include "core/window_win32.h"
#include "editor/name_rules.h"

enum { PROPOSAL_LAST_NUMBER = 999 };

char *GetWindowTextCopy(HWND window, int *unrepresentable)
{
    if (unrepresentable)
        *unrepresentable = 0;
    // A UTF-16 unit becomes at most two CP949 bytes.
    size_t size = 2 * (size_t)GetWindowTextLengthW(window) + 1;
    char *text = (char *)malloc(size);
    if (!text)
        return nullptr;
    UiTextStatus status = UiText_GetWindow(window, text, size);
    if (status != UITEXT_OK && unrepresentable)
        *unrepresentable = 1;
    return text;
}

void StyleNames_ProposeFolder(const PtrList *styles, const char *key, char *out, size_t size)
{
    if (!size)
        return;
    snprintf(out, size, "%s", key ? key : "");
    if (!Name_IsOutputFolderUsed(styles, out, nullptr))
        return;
    for (int n = 1; n <= PROPOSAL_LAST_NUMBER; n++) {
        snprintf(out, size, "%s%d", key ? key : "", n);
        if (!Name_IsOutputFolderUsed(styles, out, nullptr))
            return;
    }
}

int StyleNames_Check(const char *name, const char *folder, const PtrList *styles, const DressStyle *style,
                     StyleNameProblem *problem)
{
    if (const char *nameProblem = Name_StyleNameProblem(name)) {
        problem->message = nameProblem;
        problem->caption = "이름 입력";
        return IDC_NAMING_NAME;
    }
    const char *message = Name_FolderProblem(folder, styles, style);
    if (message) {
        problem->message = message;
        problem->caption = "폴더명 입력";
        return IDC_NAMING_FOLDER;
    }
    problem->message = problem->caption = nullptr;
    return 0;
}

// What an open dialog works on (its DWLP_USER).
struct NamingDialog {
    DressStyle *style;
    const PtrList *styles;
    const PtrList *dresses;  // may be empty or nullptr
    int isAdd;               // ADD (dress box and check box) or PROP
};

static NamingDialog *NamingDialog_Of(HWND dialog)
{
    return (NamingDialog *)GetWindowLongPtrA(dialog, DWLP_USER);
}

static const PartEntry *SelectedDress(HWND dialog, const NamingDialog *d)
{
    int index = (int)SendDlgItemMessageA(dialog, IDC_NAMING_DRESS, CB_GETCURSEL, 0, 0);
    return index < 0 ? nullptr : (const PartEntry *)PtrList_Get(d->dresses, index);
}

// The check box ties the two texts to the chosen dress; unticked, the user
// types them and the last proposal stays as a starting point.
static void AddDialog_FollowDress(HWND dialog, const NamingDialog *d)
{
    int same = IsDlgButtonChecked(dialog, IDC_NAMING_SAME_AS_DRESS) == BST_CHECKED;
    const PartEntry *dress = SelectedDress(dialog, d);
    if (same && dress) {
        char folder[VOR_MAX_PATH + 8];
        StyleNames_ProposeFolder(d->styles, dress->folder, folder, sizeof folder);
        UiText_SetItem(dialog, IDC_NAMING_FOLDER, folder);
        UiText_SetItem(dialog, IDC_NAMING_NAME, dress->name);
    }
    EnableWindow(GetDlgItem(dialog, IDC_NAMING_NAME), !same);
    EnableWindow(GetDlgItem(dialog, IDC_NAMING_FOLDER), !same);
}

static void AddDialog_Init(HWND dialog, const NamingDialog *d)
{
    HWND box = GetDlgItem(dialog, IDC_NAMING_DRESS);
    for (int i = 0; i < PtrList_Count(d->dresses); i++) {
        const PartEntry *dress = (const PartEntry *)PtrList_Get(d->dresses, i);
        UiText_Send(box, CB_ADDSTRING, 0, dress->name);
    }
    SendMessageA(box, CB_SETCURSEL, d->style->dress, 0);
    CheckDlgButton(dialog, IDC_NAMING_SAME_AS_DRESS, BST_CHECKED);
    AddDialog_FollowDress(dialog, d);
}

static void PropDialog_Init(HWND dialog, const NamingDialog *d)
{
    UiText_SetItem(dialog, IDC_NAMING_NAME, d->style->name);
    UiText_SetItem(dialog, IDC_NAMING_FOLDER, d->style->outputFolder);
}

static void FocusAndSelect(HWND dialog, int id)
{
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
}

// Checks the texts and, when they pass, writes them into the style (ADD
// also takes the chosen dress and its colour). 1 when the dialog may close.
static int NamingDialog_Accept(HWND dialog, NamingDialog *d)
{
    int nameUnrepresentable = 0, folderUnrepresentable = 0;
    char *name = GetWindowTextCopy(GetDlgItem(dialog, IDC_NAMING_NAME), &nameUnrepresentable);
    char *folder = GetWindowTextCopy(GetDlgItem(dialog, IDC_NAMING_FOLDER), &folderUnrepresentable);
    int accepted = 0;
    StyleNameProblem problem;
    int bad = (name && folder) ? StyleNames_Check(name, folder, d->styles, d->style, &problem) : 0;
    if (name && folder && (nameUnrepresentable || folderUnrepresentable)) {
        // A character the stored CP949 names cannot hold: the same refusal
        // as any other invalid name, under the field's own caption.
        bad = nameUnrepresentable ? IDC_NAMING_NAME : IDC_NAMING_FOLDER;
        UiText_MessageBox(dialog, UiText_Problem(UITEXT_UNREPRESENTABLE),
                          nameUnrepresentable ? "이름 입력" : "폴더명 입력", MB_OK | MB_ICONERROR);
        FocusAndSelect(dialog, bad);
    } else if (!name || !folder) {
        // Out of memory: nothing can be stored, the dialog stays open.
    } else if (bad) {
        UiText_MessageBox(dialog, problem.message, problem.caption, MB_OK | MB_ICONERROR);
        FocusAndSelect(dialog, bad);
    } else if (Style_SetText(&d->style->name, name) && Style_SetText(&d->style->outputFolder, folder)) {
        const PartEntry *dress = d->isAdd ? SelectedDress(dialog, d) : nullptr;
        if (dress) {
            d->style->dress = (int32_t)SendDlgItemMessageA(dialog, IDC_NAMING_DRESS, CB_GETCURSEL, 0, 0);
            d->style->colour = dress->color;
            // The key read from a project no longer applies to the new dress.
            free(d->style->dressKey);
            d->style->dressKey = nullptr;
        }
        accepted = 1;
    }
    free(name);
    free(folder);
    return accepted;
}

static INT_PTR CALLBACK NamingDialog_Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        NamingDialog *d = (NamingDialog *)lp;
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)d);
        Wnd_CenterOnParent(dialog);
        UiText_FixDialogFont(dialog);
        if (d->isAdd)
            AddDialog_Init(dialog, d);
        else
            PropDialog_Init(dialog, d);
        return TRUE;
    }
    NamingDialog *d = NamingDialog_Of(dialog);
    if (msg != WM_COMMAND || !d)
        return FALSE;
    int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDOK:
        if (NamingDialog_Accept(dialog, d))
            EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_NAMING_SAME_AS_DRESS:
        if (d->isAdd)
            AddDialog_FollowDress(dialog, d);
        return TRUE;
    case IDC_NAMING_DRESS:
        if (d->isAdd && code == CBN_SELCHANGE && IsDlgButtonChecked(dialog, IDC_NAMING_SAME_AS_DRESS))
            AddDialog_FollowDress(dialog, d);
        return TRUE;
    }
    return FALSE;
}

INT_PTR ShowAddStyleDialog(HWND owner, DressStyle *style, const PtrList *styles, const PtrList *dresses)
{
    NamingDialog d = {style, styles, dresses, 1};
    return DialogBoxParamW(GetModuleHandleW(nullptr), L"ADD", owner, NamingDialog_Proc, (LPARAM)&d);
}

INT_PTR ShowStylePropertiesDialog(HWND owner, DressStyle *style, const PtrList *styles)
{
    NamingDialog d = {style, styles, nullptr, 0};
    return DialogBoxParamW(GetModuleHandleW(nullptr), L"PROP", owner, NamingDialog_Proc, (LPARAM)&d);
}
