// The colour dialog, built from a template assembled in memory so that the
// control library needs no resource script of the program.
//
// The three channels are kept in step in both directions: moving a slider
// rewrites its field, typing in a field moves its slider. A `syncing` flag
// keeps the program's own writes from being taken for user input, so every
// real change is reported exactly once.
#include "editor/colordlg_win32.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include <string>
#include <vector>

#include "catalog/palette.h"
#include "core/services/registry_win32.h"
#include "core/services/ui_text_win32.h"
#include "editor/colour_swatches.h"

const char *const COLORDLG_RECENT_KEY = REG_PROGRAM_KEY;
const char COLORDLG_RECENT_VALUE[] = "RecentColours";

namespace {

enum {
    COLORDLG_CHANNELS = 3,
    COLORDLG_MAX_VALUE = 255,
    COLORDLG_TEMPLATE_WORDS = 2048,
    COLORDLG_SWATCH_STEP = 14,  // dialog units from one small swatch to the next
};

// Posted from WM_INITDIALOG so that "shown" is reported once the modal loop
// runs and the dialog is visible, not while it is still being built.
const UINT COLORDLG_MSG_SHOWN = WM_APP + 1;

// Marks a window as one of ours for ColorDlg_GetColorHLS.
const char COLORDLG_PROP[] = "VorColorDlg";

struct ColorDlgState {
    int commandId;
    HWND notifyTarget;   // top-level window of the owner page, or nullptr
    HlsColour original;
    HlsColour current;
    int syncing;         // non-zero while the dialog writes its own controls
    int presetCount;
    HlsColour presets[PALETTE_MAX_SWATCHES];
    RecentColours recent;
    HWND tips;           // the swatches' tooltips, or nullptr
    wchar_t tipText[80]; // the text of the tooltip being shown
};

uint8_t *Colour_Channel(HlsColour *c, int channel)
{
    return channel == 0 ? &c->hue : channel == 1 ? &c->luminance : &c->saturation;
}

// ---- template ---------------------------------------------------------

// Assembles a DLGTEMPLATE and its items into 16-bit words.
struct TemplateWriter {
    std::vector<WORD> words;

    void Word(WORD w) { words.push_back(w); }
    void Dword(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t *text)
    {
        for (; *text; text++)
            Word((WORD)*text);
        Word(0);
    }
    void Align()
    {
        if (words.size() % 2)
            Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t *className,
              const wchar_t *text)
    {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(x);
        Word(y);
        Word(cx);
        Word(cy);
        Word(id);
        if (className) {
            Text(className);
        } else {
            Word(0xFFFF);
            Word(atom);
        }
        Text(text);
        Word(0);  // no creation data
    }
};

enum : WORD { ATOM_BUTTON = 0x0080, ATOM_EDIT = 0x0081, ATOM_STATIC = 0x0082 };

void ColorDlg_BuildTemplate(TemplateWriter *w)
{
    static const wchar_t *labels[COLORDLG_CHANNELS] = {L"색상(&H):", L"명도(&L):", L"채도(&S):"};
    const int items = 1 + 3 * COLORDLG_CHANNELS + 2 + 2 + PALETTE_MAX_SWATCHES + RECENT_COLOURS_MAX + 2;
    static_assert(PALETTE_MAX_SWATCHES > 0 && RECENT_COLOURS_MAX > 0, "the rows start with a swatch");
    w->Dword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    w->Dword(0);
    w->Word(items);
    w->Word(0);
    w->Word(0);
    w->Word(218);
    w->Word(124);
    w->Word(0);  // no menu
    w->Word(0);  // the standard dialog class
    w->Text(L"색 선택");
    w->Word(9);
    w->Text(UiText_DialogFace());

    // SS_NOTIFY lets the mouse reach it, for its tooltip.
    w->Item(SS_OWNERDRAW | SS_NOTIFY, 8, 8, 44, 56, COLORDLG_SWATCH, ATOM_STATIC, nullptr, L"");
    for (int c = 0; c < COLORDLG_CHANNELS; c++) {
        short y = (short)(8 + 20 * c);
        w->Item(SS_LEFT, 60, (short)(y + 2), 36, 10, (WORD)-1, ATOM_STATIC, nullptr, labels[c]);
        w->Item(WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 96, y, 76, 14, (WORD)(COLORDLG_HUE_SLIDER + c), 0,
                L"msctls_trackbar32", L"");
        w->Item(WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_RIGHT, 176, (short)(y + 1), 26, 12,
                (WORD)(COLORDLG_HUE_EDIT + c), ATOM_EDIT, nullptr, L"");
    }
    // Each row of small swatches is one tab stop and a group: Tab (or the
    // label's mnemonic) reaches its first swatch, the arrow keys move along
    // it and Space takes the colour, as in a row of radio buttons.
    w->Item(SS_LEFT | WS_GROUP, 8, 70, 28, 10, (WORD)-1, ATOM_STATIC, nullptr, L"견본(&W):");
    for (int i = 0; i < PALETTE_MAX_SWATCHES; i++)
        w->Item(BS_OWNERDRAW | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), (short)(38 + COLORDLG_SWATCH_STEP * i), 68,
                12, 12, (WORD)(COLORDLG_PRESET_FIRST + i), ATOM_BUTTON, nullptr, L"");
    w->Item(SS_LEFT | WS_GROUP, 8, 88, 28, 10, (WORD)-1, ATOM_STATIC, nullptr, L"최근(&R):");
    for (int i = 0; i < RECENT_COLOURS_MAX; i++)
        w->Item(BS_OWNERDRAW | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), (short)(38 + COLORDLG_SWATCH_STEP * i), 86,
                12, 12, (WORD)(COLORDLG_RECENT_FIRST + i), ATOM_BUTTON, nullptr, L"");
    w->Item(WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 8, 104, 44, 14, COLORDLG_COPY, ATOM_BUTTON, nullptr, L"복사(&C)");
    w->Item(WS_TABSTOP | BS_PUSHBUTTON, 56, 104, 44, 14, COLORDLG_PASTE, ATOM_BUTTON, nullptr, L"붙여넣기(&P)");
    w->Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 112, 104, 48, 14, IDOK, ATOM_BUTTON, nullptr, L"확인");
    w->Item(WS_TABSTOP | BS_PUSHBUTTON, 164, 104, 48, 14, IDCANCEL, ATOM_BUTTON, nullptr, L"취소");
}

