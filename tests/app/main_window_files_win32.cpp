// The File menu around unsaved work: the Yes/No/Cancel question before New,
// Open and Exit (a failed save under Yes keeps everything), opening from
// the command line, by a drop and from the recent files.
#include <doctest.h>

#include <shlobj.h>

#include "app_window_fixture_win32.h"
#include "core/services/filesys.h"

using namespace apptest;

namespace {

const int FRONT_HAIR = 1000;

// Opens `path` and changes the name, so that there are unsaved changes.
void OpenAndEdit(AppWindow &w, const std::string &path, const char *name)
{
    FileMenu_OpenPath(&w.app, path.c_str());
    w.WaitIdle();
    UiText_SetItem(w.Page(PAGE_CHARA), IDC_CHARA_NAME, name);
    w.WaitIdle();
    REQUIRE(w.CaptionModified());
}

// The name stored in a project file, or "(unreadable)".
std::string NameInFile(const std::string &path)
{
    ::Project *p = nullptr;
    if (Project_ReadFile(path.c_str(), &p) != PROJECT_OK || !p)
        return "(unreadable)";
    std::string name = p->name ? p->name : "";
    Project_Free(p);
    return name;
}

// A drop of one file as Explorer makes it.
HGLOBAL MakeDrop(const std::string &path)
{
    size_t size = sizeof(DROPFILES) + path.size() + 2;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    memcpy((char *)drop + sizeof(DROPFILES), path.c_str(), path.size() + 1);
    GlobalUnlock(memory);
    return memory;
}

// The menu text shows "&<n> " and the path, shortened at the front.
bool ShowsPath(const std::string &text, int number, const std::string &path)
{
    std::string name = path.substr(path.rfind('\\'));
    std::string prefix = "&" + std::to_string(number) + " ";
    return text.compare(0, prefix.size(), prefix) == 0 && text.size() >= name.size() &&
           text.compare(text.size() - name.size(), name.size(), name) == 0 &&
           text.size() <= prefix.size() + RECENT_MENU_CHARS;
}

std::string MenuText(HWND main, int id)
{
    wchar_t wide[512] = L"";
    char text[1024] = "";
    if (!GetMenuStringW(GetMenu(main), id, wide, 512, MF_BYCOMMAND))
        return "(none)";
    UiText_FromWide(wide, text, sizeof text);
    return text;
}

}  // namespace

TEST_CASE("New, Open and Exit with unsaved changes: Yes saves first, No discards, Cancel changes nothing")
{
    enum Command { NEW, OPEN, EXIT };
    struct Row {
        Command command;
        int answer;
    } rows[] = {{NEW, IDCANCEL}, {NEW, IDNO}, {NEW, IDYES},   {OPEN, IDCANCEL}, {OPEN, IDNO},
                {OPEN, IDYES},   {EXIT, IDCANCEL}, {EXIT, IDNO}, {EXIT, IDYES}};
    for (const Row &row : rows) {
        CAPTURE(row.command);
        CAPTURE(row.answer);
        AppWindow w;
        std::string path = w.WriteProject("work.vor", "Work", 1);
        OpenAndEdit(w, path, "Edited");
        std::vector<SeenBox> seen;
        // Open's file dialog appears only after Yes or No; it is cancelled.
        std::string shot = std::string(w.here.previous) + "\\question_box.png";
        pagestest::ModalScript script(
            {Answer(QUESTION_TITLE, row.answer, &seen, row.command == NEW && row.answer == IDYES ? shot.c_str() : nullptr)},
            AllTitles());
        switch (row.command) {
        case NEW: w.Command(CMD_NEW); break;
        case OPEN: w.Command(CMD_OPEN); break;
        case EXIT: SendMessageA(w.main, WM_CLOSE, 0, 0); break;
        }
        w.Run(100);
        REQUIRE(seen.size() == 1);
        CHECK(seen[0].text == "변경 내용을 저장하시겠습니까?");
        CHECK(seen[0].defaultId == IDYES);
        bool goesOn = row.answer != IDCANCEL;
        CHECK(NameInFile(path) == (row.answer == IDYES ? "Edited" : "Work"));
        if (row.command == EXIT) {
            CHECK(IsWindow(w.main) == (goesOn ? FALSE : TRUE));
            continue;
        }
        if (row.command == NEW)
            CHECK(std::string(w.app.character.name) == (goesOn ? "NEW" : "Edited"));
        else  // the file dialog was cancelled: the work stays on screen
            CHECK(std::string(w.app.character.name) == "Edited");
        CHECK(w.CaptionModified() == (row.answer == IDCANCEL || (row.command == OPEN && row.answer == IDNO)));
    }
}

TEST_CASE("a failed save under Yes keeps the work and the program running")
{
    AppWindow w;
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    REQUIRE(CreateDirectoryA((std::string(folder) + "\\sub").c_str(), nullptr));
    std::string path = std::string(folder) + "\\sub\\gone.vor";
    {
        std::string written = w.WriteProject("gone.vor", "Gone", 1);
        REQUIRE(MoveFileA(written.c_str(), path.c_str()));
    }
    OpenAndEdit(w, path, "Precious");
    // The folder disappears under the program.
    REQUIRE(DeleteFileA(path.c_str()));
    REQUIRE(RemoveDirectoryA((std::string(folder) + "\\sub").c_str()));
    for (int command : {CMD_NEW, CMD_EXIT}) {
        CAPTURE(command);
        std::vector<SeenBox> seen;
        pagestest::ModalScript script({Answer(QUESTION_TITLE, IDYES, &seen), Answer(SAVE_TITLE, IDOK, &seen)},
                                      AllTitles());
        w.Command(command);
        w.Run(100);
        CHECK(script.Finished());
        REQUIRE(seen.size() == 2);
        CHECK(seen[1].text.find("저장하지 못했습니다") != std::string::npos);
        CHECK(IsWindow(w.main));
        CHECK(std::string(w.app.character.name) == "Precious");
        CHECK(w.CaptionModified());
    }
}

