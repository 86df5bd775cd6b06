// The application shell's own declarations: the main window, the File menu
// handlers and the version dialog, shared by the files of app/.
#pragma once

#include <windows.h>

#include "editor/app_context_win32.h"

// Command ids of the main window: menu, accelerators and its own controls.
enum {
    CMD_EXIT = 1010,
    CMD_SAVE = 40004,
    CMD_NEW = 40007,
    CMD_OPEN = 40008,
    CMD_SAVE_AS = 40009,
    CMD_VERSION = 40011,
    IDC_ZOOM_IN = 1038,
    IDC_ZOOM_OUT = 1039,
    IDC_ZOOM_SLIDER = 1050,
    IDC_ZOOM_TEXT = 1023,
    IDC_POSITION_TEXT = 1022,
};

// The main window's dialog procedure; WM_INITDIALOG's lParam is the
// program's AppContext, which the window keeps in its user data.
INT_PTR CALLBACK MainWindow_Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

// The command table: menu, accelerators, the canvas's notifications and
// the colour dialogs' reports (main_commands_win32.cpp).
void MainWindow_OnCommand(AppContext *app, int id, int code, LPARAM lp);
// Sets the canvas's zoom keeping the picture pixel under its middle there.
void MainWindow_SetZoomAroundCentre(AppContext *app, double zoom);
// Shows the canvas's zoom in the percentage text and on the slider.
void MainWindow_ShowZoom(AppContext *app);

// The File menu (file_commands_win32.cpp).
void FileMenu_New(AppContext *app);
void FileMenu_Open(AppContext *app);
void FileMenu_Save(AppContext *app);
void FileMenu_SaveAs(AppContext *app);
void FileMenu_Exit(AppContext *app);

// The modal version dialog "VER"; returns when it is closed.
void VersionDialog_Show(HINSTANCE instance, HWND owner);
