// Control set-up shared by the editing pages (Windows only).
#pragma once

#include <windows.h>

#include "core/array.h"

// Fills combo box `id` with every catalogue entry of the list: the entry's
// name as text and the entry itself as item data; selects the first.
void PageControls_FillEntries(HWND page, int id, const PtrList *entries);
// Gives a TileView its scroll bar and client edge and sets its flags, item
// size (full client width) and background.
void PageControls_SetUpTileView(HWND list, unsigned flags, int itemHeight, unsigned background);
