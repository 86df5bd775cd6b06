// The preview in the assembled main window: its scroll bars appear only
// where the zoomed picture does not fit, from the first start on (the pages'
// set-up of the canvas included) and through zoom changes both ways.
// Screenshots at 100 % and 200 % are written for a person to look at, and
// one of the SAVE tab with the Ren'Py kind chosen.
#include <doctest.h>

#include "app_window_fixture_win32.h"
#include "output/export_format.h"

using namespace apptest;

namespace {

// Whether the canvas shows the bar, and whether its range then really
// holds more than one page.
void CheckBar(HWND canvas, int bar, bool expected)
{
    CAPTURE(bar);
    LONG style = GetWindowLongW(canvas, GWL_STYLE);
    CHECK(((style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0) == expected);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    REQUIRE(GetScrollInfo(canvas, bar, &si));
    CHECK((si.nMax - si.nMin + 1 > (int)si.nPage) == expected);
}

}  // namespace

TEST_CASE("the preview shows scroll bars only at zooms where the picture does not fit")
{
    AppWindow w;
    std::string shots = std::string(w.here.previous) + "\\preview_";
    HWND canvas = w.app.canvas;
    RECT client;
    GetClientRect(canvas, &client);
    REQUIRE(client.right >= DOCUMENT_WIDTH);
    REQUIRE(client.bottom >= DOCUMENT_HEIGHT);
    // As started: 100 %, nothing to scroll.
    CHECK(w.app.doc->zoom == 1.0);
    CheckBar(canvas, SB_HORZ, false);
    CheckBar(canvas, SB_VERT, false);
    struct Step {
        double zoom;
        bool bars;
    } steps[] = {{2.0, true}, {1.0, false}, {3.0, true}, {0.5, false}, {1.0, false}};
    for (const Step &s : steps) {
        CAPTURE(s.zoom);
        MainWindow_SetZoomAroundCentre(&w.app, s.zoom);
        w.WaitIdle();
        CheckBar(canvas, SB_HORZ, s.bars);
        CheckBar(canvas, SB_VERT, s.bars);
        if (s.zoom == 2.0)
            guitest::SaveWindowPng(w.main, (shots + "200.png").c_str(), true);
    }
    guitest::SaveWindowPng(w.main, (shots + "100.png").c_str(), true);
}

TEST_CASE("the SAVE tab in the main window: a click on Ren'Py offers its switch and greys the layered box")
{
    AppWindow w;
    w.ShowTab(PAGE_SAVE);
    HWND save = w.Page(PAGE_SAVE);
    int renpy = SavePage_KindControl(ExportFormat_FromWord("renpy")->saveKind);
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(save, IDC_SAVE_SWITCH_1)));
    w.Click(PAGE_SAVE, renpy);
    CHECK(IsWindowEnabled(GetDlgItem(save, IDC_SAVE_SWITCH_1)));
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(save, IDC_SAVE_LAYERED)));
    guitest::SaveWindowPng(w.main, (std::string(w.here.previous) + "\\save_tab_renpy.png").c_str(), true);
}
