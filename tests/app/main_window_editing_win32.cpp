// The main window as an editor that never loses work: every kind of change
// marks the caption, looking around does not, each change is one undo step
// that restores the picture and the lists, the Edit menu follows the
// history, and the editing keys belong to the edit that has the focus.
#include <doctest.h>

#include <functional>

#include "app_window_fixture_win32.h"
#include "project/random_locks.h"
#include "editor/dress_page_win32.h"

using namespace apptest;

namespace {

enum {
    FRONT_HAIR = 1000,
    SEPARATE_BACK_HAIR = 1024,
    HAIR_DEFAULT_COLOUR = 1049,
    HAIR_COLOUR = 1009,
};

// Selects the depth-list entry as a user's click does.
void SelectDepthEntry(AppWindow &w, int index)
{
    HWND list = w.Item(PAGE_DRESS, IDC_DRESS_DEPTH_LIST);
    SendMessageA(list, LB_SETCURSEL, (WPARAM)index, 0);
    SendMessageA(w.Page(PAGE_DRESS), WM_COMMAND, MAKEWPARAM(IDC_DRESS_DEPTH_LIST, TILEVIEW_SELCHANGE), (LPARAM)list);
    w.WaitIdle();
}

// Adds an accessory on the DRESS page; it comes selected.
void AddAccessory(AppWindow &w)
{
    w.ShowTab(PAGE_DRESS);
    w.Click(PAGE_DRESS, IDC_DRESS_ACCESSORY_ADD);
}

// Drags the canvas's selected layer by (dx, dy) client pixels with the mouse.
void Drag(AppWindow &w, int dx, int dy)
{
    HWND c = w.app.canvas;
    SendMessageA(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    for (int i = 1; i <= 4; i++)
        SendMessageA(c, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100 + dx * i / 4, 100 + dy * i / 4));
    SendMessageA(c, WM_LBUTTONUP, 0, MAKELPARAM(100 + dx, 100 + dy));
    w.WaitIdle();
}

}  // namespace

TEST_CASE("every kind of change shows the modified caption and is one undo step back to the plain one")
{
    AppWindow w;
    std::string freeFolder = w.dir / "out";
    struct Row {
        const char *name;
        std::function<void(AppWindow &)> change;
        int steps;  // undo steps back to the start
    } rows[] = {
        {"name", [](AppWindow &w) { UiText_SetItem(w.Page(PAGE_CHARA), IDC_CHARA_NAME, "Other"); }, 1},
        {"front hair", [](AppWindow &w) { w.Choose(PAGE_CHARA, FRONT_HAIR, 1); }, 1},
        {"expression", [](AppWindow &w) { w.Choose(PAGE_CHARA, IDC_CHARA_EXPRESSION, 1); }, 1},
        {"expression chosen from another window",
         [](AppWindow &w) {
             CharaPage_ChooseExpression(w.Page(PAGE_CHARA), 2);
             w.WaitIdle();
             CHECK(SendMessageA(w.Item(PAGE_CHARA, IDC_CHARA_EXPRESSION), CB_GETCURSEL, 0, 0) == 2);
         },
         1},
        {"separate back hair", [](AppWindow &w) { w.Click(PAGE_CHARA, SEPARATE_BACK_HAIR); }, 1},
        {"hair's own colour", [](AppWindow &w) { w.Click(PAGE_CHARA, HAIR_DEFAULT_COLOUR); }, 1},
        {"dress", [](AppWindow &w) { w.ShowTab(PAGE_DRESS); w.Choose(PAGE_DRESS, IDC_DRESS_DRESS, 1); }, 1},
        {"accessory added", [](AppWindow &w) { AddAccessory(w); }, 1},
        {"free folder",
         [&](AppWindow &w) { UiText_SetItem(w.Page(PAGE_SAVE), IDC_SAVE_FREE_FOLDER, freeFolder.c_str()); }, 1},
        {"accessory moved back in the depth list",
         [](AppWindow &w) {
             AddAccessory(w);
             w.Click(PAGE_DRESS, IDC_DRESS_MOVE_DOWN);
         },
         2},
        {"accessory nudged",
         [](AppWindow &w) {
             AddAccessory(w);
             SendMessageA(w.app.canvas, WM_KEYDOWN, VK_LEFT, 0);
             w.WaitIdle();
         },
         2},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        w.ShowTab(PAGE_CHARA);
        REQUIRE_FALSE(w.CaptionModified());
        std::string before = w.Project();
        auto picture = w.Picture();
        row.change(w);
        CHECK(w.CaptionModified());
        CHECK(w.Project() != before);
        CHECK(w.MenuEnabled(CMD_UNDO));
        CHECK(w.app.history->current == row.steps);
        for (int i = 0; i < row.steps; i++)
            w.Command(CMD_UNDO);
        CHECK_FALSE(w.CaptionModified());
        CHECK(w.Project() == before);
        CHECK(w.Picture() == picture);
        CHECK_FALSE(w.MenuEnabled(CMD_UNDO));
        CHECK(w.MenuEnabled(CMD_REDO));
    }
}

