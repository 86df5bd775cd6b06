// The export as the program runs it (Windows only): a modal PROGRESS window
// whose worker thread drives the DRESS and CHARA pages through every
// exported style and expression (Export_VisitPictures), exactly as a user's
// selections would, and hands each picture to the chosen formats' sinks.
//
// The sinks and the driver are the ones vor-cli's headless export runs, so
// both write identical files.
#pragma once

#include <windows.h>

#include "editor/app_context_win32.h"
#include <string>
#include <vector>

#include "output/export_format.h"

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
// data is the AppContext) for the formats chosen (output/export_format.h),
// showing the PROGRESS window modally. Returns the number of files written
// (the texts included) once the window has closed, or -1 when the export
// could not start (no window, no thread) or a format refused its names
// before anything was written (the reason in `problem`). `tally` (optional)
// receives the written and failed files and the first failure.
int Export_RunChoices(HWND owner, const std::vector<ExportChoice> &choices, ExportTally *tally = nullptr,
                      std::string *problem = nullptr);
// The PNG export into `base` (a folder ending with `\`), with the layered
// file `layered` (a LayeredFormat, 0 for none) beside each picture.
int Export_Run(HWND owner, const char *base, ExportTally *tally = nullptr, int layered = 0);