TEST_CASE("without unsaved changes New goes on at once and Exit asks only whether to quit")
{
    AppWindow w;
    std::vector<SeenBox> seen;
    {
        pagestest::ModalScript script({Answer(QUESTION_TITLE, IDCANCEL, &seen)}, AllTitles());
        w.Command(CMD_NEW);
        w.Run(200);
        CHECK(seen.empty());
    }
    {
        pagestest::ModalScript script({Answer(EXIT_TITLE, IDNO, &seen)}, AllTitles());
        w.Command(CMD_EXIT);
        CHECK(script.Finished());
    }
    REQUIRE(seen.size() == 1);
    CHECK(seen[0].text == "VOR 을 종료 하시겠습니까?");
    CHECK(IsWindow(w.main));
}

TEST_CASE("a file on the command line opens as Open does; a bad one is refused with Open's message")
{
    AppWindow w;
    std::string path = w.WriteProject("sample.vor", "Sample", 2);
    MessageLoop_OpenCommandLine(w.main, ("\"" + path + "\"").c_str());
    w.WaitIdle();
    CHECK(std::string(w.app.character.name) == "Sample");
    CHECK(w.Caption() == "sample - VOR 캐릭터 만들기");
    CHECK(std::string(w.app.projectPath) == path);
    CHECK(PtrList_Count(w.app.wardrobe.styles) == 2);
    // A relative name is found in the current folder.
    w.WriteProject("second.vor", "Second", 1);
    MessageLoop_OpenCommandLine(w.main, "second.vor");
    w.WaitIdle();
    CHECK(std::string(w.app.character.name) == "Second");

    std::vector<SeenBox> seen;
    pagestest::ModalScript script({Answer(OPEN_TITLE, IDOK, &seen)}, AllTitles());
    MessageLoop_OpenCommandLine(w.main, "no such file.vor");
    w.Run(100);
    REQUIRE(seen.size() == 1);
    CHECK(seen[0].text == "열리지 않습니다.");
    CHECK(std::string(w.app.character.name) == "Second");
}

TEST_CASE("a dropped file opens after the question; the recent files list what was opened")
{
    AppWindow w;
    std::string first = w.WriteProject("first.vor", "First", 1);
    std::string second = w.WriteProject("second.vor", "Second", 1);
    CHECK(MenuText(w.main, CMD_RECENT_FIRST) == "(none)");
    FileMenu_OpenPath(&w.app, first.c_str());
    w.WaitIdle();
    UiText_SetItem(w.Page(PAGE_CHARA), IDC_CHARA_NAME, "Changed");
    std::vector<SeenBox> seen;
    {
        pagestest::ModalScript script({Answer(QUESTION_TITLE, IDNO, &seen)}, AllTitles());
        PostMessageA(w.main, WM_DROPFILES, (WPARAM)MakeDrop(second), 0);
        w.Run(100);
        w.WaitIdle();
        CHECK(script.Finished());
    }
    CHECK(seen.size() == 1);
    CHECK(std::string(w.app.character.name) == "Second");
    CHECK_FALSE(w.CaptionModified());

    // Newest first, numbered, in the File menu above Exit.
    CHECK(ShowsPath(MenuText(w.main, CMD_RECENT_FIRST), 1, second));
    CHECK(ShowsPath(MenuText(w.main, CMD_RECENT_FIRST + 1), 2, first));
    CHECK(MenuText(w.main, CMD_RECENT_FIRST + 2) == "(none)");
    char stored[MAX_PATH] = "";
    CHECK(Reg_GetString(REG_PROGRAM_KEY, "Recent1", stored, sizeof stored));
    CHECK(std::string(stored) == second);
    HMENU file = GetSubMenu(GetMenu(w.main), 0);
    int count = GetMenuItemCount(file);
    CHECK(GetMenuItemID(file, count - 1) == CMD_EXIT);

    // Choosing an entry opens it; a missing one is refused and leaves the list.
    w.Command(CMD_RECENT_FIRST + 1);
    CHECK(std::string(w.app.character.name) == "First");
    CHECK(ShowsPath(MenuText(w.main, CMD_RECENT_FIRST), 1, first));
    REQUIRE(DeleteFileA(second.c_str()));
    {
        pagestest::ModalScript script({Answer(OPEN_TITLE, IDOK, &seen)}, AllTitles());
        w.Command(CMD_RECENT_FIRST + 1);
        w.Run(100);
        CHECK(script.Finished());
    }
    CHECK(std::string(w.app.character.name) == "First");
    CHECK(ShowsPath(MenuText(w.main, CMD_RECENT_FIRST), 1, first));
    CHECK(MenuText(w.main, CMD_RECENT_FIRST + 1) == "(none)");

    // The next start reads the list back from the registry.
    CHECK(Reg_GetString(REG_PROGRAM_KEY, "Recent1", stored, sizeof stored));
    CHECK(std::string(stored) == first);
    CHECK(Reg_GetString(REG_PROGRAM_KEY, "Recent2", stored, sizeof stored));
    CHECK(std::string(stored).empty());
}
