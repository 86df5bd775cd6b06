// The colour dialog under Wine: driven from its owner's notifications the
// way a page previews colours live, checking what it reports and returns.
#include <doctest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "editor/colordlg_win32.h"
#include "gui_test_support.h"

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
int RunDialog(HlsColour start, const std::function<void(HWND)> &drive, std::vector<Report> *reports)
{
    TestWindow owner;
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, owner.window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    owner.onCommand = [&](const Notice &n) {
        if (n.id != COMMAND_ID)
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
    int result = ColorDlg_Open(COMMAND_ID, page, start);
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