TEST_CASE("looking around is no change: zoom, tabs, list selections")
{
    AppWindow w;
    std::string path = w.WriteProject("look.vor", "Look", 2);
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    AddAccessory(w);
    REQUIRE(w.CaptionModified());
    w.Command(CMD_SAVE);
    REQUIRE_FALSE(w.CaptionModified());
    int steps = w.app.history->count, at = w.app.history->current;
    w.Command(IDC_ZOOM_IN);
    w.Command(IDC_ZOOM_OUT);
    w.ShowTab(PAGE_SAVE);
    w.ShowTab(PAGE_DRESS);
    SelectDepthEntry(w, 0);
    SelectDepthEntry(w, w.app.wardrobe.slotCount > 0 ? 1 : 0);
    HWND styles = w.Item(PAGE_DRESS, IDC_DRESS_STYLE_LIST);
    SendMessageA(styles, LB_SETCURSEL, 1, 0);
    SendMessageA(w.Page(PAGE_DRESS), WM_COMMAND, MAKEWPARAM(IDC_DRESS_STYLE_LIST, TILEVIEW_SELCHANGE), (LPARAM)styles);
    w.WaitIdle();
    CHECK(w.app.wardrobe.shown == 1);
    // Another window's choice of a style is the same look around.
    DressPage_ChooseStyle(w.Page(PAGE_DRESS), 0);
    w.WaitIdle();
    CHECK(w.app.wardrobe.shown == 0);
    CHECK(SendMessageA(styles, LB_GETCURSEL, 0, 0) == 0);
    CHECK_FALSE(w.CaptionModified());
    CHECK(w.app.history->count == steps);
    CHECK(w.app.history->current == at);
}

