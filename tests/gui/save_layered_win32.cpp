// The SAVE page's "레이어 파일도 저장" check box: its format list follows it,
// and the program's export then writes the chosen layered file beside each
// picture, byte for byte what the headless export writes.
#include <doctest.h>

#include "core/services/ui_text_win32.h"
#include "output/layered_file.h"
#include "save_test_rig.h"

using namespace savetest;

namespace {

std::wstring LabelText(HWND window)
{
    wchar_t text[128] = L"";
    GetWindowTextW(window, text, 128);
    return text;
}

std::wstring ListItem(HWND list, int index)
{
    wchar_t text[128] = L"";
    if (SendMessageW(list, CB_GETLBTEXTLEN, index, 0) < 128)
        SendMessageW(list, CB_GETLBTEXT, index, (LPARAM)text);
    return text;
}

// Ticks or clears the box as a click does: the state, then the notice.
void SetLayered(HWND save, bool on)
{
    CheckDlgButton(save, IDC_SAVE_LAYERED, on ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(save, WM_COMMAND, MAKEWPARAM(IDC_SAVE_LAYERED, BN_CLICKED), (LPARAM)GetDlgItem(save, IDC_SAVE_LAYERED));
}

void ChooseFormat(HWND save, int item)
{
    HWND list = GetDlgItem(save, IDC_SAVE_LAYERED_FORMAT);
    SendMessageA(list, CB_SETCURSEL, item, 0);
    SendMessageA(save, WM_COMMAND, MAKEWPARAM(IDC_SAVE_LAYERED_FORMAT, CBN_SELCHANGE), (LPARAM)list);
}

}  // namespace

TEST_CASE("the layered-file box: its format list follows it, and the export writes that file beside each picture")
{
    RegistryValue on(REG_PROGRAM_KEY, "LayeredFiles", nullptr), format(REG_PROGRAM_KEY, "LayeredFormat", nullptr);
    Rig rig;
    HWND save = rig.CreateSavePageWithProject();
    ShowWindow(save, SW_SHOW);
    HWND box = GetDlgItem(save, IDC_SAVE_LAYERED), list = GetDlgItem(save, IDC_SAVE_LAYERED_FORMAT);
    REQUIRE(box);
    REQUIRE(list);
    CHECK(LabelText(box) == UiText_ToWide("레이어 파일도 저장(&L)"));
    REQUIRE(SendMessageA(list, CB_GETCOUNT, 0, 0) == 2);
    CHECK(ListItem(list, 0) == L"PSD");
    CHECK(ListItem(list, 1) == L"OpenRaster");

    // Clear at first, the list off: the export writes pictures only.
    CHECK(IsDlgButtonChecked(save, IDC_SAVE_LAYERED) == BST_UNCHECKED);
    CHECK_FALSE(IsWindowEnabled(list));
    CHECK(SavePage_GetLayeredFormat(save) == LAYERED_NONE);

    SetLayered(save, true);
    CHECK(IsWindowEnabled(list));
    CHECK(SavePage_GetLayeredFormat(save) == LAYERED_PSD);
    ChooseFormat(save, 1);
    CHECK(SavePage_GetLayeredFormat(save) == LAYERED_ORA);
    // Another kind: the box shows clear while it does not apply, and the
    // tick comes back with the kind that takes it.
    for (int kind : {2, 1}) {
        CheckDlgButton(save, SavePage_KindControl(kind == 2 ? 1 : 2), BST_UNCHECKED);
        CheckDlgButton(save, SavePage_KindControl(kind), BST_CHECKED);
        SendMessageA(save, WM_COMMAND, MAKEWPARAM(SavePage_KindControl(kind), BN_CLICKED),
                     (LPARAM)GetDlgItem(save, SavePage_KindControl(kind)));
        CHECK(IsDlgButtonChecked(save, IDC_SAVE_LAYERED) == (kind == 1 ? BST_CHECKED : BST_UNCHECKED));
        CHECK(IsWindowEnabled(box) == (kind == 1));
    }
    CHECK(SavePage_GetLayeredFormat(save) == LAYERED_ORA);
    guitest::Pump(5);
    guitest::SaveWindowPng(save, "..\\..\\save_layered_page.png");

    SavePage_SetFreeFolder(save, "out\\");
    Watch seen = rig.PressOutput("..\\..\\save_layered_progress.png");
    REQUIRE(seen.boxes.size() == 1);
    CHECK(seen.boxes[0].caption == "출력 완료창");
    CHECK(seen.progress.rangeHigh == 16);  // the bar counts pictures

    // The headless export of the same character and choices.
    Headless h;
    OpenHeadlessProject(&h, 0, 0);
    ExportOptions options = {2, nullptr, nullptr, LAYERED_ORA};
    // 16 pictures and their layered files, macro.txt and CREDITS.txt.
    CHECK(Export_RunHeadless(&h.ch, &h.w, "ref\\", &options, nullptr) == 34);
    Headless_Close(&h);

    auto program = FilesBelow("out");
    auto reference = FilesBelow("ref");
    CHECK(program.size() == 34);
    CHECK(program.count("Abc\\one\\sumashi.ora") == 1);
    CHECK(program.count("Abc\\three\\odoroki.ora") == 1);
    REQUIRE(program.size() == reference.size());
    for (const auto &file : reference) {
        CAPTURE(file.first);
        REQUIRE(program.count(file.first) == 1);
        CHECK(program[file.first] == file.second);
    }

    // Cleared again: the list goes off and nothing layered is asked for.
    SetLayered(save, false);
    CHECK_FALSE(IsWindowEnabled(list));
    CHECK(SavePage_GetLayeredFormat(save) == LAYERED_NONE);
}

TEST_CASE("the layered-file choice is the one the page had when it last closed")
{
    RegistryValue on(REG_PROGRAM_KEY, "LayeredFiles", nullptr), format(REG_PROGRAM_KEY, "LayeredFormat", nullptr);
    struct Case {
        bool ticked;
        int item;
        int exported;
    } cases[] = {{true, 1, LAYERED_ORA}, {false, 1, LAYERED_NONE}, {true, 0, LAYERED_PSD}};
    Rig rig;
    for (const Case &c : cases) {
        CAPTURE(c.item);
        HWND save = rig.CreateSavePage();
        SetLayered(save, c.ticked);
        ChooseFormat(save, c.item);
        DestroyWindow(save);
        save = rig.CreateSavePage();
        CHECK(SavePage_GetLayeredFormat(save) == c.exported);
        CHECK(SendDlgItemMessageA(save, IDC_SAVE_LAYERED_FORMAT, CB_GETCURSEL, 0, 0) == c.item);
        CHECK(IsWindowEnabled(GetDlgItem(save, IDC_SAVE_LAYERED_FORMAT)) == c.ticked);
        DestroyWindow(save);
        rig.app.pages[PAGE_SAVE] = nullptr;
    }
}
