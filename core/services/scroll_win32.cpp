// Window_SetScrollPos: one SetScrollInfo call, read back so the caller
// learns where the system clamped the position.
#include "core/services/scroll_win32.h"

int Window_SetScrollPos(HWND window, int bar, int position, BOOL redraw)
{
    if (bar != SCROLLBAR_HORIZONTAL && bar != SCROLLBAR_VERTICAL)
        return -1;
    int systemBar = bar == SCROLLBAR_HORIZONTAL ? SB_HORZ : SB_VERT;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = position;
    SetScrollInfo(window, systemBar, &si, redraw);
    si.fMask = SIF_POS;
    if (!GetScrollInfo(window, systemBar, &si))
        return 0;
    return si.nPos;
}
