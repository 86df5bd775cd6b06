// The Ren'Py kind of the SAVE page: the output button then drives the pages
// through every pair in the progress window and writes the same files as
// vor-cli's Ren'Py export; a tag or name Ren'Py cannot take is refused with
// a message before anything is written; a folder that cannot be written
// shows the failure count, not success.
#include <doctest.h>

#include "output/export_format.h"
#include "output/renpy_export.h"
#include "save_test_rig.h"

using namespace savetest;

namespace {

// The headless Ren'Py export of the same project, style and expression.
std::map<std::string, std::vector<unsigned char>> HeadlessRenPy(int style, int expression, const char *tag,
                                                                 const char *base)
{
    Headless h;
    OpenHeadlessProject(&h, style, expression);
    RenPyNames names;
    char message[512];
    REQUIRE(RenPy_Validate(&h.ch, &h.w, tag, &names, message, sizeof message));
    ExportStats stats;
    RenPy_RunHeadless(&h.ch, &h.w, &names, base, nullptr, &stats);
    CHECK(stats.tally.failed == 0);
    Headless_Close(&h);
    return FilesBelow(base);
}

void ChooseRenPy(HWND save, const char *tag)
{
    ChooseKind(save, "renpy", tag);
}

}  // namespace

TEST_CASE("Ren'Py from the output button: the headless export's files, the progress window, a page to look at")
{
    Rig rig;
    HWND save = rig.CreateSavePageWithProject();
    rig.SelectExpression(1);
    SavePage_SetFreeFolder(save, "game");
    // The PNG files are the page's first kind.
    CHECK(IsDlgButtonChecked(save, KindRadio("png")) == BST_CHECKED);
    ChooseRenPy(save, "");
    ShowWindow(save, SW_SHOW);
    guitest::Pump(20);
    CHECK(guitest::SaveWindowPng(save, "..\\..\\save_renpy_page.png"));

    Watch seen = rig.PressOutput("..\\..\\save_renpy_progress.png");
    REQUIRE(seen.boxes.size() == 1);
    CHECK(seen.boxes[0].caption == "출력 완료창");
    const std::string done = "Ren'Py 캐릭터 출력을 완료했습니다";
    CHECK(seen.boxes[0].text.compare(0, done.size(), done) == 0);
    CHECK(seen.boxes[0].text.find("game\\") != std::string::npos);
    CHECK(seen.progress.seen);
    CHECK(seen.progress.caption == "이미지 출력 중…");
    CHECK(seen.progress.rangeHigh == 16);
    CHECK(seen.progress.lastPath.compare(0, 9, "show abc ") == 0);
    CHECK(rig.app.exporting == 0);
    CHECK(rig.app.character.expression == 1);

    auto program = FilesBelow("game");
    auto reference = HeadlessRenPy(0, 1, "", "ref\\");
    CHECK(program.count("abc.rpy") == 1);
    CHECK(program.count("Abc") == 0);  // no PNG export beside it
    REQUIRE(program.size() == reference.size());
    for (const auto &file : reference) {
        CAPTURE(file.first);
        REQUIRE(program.count(file.first) == 1);
        CHECK(program[file.first] == file.second);
    }
    CHECK(std::string(program["abc.rpy"].begin(), program["abc.rpy"].end()).find("define abc = Character(") !=
          std::string::npos);
}

TEST_CASE("Ren'Py from the output button: the Character definition left out with its box, usable only for Ren'Py")
{
    Rig rig;
    HWND save = rig.CreateSavePageWithProject();
    SavePage_SetFreeFolder(save, "game");
    HWND box = GetDlgItem(save, IDC_SAVE_SWITCH_1);
    // The controls follow a click on a kind.
    for (const char *word : {"png", "renpy", "webgal"}) {
        ChooseKind(save, word);
        CHECK_MESSAGE((IsWindowEnabled(box) != 0) == (strcmp(word, "renpy") == 0), word);
    }
    ChooseRenPy(save, "");
    CheckDlgButton(save, IDC_SAVE_SWITCH_1, BST_CHECKED);
    Watch seen = rig.PressOutput();
    REQUIRE(seen.boxes.size() == 1);
    CHECK(seen.boxes[0].caption == "출력 완료창");
    auto program = FilesBelow("game");
    REQUIRE(program.count("abc.rpy") == 1);
    std::string script(program["abc.rpy"].begin(), program["abc.rpy"].end());
    CHECK(script.find("Character(") == std::string::npos);
    CHECK(script.find("layeredimage abc") != std::string::npos);
}

TEST_CASE("Ren'Py from the output button: names refused with their message, a folder that fails counted")
{
    Rig rig;
    HWND save = rig.CreateSavePageWithProject();
    SavePage_SetFreeFolder(save, "game\\");
    // A name that cannot be a tag, with the tag field empty.
    rig.SetName("유나");
    ChooseRenPy(save, "");
    Watch refused = rig.PressOutput();
    REQUIRE(refused.boxes.size() == 1);
    CHECK(refused.boxes[0].caption == "Ren'Py 출력");
    CHECK(refused.boxes[0].text.find("태그를 입력해 주세요") != std::string::npos);
    CHECK_FALSE(refused.progress.seen);
    CHECK(FilesBelow("game").empty());

    // A file where the images folder belongs: every image fails, the
    // script is still written, and the count is shown.
    rig.SetName("Abc");
    ChooseRenPy(save, "abc");
    FileSys_MakeFolder("game");
    ScratchFolder::WriteBytes("game\\images", {'x'});
    Watch seen = rig.PressOutput();
    REQUIRE(seen.boxes.size() == 1);
    CHECK(seen.boxes[0].caption == "출력 실패");
    CHECK(seen.boxes[0].text.find("game\\images\\abc\\abc_") != std::string::npos);
    CHECK(seen.boxes[0].text.find("(출력한 파일 1 개)") != std::string::npos);
}
