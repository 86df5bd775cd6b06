// The program's export: the PROGRESS window and its worker thread.
//
// The worker never touches a page's state directly. It shows each style and
// chooses each expression through the DRESS and CHARA pages' own calls,
// which run on the user-interface thread as a user's click there does, so
// the models and the canvas change the same way. It then waits for the canvas's loader to
// finish, composes the picture on its own thread (the progress window is
// modal, so nothing else changes the document meanwhile) and writes it.
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
#include "layers/render.h"
#include "output/credits.h"
#include "output/export.h"
#include "output/renpy_export.h"
#include "output/layered_file.h"
#include "core/services/path_shorten.h"

// How often the worker looks whether the loader has gone idle. A load pass
// of a few images takes a few milliseconds, so a short poll keeps the
// export from idling between pictures.
enum { LOADER_POLL_MS = 5 };

// One export, from Export_Run until its window has closed. Lives in
// Export_Run's frame; the worker's last access is before it posts the
// closing command.
struct ExportJob {
    AppContext *app;
    HWND progress;            // the PROGRESS window
    char base[VOR_MAX_PATH];  // where the files go, given by the caller
    int started;              // the worker thread was started
    ExportTally tally;        // files written and failed, macro.txt and CREDITS.txt included
    ExportCredits credits;    // the parts the pictures use
    const RenPyNames *renpy;  // a Ren'Py export's names, or nullptr for the PNG files
    RenPyCapture capture;     // what each pair draws, for the Ren'Py export
    int captureFailed;        // memory ran out while recording
    int layered;              // LayeredFormat of the file beside each picture
    LayerEncodings *layerEncodings;  // shared by the layered files; may be nullptr
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

// macro.txt, then CREDITS.txt of the parts the pictures used.
static void ExportWorker_WriteTexts(ExportJob *job)
{
    const Character *ch = &job->app->character;
    char path[EXPORT_PATH_TEXT_MAX];
    int failure = Export_WriteMacroFile(job->base, ch->name ? ch->name : "", job->app->catalog->expressions, path);
    ExportTally_Add(&job->tally, path, failure);
    failure = Export_WriteCreditsFile(job->base, ch->name ? ch->name : "", &job->credits, job->app->catalog, path);
    ExportTally_Add(&job->tally, path, failure);
}

// Composes and writes the picture the pages show, once the loader is done,
// and the layered file beside it when one is asked for.
static int ExportWorker_WriteShown(ExportJob *job, const ExportPicture *picture, LayeredJob *layered)
{
    SendMessageA(job->progress, WM_COMMAND, MAKEWPARAM(PROGRESS_COMMAND_ID, PROGRESS_SHOW_FILE),
                 (LPARAM)picture->path);
    ExportWorker_WaitForLoader(job->app->doc);
    DIB *image = picture->havePath ? Canvas_ComposeExport(job->app->doc) : nullptr;
    LayeredJob_Take(layered, job->layered, &job->app->character, &job->app->wardrobe, picture, image,
                    job->layerEncodings);
    if (!picture->havePath)
        return FILEWRITE_PATH_TOO_LONG;  // the bar still counts it
    Debug_Print("create %s\n", picture->path);
    int failure = LayeredJob_WritePicture(layered, image, picture->path);
    DIB_Delete_(image);
    return failure;
}

// Records what the pages show for the Ren'Py export; the label shows the
// show statement of the pair.
static void ExportWorker_Capture(ExportJob *job, const ExportPicture *picture)
{
    const RenPyNames *names = job->renpy;
    int style = 0;
    while (style < (int)names->styleIndex.size() && names->styleIndex[style] != picture->styleIndex)
        style++;
    std::string shown = "show " + names->tag + " " + names->expressions[picture->expression] + " " +
                        (style < (int)names->styles.size() ? names->styles[style] : "");
    SendMessageA(job->progress, WM_COMMAND, MAKEWPARAM(PROGRESS_COMMAND_ID, PROGRESS_SHOW_FILE),
                 (LPARAM)shown.c_str());
    ExportWorker_WaitForLoader(job->app->doc);
    if (style >= (int)names->styles.size() ||
        !RenPyCapture_Take(&job->capture, job->app->doc, style, picture->expression))
        job->captureFailed = 1;
}

// Plans and writes the Ren'Py files; a failed recording fails the script.
static void ExportWorker_WriteRenPy(ExportJob *job)
{
    RenPyPlan plan;
    if (job->captureFailed || job->capture.broken || !RenPy_Plan(&job->capture, job->renpy, &plan)) {
        std::string script = std::string(job->base) + job->renpy->tag + ".rpy";
        ExportTally_Add(&job->tally, script.c_str(), EXPORT_NOT_COMPOSED);
        return;
    }
    const Character *ch = &job->app->character;
    std::string credits = Credits_FileBytes(&job->credits, job->app->catalog, ch->name);
    RenPy_WriteFiles(&plan, job->renpy, job->base, job->capture.width, job->capture.height, credits, nullptr,
                     &job->tally);
    RenPyPlan_Release(&plan);
}

static void ExportWorker_Picture(void *context, const ExportPicture *picture)
{
    ExportJob *job = (ExportJob *)context;
    Credits_NotePicture(&job->credits, &job->app->character, picture->style);
    if (job->renpy) {
        ExportWorker_Capture(job, picture);
        return;
    }
    LayeredJob layered;
    int failure = ExportWorker_WriteShown(job, picture, &layered);
    if (failure != EXPORT_WRITTEN)
        Debug_Print("cannot write %s\n", picture->shown);
    ExportTally_Add(&job->tally, picture->shown, failure);
    if (layered.format)
        ExportTally_Add(&job->tally, layered.path, layered.failure);
    LayeredJob_Release(&layered);
}

static void __cdecl ExportWorker_Main(void *argument)
{
    HWND progress = (HWND)argument;
    ExportJob *job = Progress_Job(progress);
    AppContext *app = job->app;
    InterlockedExchange(&app->exporting, 1);

    ExportSteps steps = {job, ExportWorker_ShowStyle, ExportWorker_ChooseExpression, ExportWorker_Picture};
    Export_VisitPictures(&app->character, &app->wardrobe, job->base, &steps);
    ExportWorker_WaitForLoader(app->doc);

    if (job->renpy)
        ExportWorker_WriteRenPy(job);
    else
        ExportWorker_WriteTexts(job);
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

static int Export_RunJob(HWND owner, const char *base, const RenPyNames *renpy, int layered, ExportTally *tally);

int Export_Run(HWND owner, const char *base, ExportTally *tally, int layered)
{
    return Export_RunJob(owner, base, nullptr, layered, tally);
}

int Export_RunRenPy(HWND owner, const char *base, const RenPyNames *renpy, ExportTally *tally)
{
    return Export_RunJob(owner, base, renpy, 0, tally);
}

static int Export_RunJob(HWND owner, const char *base, const RenPyNames *renpy, int layered, ExportTally *tally)
{
    if (tally)
        *tally = ExportTally{};
    AppContext *app = App_FromWindow(owner);
    if (!app || !app->doc || !app->catalog || !base || strlen(base) >= sizeof(ExportJob::base))
        return -1;
    ExportJob job = {};
    job.app = app;
    job.renpy = renpy;
    if (renpy)
        RenPyCapture_Init(&job.capture, (int)renpy->styles.size(), (int)renpy->expressions.size());
    job.layered = layered;
    // Without it each layered file encodes all its layers itself.
    job.layerEncodings = layered ? LayerEncodings_Create(LAYERED_SHARED_BUDGET) : nullptr;
    strcpy(job.base, base);
    INT_PTR result = DialogBoxParamW(app->instance, L"PROGRESS", owner, Progress_Proc, (LPARAM)&job);
    RenPyCapture_Release(&job.capture);
    LayerEncodings_Destroy(job.layerEncodings);
    if (result != 0 || !job.started)
        return -1;
    if (tally)
        *tally = job.tally;
    return job.tally.written;
}
