// The random character dialog and Ctrl+R, driven with keys inside the modal
// dialog: the boxes show the remembered locks, Space and Tab tick them,
// Alt+N rolls a new seed, Enter applies the look as one undo step that
// keeps the ticked traits; the locks are remembered and Ctrl+R repeats
// them; Escape changes nothing; the look is the byte-for-byte project
// vor-cli.exe random --from writes for the same seed and locks. And the
// parts window shows the credits list of the character on screen.
#include <doctest.h>

#include <cstdlib>
#include <string>

#include "app_window_fixture_win32.h"
#include "output/credits.h"
#include "project/project_model.h"
#include "project/random_locks.h"

using namespace apptest;

namespace {

const char RANDOM_TITLE[] = "무작위 캐릭터";
const char CREDITS_TITLE[] = "사용한 부품 정보";

// A key pressed inside a modal dialog: posted to the control with the
// focus, where the dialog's own loop (IsDialogMessage) sees it.
void PressIn(WORD key)
{
    HWND focus = GetFocus();
    UINT scan = MapVirtualKeyA(key, 0);
    PostMessageA(focus, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(focus, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
}

void TypeIn(const char *text)
{
    for (const char *c = text; *c; c++)
        PostMessageA(GetFocus(), WM_CHAR, (WPARAM)*c, 1);
}

std::string Field(HWND dialog, int id)
{
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool Ticked(HWND dialog, int trait)
{
    return IsDlgButtonChecked(dialog, IDC_RANDOM_KEEP_FIRST + trait) == BST_CHECKED;
}

::Project *Parsed(const std::string &image)
{
    ::Project *p = nullptr;
    REQUIRE(Project_Parse((const unsigned char *)image.data(), image.size(), &p) == PROJECT_OK);
    return p;
}

std::string HairOf(const std::string &image)
{
    ::Project *p = Parsed(image);
    std::string hair = std::string(p->hair.key) + "/" + p->backHair.key + "/" + std::to_string(p->hairColour.hue) +
                       "," + std::to_string(p->hairColour.luminance) + "," + std::to_string(p->hairColour.saturation);
    Project_Free(p);
    return hair;
}

std::string MenuString(HWND main, int id)
{
    wchar_t wide[128] = L"";
    char text[256] = "";
    GetMenuStringW(GetMenu(main), id, wide, 128, MF_BYCOMMAND);
    UiText_FromWide(wide, text, sizeof text);
    return text;
}

// Runs vor-cli.exe (beside the tests' folder) and waits for it.
int RunCli(const std::string &arguments)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string exe = self;
    exe = exe.substr(0, exe.rfind('\\'));
    exe = exe.substr(0, exe.rfind('\\')) + "\\tools\\vor-cli.exe";
    std::string line = "\"" + exe + "\" " + arguments;
    // Its output (the path written) is not the test's.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = nul;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return -1;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (int)code;
}

}  // namespace

TEST_CASE("the random dialog: keys tick the locks, OK is one undo step, Ctrl+R repeats the locks")
{
    RandomLocks_Save(RANDOM_KEEP_DEFAULT);
    AppWindow w;
    std::string path = w.WriteProject("locks.vor", "Rand", 3);
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    std::string before = w.Project();
    auto picture = w.Picture();
    int steps = w.app.history->current;
    CHECK(MenuString(w.main, CMD_RANDOM_DIALOG) == "무작위 캐릭터(&C)...");
    CHECK(MenuString(w.main, CMD_RANDOM) == "같은 잠금으로 무작위(&M)\tCtrl+R");

    std::string firstSeed, shot = std::string(w.here.previous) + "\\random_dialog.png";
    pagestest::ModalScript script(
        {[&] {
             HWND d = FindDialog(RANDOM_TITLE);
             if (!d)
                 return false;
             // The remembered locks: the dress styles kept, the cheeks always.
             for (int t = 0; t < RANDOM_TRAIT_COUNT; t++) {
                 CAPTURE(RandomTrait_Name(t));
                 CHECK(Ticked(d, t) == ((RANDOM_KEEP_DEFAULT >> t & 1u) || RandomTrait_IsFixed(t)));
             }
             CHECK_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_RANDOM_KEEP_FIRST + RANDOM_TRAIT_CHEEKS)));
             firstSeed = Field(d, IDC_RANDOM_SEED);
             CHECK(firstSeed.size() > 0);
             SetFocus(GetDlgItem(d, IDC_RANDOM_KEEP_FIRST + RANDOM_TRAIT_HAIR));
             PressIn(VK_SPACE);  // keep the hair style
             return true;
         },
         // One key a tick: each goes to the control the one before left the focus on.
         [&] {
             PressIn(VK_TAB);
             return true;
         },
         [&] {
             PressIn(VK_SPACE);  // and its colour
             return true;
         },
         [&] {
             HWND d = FindDialog(RANDOM_TITLE);
             CHECK(Ticked(d, RANDOM_TRAIT_HAIR));
             CHECK(Ticked(d, RANDOM_TRAIT_HAIR_COLOUR));
             CHECK_FALSE(Ticked(d, RANDOM_TRAIT_EYES));
             guitest::SaveWindowPng(d, shot.c_str(), true);
             PostMessageA(GetFocus(), WM_SYSCHAR, 'n', 1 << 29);  // Alt+N: a new seed
             return true;
         },
         [&] {
             HWND d = FindDialog(RANDOM_TITLE);
             if (Field(d, IDC_RANDOM_SEED) == firstSeed)
                 return false;
             HWND seed = GetDlgItem(d, IDC_RANDOM_SEED);
             SetFocus(seed);
             SendMessageA(seed, EM_SETSEL, 0, -1);
             TypeIn("12345");
             return true;
         },
         [&] {
             HWND d = FindDialog(RANDOM_TITLE);
             CHECK(Field(d, IDC_RANDOM_SEED) == "12345");
             PressIn(VK_RETURN);
             return true;
         }},
        {RANDOM_TITLE});
    PostMessageA(w.main, WM_COMMAND, MAKEWPARAM(CMD_RANDOM_DIALOG, 0), 0);
    w.RunUntil([&] { return script.Finished() && !FindDialog(RANDOM_TITLE); }, 10000);
    w.WaitIdle();
    REQUIRE(script.Finished());

    // One step; the ticked traits stayed, the rest is seed 12345's look.
    std::string after = w.Project();
    CHECK(after != before);
    CHECK(w.app.history->current == steps + 1);
    CHECK(w.CaptionModified());
    CHECK(HairOf(after) == HairOf(before));
    CHECK(w.Text(PAGE_CHARA, IDC_CHARA_NAME) == "Rand");
    RandomKeep keep = RandomLocks_Load();
    CHECK(keep == (RANDOM_KEEP_DEFAULT | 1u << RANDOM_TRAIT_HAIR | 1u << RANDOM_TRAIT_HAIR_COLOUR));
    char remembered[256] = "";
    Reg_GetString(REG_PROGRAM_KEY, "RandomKeep", remembered, sizeof remembered);
    CHECK(std::string(remembered) == "hair,hair-colour,dresses,dress-colours,accessories");

    // vor-cli.exe gives the saved project the same look, byte for byte.
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    std::string gui = std::string(folder) + "\\gui.vor", cli = std::string(folder) + "\\cli.vor";
    REQUIRE(ProjectCmd_SaveAs(&w.app, gui.c_str()));
    CHECK(RunCli("random --seed 12345 --from \"" + path + "\" --keep hair,hair-colour,dresses,dress-colours,accessories"
                 " --out \"" + cli + "\"") == 0);
    CHECK(ScratchFolder::ReadBytes(cli) == ScratchFolder::ReadBytes(gui));

    w.Command(CMD_UNDO);
    CHECK(w.Project() == before);
    CHECK(w.Picture() == picture);

    // Ctrl+R: a new seed, the same locks, one step each time.
    for (int i = 0; i < 3; i++) {
        int at = w.app.history->current;
        std::string was = w.Project();
        w.Key(w.app.canvas, {VK_CONTROL}, 'R');
        w.WaitIdle();
        CHECK(HairOf(w.Project()) == HairOf(before));
        if (w.Project() != was)
            CHECK(w.app.history->current == at + 1);
    }
    CHECK(w.Project() != before);

    // A seed past 2^64 - 1 is refused with a box and the dialog stays; then
    // Escape: nothing changes, not even the remembered locks.
    std::string now = w.Project();
    int at = w.app.history->current;
    bool stayed = false;
    pagestest::ModalScript cancel({[&] {
                                       HWND d = FindDialog(RANDOM_TITLE);
                                       if (!d)
                                           return false;
                                       CHECK(Ticked(d, RANDOM_TRAIT_HAIR));
                                       HWND seed = GetDlgItem(d, IDC_RANDOM_SEED);
                                       SetFocus(seed);
                                       SendMessageA(seed, EM_SETSEL, 0, -1);
                                       TypeIn("18446744073709551616");
                                       return true;
                                   },
                                   [&] {
                                       PressIn(VK_RETURN);
                                       return true;
                                   },
                                   [&] {
                                       HWND box = FindDialog("시드 확인");
                                       if (!box)
                                           return false;
                                       PostMessageA(box, WM_COMMAND, IDOK, 0);
                                       return true;
                                   },
                                   [&] {
                                       HWND d = FindDialog(RANDOM_TITLE);
                                       if (!d || FindDialog("시드 확인"))
                                           return false;
                                       stayed = true;
                                       SetFocus(GetDlgItem(d, IDC_RANDOM_KEEP_FIRST + RANDOM_TRAIT_EYES));
                                       PressIn(VK_SPACE);
                                       return true;
                                   },
                                   [&] {
                                       PressIn(VK_ESCAPE);
                                       return true;
                                   }},
                                  {"시드 확인", RANDOM_TITLE});
    PostMessageA(w.main, WM_COMMAND, MAKEWPARAM(CMD_RANDOM_DIALOG, 0), 0);
    w.RunUntil([&] { return cancel.Finished() && !FindDialog(RANDOM_TITLE); }, 10000);
    w.WaitIdle();
    CHECK(stayed);
    CHECK(w.Project() == now);
    CHECK(w.app.history->current == at);
    CHECK(RandomLocks_Load() == keep);
    RandomLocks_Save(RANDOM_KEEP_DEFAULT);
}

