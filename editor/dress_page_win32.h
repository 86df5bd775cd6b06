// What the two halves of the DRESS page share: the page record, the control
// ids, and the depth-list functions the style half calls (Windows only).
//
// The style half (dress_page_win32.cpp) keeps the style list and the dress of
// the shown style; the accessory half (dress_page_accessories_win32.cpp)
// keeps the depth list, the drawing order of parts and accessories.
#pragma once

#include <windows.h>

#include "editor/app_context_win32.h"

enum {
    IDC_DRESS_DRESS = 1002,
    IDC_DRESS_ACCESSORY_KIND = 1014,
    IDC_DRESS_DRESS_COLOUR = 1016,
    IDC_DRESS_ACCESSORY_HOME = 1021,
    IDC_DRESS_ACCESSORY_COLOUR = 1023,
    IDC_DRESS_MOVE_UP = 1026,
    IDC_DRESS_MOVE_DOWN = 1027,
    IDC_DRESS_ACCESSORY_ADD = 1033,
    IDC_DRESS_ACCESSORY_DELETE = 1034,
    IDC_DRESS_STYLE_DELETE = 1035,
    IDC_DRESS_STYLE_ADD = 1036,
    IDC_DRESS_STYLE_COPY = 1040,
    IDC_DRESS_STYLE_COPY_FIRST = 1041,
    IDC_DRESS_STYLE_PROPERTIES = 1048,
};

// The page's own state beside the shared AppContext (its DWLP_USER).
struct DressPage {
    AppContext *app;
    // Set while the page rebuilds its style list from the wardrobe, so that
    // the list's selection report does not show the style a second time.
    int syncing;
};

DressPage *DressPage_Of(HWND page);

// Sets up the depth list control (edge, scroll bar, state words) and fills
// it from the document's depth list.
void DepthList_Init(HWND page, AppContext *app);
// Refills the depth list control from the document's depth list and selects
// the wardrobe's depth selection, which updates the accessory controls.
void DepthList_Rebuild(HWND page, AppContext *app);
// Handles a depth-list or accessory command; 0 when `id` is not one of them.
int DepthList_OnCommand(HWND page, AppContext *app, int id, int code, LPARAM lp);
// Enables the add button while a slot is free.
void DepthList_UpdateAddButton(HWND page, const AppContext *app);
