// A contact sheet: every exported style (rows, list order) in every
// expression (columns, list order) in one 32-bit picture with alpha, each
// cell exactly the picture the export writes for it.
#pragma once

#include "core/imaging/dib.h"
#include "editor/character.h"
#include "editor/wardrobe.h"

// Composes the sheet without a window (loads synchronously, like the export)
// and restores the style and expression that were current. Returns nullptr
// when no style is checked, there are no expressions, or memory runs out.
DIB *ContactSheet_Compose(Character *ch, Wardrobe *w, int threads);
// The same, calling `progress` (when not null) after each cell with the
// cells done and the cells in all, for a command-line count.
DIB *ContactSheet_ComposeWith(Character *ch, Wardrobe *w, int threads, void (*progress)(void *user, int done, int total),
                              void *user);

// The most checked styles a sheet of `columns` expressions holds: the sheet
// is one picture of at most DIB_MAX_PIXELS pixels.
int ContactSheet_MaxRows(int columns);
