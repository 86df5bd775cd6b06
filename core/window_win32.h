// Window helpers over user32 and gdi32 (Windows only).
#pragma once

#include <windows.h>

#include "core/geometry.h"

void Rect_ScreenToClient(Rect *r, HWND window);
void Wnd_GetScrollPos(HWND window, int *x, int *y);
void Wnd_GetScrollPage(HWND window, int *x, int *y);
void Wnd_GetCursorClientPos(HWND window, Point *p);
void Wnd_CenterOnParent(HWND window);
void Wnd_SetSize(HWND window, int width, int height, BOOL repaint);
void Wnd_SetPos(HWND window, int x, int y, BOOL repaint);
void Wnd_GetPos(HWND window, int *x, int *y);
// Fills `r` (nullptr: the client area of the DC's window) with a solid colour.
void Gdi_FillRect(HDC dc, const Rect *r, COLORREF colour);
