// The program's export driven from the SAVE page's output button: the files
// it writes are byte for byte those of the headless export for the same
// project and data tree, the progress window counts every picture, and the
// user's style, expression and preview are back afterwards.
#include <doctest.h>

#include "save_test_rig.h"

using namespace savetest;

namespace {

// The headless export of the same project with the same current style and
// expression, below `base`.
void ExportHeadless(const PartCatalog *, int style, int expression, const char *base)
{
    Headless h;
    OpenHeadlessProject(&h, style, expression);
    ExportOptions options = {1, nullptr, nullptr};
    CHECK(Export_RunHeadless(&h.ch, &h.w, base, &options, nullptr) == 18);  // 16 pictures, macro.txt and CREDITS.txt
    Headless_Close(&h);
}

const char DONE_CAPTION[] = "출력 완료창";
const char DONE_TEXT[] = "개별 이미지 출력을 완료했습니다";

}  // namespace

TEST_CASE("export from the output button: same files as the headless export, progress, selections restored")
{
    Rig rig;
    rig.CreateSavePage();
    Project *p = BuildProject(&rig.catalog);
    rig.CreatePages(p);
    Project_Free(p);
    rig.SelectStyle(1);
    rig.SelectExpression(1);
    const std::vector<unsigned char> pictureBefore = ComposedBytes(rig.app.doc);
    SavePage_SetFreeFolder(rig.Page(PAGE_SAVE), "out");  // no trailing separator: the folder is kept

    DWORD start = GetTickCount();
    Watch seen = rig.PressOutput("..\\..\\save_progress.png");
    MESSAGE("16 images, macro.txt and CREDITS.txt through the pages: " << GetTickCount() - start << " ms");
    REQUIRE(seen.boxes.size() == 1);
    CHECK(seen.boxes[0].caption == DONE_CAPTION);
    // The message names the folder written into and the number of files.
    CHECK(seen.boxes[0].text.compare(0, strlen(DONE_TEXT), DONE_TEXT) == 0);
    CHECK(seen.boxes[0].text.find("(파일 18 개)") != std::string::npos);

    // Two checked styles times eight expressions.
    CHECK(seen.progress.seen);
    CHECK(seen.progress.caption == "이미지 출력 중…");
    CHECK_FALSE(seen.progress.hasCloseBox);
    CHECK(seen.progress.rangeLow == 0);
    CHECK(seen.progress.rangeHigh == 16);
    CHECK(seen.progress.exportingSeen);
    CHECK(seen.progress.lastPath.find(".png") != std::string::npos);
    CHECK(rig.app.exporting == 0);

    start = GetTickCount();
    ExportHeadless(&rig.catalog, 1, 1, "ref\\");
    MESSAGE("the same headless: " << GetTickCount() - start << " ms");
    auto program = FilesBelow("out");
    auto reference = FilesBelow("ref");
    CHECK(program.size() == 18);
    CHECK(program.count("Abc\\one\\sumashi.png") == 1);
    CHECK(program.count("Abc\\three\\odoroki.png") == 1);
    CHECK(program.count("Abc\\two\\sumashi.png") == 0);
    CHECK(program.count("Abc\\macro.txt") == 1);
    CHECK(program.count("Abc\\CREDITS.txt") == 1);
    REQUIRE(program.size() == reference.size());
    for (const auto &file : reference) {
        CAPTURE(file.first);
        REQUIRE(program.count(file.first) == 1);
        CHECK(program[file.first] == file.second);
    }

    // The user's choices and the preview are as they were.
    CHECK(rig.app.wardrobe.selected == 1);
    CHECK(rig.app.character.expression == 1);
    CHECK(SendMessageA(rig.styleList, LB_GETCURSEL, 0, 0) == 1);
    CHECK(SendMessageA(rig.expressionList, CB_GETCURSEL, 0, 0) == 1);
    rig.WaitForLoader();
    CHECK(ComposedBytes(rig.app.doc) == pictureBefore);
}

