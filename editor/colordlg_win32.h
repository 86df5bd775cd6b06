// The colour dialog: a modal dialog that edits one hue, luminance and
// saturation colour with three sliders and three numeric fields, and shows
// the colour in a swatch.
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
};

// Shows the dialog on `colour` and returns when it closes: COLORDLG_ACCEPTED
// when the user pressed OK, COLORDLG_CANCELLED otherwise.
int ColorDlg_Open(int commandId, HWND ownerPage, HlsColour colour);
// Fills `out` with the dialog's current colour. Returns 0 (and leaves `out`
// alone) when `dialog` is not an open colour dialog.
int ColorDlg_GetColorHLS(HWND dialog, HlsColour *out);
