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
#include <cstring>
#include <cwchar>

#include <vector>

#include "core/services/ui_text_win32.h"

namespace {

enum {
    COLORDLG_CHANNELS = 3,
    COLORDLG_MAX_VALUE = 255,
    COLORDLG_TEMPLATE_WORDS = 1024,
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
    const int items = 1 + 3 * COLORDLG_CHANNELS + 2;
    w->Dword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    w->Dword(0);
    w->Word(items);
    w->Word(0);
    w->Word(0);
    w->Word(210);
    w->Word(92);
    w->Word(0);  // no menu
    w->Word(0);  // the standard dialog class
    w->Text(L"색 선택");
    w->Word(9);
    w->Text(UiText_DialogFace());

    w->Item(SS_OWNERDRAW, 8, 8, 44, 56, COLORDLG_SWATCH, ATOM_STATIC, nullptr, L"");
    for (int c = 0; c < COLORDLG_CHANNELS; c++) {
        short y = (short)(8 + 20 * c);
        w->Item(SS_LEFT, 60, (short)(y + 2), 36, 10, (WORD)-1, ATOM_STATIC, nullptr, labels[c]);
        w->Item(WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 96, y, 76, 14, (WORD)(COLORDLG_HUE_SLIDER + c), 0,
                L"msctls_trackbar32", L"");
        w->Item(WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_RIGHT, 176, (short)(y + 1), 26, 12,
                (WORD)(COLORDLG_HUE_EDIT + c), ATOM_EDIT, nullptr, L"");
    }
    w->Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 96, 70, 50, 14, IDOK, ATOM_BUTTON, nullptr, L"확인");
    w->Item(WS_TABSTOP | BS_PUSHBUTTON, 152, 70, 50, 14, IDCANCEL, ATOM_BUTTON, nullptr, L"취소");
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
    if (result == COLORDLG_CANCELLED) {
        s->current = s->original;
        ColorDlg_ShowColour(dialog, s);
        ColorDlg_Notify(dialog, s, COLORDLG_CHANGED);
    }
    ColorDlg_Notify(dialog, s, COLORDLG_CLOSING);
    EndDialog(dialog, result);
}

void ColorDlg_DrawSwatch(const ColorDlgState *s, const DRAWITEMSTRUCT *dis)
{
    RgbBytes rgb = Hls_ToRgb(s->current);
    HBRUSH brush = CreateSolidBrush(RGB(rgb.red, rgb.green, rgb.blue));
    FillRect(dis->hDC, &dis->rcItem, brush);
    DeleteObject(brush);
    FrameRect(dis->hDC, &dis->rcItem, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

void ColorDlg_OnInit(HWND dialog, ColorDlgState *s)
{
    SetPropA(dialog, COLORDLG_PROP, s);
    for (int c = 0; c < COLORDLG_CHANNELS; c++) {
        SendDlgItemMessageA(dialog, COLORDLG_HUE_SLIDER + c, TBM_SETRANGE, FALSE, MAKELPARAM(0, COLORDLG_MAX_VALUE));
        SendDlgItemMessageA(dialog, COLORDLG_HUE_SLIDER + c, TBM_SETPAGESIZE, 0, 16);
        SendDlgItemMessageA(dialog, COLORDLG_HUE_EDIT + c, EM_LIMITTEXT, 3, 0);
    }
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
        if (wp != COLORDLG_SWATCH)
            return FALSE;
        ColorDlg_DrawSwatch(s, (const DRAWITEMSTRUCT *)lp);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wp);
        if (id == IDOK)
            ColorDlg_Close(dialog, s, COLORDLG_ACCEPTED);
        else if (id == IDCANCEL)
            ColorDlg_Close(dialog, s, COLORDLG_CANCELLED);
        else if (HIWORD(wp) == EN_CHANGE && id >= COLORDLG_HUE_EDIT && id < COLORDLG_HUE_EDIT + COLORDLG_CHANNELS)
            ColorDlg_OnEdit(dialog, s, id - COLORDLG_HUE_EDIT);
        return TRUE;
    }
    case WM_DESTROY:
        RemovePropA(dialog, COLORDLG_PROP);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

int ColorDlg_Open(int commandId, HWND ownerPage, HlsColour colour)
{
    ColorDlgState state = {};
    state.commandId = commandId;
    state.notifyTarget = ownerPage ? GetAncestor(ownerPage, GA_ROOT) : nullptr;
    state.original = colour;
    state.current = colour;

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
