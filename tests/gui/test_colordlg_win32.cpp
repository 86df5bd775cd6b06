// The colour dialog under Wine: driven from its owner's notifications the
// way a page previews colours live, checking what it reports and returns.
#include <doctest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/services/registry_win32.h"
#include "editor/character.h"
#include "editor/colordlg_win32.h"
#include "editor/colour_swatches.h"
#include "gui_test_support.h"
#include "test_support.h"

using guitest::Notice;
using guitest::TestWindow;

namespace {

const int COMMAND_ID = 2006;

// The dialog under test, so that a safety timer can close it.
HWND openDialog = nullptr;

void CALLBACK CloseStuckDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (openDialog)
        PostMessageA(openDialog, WM_COMMAND, IDCANCEL, 0);
}

struct Report {
    int code;
    HlsColour colour;
};

bool Same(HlsColour a, HlsColour b)
{
    return a.hue == b.hue && a.luminance == b.luminance && a.saturation == b.saturation;
}

// Runs the dialog on `start`; `drive` acts on it once it is shown. Returns
// the dialog's result and fills `reports` with every notice and the colour
// the dialog held at that moment.
int RunDialog(HlsColour start, const std::function<void(HWND)> &drive, std::vector<Report> *reports,
              int commandId = COMMAND_ID, const char *dataFolder = nullptr)
{
    TestWindow owner;
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, owner.window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    owner.onCommand = [&](const Notice &n) {
        if (n.id != commandId)
            return;
        Report r = {n.code, {}};
        CHECK(ColorDlg_GetColorHLS((HWND)n.lParam, &r.colour));
        reports->push_back(r);
        if (n.code == COLORDLG_SHOWN) {
            openDialog = (HWND)n.lParam;
            drive(openDialog);
        }
    };
    // A dialog that is never closed would hang the test run.
    UINT_PTR timer = SetTimer(nullptr, 0, 10000, CloseStuckDialog);
    int result = ColorDlg_Open(commandId, page, start, dataFolder);
    KillTimer(nullptr, timer);
    openDialog = nullptr;
    return result;
}

void MoveSlider(HWND dialog, int id, int position)
{
    HWND slider = GetDlgItem(dialog, id);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), (LPARAM)slider);
}