TEST_CASE("a second export replaces every file, damaged ones included")
{
    Rig rig;
    rig.CreateSavePage();
    Project *p = BuildProject(&rig.catalog);
    rig.CreatePages(p);
    Project_Free(p);
    SavePage_SetFreeFolder(rig.Page(PAGE_SAVE), "out\\");
    rig.PressOutput();
    auto first = FilesBelow("out");
    REQUIRE(first.size() == 18);
    ScratchFolder::WriteBytes("out\\Abc\\one\\niko.png", {1, 2, 3});
    ScratchFolder::WriteBytes("out\\Abc\\macro.txt", {});
    Watch seen = rig.PressOutput();
    CHECK(seen.boxes.size() == 1);
    CHECK(FilesBelow("out") == first);
}

TEST_CASE("the export with nothing to export writes only macro.txt and CREDITS.txt; the button stays off")
{
    Rig rig;
    HWND save = rig.CreateSavePage();
    Project *p = BuildProject(&rig.catalog);
    for (int i = 0; i < PtrList_Count(p->styles); i++)
        ((DressStyle *)PtrList_Get(p->styles, i))->checkState = STYLE_THIRD;
    rig.CreatePages(p);
    Project_Free(p);
    SavePage_SetFreeFolder(save, "out");

    ShowWindow(save, SW_SHOW);
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(save, IDC_SAVE_OUTPUT)));
    // The button refuses even when pressed by a message.
    Watch pressed = rig.PressOutput();
    CHECK(pressed.boxes.empty());
    CHECK_FALSE(pressed.progress.seen);
    CHECK(FilesBelow("out").empty());

    WatchScope scope(&rig.app);
    CHECK(Export_Run(rig.host, "out\\") == 2);
    auto files = FilesBelow("out");
    REQUIRE(files.size() == 2);
    CHECK(files.count("Abc\\macro.txt") == 1);
    CHECK(files.count("Abc\\CREDITS.txt") == 1);
}

TEST_CASE("an export whose files fail shows the count and the first failing path, not success")
{
    Rig rig;
    rig.CreateSavePage();
    Project *p = BuildProject(&rig.catalog);
    rig.CreatePages(p);
    Project_Free(p);
    SavePage_SetFreeFolder(rig.Page(PAGE_SAVE), "out\\");
    struct Case {
        const char *what;
        long long fault;  // bytes before the injected full disk
        bool blockFolder; // a file where the character's folder belongs
        const char *firstPath;
    } cases[] = {
        {"a full disk", 0, false, "out\\Abc\\one\\sumashi.png"},
        {"a folder that cannot be made", -1, true, "out\\Abc\\one\\sumashi.png"},
    };
    for (const Case &c : cases) {
        std::string what = c.what;
        CAPTURE(what);
        std::error_code ec;
        std::filesystem::remove_all("out", ec);
        if (c.blockFolder) {
            FileSys_MakeFolder("out");
            ScratchFolder::WriteBytes("out\\Abc", {'x'});
        }
        FILE_FailWritesAfter(c.fault);
        Watch seen = rig.PressOutput();
        FILE_FailWritesAfter(-1);
        REQUIRE(seen.boxes.size() == 1);
        CHECK(seen.boxes[0].caption == "출력 실패");
        CHECK(seen.boxes[0].text.find("파일 18 개를 출력하지 못했습니다.") != std::string::npos);
        CHECK(seen.boxes[0].text.find(c.firstPath) != std::string::npos);
        CHECK(seen.boxes[0].text.compare(0, strlen(DONE_TEXT), DONE_TEXT) != 0);
        auto files = FilesBelow("out");
        CHECK(files.size() == (c.blockFolder ? 1u : 0u));  // no file, partial or whole
    }
}

TEST_CASE("an empty folder field asks where to write: a cancelled chooser writes nothing")
{
    Rig rig;
    HWND save = rig.CreateSavePageWithProject();
    SavePage_SetFreeFolder(save, "");
    ShowWindow(save, SW_SHOW);
    Watch seen = rig.PressOutput(nullptr, "저장 폴더 선택");
    REQUIRE(seen.boxes.size() == 1);
    CHECK(seen.boxes[0].caption == "저장 폴더 선택");
    CHECK_FALSE(seen.progress.seen);
    CHECK_FALSE(FileSys_FolderExists("Abc"));  // the program's own folder stays as it was
    CHECK(FilesBelow("out").empty());
}