// ---- behaviour -----------------------------------------------------------

ColorDlgState *ColorDlg_State(HWND dialog)
{
    return (ColorDlgState *)GetPropA(dialog, COLORDLG_PROP);
}

void ColorDlg_Notify(HWND dialog, ColorDlgState *s, int code)
{
    if (s->notifyTarget)
        SendMessageA(s->notifyTarget, WM_COMMAND, MAKEWPARAM(s->commandId & 0xFFFF, code), (LPARAM)dialog);
}

// Writes the colour into the sliders and fields without reporting it.
void ColorDlg_ShowColour(HWND dialog, ColorDlgState *s)
{
    s->syncing++;
    for (int c = 0; c < COLORDLG_CHANNELS; c++) {
        int value = *Colour_Channel(&s->current, c);
        SendDlgItemMessageA(dialog, COLORDLG_HUE_SLIDER + c, TBM_SETPOS, TRUE, value);
        SetDlgItemInt(dialog, COLORDLG_HUE_EDIT + c, value, FALSE);
    }
    s->syncing--;
    InvalidateRect(GetDlgItem(dialog, COLORDLG_SWATCH), nullptr, FALSE);
}

// Takes a new value for one channel; reports only a real change.
void ColorDlg_SetChannel(HWND dialog, ColorDlgState *s, int channel, int value)
{
    if (value < 0)
        value = 0;
    if (value > COLORDLG_MAX_VALUE)
        value = COLORDLG_MAX_VALUE;
    uint8_t *slot = Colour_Channel(&s->current, channel);
    if (*slot == value)
        return;
    *slot = (uint8_t)value;
    InvalidateRect(GetDlgItem(dialog, COLORDLG_SWATCH), nullptr, FALSE);
    ColorDlg_Notify(dialog, s, COLORDLG_CHANGED);
}

void ColorDlg_OnSlider(HWND dialog, ColorDlgState *s, HWND slider)
{
    int channel = GetDlgCtrlID(slider) - COLORDLG_HUE_SLIDER;
    if (s->syncing || channel < 0 || channel >= COLORDLG_CHANNELS)
        return;
    int value = (int)SendMessageA(slider, TBM_GETPOS, 0, 0);
    s->syncing++;
    SetDlgItemInt(dialog, COLORDLG_HUE_EDIT + channel, value, FALSE);
    s->syncing--;
    ColorDlg_SetChannel(dialog, s, channel, value);
}

