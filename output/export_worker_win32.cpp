// The program's export: the PROGRESS window and its worker thread, which
// runs the export's driver with the program's pages as its stage.
//
// The worker never touches a page's state directly. It shows each style and
// chooses each expression through the DRESS and CHARA pages' own calls,
// which run on the user-interface thread as a user's click there does, so
// the models and the canvas change the same way. It then waits for the
// canvas's loader to finish, and the sinks compose and write the picture on
// the worker's thread (the progress window is modal, so nothing else changes
// the document meanwhile).
#include "output/export_worker_win32.h"

#include <process.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/services/filesys.h"
#include "core/services/ui_text_win32.h"
#include "core/util.h"
#include "core/window_win32.h"
#include "core/services/path_shorten.h"
#include "output/export_format.h"

// How often the worker looks whether the loader has gone idle. A load pass
// of a few images takes a few milliseconds, so a short poll keeps the
// export from idling between pictures.
enum { LOADER_POLL_MS = 5 };

// One export, from Export_RunChoices until its window has closed. Lives in
// its frame; the worker's last access is before it posts the closing
// command.
struct ExportJob {
    AppContext *app;
    HWND progress;           // the PROGRESS window
    ExportDriver *driver;    // begun on the user-interface thread, run by the worker
    int started;             // the worker thread was started
    ExportStats stats;       // files written and failed, the texts included
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

// Shows style `index` through the DRESS page, as a click on it would. Each
// choice first waits until the loader is idle: the page's reaction changes
// the request queue and the layers on the user-interface thread, which must
// never happen while the loader thread works on them.
static void ExportWorker_ShowStyle(void *context, int index)
{
    AppContext *app = ((ExportJob *)context)->app;
    ExportWorker_WaitForLoader(app->doc);
    DressPage_ChooseStyle(app->pages[PAGE_DRESS], index);
}

// Chooses expression `index` through the CHARA page, which loads the face
// parts for it.
static void ExportWorker_ChooseExpression(void *context, int index)
{
    AppContext *app = ((ExportJob *)context)->app;
    ExportWorker_WaitForLoader(app->doc);
    CharaPage_ChooseExpression(app->pages[PAGE_CHARA], index);
}

static void ExportWorker_AwaitLoaded(void *context)
{
    ExportWorker_WaitForLoader(((ExportJob *)context)->app->doc);
}

// The label shows what the picture becomes, and the bar steps.
static void ExportWorker_PictureBegins(void *context, const char *label)
{
    ExportJob *job = (ExportJob *)context;
    SendMessageA(job->progress, WM_COMMAND, MAKEWPARAM(PROGRESS_COMMAND_ID, PROGRESS_SHOW_FILE), (LPARAM)label);
}

static void __cdecl ExportWorker_Main(void *argument)
{
    HWND progress = (HWND)argument;
    ExportJob *job = Progress_Job(progress);
    AppContext *app = job->app;
    InterlockedExchange(&app->exporting, 1);

    ExportDriver_Run(job->driver);
    InterlockedExchange(&app->exporting, 0);
    // The job belongs to Export_RunChoices' frame, which may end once this arrives.
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
    job->progress = progress;
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

int Export_RunChoices(HWND owner, const std::vector<ExportChoice> &choices, ExportTally *tally, std::string *problem)
{
    if (tally)
        *tally = ExportTally{};
    AppContext *app = App_FromWindow(owner);
    if (!app || !app->doc || !app->catalog)
        return -1;
    ExportJob job = {};
    job.app = app;
    // The formats check their names before the progress window opens, so a
    // refusal shows no window.
    std::vector<ExportSink> sinks;
    if (!ExportFormat_MakeSinks(choices, &sinks))
        return -1;
    ExportStage stage = {&job, ExportWorker_ShowStyle, ExportWorker_ChooseExpression, ExportWorker_AwaitLoaded,
                         ExportWorker_PictureBegins};
    // The pictures are composed and written on the worker's thread, in turn.
    ExportOptions options = {1, nullptr, nullptr};
    job.driver = ExportDriver_Begin(&sinks, &app->character, &app->wardrobe, &stage, &options, &job.stats, problem);
    if (!job.driver)
        return -1;
    INT_PTR result = DialogBoxParamW(app->instance, L"PROGRESS", owner, Progress_Proc, (LPARAM)&job);
    if (!job.started)
        ExportDriver_Release(job.driver);
    if (result != 0 || !job.started)
        return -1;
    if (tally)
        *tally = job.stats.tally;
    return job.stats.tally.written;
}

int Export_Run(HWND owner, const char *base, ExportTally *tally, int layered)
{
    if (!base || strlen(base) >= VOR_MAX_PATH)
        return -1;
    ExportChoice png = {ExportFormat_FromWord("png"), base, {}};
    std::vector<const ExportFormat *> beside = ExportFormat_BesideFormats();
    if (layered > 0 && layered <= (int)beside.size())
        png.settings[EXPORT_SETTING_LAYERED] = beside[(size_t)layered - 1]->word;
    return Export_RunChoices(owner, {png}, tally, nullptr);
}
