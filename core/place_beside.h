// Where a tool window opens beside the window it follows, so that it hides
// none of the controls whose changes it shows.
#pragma once

#include "core/geometry.h"

// The place for a window of `width` x `height` beside `anchor` (the main
// window's outer rectangle) inside `area` (the work area of its screen):
// on the first side, right, left, below, above, where it fits whole,
// aligned with the anchor's top (or left) edge and moved inside the area.
// When no side has the room, the window is narrowed (or lowered) to a
// side's room and grows along it, up to the area's edge, to keep its area;
// of the sides where that is at least minWidth x minHeight, the one that
// keeps the most.
// When even that does not fit, the side with the most room at the
// smallest size, kept inside the area (then it overlaps the anchor as
// little as the area allows).
Rect Place_Beside(const Rect *anchor, const Rect *area, int width, int height, int minWidth, int minHeight);
// 1 when `r` lies whole inside `area` and is at least minWidth x minHeight:
// a remembered place that is still usable on this screen.
int Place_IsUsable(const Rect *r, const Rect *area, int minWidth, int minHeight);