void ColorDlg_OnEdit(HWND dialog, ColorDlgState *s, int channel)
{
    if (s->syncing)
        return;
    BOOL ok = FALSE;
    UINT value = GetDlgItemInt(dialog, COLORDLG_HUE_EDIT + channel, &ok, FALSE);
    if (!ok)
        return;  // an empty field while the user retypes it
    if (value > COLORDLG_MAX_VALUE) {
        value = COLORDLG_MAX_VALUE;
        s->syncing++;
        SetDlgItemInt(dialog, COLORDLG_HUE_EDIT + channel, value, FALSE);
        s->syncing--;
    }
    s->syncing++;
    SendDlgItemMessageA(dialog, COLORDLG_HUE_SLIDER + channel, TBM_SETPOS, TRUE, value);
    s->syncing--;
    ColorDlg_SetChannel(dialog, s, channel, (int)value);
}

void ColorDlg_Close(HWND dialog, ColorDlgState *s, int result)
{
    if (result == COLORDLG_ACCEPTED) {
        RecentColours_Push(&s->recent, s->current);
        Reg_SetString(COLORDLG_RECENT_KEY, COLORDLG_RECENT_VALUE, RecentColours_Format(&s->recent).c_str());
    }
    if (result == COLORDLG_CANCELLED) {
        s->current = s->original;
        ColorDlg_ShowColour(dialog, s);
        ColorDlg_Notify(dialog, s, COLORDLG_CHANGED);
    }
    ColorDlg_Notify(dialog, s, COLORDLG_CLOSING);
    EndDialog(dialog, result);
}

// The colour a swatch control shows; 0 for an empty recent place.
int ColorDlg_SwatchColour(const ColorDlgState *s, int id, HlsColour *out)
{
    if (id == COLORDLG_SWATCH) {
        *out = s->current;
        return 1;
    }
    int i = id - COLORDLG_PRESET_FIRST;
    if (i >= 0 && i < s->presetCount) {
        *out = s->presets[i];
        return 1;
    }
    i = id - COLORDLG_RECENT_FIRST;
    if (i >= 0 && i < s->recent.count) {
        *out = s->recent.colours[i];
        return 1;
    }
    return 0;
}

// A swatch filled with its colour; an empty recent place is a grey outline.
void ColorDlg_DrawSwatch(const ColorDlgState *s, const DRAWITEMSTRUCT *dis)
{
    HlsColour colour;
    if (!ColorDlg_SwatchColour(s, (int)dis->CtlID, &colour)) {
        FillRect(dis->hDC, &dis->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(dis->hDC, &dis->rcItem, GetSysColorBrush(COLOR_GRAYTEXT));
        return;
    }
    RgbBytes rgb = Hls_ToRgb(colour);
    HBRUSH brush = CreateSolidBrush(RGB(rgb.red, rgb.green, rgb.blue));
    FillRect(dis->hDC, &dis->rcItem, brush);
    DeleteObject(brush);
    FrameRect(dis->hDC, &dis->rcItem, (HBRUSH)GetStockObject(BLACK_BRUSH));
    if (dis->itemState & ODS_FOCUS) {
        // A white ring inside the black frame shows the keyboard's place on
        // any colour.
        RECT ring = dis->rcItem;
        InflateRect(&ring, -1, -1);
        FrameRect(dis->hDC, &ring, (HBRUSH)GetStockObject(WHITE_BRUSH));
        InflateRect(&ring, -1, -1);
        DrawFocusRect(dis->hDC, &ring);
    }
}

// The tooltip of a swatch: its colour in the sliders' terms.
void ColorDlg_OnTipText(ColorDlgState *s, NMTTDISPINFOW *info)
{
    int id = (info->uFlags & TTF_IDISHWND) ? GetDlgCtrlID((HWND)info->hdr.idFrom) : (int)info->hdr.idFrom;
    HlsColour colour;
    if (!ColorDlg_SwatchColour(s, id, &colour)) {
        info->lpszText = const_cast<wchar_t *>(L"");
        return;
    }
    char text[80];
    snprintf(text, sizeof text, "색상 %d, 명도 %d, 채도 %d", colour.hue, colour.luminance, colour.saturation);
    std::wstring wide = UiText_ToWide(text);
    wcsncpy(s->tipText, wide.c_str(), sizeof s->tipText / sizeof s->tipText[0] - 1);
    s->tipText[sizeof s->tipText / sizeof s->tipText[0] - 1] = L'\0';
    info->lpszText = s->tipText;
}

// One tool per swatch, asking for its text when it shows.
void ColorDlg_AddTips(HWND dialog, ColorDlgState *s)
{
    s->tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!s->tips)
        return;
    auto add = [&](int id) {
        HWND control = GetDlgItem(dialog, id);
        if (!control)
            return;
        TOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = (UINT_PTR)control;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(s->tips, TTM_ADDTOOLW, 0, (LPARAM)&tool);
    };
    add(COLORDLG_SWATCH);
    for (int i = 0; i < s->presetCount; i++)
        add(COLORDLG_PRESET_FIRST + i);
    for (int i = 0; i < RECENT_COLOURS_MAX; i++)
        add(COLORDLG_RECENT_FIRST + i);
}