TEST_CASE("undo and redo restore the picture and the lists: a part, a colour session, a style deletion, a drag, the name")
{
    AppWindow w;
    std::string path = w.WriteProject("three.vor", "Three", 3);
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    AddAccessory(w);
    w.ShowTab(PAGE_CHARA);

    // The colour dialog session: three colours tried, then OK.
    auto colourSession = [](AppWindow &w, int answer) {
        pagestest::ModalScript script(
            {[] { return FindDialog(COLOUR_TITLE) != nullptr; },
             [] {
                 HWND d = FindDialog(COLOUR_TITLE);
                 for (const char *hue : {"10", "90", "170"})
                     UiText_SetItem(d, 1111, hue);
                 return true;
             },
             Answer(COLOUR_TITLE, IDOK, nullptr)},
            AllTitles());
        if (answer == IDCANCEL)
            script.steps.back() = Answer(COLOUR_TITLE, IDCANCEL, nullptr);
        w.Click(PAGE_CHARA, HAIR_COLOUR);
        CHECK(script.Finished());
    };

    struct Row {
        const char *name;
        std::function<void(AppWindow &)> change;
    } rows[] = {
        {"part choice", [](AppWindow &w) { w.Choose(PAGE_CHARA, FRONT_HAIR, 1); }},
        {"colour dialog session", [&](AppWindow &w) { colourSession(w, IDOK); }},
        {"style deletion",
         [](AppWindow &w) {
             w.ShowTab(PAGE_DRESS);
             w.Click(PAGE_DRESS, IDC_DRESS_STYLE_DELETE);
         }},
        {"accessory drag",
         [](AppWindow &w) {
             w.ShowTab(PAGE_DRESS);
             SelectDepthEntry(w, 0);
             REQUIRE(IsAccessoryId(w.app.doc->selectedId));
             Drag(w, 40, 24);
         }},
        {"name typed", [](AppWindow &w) {
             HWND edit = w.Item(PAGE_CHARA, IDC_CHARA_NAME);
             SendMessageA(edit, EM_SETSEL, 0, -1);
             for (char c : std::string("Zed"))
                 SendMessageA(edit, WM_CHAR, (WPARAM)c, 1);
             w.WaitIdle();
         }},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        std::string before = w.Project();
        auto picture = w.Picture();
        int styles = (int)SendMessageA(w.Item(PAGE_DRESS, IDC_DRESS_STYLE_LIST), LB_GETCOUNT, 0, 0);
        int depth = (int)SendMessageA(w.Item(PAGE_DRESS, IDC_DRESS_DEPTH_LIST), LB_GETCOUNT, 0, 0);
        std::string name = w.Text(PAGE_CHARA, IDC_CHARA_NAME);
        int hair = (int)SendMessageA(w.Item(PAGE_CHARA, FRONT_HAIR), CB_GETCURSEL, 0, 0);
        int stepsBefore = w.app.history->current;

        row.change(w);
        std::string after = w.Project();
        auto changedPicture = w.Picture();
        REQUIRE(after != before);
        // One step, however many messages the change took.
        CHECK(w.app.history->current == stepsBefore + 1);

        w.Command(CMD_UNDO);
        CHECK(w.Project() == before);
        CHECK(w.Picture() == picture);
        CHECK(SendMessageA(w.Item(PAGE_DRESS, IDC_DRESS_STYLE_LIST), LB_GETCOUNT, 0, 0) == styles);
        CHECK(SendMessageA(w.Item(PAGE_DRESS, IDC_DRESS_DEPTH_LIST), LB_GETCOUNT, 0, 0) == depth);
        CHECK(w.Text(PAGE_CHARA, IDC_CHARA_NAME) == name);
        CHECK(SendMessageA(w.Item(PAGE_CHARA, FRONT_HAIR), CB_GETCURSEL, 0, 0) == hair);

        w.Command(CMD_REDO);
        CHECK(w.Project() == after);
        CHECK(w.Picture() == changedPicture);
        // And back once more, so every row starts from the same project.
        w.Command(CMD_UNDO);
        CHECK(w.Project() == before);
    }

    // A cancelled colour session leaves no step and the colour it started with.
    std::string before = w.Project();
    int at = w.app.history->current;
    colourSession(w, IDCANCEL);
    CHECK(w.Project() == before);
    CHECK(w.app.history->current == at);
}

TEST_CASE("undoing back to the saved state clears the star; New and Open start an empty history")
{
    AppWindow w;
    std::string path = w.WriteProject("saved.vor", "Saved", 1);
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    w.Choose(PAGE_CHARA, FRONT_HAIR, 1);
    w.Command(CMD_SAVE);
    CHECK_FALSE(w.CaptionModified());
    w.Command(CMD_UNDO);
    CHECK(w.CaptionModified());
    w.Command(CMD_REDO);
    CHECK_FALSE(w.CaptionModified());
    w.Command(CMD_UNDO);
    // Modified now: New asks; No discards and starts an empty history.
    pagestest::ModalScript script({Answer(QUESTION_TITLE, IDNO, nullptr)}, AllTitles());
    w.Command(CMD_NEW);
    CHECK(script.Finished());
    CHECK_FALSE(w.CanUndo());
    CHECK_FALSE(w.MenuEnabled(CMD_UNDO));
    CHECK_FALSE(w.MenuEnabled(CMD_REDO));
    CHECK_FALSE(w.CaptionModified());
}

