// The random character dialog ("RANDOM", Edit ▸ 무작위 캐릭터...) and Ctrl+R.
//
// The dialog shows a check box per trait to keep and the seed to roll; OK
// remembers the locks in the registry and gives the project the look as one
// undo step. Ctrl+R rolls a new seed with the remembered locks. Both apply
// through ProjectCmd_ApplyRandomLook, the project-record path vor-cli
// random --from uses, so the same project, seed and locks give the same
// character. The dialog's state lives in a record on the opener's stack,
// attached at WM_INITDIALOG.
#include <windows.h>

#include <cstdio>

#include "app/app_win32.h"
#include "core/services/registry_win32.h"
#include "core/services/ui_text_win32.h"
#include "core/window_win32.h"
#include "project/project_commands_win32.h"
#include "project/random_character.h"
#include "project/random_locks.h"

// The registry value holding the kept traits' names (RandomKeep_Format).
static const char RANDOM_KEEP_VALUE[] = "RandomKeep";
// Seeds the program offers stay below this, short enough to read out and type.
static const uint64_t OFFERED_SEED_LIMIT = 1000000000ull;

struct RandomDialog {
    RandomKeep keep;  // the check boxes, as read back at OK
    uint64_t seed;    // the seed field, as read back at OK
};

RandomKeep RandomLocks_Load(void)
{
    char text[256];
    RandomKeep keep = RANDOM_KEEP_DEFAULT;
    if (Reg_GetString(REG_PROGRAM_KEY, RANDOM_KEEP_VALUE, text, (int)sizeof text) &&
        !RandomKeep_Parse(text, &keep, nullptr, 0))
        keep = RANDOM_KEEP_DEFAULT;
    return keep;
}

void RandomLocks_Save(RandomKeep keep)
{
    char text[256];
    RandomKeep_Format(keep, text, sizeof text);
    Reg_SetString(REG_PROGRAM_KEY, RANDOM_KEEP_VALUE, text);
}

uint64_t RandomSeed_Offer(void)
{
    // A new seed each time, even for two within one clock tick.
    static uint32_t offers;
    RandomState r;
    Random_Seed(&r, (uint64_t)GetTickCount() << 32 | ++offers);
    return Random_Next(&r) % OFFERED_SEED_LIMIT;
}

static void RandomDialog_ShowSeed(HWND dialog, uint64_t seed)
{
    char text[32];
    snprintf(text, sizeof text, "%llu", (unsigned long long)seed);
    UiText_SetItem(dialog, IDC_RANDOM_SEED, text);
}

static INT_PTR RandomDialog_OnInit(HWND dialog, RandomDialog *d)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)d);
    for (int t = 0; t < RANDOM_TRAIT_COUNT; t++) {
        UiText_SetItem(dialog, IDC_RANDOM_KEEP_FIRST + t, RandomTrait_Label(t));
        int kept = (d->keep >> t & 1u) || RandomTrait_IsFixed(t);
        CheckDlgButton(dialog, IDC_RANDOM_KEEP_FIRST + t, kept ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(dialog, IDC_RANDOM_KEEP_FIRST + t), !RandomTrait_IsFixed(t));
    }
    SendDlgItemMessageA(dialog, IDC_RANDOM_SEED, EM_LIMITTEXT, 20, 0);
    RandomDialog_ShowSeed(dialog, d->seed);
    Wnd_CenterOnParent(dialog);
    UiText_FixDialogFont(dialog);
    return TRUE;
}

// Reads the boxes and the seed; a seed that is not a number keeps the
// dialog open with the field selected.
static void RandomDialog_OnOk(HWND dialog, RandomDialog *d)
{
    char text[64];
    uint64_t seed;
    if (UiText_GetItem(dialog, IDC_RANDOM_SEED, text, sizeof text) != UITEXT_OK || !RandomSeed_Parse(text, &seed)) {
        UiText_MessageBox(dialog, "시드는 0부터 18446744073709551615까지의 숫자로 적어 주세요.", "시드 확인",
                          MB_OK | MB_ICONWARNING);
        HWND field = GetDlgItem(dialog, IDC_RANDOM_SEED);
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
        return;
    }
    RandomKeep keep = 0;
    for (int t = 0; t < RANDOM_TRAIT_COUNT; t++)
        if (!RandomTrait_IsFixed(t) && IsDlgButtonChecked(dialog, IDC_RANDOM_KEEP_FIRST + t) == BST_CHECKED)
            keep |= 1u << t;
    d->keep = keep;
    d->seed = seed;
    EndDialog(dialog, IDOK);
}

static void RandomDialog_OnCommand(HWND dialog, int id)
{
    RandomDialog *d = (RandomDialog *)GetWindowLongPtrA(dialog, DWLP_USER);
    if (!d)
        return;
    switch (id) {
    case IDOK: RandomDialog_OnOk(dialog, d); break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    case IDC_RANDOM_NEW_SEED: RandomDialog_ShowSeed(dialog, RandomSeed_Offer()); break;
    }
}

static INT_PTR CALLBACK RandomDialog_Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: return RandomDialog_OnInit(dialog, (RandomDialog *)lp);
    case WM_COMMAND: RandomDialog_OnCommand(dialog, LOWORD(wp)); return TRUE;
    }
    return FALSE;
}

// Random looks wait for a running load pass and for the export, as undo does.
static int RandomDialog_Ready(const AppContext *app)
{
    return !app->exporting && !(app->doc && app->doc->loaderRunning);
}

static void RandomDialog_Apply(AppContext *app, uint64_t seed, RandomKeep keep)
{
    SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    ProjectCmd_ApplyRandomLook(app, seed, keep);
    SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
    App_NoteChange(app, APP_MERGE_NONE);
}

void EditMenu_RandomDialog(AppContext *app)
{
    if (!RandomDialog_Ready(app))
        return;
    RandomDialog d = {RandomLocks_Load(), RandomSeed_Offer()};
    if (DialogBoxParamW(app->instance, L"RANDOM", app->mainWindow, RandomDialog_Proc, (LPARAM)&d) != IDOK)
        return;
    RandomLocks_Save(d.keep);
    if (RandomDialog_Ready(app))
        RandomDialog_Apply(app, d.seed, d.keep);
}

void EditMenu_Random(AppContext *app)
{
    if (RandomDialog_Ready(app))
        RandomDialog_Apply(app, RandomSeed_Offer(), RandomLocks_Load());
}
