// Setting a standard scroll bar's position from code.
//
// The canvas and the lists keep their scroll state in the window's own
// scroll bars; this moves one of them and lets the system clamp the position
// to the bar's range, so callers may pass any value.
#pragma once

#include <windows.h>

enum {
    SCROLLBAR_HORIZONTAL = 0,
    SCROLLBAR_VERTICAL = 1,
};

// Sets the position of the window's horizontal (bar 0) or vertical (bar 1)
// standard scroll bar, clamped to its range; redraws the bar when `redraw` is
// non-zero. Returns the position the bar holds afterwards, or -1 for a bar
// number other than 0 and 1.
int Window_SetScrollPos(HWND window, int bar, int position, BOOL redraw);
