// The CHARA page: the character's name, face parts, hair, expression and the
// colour buttons for the face and hair colours.
//
// The page is a thin view of the Character record (editor/character.h): each
// control's notification calls the matching Character_* operation, which
// queues the part images and refreshes the canvas, and the page then shows
// what the model decided (the back-hair box follows the front hair while the
// back hair is not chosen separately). The file commands and the export
// drive the page with the same notifications a user's input produces.
#include <cstdlib>
#include <cstring>

#include "canvas/canvas_win32.h"
#include "core/services/ui_text_win32.h"
#include "editor/colordlg_win32.h"
#include "editor/app_context_win32.h"
#include "editor/page_controls_win32.h"
#include "editor/naming_dialogs_win32.h"
#include "layers/render.h"

enum {
    CHARA_MSG_CHOOSE_EXPRESSION = WM_APP + 1,  // wParam = the expression; CharaPage_ChooseExpression
    IDC_CHARA_FRONT_HAIR = 1000,
    IDC_CHARA_BACK_HAIR = 1001,
    IDC_CHARA_DRESS = 1002,       // hidden, unused on this page
    IDC_CHARA_EYE = 1003,
    IDC_CHARA_BROW = 1004,
    IDC_CHARA_MOUTH = 1005,
    IDC_CHARA_BROW_COLOUR = 1008,
    IDC_CHARA_HAIR_COLOUR = 1009,
    IDC_CHARA_EYE_COLOUR = 1012,
    IDC_CHARA_MOUTH_COLOUR = 1013,
    IDC_CHARA_CHEEK = 1017,       // hidden: the cheeks stay at the first shape
    IDC_CHARA_SLOTS = 1020,       // hidden: the colour slots, for inspection
    IDC_CHARA_SEPARATE_BACK_HAIR = 1024,
    IDC_CHARA_HAIR_DEFAULT_COLOUR = 1049,
};

// The page's eight lists: the catalogue list each one shows and the
// character's choice it follows (none for the hidden dress box).
struct CharaCombo {
    int id;
    PtrList *PartCatalog::*entries;
    int32_t Character::*choice;
};
static const CharaCombo CHARA_COMBOS[] = {
    {IDC_CHARA_BROW, &PartCatalog::browShapes, &Character::brow},
    {IDC_CHARA_EYE, &PartCatalog::eyeShapes, &Character::eye},
    {IDC_CHARA_CHEEK, &PartCatalog::cheekShapes, &Character::cheek},
    {IDC_CHARA_MOUTH, &PartCatalog::mouthShapes, &Character::mouth},
    {IDC_CHARA_FRONT_HAIR, &PartCatalog::hairStyles, &Character::frontHair},
    {IDC_CHARA_BACK_HAIR, &PartCatalog::hairStyles, &Character::backHair},
    {IDC_CHARA_DRESS, &PartCatalog::dresses, nullptr},
    {IDC_CHARA_EXPRESSION, &PartCatalog::expressions, &Character::expression},
};

static int Combo_Selection(HWND page, int id)
{
    return (int)SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
}

static void Combo_Select(HWND page, int id, int index)
{
    SendDlgItemMessageA(page, id, CB_SETCURSEL, (WPARAM)index, 0);
}

static int IsChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}