TEST_CASE("the parts window lists the parts of the character on screen, as CREDITS.txt would")
{
    AppWindow w;
    std::string path = w.WriteProject("credits.vor", "Cred", 2);
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    ExportCredits credits;
    Credits_NoteExport(&credits, &w.app.character, &w.app.wardrobe);
    std::string expected = Credits_Text(&credits, w.app.catalog, "Cred");
    std::string shown, shot = std::string(w.here.previous) + "\\credits_window.png";
    pagestest::ModalScript script({[&] {
                                       HWND d = FindDialog(CREDITS_TITLE);
                                       if (!d)
                                           return false;
                                       static char text[16384];
                                       text[0] = 0;
                                       UiText_GetItem(d, IDC_CREDITS_TEXT, text, sizeof text);
                                       shown = text;
                                       guitest::SaveWindowPng(d, shot.c_str(), true);
                                       PressIn(VK_RETURN);
                                       return true;
                                   }},
                                  {CREDITS_TITLE});
    PostMessageA(w.main, WM_COMMAND, MAKEWPARAM(CMD_CREDITS, 0), 0);
    w.RunUntil([&] { return script.Finished() && !FindDialog(CREDITS_TITLE); }, 10000);
    w.WaitIdle();
    CHECK(shown == expected);
    CHECK(shown.find("[머리]") != std::string::npos);
    CHECK(shown.find("알 수 없음") != std::string::npos);
    CHECK(MenuString(w.main, CMD_CREDITS) == "사용한 부품 정보(&P)...");
}

