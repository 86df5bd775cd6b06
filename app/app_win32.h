// The application shell's own declarations: the main window, the File menu
// handlers and the version dialog, shared by the files of app/.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "editor/app_context_win32.h"

// Command ids of the main window: menu, accelerators and its own controls.
enum {
    CMD_EXIT = 1010,
    CMD_SAVE = 40004,
    CMD_NEW = 40007,
    CMD_OPEN = 40008,
    CMD_SAVE_AS = 40009,
    CMD_VERSION = 40011,
    CMD_CREDITS = 40012,        // the parts the open character uses, with their authors
    CMD_RANDOM_DIALOG = 40025,  // the random character dialog with its locks
    CMD_UNDO = 40021,
    CMD_REDO = 40022,
    CMD_RANDOM = 40023,
    CMD_RECENT_FIRST = 40031,   // the recent files, RECENT_MAX ids from here
    CMD_RECENT_SEPARATOR = 40039,
    // The random character dialog (RANDOM): a check box per RandomTrait, in
    // that order, the seed field and its "new seed" button.
    IDC_RANDOM_KEEP_FIRST = 1201,
    IDC_RANDOM_SEED = 1220,
    IDC_RANDOM_NEW_SEED = 1221,
    // The parts window (CREDITS): the list as text.
    IDC_CREDITS_TEXT = 1230,
    IDC_ZOOM_IN = 1038,
    IDC_ZOOM_OUT = 1039,
    IDC_ZOOM_SLIDER = 1050,
    IDC_ZOOM_TEXT = 1023,
    IDC_POSITION_TEXT = 1022,
};

// The file-name field of the common file dialogs: an edit in the old dialog
// template, a combo box in the explorer-style dialog.
enum { FILEDLG_NAME_EDIT = 1152, FILEDLG_NAME_COMBO = 1148 };

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

// The File menu (file_commands_win32.cpp). Save and Save As return 1 when
// the project was written.
void FileMenu_New(AppContext *app);
void FileMenu_Open(AppContext *app);
int FileMenu_Save(AppContext *app);
int FileMenu_SaveAs(AppContext *app);
void FileMenu_Exit(AppContext *app);
// Opens `path` as Open does after its dialog, asking about unsaved changes
// first: the command line, a dropped file and the recent files come here.
void FileMenu_OpenPath(AppContext *app, const char *path);
// Asks "save the changes?" when the project is modified: Yes saves (and
// goes on only when it was written), No goes on, Cancel stops. Returns 1
// when the caller may go on and discard the project.
int FileMenu_ConfirmDiscard(AppContext *app);
// The first file of a drop on the main window opens through FileMenu_OpenPath.
void FileMenu_OnDrop(AppContext *app, HDROP drop);

// The recent files (recent_menu_win32.cpp): read from the registry into the
// File menu at start-up, a path opened or saved goes first, a refused one
// leaves the list.
void RecentMenu_Load(AppContext *app);
void RecentMenu_Free(AppContext *app);
void RecentMenu_Add(AppContext *app, const char *path);
void RecentMenu_Remove(AppContext *app, const char *path);
// Recent-file command `id` chosen: opens its path through FileMenu_OpenPath.
// Returns 0 when `id` is not a recent-file command.
int RecentMenu_OnCommand(AppContext *app, int id);

// The Edit menu (edit_commands_win32.cpp): the undo history behind it,
// created with the main window and fed by every change the pages and the
// canvas report.
int EditMenu_Install(AppContext *app);
void EditMenu_Uninstall(AppContext *app);
void EditMenu_Undo(AppContext *app);
void EditMenu_Redo(AppContext *app);
// Random looks (random_dialog_win32.cpp). The dialog shows the locks and
// a seed; OK remembers the locks and applies the look as one undo step.
// Ctrl+R applies a new seed's look with the remembered locks. Name,
// expression and the styles' names, folders and check states are kept.
void EditMenu_RandomDialog(AppContext *app);
void EditMenu_Random(AppContext *app);
// The locks as the registry remembers them (RANDOM_KEEP_DEFAULT when none),
// and a fresh seed as the dialog and Ctrl+R offer it.
uint32_t RandomLocks_Load(void);
void RandomLocks_Save(uint32_t keep);
uint64_t RandomSeed_Offer(void);
// After every change of the project (an edit, undo or redo, a file
// command): enables Undo and Redo as the history allows and lets the
// expressions window catch up.
void EditMenu_Update(AppContext *app);
// Memory ran out during an action: the action is refused, the undo steps
// are let go and the user is told; the project on screen stays.
void App_OnOutOfMemory(AppContext *app);

// The expressions window "표정 한눈에 보기" (glance_window_win32.cpp): the
// shown style in every expression as the export composes it, composed on a
// thread of its own. Open creates it or brings it to the front; Refresh
// tells it the project may have changed (it catches up a moment later).
void GlanceWindow_Open(AppContext *app);
void GlanceWindow_Refresh(AppContext *app);
// For the tests: whether every picture belongs to the newest project, one
// picture as composed (nullptr when none yet), and where it is drawn.
int GlanceWindow_IsCurrent(HWND window);
const DIB *GlanceWindow_Picture(HWND window, int expression);
int GlanceWindow_PictureRect(HWND window, int expression, RECT *r);

// One message of the program's message loop (message_loop_win32.cpp):
// returns 1 when the accelerators or the main window's dialog navigation
// took it; otherwise the caller translates and dispatches it. While an edit
// control has the focus its own editing keys (Ctrl+X, C, V, Z, Y, A) go to
// it, not to the accelerators.
int MessageLoop_Filter(HWND main, HACCEL accelerators, MSG *msg);
// Opens the project named on the command line (quotes removed), if any.
void MessageLoop_OpenCommandLine(HWND main, const char *commandLine);

// The modal version dialog "VER"; returns when it is closed.
void VersionDialog_Show(HINSTANCE instance, HWND owner);
// The modal parts window "CREDITS" (credits_dialog_win32.cpp): every part
// the open character's export would use, with its author, licence and
// address, the list CREDITS.txt gets.
void CreditsDialog_Show(AppContext *app);