// A click on a small swatch as the mouse gives it.
void ClickSwatch(HWND dialog, int id)
{
    HWND swatch = GetDlgItem(dialog, id);
    SendMessageW(swatch, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(swatch, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

// The control's own visibility (the dialog itself may not be shown yet).
bool Shown(HWND dialog, int id)
{
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Press(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

HlsColour Swatch(HWND dialog, int id)
{
    HlsColour c = {};
    CHECK(ColorDlg_GetSwatch(dialog, id, &c));
    return c;
}

HlsColour Sliders(HWND dialog)
{
    HlsColour c;
    c.hue = (uint8_t)SendDlgItemMessageA(dialog, COLORDLG_HUE_SLIDER, TBM_GETPOS, 0, 0);
    c.luminance = (uint8_t)SendDlgItemMessageA(dialog, COLORDLG_LUMINANCE_SLIDER, TBM_GETPOS, 0, 0);
    c.saturation = (uint8_t)SendDlgItemMessageA(dialog, COLORDLG_SATURATION_SLIDER, TBM_GETPOS, 0, 0);
    return c;
}

std::vector<Report> Changes(const std::vector<Report> &reports)
{
    std::vector<Report> out;
    for (const Report &r : reports)
        if (r.code == COLORDLG_CHANGED)
            out.push_back(r);
    return out;
}

void SetClipboardText(const wchar_t *text)
{
    REQUIRE(OpenClipboard(nullptr));
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t *wide = data ? (const wchar_t *)GlobalLock(data) : nullptr;
    if (wide) {
        text = wide;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

}  // namespace

TEST_CASE("colour dialog: live changes, then cancel reports the original once more")
{
    HlsColour start = {10, 128, 255};
    std::vector<Report> reports;
    int result = RunDialog(
        start,
        [](HWND dialog) {
            UiText_SetItem(dialog, COLORDLG_HUE_EDIT, "40");
            UiText_SetItem(dialog, COLORDLG_HUE_EDIT, "40");   // same value: no report
            MoveSlider(dialog, COLORDLG_LUMINANCE_SLIDER, 200);
            // The field follows the slider.
            CHECK(GetDlgItemInt(dialog, COLORDLG_LUMINANCE_EDIT, nullptr, FALSE) == 200);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        &reports);
    CHECK(result == COLORDLG_CANCELLED);
    REQUIRE(reports.size() == 5);
    CHECK(reports[0].code == COLORDLG_SHOWN);
    CHECK(Same(reports[0].colour, start));
    CHECK(reports[1].code == COLORDLG_CHANGED);
    CHECK(Same(reports[1].colour, HlsColour{40, 128, 255}));
    CHECK(reports[2].code == COLORDLG_CHANGED);
    CHECK(Same(reports[2].colour, HlsColour{40, 200, 255}));
    CHECK(reports[3].code == COLORDLG_CHANGED);
    CHECK(Same(reports[3].colour, start));
    CHECK(reports[4].code == COLORDLG_CLOSING);
    CHECK(Same(reports[4].colour, start));
}

TEST_CASE("colour dialog: OK keeps the new colour; typed values are clamped")
{
    HlsColour start = {0, 128, 255};
    std::vector<Report> reports;
    int result = RunDialog(
        start,
        [](HWND dialog) {
            UiText_SetItem(dialog, COLORDLG_SATURATION_EDIT, "300");  // clamped to 255: no change
            UiText_SetItem(dialog, COLORDLG_SATURATION_EDIT, "");     // being retyped: ignored
            UiText_SetItem(dialog, COLORDLG_SATURATION_EDIT, "7");
            CHECK(SendDlgItemMessageA(dialog, COLORDLG_SATURATION_SLIDER, TBM_GETPOS, 0, 0) == 7);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        &reports);
    CHECK(result == COLORDLG_ACCEPTED);
    REQUIRE(reports.size() == 3);
    CHECK(reports[0].code == COLORDLG_SHOWN);
    CHECK(reports[1].code == COLORDLG_CHANGED);
    CHECK(Same(reports[1].colour, HlsColour{0, 128, 7}));
    CHECK(reports[2].code == COLORDLG_CLOSING);
    CHECK(Same(reports[2].colour, HlsColour{0, 128, 7}));
}

TEST_CASE("ColorDlg_GetColorHLS refuses windows that are not colour dialogs")
{
    TestWindow other;
    HlsColour c = {1, 2, 3};
    CHECK_FALSE(ColorDlg_GetColorHLS(other.window, &c));
    CHECK_FALSE(ColorDlg_GetColorHLS(nullptr, &c));
    CHECK(Same(c, HlsColour{1, 2, 3}));
}

TEST_CASE("colour dialog: a preset swatch previews like a slider; OK keeps it, Cancel reverts")
{
    ScratchFolder dir;
    std::string palette = "Hair = 0x102030, 0x405060;\nEye = 0x010203;\n";
    ScratchFolder::WriteBytes(dir / "palette.inf", std::vector<unsigned char>(palette.begin(), palette.end()));
    HlsColour start = {10, 128, 255};
    for (int accept = 0; accept < 2; accept++) {
        CAPTURE(accept);
        std::vector<Report> reports;
        int result = RunDialog(
            start,
            [&](HWND dialog) {
                // The hair row from the file: two swatches, the rest hidden.
                CHECK(Same(Swatch(dialog, COLORDLG_PRESET_FIRST), HlsColour{0x10, 0x20, 0x30}));
                CHECK(Shown(dialog, COLORDLG_PRESET_FIRST + 1));
                CHECK_FALSE(Shown(dialog, COLORDLG_PRESET_FIRST + 2));
                ClickSwatch(dialog, COLORDLG_PRESET_FIRST + 1);
                CHECK(Same(Sliders(dialog), HlsColour{0x40, 0x50, 0x60}));
                CHECK(GetDlgItemInt(dialog, COLORDLG_HUE_EDIT, nullptr, FALSE) == 0x40);
                ClickSwatch(dialog, COLORDLG_PRESET_FIRST + 1);  // the same colour: no report
                PostMessageA(dialog, WM_COMMAND, accept ? IDOK : IDCANCEL, 0);
            },
            &reports, ID_HAIR, dir.path.c_str());
        CHECK(result == (accept ? COLORDLG_ACCEPTED : COLORDLG_CANCELLED));
        std::vector<Report> changes = Changes(reports);
        REQUIRE(changes.size() == (accept ? 1u : 2u));
        CHECK(Same(changes[0].colour, HlsColour{0x40, 0x50, 0x60}));
        CHECK(Same(reports.back().colour, accept ? HlsColour{0x40, 0x50, 0x60} : start));
    }
    // Without a data folder, the built-in row for the slot.
    std::vector<Report> reports;
    RunDialog(
        start,
        [](HWND dialog) {
            CHECK(Shown(dialog, COLORDLG_PRESET_FIRST + 7));
            // VOR_HOLD_DIALOG leaves it on screen until the safety timer, to be looked at.
            if (!getenv("VOR_HOLD_DIALOG"))
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        &reports, ID_MOUTH);
}

TEST_CASE("colour dialog: accepted colours come back as recent swatches in a later dialog")
{
    Reg_SetString(COLORDLG_RECENT_KEY, COLORDLG_RECENT_VALUE, "");
    const HlsColour first = {1, 2, 3}, second = {4, 5, 6};
    std::vector<Report> reports;
    for (HlsColour c : {first, second}) {
        RunDialog(
            c,
            [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }, &reports);
    }
    // Cancelled colours are not remembered.
    RunDialog(
        {9, 9, 9}, [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }, &reports);
    char stored[128] = "";
    CHECK(Reg_GetString(COLORDLG_RECENT_KEY, COLORDLG_RECENT_VALUE, stored, (int)sizeof stored));
    CHECK(std::string(stored) == "4,5,6;1,2,3");
    reports.clear();
    int result = RunDialog(
        {200, 200, 200},
        [&](HWND dialog) {
            CHECK(Same(Swatch(dialog, COLORDLG_RECENT_FIRST), second));
            CHECK(Same(Swatch(dialog, COLORDLG_RECENT_FIRST + 1), first));
            HlsColour none;
            CHECK_FALSE(ColorDlg_GetSwatch(dialog, COLORDLG_RECENT_FIRST + 2, &none));
            ClickSwatch(dialog, COLORDLG_RECENT_FIRST + 1);
            ClickSwatch(dialog, COLORDLG_RECENT_FIRST + 2);  // an empty place: nothing
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        &reports);
    CHECK(result == COLORDLG_ACCEPTED);
    REQUIRE(Changes(reports).size() == 1);
    CHECK(Same(reports.back().colour, first));
    CHECK(Reg_GetString(COLORDLG_RECENT_KEY, COLORDLG_RECENT_VALUE, stored, (int)sizeof stored));
    CHECK(std::string(stored) == "1,2,3;4,5,6");
}

TEST_CASE("colour dialog: Copy in one slot, Paste in another gives the same colour and the clipboard text")
{
    std::vector<Report> reports;
    RunDialog(
        {11, 22, 33},
        [](HWND dialog) {
            Press(dialog, COLORDLG_COPY);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        &reports, ID_HAIR);
    CHECK(ClipboardText() == L"11,22,33");
    reports.clear();
    int result = RunDialog(
        {0, 0, 0},
        [](HWND dialog) {
            Press(dialog, COLORDLG_PASTE);
            CHECK(Same(Sliders(dialog), HlsColour{11, 22, 33}));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        &reports, ID_EYE);
    CHECK(result == COLORDLG_ACCEPTED);
    CHECK(Changes(reports).size() == 1);
    CHECK(Same(reports.back().colour, HlsColour{11, 22, 33}));

    // Text from a note reads the same; anything else changes nothing.
    struct Case {
        const wchar_t *text;
        bool takes;
    } cases[] = {{L" 7, 8 ,9\r\n", true}, {L"7,8", false}, {L"빨강", false}, {L"7,8,999", false}};
    for (const Case &c : cases) {
        SetClipboardText(c.text);
        reports.clear();
        RunDialog(
            {1, 1, 1},
            [](HWND dialog) {
                Press(dialog, COLORDLG_PASTE);
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            },
            &reports, ID_MOUTH);
        CHECK(Changes(reports).size() == (c.takes ? 1u : 0u));
        CHECK(Same(reports.back().colour, c.takes ? HlsColour{7, 8, 9} : HlsColour{1, 1, 1}));
    }
}

namespace {

// A key as the dialog's own loop hands it over: through IsDialogMessage.
void DialogKey(HWND dialog, WPARAM key)
{
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg = {GetFocus(), message, key, (LPARAM)(message == WM_KEYUP ? 0xC0000001u : 1u), 0, {0, 0}};
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

struct TipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindTips(HWND window, LPARAM lp)
{
    TipSearch *search = (TipSearch *)lp;
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (GetWindow(window, GW_OWNER) == search->owner && lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ShootAndAccept(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    guitest::SaveWindowPng(openDialog, "colour_keyboard.png", true);
    PostMessageA(openDialog, WM_COMMAND, IDOK, 0);
}

}  // namespace

TEST_CASE("colour dialog: the swatch rows by keyboard, and each swatch's colour as its tooltip")
{
    ScratchFolder dir;
    std::string palette = "Hair = 0x102030, 0x405060, 0x708090;\n";
    ScratchFolder::WriteBytes(dir / "palette.inf", std::vector<unsigned char>(palette.begin(), palette.end()));
    Reg_SetString(COLORDLG_RECENT_KEY, COLORDLG_RECENT_VALUE, "1,2,3");
    std::vector<Report> reports;
    int result = RunDialog(
        {10, 128, 255},
        [&](HWND dialog) {
            HWND first = GetDlgItem(dialog, COLORDLG_PRESET_FIRST);
            CHECK((GetWindowLongW(first, GWL_STYLE) & WS_TABSTOP) != 0);
            CHECK((GetWindowLongW(GetDlgItem(dialog, COLORDLG_PRESET_FIRST + 1), GWL_STYLE) & WS_TABSTOP) == 0);
            // Right moves along the row, Space takes the colour.
            SetFocus(first);
            DialogKey(dialog, VK_RIGHT);
            CHECK(GetFocus() == GetDlgItem(dialog, COLORDLG_PRESET_FIRST + 1));
            DialogKey(dialog, VK_SPACE);
            CHECK(Same(Sliders(dialog), HlsColour{0x40, 0x50, 0x60}));
            // Only the recent places that hold a colour take input.
            CHECK(IsWindowEnabled(GetDlgItem(dialog, COLORDLG_RECENT_FIRST)));
            CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, COLORDLG_RECENT_FIRST + 1)));

            TipSearch search = {dialog, nullptr};
            EnumThreadWindows(GetCurrentThreadId(), FindTips, (LPARAM)&search);
            REQUIRE(search.found);
            CHECK(SendMessageW(search.found, TTM_GETTOOLCOUNT, 0, 0) == 1 + 3 + RECENT_COLOURS_MAX);
            NMTTDISPINFOW info = {};
            info.hdr.hwndFrom = search.found;
            info.hdr.idFrom = (UINT_PTR)GetDlgItem(dialog, COLORDLG_PRESET_FIRST + 2);
            info.hdr.code = TTN_GETDISPINFOW;
            info.uFlags = TTF_IDISHWND;
            SendMessageW(dialog, WM_NOTIFY, 0, (LPARAM)&info);
            REQUIRE(info.lpszText);
            CHECK(std::wstring(info.lpszText) == L"\xC0C9\xC0C1 112, \xBA85\xB3C4 128, \xCC44\xB3C4 144");
            // Once the dialog is on screen, a picture of the focused swatch.
            SetTimer(nullptr, 0, 400, ShootAndAccept);
        },
        &reports, ID_HAIR, dir.path.c_str());
    CHECK(result == COLORDLG_ACCEPTED);
    CHECK(Same(reports.back().colour, HlsColour{0x40, 0x50, 0x60}));
    Reg_SetString(COLORDLG_RECENT_KEY, COLORDLG_RECENT_VALUE, "");
}
