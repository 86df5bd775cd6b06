// The export as the program runs it (Windows only): a modal PROGRESS window
// whose worker thread drives the DRESS and CHARA pages through every
// exported style and expression (Export_VisitPictures), exactly as a user's
// selections would, and
// writes each composed picture, then macro.txt and CREDITS.txt.
//
// The worker composes with Canvas_ComposeExport and writes with
// Export_WriteImageFile and the Export_* paths, the same functions vor-cli's
// headless export uses, so both write identical files.
#pragma once

#include <windows.h>

#include "editor/app_context_win32.h"
#include "output/export.h"

// Control ids of the PROGRESS window and the commands its worker sends it
// (WM_COMMAND with id PROGRESS_COMMAND_ID and one of the codes).
enum {
    IDC_PROGRESS_BAR = 1019,
    IDC_PROGRESS_PATH = 1042,
    PROGRESS_COMMAND_ID = 100,
    PROGRESS_SHOW_FILE = 101,  // lParam = the path being written; steps the bar
    PROGRESS_CLOSE = 103,
};

// Runs the export of the program whose main window is `owner` (its user
// data is the AppContext) into `base` (a folder ending with `\`), showing
// the PROGRESS window modally. Returns the number of files written
// (macro.txt and CREDITS.txt included) once the window has closed, or -1
// when the export could not start (a base folder too long, no window, no
// thread).
// `tally` (optional) receives the written and failed files and the first
// failure. `layered` (a LayeredFormat) asks for a layered file beside
// each picture.
int Export_Run(HWND owner, const char *base, ExportTally *tally = nullptr, int layered = 0);
// The same run writing the Ren'Py character (output/renpy_export.h) below
// `base` with names checked by RenPy_Validate; `renpy` nullptr runs the PNG
// export.
struct RenPyNames;
int Export_RunRenPy(HWND owner, const char *base, const RenPyNames *renpy, ExportTally *tally = nullptr);
