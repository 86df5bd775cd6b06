// The painters of the DRESS page's two tile lists: one depth-list item (a
// part or an accessory of the drawing order) and one style item (a dress
// style with its check picture), and where a style item's check picture
// lies, which the page also needs to tell a click on the box from a click
// on the row.
//
// Each painter draws the item into a private 24-bit image of the item's size
// and copies it to the screen in one step, so a list never flickers.
#pragma once

#include <windows.h>

#include "core/geometry.h"
#include "core/imaging/dib.h"
#include "core/services/tileview_win32.h"
#include "editor/wardrobe.h"

// Paints a depth-list item whose data is a Layer: its name in `font` (the
// page's own; nullptr: the tiles' small default) a few pixels from the left
// edge. Accessories show their name in red, indented, after a swatch of
// their slot's colour in `wardrobe`. Nothing is painted when the item image
// cannot be made.
void DrawDepthItem(const TileItem *item, HDC dc, const RECT *rect, const Wardrobe *wardrobe, HFONT font);
// Paints a style item whose data is a DressStyle: the check picture for its
// check state (taken from `checkImage`, three pictures stacked vertically),
// its name and its output folder name, both in `font` (the page's own;
// nullptr: the tiles' small default).
void DrawStyleItem(const TileItem *item, HDC dc, const RECT *rect, const DIB *checkImage, HFONT font);
// The check picture's place inside an item of `itemHeight`, relative to the
// item's top-left: a square of the picture's size centred vertically and
// inset by the same margin from the left. Empty without a picture.
Rect CheckPictureRect(int itemHeight, const DIB *checkImage);