TEST_CASE("Ctrl+X, C, V, A and Z belong to the focused name edit; elsewhere Ctrl+X is Exit and Ctrl+Z undoes")
{
    AppWindow w;
    HWND edit = w.Item(PAGE_CHARA, IDC_CHARA_NAME);
    UiText_SetItem(w.Page(PAGE_CHARA), IDC_CHARA_NAME, "Hello");
    w.WaitIdle();
    std::vector<SeenBox> seen;
    {
        // Nothing may ask anything while the keys are in the edit.
        pagestest::ModalScript script({Answer(QUESTION_TITLE, IDCANCEL, &seen), Answer(EXIT_TITLE, IDNO, &seen)},
                                      AllTitles());
        w.Key(edit, {VK_CONTROL}, 'A');
        DWORD from = 0, to = 0;
        SendMessageA(edit, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
        CHECK(from == 0);
        CHECK(to == 5);
        w.Key(edit, {VK_CONTROL}, 'X');
        CHECK(w.Text(PAGE_CHARA, IDC_CHARA_NAME) == "");
        CHECK(IsWindow(w.main));
        w.Key(edit, {VK_CONTROL}, 'V');
        w.Key(edit, {VK_CONTROL}, 'V');
        CHECK(w.Text(PAGE_CHARA, IDC_CHARA_NAME) == "HelloHello");
        // The edit's own undo takes back the last paste only.
        w.Key(edit, {VK_CONTROL}, 'Z');
        CHECK(w.Text(PAGE_CHARA, IDC_CHARA_NAME) == "Hello");
        SendMessageA(edit, EM_SETSEL, 0, 2);
        w.Key(edit, {VK_CONTROL}, 'C');
        SendMessageA(edit, EM_SETSEL, 5, 5);
        w.Key(edit, {VK_CONTROL}, 'V');
        CHECK(w.Text(PAGE_CHARA, IDC_CHARA_NAME) == "HelloHe");
        CHECK(std::string(w.app.character.name) == "HelloHe");
        w.Run(200);
        CHECK(seen.empty());
    }
    // Outside an edit, Ctrl+Z is the program's undo, step by step.
    std::string typed = w.Project();
    w.Choose(PAGE_CHARA, FRONT_HAIR, 1);
    w.Key(w.app.canvas, {VK_CONTROL}, 'Z');
    CHECK(w.Project() == typed);
    w.Key(w.app.canvas, {VK_CONTROL}, 'Y');
    CHECK(w.app.character.frontHair == 1);
    w.Key(w.app.canvas, {VK_CONTROL}, 'Z');
    w.Key(w.app.canvas, {VK_CONTROL, VK_SHIFT}, 'Z');
    CHECK(w.app.character.frontHair == 1);
    // ... and Ctrl+X asks about the unsaved changes; Cancel keeps everything.
    {
        pagestest::ModalScript script({Answer(QUESTION_TITLE, IDCANCEL, &seen)}, AllTitles());
        w.Key(w.app.canvas, {VK_CONTROL}, 'X');
        CHECK(script.Finished());
    }
    REQUIRE(seen.size() == 1);
    CHECK(seen[0].text == "변경 내용을 저장하시겠습니까?");
    CHECK(seen[0].defaultId == IDYES);
    CHECK(IsWindow(w.main));
    CHECK(w.app.character.frontHair == 1);
}

// A menu item's text read through the wide function, in CP949.
static void MenuText(HMENU menu, UINT item, UINT flags, char *text, size_t size)
{
    wchar_t wide[64] = L"";
    GetMenuStringW(menu, item, wide, 64, flags);
    UiText_FromWide(wide, text, size);
}

TEST_CASE("the Edit menu sits between File and Version; its items follow the history")
{
    AppWindow w;
    HMENU bar = GetMenu(w.main);
    REQUIRE(GetMenuItemCount(bar) == 3);
    char text[64] = "";
    MenuText(bar, 1, MF_BYPOSITION, text, sizeof text);
    CHECK(std::string(text) == "편집(&E)");
    HMENU edit = GetSubMenu(bar, 1);
    MenuText(edit, CMD_UNDO, MF_BYCOMMAND, text, sizeof text);
    CHECK(std::string(text) == "실행 취소(&U)\tCtrl+Z");
    MenuText(edit, CMD_REDO, MF_BYCOMMAND, text, sizeof text);
    CHECK(std::string(text) == "다시 실행(&R)\tCtrl+Y");
    MenuText(edit, CMD_RANDOM_DIALOG, MF_BYCOMMAND, text, sizeof text);
    CHECK(std::string(text) == "무작위 캐릭터(&C)...");
    MenuText(edit, CMD_RANDOM, MF_BYCOMMAND, text, sizeof text);
    CHECK(std::string(text) == "같은 잠금으로 무작위(&M)\tCtrl+R");
    CHECK_FALSE(w.MenuEnabled(CMD_UNDO));
    w.Choose(PAGE_CHARA, FRONT_HAIR, 1);
    CHECK(w.MenuEnabled(CMD_UNDO));
    CHECK_FALSE(w.MenuEnabled(CMD_REDO));

    // Opened for a screenshot, looked at by hand; closed again by Escape.
    SetForegroundWindow(w.main);
    PostMessageA(w.main, WM_SYSCOMMAND, SC_KEYMENU, 'e');
    pagestest::ModalScript script({[&] {
                                       HWND menu = FindWindowA("#32768", nullptr);
                                       if (!menu || !IsWindowVisible(menu))
                                           return false;
                                       std::string shot = std::string(w.here.previous) + "\\edit_menu.png";
                                       guitest::SaveWindowPng(GetDesktopWindow(), shot.c_str(), true);
                                       return true;
                                   },
                                   [&] {
                                       PostMessageA(w.main, WM_CANCELMODE, 0, 0);
                                       EndMenu();
                                       return true;
                                   }},
                                  {});
    w.RunUntil([&] { return script.Finished(); }, 5000);
    w.Run(100);
}

TEST_CASE("Ctrl+R gives the character a random look: name and dress styles kept, one undo step")
{
    RandomLocks_Save(RANDOM_KEEP_DEFAULT);  // what Ctrl+R keeps when nothing was chosen
    AppWindow w;
    std::string path = w.WriteProject("random.vor", "Rand", 3);
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    std::string before = w.Project();
    auto picture = w.Picture();
    HWND styleList = w.Item(PAGE_DRESS, IDC_DRESS_STYLE_LIST);
    int styles = (int)SendMessageA(styleList, LB_GETCOUNT, 0, 0);
    int steps = w.app.history->current;

    // The test tree's catalogue is small enough that a roll may give the
    // look the character already has; such a press changes nothing.
    for (int i = 0; i < 8 && w.Project() == before; i++) {
        w.Key(w.app.canvas, {VK_CONTROL}, 'R');
        w.WaitIdle();
    }
    REQUIRE(w.Project() != before);
    CHECK(w.CaptionModified());
    CHECK(w.app.history->current == steps + 1);
    CHECK(w.Text(PAGE_CHARA, IDC_CHARA_NAME) == "Rand");
    CHECK(SendMessageA(styleList, LB_GETCOUNT, 0, 0) == styles);
    // The page shows what the character now wears.
    CHECK(SendMessageA(w.Item(PAGE_CHARA, FRONT_HAIR), CB_GETCURSEL, 0, 0) == w.app.character.frontHair);

    w.Command(CMD_UNDO);
    CHECK(w.Project() == before);
    CHECK(w.Picture() == picture);
    CHECK_FALSE(w.CaptionModified());
}