// The canvas sits inside a sunken edge while the pages show. Its scroll
// bars are its own: it shows them only where the zoomed picture does not
// fit, so the page leaves them alone.
static void CharaPage_PrepareCanvas(HWND canvas)
{
    if (!canvas)
        return;
    SetWindowLongA(canvas, GWL_EXSTYLE, GetWindowLongA(canvas, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(canvas, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

static void CharaPage_FillSlotList(HWND page, Character *ch)
{
    HWND list = GetDlgItem(page, IDC_CHARA_SLOTS);
    for (ColourSlot &slot : ch->slots) {
        int at = (int)UiText_Send(list, LB_ADDSTRING, 0, slot.name);
        if (at >= 0)
            SendMessageA(list, LB_SETITEMDATA, (WPARAM)at, (LPARAM)&slot);
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}

static void CharaPage_Init(HWND page, AppContext *app)
{
    SetWindowLongPtrA(page, GWLP_USERDATA, (LONG_PTR)app);
    CharaPage_PrepareCanvas(app->canvas);
    CharacterHooks hooks = {app, App_RefreshCanvas};
    Character_Init(&app->character, app->doc, app->catalog, hooks, nullptr);
    CharaPage_FillSlotList(page, &app->character);
    // Nothing but the body loads here; the first project selects every part.
    UiText_SetItem(page, IDC_CHARA_NAME, "TEST");
    for (const CharaCombo &combo : CHARA_COMBOS)
        PageControls_FillEntries(page, combo.id, app->catalog->*combo.entries);
    EnableWindow(GetDlgItem(page, IDC_CHARA_BACK_HAIR), app->character.separateBackHair);
}

// The back-hair box shows the model's back hair (the model moves it along
// with the front hair while it is not chosen separately).
static void CharaPage_ShowBackHair(HWND page, const Character *ch)
{
    if (Combo_Selection(page, IDC_CHARA_BACK_HAIR) != ch->backHair)
        Combo_Select(page, IDC_CHARA_BACK_HAIR, ch->backHair);
}

static void CharaPage_OnName(HWND page, Character *ch)
{
    int unrepresentable = 0;
    char *name = GetWindowTextCopy(GetDlgItem(page, IDC_CHARA_NAME), &unrepresentable);
    if (name && !unrepresentable) {
        Character_SetName(ch, name);
    } else if (name) {
        // The stored name is CP949: a character it cannot hold is refused
        // and the edit goes back to the name kept.
        UiText_MessageBox(page, UiText_Problem(UITEXT_UNREPRESENTABLE), "이름 입력", MB_OK | MB_ICONERROR);
        UiText_SetItem(page, IDC_CHARA_NAME, ch->name);
    }
    free(name);
}

// A face part's box changed; the expression box must have a choice too.
static void CharaPage_OnFacePart(HWND page, Character *ch, int id)
{
    int part = Combo_Selection(page, id);
    if (part < 0 || Combo_Selection(page, IDC_CHARA_EXPRESSION) < 0)
        return;
    switch (id) {
    case IDC_CHARA_EYE: Character_ChooseEye(ch, part); break;
    case IDC_CHARA_BROW: Character_ChooseBrow(ch, part); break;
    case IDC_CHARA_MOUTH: Character_ChooseMouth(ch, part); break;
    case IDC_CHARA_CHEEK: Character_ChooseCheek(ch, part); break;
    }
}

static int SlotOfColourButton(int id)
{
    switch (id) {
    case IDC_CHARA_BROW_COLOUR: return ID_BROW;
    case IDC_CHARA_HAIR_COLOUR: return ID_HAIR;
    case IDC_CHARA_EYE_COLOUR: return ID_EYE;
    case IDC_CHARA_MOUTH_COLOUR: return ID_MOUTH;
    case IDC_CHARA_HAIR_BAND_COLOUR: return ID_HAIR_ACCESSORY;
    }
    return 0;
}

// The colour dialog reports every colour tried to the main window, which
// recolours live; the page only learns whether the user kept one.
static void CharaPage_OnColourButton(HWND page, AppContext *app, int slot)
{
    Character *ch = &app->character;
    Canvas_DropDragCache(app->doc);
    HlsColour colour = HLS_DEFAULT;
    Character_ReadSlot(ch, slot, &colour);
    int result = ColorDlg_Open(slot, page, colour, ch->dataFolder);
    // A hair colour of the user's own replaces the hair's default colour.
    if (result == COLORDLG_ACCEPTED && slot == ID_HAIR) {
        CheckDlgButton(page, IDC_CHARA_HAIR_DEFAULT_COLOUR, BST_UNCHECKED);
        ch->hairDefaultColour = 0;
    }
}

static void CharaPage_OnCommand(HWND page, int id, int code)
{
    AppContext *app = App_FromWindow(page);
    if (!app)
        return;
    Character *ch = &app->character;
    int selection = Combo_Selection(page, id);
    switch (id) {
    case IDC_CHARA_NAME:
        if (code == EN_CHANGE)
            CharaPage_OnName(page, ch);
        return;
    case IDC_CHARA_FRONT_HAIR:
        if (code != CBN_SELCHANGE || selection < 0)
            return;
        Character_ChooseFrontHair(ch, selection);
        CharaPage_ShowBackHair(page, ch);
        return;
    case IDC_CHARA_BACK_HAIR:
        if (code == CBN_SELCHANGE && selection >= 0)
            Character_ChooseBackHair(ch, selection);
        return;
    case IDC_CHARA_EYE:
    case IDC_CHARA_BROW:
    case IDC_CHARA_MOUTH:
    case IDC_CHARA_CHEEK:
        if (code == CBN_SELCHANGE)
            CharaPage_OnFacePart(page, ch, id);
        return;
    case IDC_CHARA_EXPRESSION:
        if (code == CBN_SELCHANGE && selection >= 0)
            Character_ChooseExpression(ch, selection);
        return;
    case IDC_CHARA_SEPARATE_BACK_HAIR: {
        int separate = IsChecked(page, id);
        EnableWindow(GetDlgItem(page, IDC_CHARA_BACK_HAIR), separate);
        Character_SetSeparateBackHair(ch, separate);
        CharaPage_ShowBackHair(page, ch);
        return;
    }
    case IDC_CHARA_HAIR_DEFAULT_COLOUR:
        Character_SetHairDefaultColour(ch, IsChecked(page, id));
        CharaPage_ShowBackHair(page, ch);
        return;
    case IDC_CHARA_GLANCE:
        SendMessageW(app->mainWindow, WM_COMMAND, CMD_GLANCE, 0);
        return;
    }
    if (int slot = SlotOfColourButton(id))
        CharaPage_OnColourButton(page, app, slot);
}

// Another window's choice of an expression, handled as the user's own
// choice in the expression box.
static void CharaPage_OnChooseExpression(HWND page, int expression)
{
    AppContext *app = App_FromWindow(page);
    if (!app || expression < 0 || expression >= PtrList_Count(app->catalog->expressions))
        return;
    Combo_Select(page, IDC_CHARA_EXPRESSION, expression);
    Character_ChooseExpression(&app->character, expression);
    App_NoteCommand(app, IDC_CHARA_EXPRESSION, CBN_SELCHANGE);
}

void CharaPage_ChooseExpression(HWND page, int expression)
{
    SendMessageW(page, CHARA_MSG_CHOOSE_EXPRESSION, (WPARAM)expression, 0);
}

INT_PTR CALLBACK CharaPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        CharaPage_Init(page, (AppContext *)lp);
        return 0;
    case CHARA_MSG_CHOOSE_EXPRESSION: CharaPage_OnChooseExpression(page, (int)wp); return TRUE;
    case WM_COMMAND:
        CharaPage_OnCommand(page, LOWORD(wp), HIWORD(wp));
        App_NoteCommand(App_FromWindow(page), LOWORD(wp), HIWORD(wp));
        return 0;
    }
    return 0;
}

void CharaPage_Sync(HWND page)
{
    AppContext *app = App_FromWindow(page);
    if (!app)
        return;
    const Character *ch = &app->character;
    // Setting the edit's text reports EN_CHANGE, which stores the same name.
    int unrepresentable = 0;
    char *name = GetWindowTextCopy(GetDlgItem(page, IDC_CHARA_NAME), &unrepresentable);
    if (!name || unrepresentable || strcmp(name, ch->name ? ch->name : "") != 0)
        UiText_SetItem(page, IDC_CHARA_NAME, ch->name);
    free(name);
    for (const CharaCombo &combo : CHARA_COMBOS)
        if (combo.choice)
            Combo_Select(page, combo.id, ch->*combo.choice);
    CheckDlgButton(page, IDC_CHARA_SEPARATE_BACK_HAIR, ch->separateBackHair ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_CHARA_HAIR_DEFAULT_COLOUR, ch->hairDefaultColour ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_CHARA_BACK_HAIR), ch->separateBackHair);
}

void CharaPage_UpdateHairBandButton(HWND page)
{
    AppContext *app = App_FromWindow(page);
    if (app)
        EnableWindow(GetDlgItem(page, IDC_CHARA_HAIR_BAND_COLOUR), Character_HasHairBand(&app->character));
}