// Takes a whole colour (a swatch, a paste) the way a slider move takes one
// channel: controls rewritten, one report when it differs.
void ColorDlg_TakeColour(HWND dialog, ColorDlgState *s, HlsColour colour)
{
    bool same = colour.hue == s->current.hue && colour.luminance == s->current.luminance &&
                colour.saturation == s->current.saturation;
    s->current = colour;
    ColorDlg_ShowColour(dialog, s);
    if (!same)
        ColorDlg_Notify(dialog, s, COLORDLG_CHANGED);
}

void ColorDlg_OnSwatchClick(HWND dialog, ColorDlgState *s, int id)
{
    HlsColour colour;
    if (ColorDlg_SwatchColour(s, id, &colour))
        ColorDlg_TakeColour(dialog, s, colour);
}

// The clipboard gets the colour as Unicode text "H,L,S".
void ColorDlg_OnCopy(HWND dialog, const ColorDlgState *s)
{
    char text[COLOUR_TEXT_SIZE];
    ColourText_Format(s->current, text);
    std::wstring wide = UiText_ToWide(text);
    size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void *at = memory ? GlobalLock(memory) : nullptr;
    if (!at || !OpenClipboard(dialog)) {
        if (memory)
            GlobalFree(memory);
        MessageBeep(MB_ICONWARNING);
        return;
    }
    memcpy(at, wide.c_str(), bytes);
    GlobalUnlock(memory);
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory))
        GlobalFree(memory);  // the clipboard did not take it
    CloseClipboard();
}

