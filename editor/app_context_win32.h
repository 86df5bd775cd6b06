// The program's shared state and the contract between the main window and
// its three tab pages (Windows only).
//
// The main window owns one AppContext for the program's lifetime and hands
// its address to every page as the lParam of CreateDialogParamW; each page
// keeps it in its window's user data. The character and the wardrobe are the
// models the pages show and drive (editor/character.h, editor/wardrobe.h):
// a page turns user input into model calls and then brings its controls up
// to date; the file commands apply a project to the models and then ask the
// pages to sync; the export worker and the expressions window choose styles
// and expressions through the pages' named calls, which run the same code as
// a user's clicks.
#pragma once

#include <windows.h>

#include "catalog/part_catalog.h"
#include "core/imaging/dib.h"
#include "core/imaging/file.h"
#include "editor/character.h"
#include "editor/wardrobe.h"

enum { PAGE_CHARA, PAGE_DRESS, PAGE_SAVE, PAGE_COUNT };

// Control ids shared between the main window and the pages.
enum {
    IDC_MAIN_TABS = 1027,
    IDC_MAIN_PROGRESS = 1019,
    IDC_MAIN_CANVAS = 1011,
    IDC_CHARA_NAME = 1007,
    IDC_CHARA_EXPRESSION = 1015,
    IDC_CHARA_HAIR_BAND_COLOUR = 1028,
    IDC_CHARA_GLANCE = 1051,    // the expressions window's button
    CMD_GLANCE = 40024,         // opens the expressions window
    IDC_DRESS_DEPTH_LIST = 1029,
    IDC_DRESS_STYLE_LIST = 1037,
    IDC_SAVE_OUTPUT = 1006,
    IDC_SAVE_FREE_RADIO = 1029,
    IDC_SAVE_FREE_FOLDER = 1030,
    IDC_SAVE_BROWSE = 1031,     // chooses the free folder
    IDC_SAVE_KIND_1 = 1060,     // the output kinds: the folder formats of the format
    IDC_SAVE_KIND_2 = 1061,     //   table in their saveKind order (SavePage_KindControl)
    IDC_SAVE_KIND_3 = 1063,
    IDC_SAVE_KIND_4 = 1064,
    IDC_SAVE_FIELD_1 = 1062,    // the text field of a kind's option (saveField 1: the tag)
    IDC_SAVE_SWITCH_1 = 1065,   // the check box of a kind's switch (saveField 1: no Character)
    IDC_SAVE_LAYERED = 1070,         // "레이어 파일도 저장": a layered file beside each picture
    IDC_SAVE_LAYERED_FORMAT = 1071,  // its format: the format table's beside formats
};

struct AppContext {
    HINSTANCE instance;
    HWND mainWindow;            // the TEST dialog
    HWND canvas;                // FrameLayerWnd, control 1011 of the main window
    HWND pages[PAGE_COUNT];     // CHARA, DRESS, SAVE, in tab order
    LayerDocument *doc;         // the canvas's document (the canvas owns it)
    const PartCatalog *catalog; // built once at start-up
    Character character;        // built by the CHARA page's WM_INITDIALOG
    Wardrobe wardrobe;          // initialised by the DRESS page's WM_INITDIALOG
    DIB *checkImage;            // the BTN_CHECK picture: 11 x 33, three states
    char startFolder[VOR_MAX_PATH];
    char projectPath[VOR_MAX_PATH];
    int untitled;               // 1 until the project is opened or saved by name
    int titleModified;          // the caption form shown (0 plain, 1 modified)
    volatile LONG exporting;    // 1 while the export worker runs
    int colourDialogPlaced;     // a colour dialog position is remembered
    POINT colourDialogPos;
    struct ProjectHistory *history; // the undo history, or nullptr (no undo)
    struct RecentFiles *recent; // the File menu's recent files, or nullptr
    HWND glanceWindow;          // the expressions window while it is open
    int restoring;              // >0 while a project is applied to the pages
    // The SAVE page's free folder as typed (CP949); empty when the edit holds
    // text that CP949 cannot, which freeFolderUsable then says.
    char freeFolder[VOR_MAX_PATH];
    int freeFolderUsable;
    // Called after each user action that may have changed the project, with
    // the tag of a field whose typing merges into one step (0 none, -1 the
    // field lost the focus). nullptr: nobody keeps a history.
    void (*onChange)(AppContext *app, int mergeTag);
};

enum { APP_MERGE_NONE = 0, APP_MERGE_BREAK = -1 };

// The context of a page or of the main window (its GWLP_USERDATA).
AppContext *App_FromWindow(HWND window);

// Page procedures, created with CreateDialogParamW(instance, L"CHARA" /
// "DRESS" / "SAVE", main window, proc, (LPARAM)context).
INT_PTR CALLBACK CharaPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK DressPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK SavePage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);

// Bring a page's controls up to date with the models after a project was
// applied (names, selections, check boxes, lists, enabled buttons).
void CharaPage_Sync(HWND page);
void DressPage_Sync(HWND page);
// The SAVE page's free folder edit and output button.
void SavePage_SetFreeFolder(HWND page, const char *folder);
// VOR_MAX_PATH bytes; 0 (and an empty folder) when CP949 cannot hold it.
int SavePage_GetFreeFolder(HWND page, char *folder);
int SavePage_IsFreeFolderChecked(HWND page);
// Ticks the free folder's radio button, or unticks it for the first usable
// target (nothing changes when there is none).
void SavePage_SetFreeFolderChecked(HWND page, int checked);
void SavePage_UpdateOutputButton(HWND page);
// The export base folder the SAVE page selects: a target game's picture
// folder when its radio button is checked, else the free folder (with a
// `\` added when it has none). Returns 0 when there is none that fits.
int SavePage_GetExportBase(HWND page, char *base);  // VOR_MAX_PATH bytes
// The layered file the export writes beside each picture (a LayeredFormat;
// 0 while the check box is clear).
int SavePage_GetLayeredFormat(HWND page);
// The radio button of output kind `saveKind` (the format table's), or 0.
int SavePage_KindControl(int saveKind);

// Choosing from outside a page, as a user's selection in it would (one
// undo step, the page's controls and the models alike). Safe from any
// thread: the page does the work on its own.
void CharaPage_ChooseExpression(HWND page, int expression);
void DressPage_ChooseStyle(HWND page, int style);

// The CHARA page's hair band colour button follows the band layers (called by
// the main window when a load pass ends).
void CharaPage_UpdateHairBandButton(HWND page);
// The DRESS page's depth list repaints (an accessory's colour swatch changed).
void DressPage_RedrawDepthList(HWND page);
// Whether the DRESS page is the visible one (the dress colour rule).
int DressPage_IsVisible(HWND page);

// A page handled WM_COMMAND `id`/`code`: tells the onChange hook, unless a
// project is being applied or exported (those are not the user's edits).
// Typing into an edit (EN_CHANGE) merges by the edit's id.
void App_NoteCommand(AppContext *app, int id, int code);
// The same for a change that is not a page command (a canvas drag).
void App_NoteChange(AppContext *app, int mergeTag);

// Shows page `index` (PAGE_CHARA, ...) and selects its tab, as a click on
// the tab does.
void App_ShowPage(AppContext *app, int index);

// The Character's refresh hook for the program: Canvas_Refresh of the canvas.
void App_RefreshCanvas(void *context);
