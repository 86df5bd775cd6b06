// Control set-up shared by the CHARA and DRESS pages.
#include "editor/page_controls_win32.h"

#include "catalog/part_catalog.h"
#include "core/services/ui_text_win32.h"
#include "core/services/tileview_win32.h"

void PageControls_FillEntries(HWND page, int id, const PtrList *entries)
{
    HWND box = GetDlgItem(page, id);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < PtrList_Count(entries); i++) {
        const PartEntry *entry = (const PartEntry *)PtrList_Get(entries, i);
        int at = (int)UiText_Send(box, CB_ADDSTRING, 0, entry->name);
        if (at >= 0)
            SendMessageA(box, CB_SETITEMDATA, (WPARAM)at, (LPARAM)entry);
    }
    SendMessageA(box, CB_SETCURSEL, 0, 0);
}

void PageControls_SetUpTileView(HWND list, unsigned flags, int itemHeight, unsigned background)
{
    SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) | WS_VSCROLL);
    SetWindowLongA(list, GWL_EXSTYLE, GetWindowLongA(list, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT client;
    GetClientRect(list, &client);
    if (TileViewState *s = TileView_GetState(list)) {
        s->flags = flags;
        s->itemWidth = client.right;
        s->itemHeight = itemHeight;
        s->background = background;
    }
}
