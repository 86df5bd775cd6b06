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

// The most checked styles a sheet of `columns` expressions holds: the sheet
// is one picture of at most DIB_MAX_PIXELS pixels.
int ContactSheet_MaxRows(int columns);