TEST_CASE("the parts window shows a pack's control characters as \\xHH, wrapped without a horizontal scroll bar")
{
    // A pack whose hair credits forge an entry and clear the terminal.
    ScratchFolder root;
    std::string data = Fixture_BuildTree(root.path);
    const char evil[] = "Author = \"evil\\r\\n\\r\\n[장신구] 가짜 (fake)\\r\\n그린 사람: someone\\x1b[2J\";\n"
                        "License = \"CC0\";\nUrl = \"http://example.org/a/very/long/address/that/does/not/fit/"
                        "in/one/line/of/the/window/at/all/really/none\";\n";
    for (const char *h : {"h1", "h2"})
        Fixture_WriteInf(data + "hair\\" + h + "\\", h, h, "0x0A64C8", evil);
    AppWindow w(root.path.c_str());
    std::string path = w.WriteProject("credits.vor", "Cred", 1);
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    std::string shown, shot = std::string(w.here.previous) + "\\credits_window_pack.png";
    bool horizontalBar = true;
    pagestest::ModalScript script({[&] {
                                       HWND d = FindDialog(CREDITS_TITLE);
                                       if (!d)
                                           return false;
                                       static char text[16384];
                                       text[0] = 0;
                                       UiText_GetItem(d, IDC_CREDITS_TEXT, text, sizeof text);
                                       shown = text;
                                       SCROLLBARINFO bar = {};
                                       bar.cbSize = sizeof bar;
                                       HWND edit = GetDlgItem(d, IDC_CREDITS_TEXT);
                                       horizontalBar = (GetWindowLongW(edit, GWL_STYLE) & WS_HSCROLL) != 0 ||
                                                       (GetScrollBarInfo(edit, OBJID_HSCROLL, &bar) &&
                                                        !(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE));
                                       guitest::SaveWindowPng(d, shot.c_str(), true);
                                       PressIn(VK_RETURN);
                                       return true;
                                   }},
                                  {CREDITS_TITLE});
    PostMessageA(w.main, WM_COMMAND, MAKEWPARAM(CMD_CREDITS, 0), 0);
    w.RunUntil([&] { return script.Finished() && !FindDialog(CREDITS_TITLE); }, 10000);
    w.WaitIdle();
    CHECK(shown.find("그린 사람: evil\\x0D\\x0A\\x0D\\x0A[장신구] 가짜 (fake)\\x0D\\x0A그린 사람: someone\\x1B[2J\r\n") !=
          std::string::npos);
    CHECK(shown.find("\r\n[장신구] 가짜") == std::string::npos);  // no forged entry
    CHECK(shown.find('\x1b') == std::string::npos);
    CHECK_FALSE(horizontalBar);
}
