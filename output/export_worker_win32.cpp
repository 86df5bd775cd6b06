// The program's export: the PROGRESS window and its worker thread.
//
// The worker never touches a page's state directly. It selects each style
// in the DRESS page's style list and each expression in the CHARA page's
// expression list with SendMessageA, so the pages react on the
// user-interface thread as they do to a user's click and the models and
// the canvas change the same way. It then waits for the canvas's loader to
// finish, composes the picture on its own thread (the progress window is
// modal, so nothing else changes the document meanwhile) and writes it.
#include "output/export_worker_win32.h"

#include <process.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "core/services/filesys.h"
#include "core/services/ui_text_win32.h"
#include "core/util.h"
#include "core/window_win32.h"
#include "layers/render.h"
#include "output/export.h"
#include "output/path_shorten.h"

// How often the worker looks whether the loader has gone idle. A load pass
// of a few images takes a few milliseconds, so a short poll keeps the
// export from idling between pictures.
enum { LOADER_POLL_MS = 5 };

// One export, from Export_Run until its window has closed. Lives in
// Export_Run's frame; the worker's last access is before it posts the
// closing command.
struct ExportJob {
    AppContext *app;
    char base[VOR_MAX_PATH];  // read on the user-interface thread before the start
    int started;              // the worker thread was started
    ExportTally tally;        // files written and failed, macro.txt included
};

static ExportJob *Progress_Job(HWND progress)
{
    return (ExportJob *)GetWindowLongPtrA(progress, DWLP_USER);
}

// ---- the worker ----------------------------------------------------------

static void ExportWorker_WaitForLoader(const LayerDocument *doc)
{
    // The flag is written by the user-interface thread and the loader.
    while (*(const volatile uintptr_t *)&doc->loaderRunning)
        Sleep(LOADER_POLL_MS);
}

// Makes style `index` the DRESS page's current one; the style list reports
// the change to the page, which shows the style. Each selection first waits
// until the loader is idle: the page's reaction changes the request queue and
// the layers on the user-interface thread, which must never happen while the
// loader thread works on them.
static void ExportWorker_SelectStyle(AppContext *app, int index)
{
    ExportWorker_WaitForLoader(app->doc);
    HWND list = GetDlgItem(app->pages[PAGE_DRESS], IDC_DRESS_STYLE_LIST);
    SendMessageA(list, LB_SETCURSEL, (WPARAM)index, 0);
}

// Selects expression `index` in the CHARA page and tells the page, which
// loads the face parts for it.
static void ExportWorker_SelectExpression(AppContext *app, int index)
{
    ExportWorker_WaitForLoader(app->doc);
    HWND page = app->pages[PAGE_CHARA];
    HWND combo = GetDlgItem(page, IDC_CHARA_EXPRESSION);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_CHARA_EXPRESSION, CBN_SELCHANGE), (LPARAM)combo);
}

static void ExportWorker_WriteMacro(ExportJob *job)
{
    const Character *ch = &job->app->character;
    char path[EXPORT_PATH_TEXT_MAX];
    int failure = Export_WriteMacroFile(job->base, ch->name ? ch->name : "", job->app->catalog->expressions, path);
    ExportTally_Add(&job->tally, path, failure);
}

// Shows, composes and writes one picture; returns EXPORT_WRITTEN or why its
// file was not written. `shown` receives the path to name in a failure.
static int ExportWorker_WriteOne(ExportJob *job, HWND progress, const DressStyle *style, int expression,
                                 char *shown)
{
    AppContext *app = job->app;
    ExportWorker_SelectExpression(app, expression);
    const PartEntry *entry = (const PartEntry *)PtrList_Get(app->catalog->expressions, expression);
    const char *name = app->character.name ? app->character.name : "";
    char path[VOR_MAX_PATH];
    const char *folder = style->outputFolder ? style->outputFolder : "";
    int havePath = Export_ImagePath(job->base, name, folder, entry->folder, path);
    Export_ImagePathText(job->base, name, folder, entry->folder, shown, EXPORT_PATH_TEXT_MAX);
    if (!havePath)
        path[0] = 0;  // too long to write; the bar still counts it
    else
        Debug_Print("create %s\n", path);
    SendMessageA(progress, WM_COMMAND, MAKEWPARAM(PROGRESS_COMMAND_ID, PROGRESS_SHOW_FILE), (LPARAM)path);

    ExportWorker_WaitForLoader(app->doc);
    if (!havePath)
        return FILEWRITE_PATH_TOO_LONG;
    DIB *image = Canvas_ComposeExport(app->doc);
    int failure = Export_WriteImageFile(image, path);
    DIB_Delete_(image);
    return failure;
}

