// The colour dialog: a modal dialog that edits one hue, luminance and
// saturation colour with three sliders and three numeric fields, and shows
// the colour in a swatch. Below the sliders a row of preset swatches for the
// kind of slot being edited (from `palette.inf` in the data folder, or the
// built-in presets), a row of the last eight colours accepted with OK (kept
// in the registry), and Copy / Paste buttons that carry one colour between
// slots through the clipboard as the text `H,L,S`. A swatch click or a paste
// changes the colour exactly as a slider move does.
//
// While it is open it reports to the top-level window of its owner page with
// WM_COMMAND, the caller's command id in the low word of wParam and the dialog
// window in lParam:
//   COLORDLG_CHANGED  the colour changed (read it with ColorDlg_GetColorHLS);
//                     on cancel the original colour is reported once more so
//                     that every live preview reverts
//   COLORDLG_SHOWN    the dialog is on screen
//   COLORDLG_CLOSING  the dialog is about to close; its colour is still readable
#pragma once

#include <windows.h>

#include "layers/hls.h"

enum {
    COLORDLG_CHANGED = 1024,
    COLORDLG_SHOWN = 1025,
    COLORDLG_CLOSING = 1026,
};

// What ColorDlg_Open returns.
enum {
    COLORDLG_FAILED = 0,    // the dialog could not be shown
    COLORDLG_ACCEPTED = 1,
    COLORDLG_CANCELLED = 2,
};

// Control ids inside the dialog, in hue, luminance, saturation order.
enum {
    COLORDLG_SWATCH = 1100,
    COLORDLG_HUE_SLIDER = 1101,
    COLORDLG_LUMINANCE_SLIDER = 1102,
    COLORDLG_SATURATION_SLIDER = 1103,
    COLORDLG_HUE_EDIT = 1111,
    COLORDLG_LUMINANCE_EDIT = 1112,
    COLORDLG_SATURATION_EDIT = 1113,
    COLORDLG_COPY = 1130,
    COLORDLG_PASTE = 1131,
    COLORDLG_PRESET_FIRST = 1200,  // up to PALETTE_MAX_SWATCHES, the unused hidden
    COLORDLG_RECENT_FIRST = 1220,  // RECENT_COLOURS_MAX, newest first
};

// Where the recent colours are kept (HKEY_CURRENT_USER), beside the
// program's other settings.
extern const char *const COLORDLG_RECENT_KEY;
extern const char COLORDLG_RECENT_VALUE[];

// Shows the dialog on `colour` and returns when it closes: COLORDLG_ACCEPTED
// when the user pressed OK, COLORDLG_CANCELLED otherwise. `commandId` is the
// slot's layer id (ID_HAIR, ...), which also picks the preset row;
// `dataFolder` (ending with `\`) is where `palette.inf` is looked for, none
// for the built-in presets.
int ColorDlg_Open(int commandId, HWND ownerPage, HlsColour colour, const char *dataFolder = nullptr);
// Fills `out` with the dialog's current colour. Returns 0 (and leaves `out`
// alone) when `dialog` is not an open colour dialog.
int ColorDlg_GetColorHLS(HWND dialog, HlsColour *out);
// The colour of swatch `id` (a preset or recent swatch) of an open dialog.
// Returns 0 for an id with no colour.
int ColorDlg_GetSwatch(HWND dialog, int id, HlsColour *out);