// A clipboard text that reads as "H,L,S" becomes the colour; anything else
// only beeps.
void ColorDlg_OnPaste(HWND dialog, ColorDlgState *s)
{
    HlsColour colour;
    bool read = false;
    if (OpenClipboard(dialog)) {
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const wchar_t *wide = data ? (const wchar_t *)GlobalLock(data) : nullptr;
        if (wide) {
            char text[64];
            read = UiText_FromWide(wide, text, sizeof text) == UITEXT_OK && ColourText_Parse(text, &colour);
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    if (read)
        ColorDlg_TakeColour(dialog, s, colour);
    else
        MessageBeep(MB_ICONWARNING);
}

bool ColorDlg_IsSmallSwatch(int id)
{
    return (id >= COLORDLG_PRESET_FIRST && id < COLORDLG_PRESET_FIRST + PALETTE_MAX_SWATCHES) ||
           (id >= COLORDLG_RECENT_FIRST && id < COLORDLG_RECENT_FIRST + RECENT_COLOURS_MAX);
}

void ColorDlg_OnCommand(HWND dialog, ColorDlgState *s, int id, int code)
{
    if (id == IDOK)
        ColorDlg_Close(dialog, s, COLORDLG_ACCEPTED);
    else if (id == IDCANCEL)
        ColorDlg_Close(dialog, s, COLORDLG_CANCELLED);
    else if (id == COLORDLG_COPY)
        ColorDlg_OnCopy(dialog, s);
    else if (id == COLORDLG_PASTE)
        ColorDlg_OnPaste(dialog, s);
    else if (code == BN_CLICKED && ColorDlg_IsSmallSwatch(id))
        ColorDlg_OnSwatchClick(dialog, s, id);
    else if (code == EN_CHANGE && id >= COLORDLG_HUE_EDIT && id < COLORDLG_HUE_EDIT + COLORDLG_CHANNELS)
        ColorDlg_OnEdit(dialog, s, id - COLORDLG_HUE_EDIT);
}

void ColorDlg_OnInit(HWND dialog, ColorDlgState *s)
{
    SetPropA(dialog, COLORDLG_PROP, s);
    for (int c = 0; c < COLORDLG_CHANNELS; c++) {
        SendDlgItemMessageA(dialog, COLORDLG_HUE_SLIDER + c, TBM_SETRANGE, FALSE, MAKELPARAM(0, COLORDLG_MAX_VALUE));
        SendDlgItemMessageA(dialog, COLORDLG_HUE_SLIDER + c, TBM_SETPAGESIZE, 0, 16);
        SendDlgItemMessageA(dialog, COLORDLG_HUE_EDIT + c, EM_LIMITTEXT, 3, 0);
    }
    for (int i = s->presetCount; i < PALETTE_MAX_SWATCHES; i++)
        ShowWindow(GetDlgItem(dialog, COLORDLG_PRESET_FIRST + i), SW_HIDE);
    // Empty recent places take neither clicks nor the keyboard.
    for (int i = s->recent.count; i < RECENT_COLOURS_MAX; i++)
        EnableWindow(GetDlgItem(dialog, COLORDLG_RECENT_FIRST + i), FALSE);
    ColorDlg_AddTips(dialog, s);
    ColorDlg_ShowColour(dialog, s);
    // Centre over the window that owns the dialog.
    HWND around = GetWindow(dialog, GW_OWNER);
    RECT outer, self;
    if (around && GetWindowRect(around, &outer) && GetWindowRect(dialog, &self)) {
        int w = self.right - self.left, h = self.bottom - self.top;
        int x = outer.left + (outer.right - outer.left - w) / 2;
        int y = outer.top + (outer.bottom - outer.top - h) / 2;
        SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PostMessageA(dialog, COLORDLG_MSG_SHOWN, 0, 0);
}

INT_PTR CALLBACK ColorDlg_Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        ColorDlg_OnInit(dialog, (ColorDlgState *)lp);
        return TRUE;
    }
    ColorDlgState *s = ColorDlg_State(dialog);
    if (!s)
        return FALSE;
    switch (msg) {
    case COLORDLG_MSG_SHOWN:
        ColorDlg_Notify(dialog, s, COLORDLG_SHOWN);
        return TRUE;
    case WM_HSCROLL:
        ColorDlg_OnSlider(dialog, s, (HWND)lp);
        return TRUE;
    case WM_DRAWITEM:
        if (wp != COLORDLG_SWATCH && !ColorDlg_IsSmallSwatch((int)wp))
            return FALSE;
        ColorDlg_DrawSwatch(s, (const DRAWITEMSTRUCT *)lp);
        return TRUE;
    case WM_COMMAND:
        ColorDlg_OnCommand(dialog, s, LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_NOTIFY:
        if (((const NMHDR *)lp)->code != TTN_GETDISPINFOW)
            return FALSE;
        ColorDlg_OnTipText(s, (NMTTDISPINFOW *)lp);
        return TRUE;
    case WM_DESTROY:
        RemovePropA(dialog, COLORDLG_PROP);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

// The preset row for the slot and the recent colours, read afresh each time
// so that an edited palette.inf or another copy of the program's choice shows.
static void ColorDlg_LoadSwatches(ColorDlgState *s, const char *dataFolder)
{
    Palette palette;
    Palette_Defaults(&palette);
    if (dataFolder)
        Palette_Read((std::string(dataFolder) + PALETTE_FILE_NAME).c_str(), &palette, nullptr);
    int kind = ColourSwatches_KindOfSlot(s->commandId);
    s->presetCount = palette.count[kind];
    for (int i = 0; i < s->presetCount; i++)
        s->presets[i] = palette.colours[kind][i];
    char text[RECENT_COLOURS_MAX * COLOUR_TEXT_SIZE + 16];
    if (Reg_GetString(COLORDLG_RECENT_KEY, COLORDLG_RECENT_VALUE, text, (int)sizeof text))
        RecentColours_Parse(text, &s->recent);
}

int ColorDlg_Open(int commandId, HWND ownerPage, HlsColour colour, const char *dataFolder)
{
    ColorDlgState state = {};
    state.commandId = commandId;
    state.notifyTarget = ownerPage ? GetAncestor(ownerPage, GA_ROOT) : nullptr;
    state.original = colour;
    state.current = colour;
    ColorDlg_LoadSwatches(&state, dataFolder);

    TemplateWriter w;
    w.words.reserve(COLORDLG_TEMPLATE_WORDS);
    ColorDlg_BuildTemplate(&w);
    // The template must start on a DWORD boundary; vector storage does.
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), (LPCDLGTEMPLATEW)w.words.data(),
                                             state.notifyTarget, ColorDlg_Proc, (LPARAM)&state);
    if (result == COLORDLG_ACCEPTED || result == COLORDLG_CANCELLED)
        return (int)result;
    return COLORDLG_FAILED;
}

int ColorDlg_GetColorHLS(HWND dialog, HlsColour *out)
{
    ColorDlgState *s = dialog ? ColorDlg_State(dialog) : nullptr;
    if (!s || !out)
        return 0;
    *out = s->current;
    return 1;
}

int ColorDlg_GetSwatch(HWND dialog, int id, HlsColour *out)
{
    ColorDlgState *s = dialog ? ColorDlg_State(dialog) : nullptr;
    if (!s || !out || !ColorDlg_IsSmallSwatch(id))
        return 0;
    return ColorDlg_SwatchColour(s, id, out);
}