static void __cdecl ExportWorker_Main(void *argument)
{
    HWND progress = (HWND)argument;
    ExportJob *job = Progress_Job(progress);
    AppContext *app = job->app;
    InterlockedExchange(&app->exporting, 1);

    const int styleBefore = app->wardrobe.selected;
    const int expressionBefore = app->character.expression;
    const int expressions = PtrList_Count(app->catalog->expressions);

    for (int i = 0; i < PtrList_Count(app->wardrobe.styles); i++) {
        const DressStyle *style = Wardrobe_StyleAt(&app->wardrobe, i);
        if (style->checkState != STYLE_CHECKED)
            continue;
        if (app->wardrobe.selected != i)
            ExportWorker_SelectStyle(app, i);
        for (int j = 0; j < expressions; j++) {
            char shown[EXPORT_PATH_TEXT_MAX];
            int failure = ExportWorker_WriteOne(job, progress, style, j, shown);
            if (failure != EXPORT_WRITTEN)
                Debug_Print("cannot write %s\n", shown);
            ExportTally_Add(&job->tally, shown, failure);
        }
    }

    // Back to what the user had, in the lists and in the preview.
    if (styleBefore >= 0 && app->wardrobe.selected != styleBefore)
        ExportWorker_SelectStyle(app, styleBefore);
    if (app->character.expression != expressionBefore)
        ExportWorker_SelectExpression(app, expressionBefore);
    ExportWorker_WaitForLoader(app->doc);

    ExportWorker_WriteMacro(job);
    InterlockedExchange(&app->exporting, 0);
    // The job belongs to Export_Run's frame, which may end once this arrives.
    PostMessageA(progress, WM_COMMAND, MAKEWPARAM(PROGRESS_COMMAND_ID, PROGRESS_CLOSE), 0);
}

// ---- the PROGRESS window ------------------------------------------------

struct LabelMeasure {
    HDC dc;
};

static int Progress_MeasureText(void *context, const char *text)
{
    SIZE size = {0, 0};
    std::wstring wide = UiText_ToWide(text);
    GetTextExtentPoint32W(((LabelMeasure *)context)->dc, wide.c_str(), (int)wide.size(), &size);
    return size.cx;
}

static void Progress_ShowPath(HWND progress, const char *path)
{
    HWND label = GetDlgItem(progress, IDC_PROGRESS_PATH);
    RECT client;
    GetClientRect(label, &client);
    LabelMeasure measure = {GetDC(label)};
    HGDIOBJ oldFont = SelectObject(measure.dc, (HGDIOBJ)SendMessageA(label, WM_GETFONT, 0, 0));
    char text[VOR_MAX_PATH + 8];
    Path_ShortenToWidth(path ? path : "", client.right - client.left, Progress_MeasureText, &measure, text,
                        sizeof text);
    SelectObject(measure.dc, oldFont);
    ReleaseDC(label, measure.dc);
    UiText_SetWindow(label, text);
}

static int Progress_ImageCount(const AppContext *app)
{
    return CountExportStyles(app->wardrobe.styles) * PtrList_Count(app->catalog->expressions);
}

static INT_PTR Progress_OnInit(HWND progress, ExportJob *job)
{
    SetWindowLongPtrA(progress, DWLP_USER, (LONG_PTR)job);
    Wnd_CenterOnParent(progress);
    HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
    // The 32-bit range: many styles times many expressions may pass 65535.
    SendMessageA(bar, PBM_SETRANGE32, 0, Progress_ImageCount(job->app));
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    UiText_SetItem(progress, IDC_PROGRESS_PATH, "");
    UiText_FixDialogFont(progress);
    ShowWindow(progress, SW_SHOW);
    // Started last: the worker's first messages wait for this thread anyway.
    uintptr_t thread = _beginthread(ExportWorker_Main, 0, progress);
    if (thread == (uintptr_t)-1 || thread == 0) {
        Debug_Print("thread : cannot start the export\n");
        EndDialog(progress, -1);
        return TRUE;
    }
    job->started = 1;
    return TRUE;
}

static void Progress_OnCommand(HWND progress, int id, int code, LPARAM lp)
{
    if (id != PROGRESS_COMMAND_ID)
        return;  // Esc and Enter arrive as IDCANCEL / IDOK: the export cannot be stopped
    if (code == PROGRESS_SHOW_FILE) {
        Progress_ShowPath(progress, (const char *)lp);
        SendDlgItemMessageA(progress, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    } else if (code == PROGRESS_CLOSE) {
        EndDialog(progress, 0);
    }
}

static INT_PTR CALLBACK Progress_Proc(HWND progress, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: return Progress_OnInit(progress, (ExportJob *)lp);
    case WM_COMMAND: Progress_OnCommand(progress, LOWORD(wp), HIWORD(wp), lp); return TRUE;
    }
    return FALSE;
}

int Export_Run(HWND owner, ExportTally *tally)
{
    if (tally)
        *tally = ExportTally{};
    AppContext *app = App_FromWindow(owner);
    if (!app || !app->doc || !app->catalog)
        return -1;
    ExportJob job = {};
    job.app = app;
    if (!SavePage_GetExportBase(app->pages[PAGE_SAVE], job.base))
        return -1;
    INT_PTR result = DialogBoxParamW(app->instance, L"PROGRESS", owner, Progress_Proc, (LPARAM)&job);
    if (result != 0 || !job.started)
        return -1;
    if (tally)
        *tally = job.tally;
    return job.tally.written;
}
