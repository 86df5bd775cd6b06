// The SAVE page: its controls after creation for the registry it finds, the
// export base each choice gives, what it stores when it closes, the output
// button's enabled state, and the names and folders the button refuses.
#include <doctest.h>

#include "core/services/registry_win32.h"
#include "save_test_rig.h"

using namespace savetest;

namespace {

const char TIDE_KEY[] = "Software\\Sorrel\\TideGarden\\";
const char EMBER_KEY[] = "Software\\Sorrel\\EmberVale\\";

std::string ExportBase(HWND page)
{
    char base[VOR_MAX_PATH];
    return SavePage_GetExportBase(page, base) ? base : "<none>";
}

bool Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void Choose(HWND page, int radio)
{
    for (int id : {1028, 1032, 1029})
        CheckDlgButton(page, id, id == radio ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

TEST_CASE("without the games the free folder is chosen, from SaveDir or else the current folder")
{
    RegistryValue tide(TIDE_KEY, "InstallDir", nullptr);
    RegistryValue ember(EMBER_KEY, "InstallDir", nullptr);
    for (bool stored : {true, false}) {
        CAPTURE(stored);
        RegistryValue saveDir(REG_PROGRAM_KEY, "SaveDir", stored ? "D:\\pictures\\" : nullptr);
        Rig rig;
        HWND page = rig.CreateSavePage();
        REQUIRE(page);
        char current[MAX_PATH];
        GetCurrentDirectoryA(sizeof current, current);
        char folder[VOR_MAX_PATH];
        SavePage_GetFreeFolder(page, folder);
        CHECK(std::string(folder) == (stored ? "D:\\pictures\\" : current));
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(page, 1028)));
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(page, 1032)));
        CHECK(Checked(page, 1029));
        CHECK(SavePage_IsFreeFolderChecked(page));
        // A target that is not installed is never the base, even if checked.
        Choose(page, 1028);
        CHECK(ExportBase(page) == (stored ? "D:\\pictures\\" : std::string(current) + "\\"));
    }
}

TEST_CASE("each choice gives its export base")
{
    RegistryValue tide(TIDE_KEY, "InstallDir", "C:\\Games\\Tide\\");
    RegistryValue ember(EMBER_KEY, "InstallDir", "C:\\Games\\Ember");
    RegistryValue saveDir(REG_PROGRAM_KEY, "SaveDir", "C:\\out");
    Rig rig;
    HWND page = rig.CreateSavePage();
    CHECK(IsWindowEnabled(GetDlgItem(page, 1028)));
    CHECK(IsWindowEnabled(GetDlgItem(page, 1032)));
    CHECK(Checked(page, 1029));  // the free folder at every start
    ShowWindow(page, SW_SHOW);
    CHECK(guitest::SaveWindowPng(page, "..\\..\\save_page.png", true));

    struct Case {
        int radio;
        const char *freeFolder;
        const char *base;
    } cases[] = {
        // The picture folder is set as the install path's name part: a path
        // without a trailing separator loses its last folder to it.
        {1028, "C:\\out", "C:\\Games\\Tide\\Data\\Picture\\CHARA\\"},
        {1032, "C:\\out", "C:\\Games\\Data\\Picture\\CHARA\\"},
        // A free folder keeps its last folder name either way.
        {1029, "C:\\out", "C:\\out\\"},
        {1029, "C:\\out\\", "C:\\out\\"},
        {1029, "\\\\server\\share\\그림", "\\\\server\\share\\그림\\"},
    };
    for (const Case &c : cases) {
        std::string freeFolder = c.freeFolder;
        CAPTURE(c.radio);
        CAPTURE(freeFolder);
        Choose(page, c.radio);
        SavePage_SetFreeFolder(page, c.freeFolder);
        CHECK(ExportBase(page) == c.base);
        CHECK(SavePage_IsFreeFolderChecked(page) == (c.radio == 1029));
    }
    // A free folder of 259 bytes has no room for the separator.
    SavePage_SetFreeFolder(page, std::string(259, 'x').c_str());
    CHECK(ExportBase(page) == "<none>");
}

TEST_CASE("closing the page stores the free folder and the program's folder")
{
    RegistryValue saveDir(REG_PROGRAM_KEY, "SaveDir", "C:\\before\\");
    RegistryValue installDir(REG_PROGRAM_KEY, "InstallDir", "C:\\nowhere");
    Rig rig;
    HWND page = rig.CreateSavePage();
    // Stored whichever target is chosen.
    Choose(page, 1032);
    SavePage_SetFreeFolder(page, "E:\\캐릭터 그림");
    DestroyWindow(page);
    rig.app.pages[PAGE_SAVE] = nullptr;
    CHECK(saveDir.Read() == "E:\\캐릭터 그림");

    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder = program;
    folder.erase(folder.rfind('\\'));
    CHECK(installDir.Read() == folder);
}

TEST_CASE("the output button is enabled exactly while a style is exported")
{
    Rig rig;
    HWND save = rig.CreateSavePageWithProject();
    HWND button = GetDlgItem(save, IDC_SAVE_OUTPUT);
    struct Case {
        int states[3];
        bool enabled;
    } cases[] = {
        {{STYLE_CHECKED, STYLE_UNCHECKED, STYLE_CHECKED}, true},
        {{STYLE_UNCHECKED, STYLE_THIRD, STYLE_UNCHECKED}, false},
        {{STYLE_THIRD, STYLE_THIRD, STYLE_CHECKED}, true},
        {{STYLE_UNCHECKED, STYLE_UNCHECKED, STYLE_UNCHECKED}, false},
    };
    for (const Case &c : cases) {
        for (int i = 0; i < 3; i++)
            Wardrobe_StyleAt(&rig.app.wardrobe, i)->checkState = c.states[i];
        // Showing the page updates the button, and so does the accessor.
        ShowWindow(save, SW_HIDE);
        ShowWindow(save, SW_SHOW);
        CHECK(IsWindowEnabled(button) == c.enabled);
        EnableWindow(button, !c.enabled);
        SavePage_UpdateOutputButton(save);
        CHECK(IsWindowEnabled(button) == c.enabled);
    }
}

TEST_CASE("refused names and folders stop the output with their message")
{
    Rig rig;
    HWND save = rig.CreateSavePageWithProject();
    SavePage_SetFreeFolder(save, "out");
    HWND nameEdit = GetDlgItem(rig.Page(PAGE_CHARA), IDC_CHARA_NAME);
    const char *wide = "다음 문자는 사용 불가 \n\n전각문자 반각 스페이스";
    const char *forbidden = "이름에 다음의 문자는 사용 불가\n\n\tTAB \\ / : ; * ? \" < > |";
    const char *empty = "이름을 입력해 주세요.";

    struct Case {
        const char *name;
        const char *styleFolder;  // of the first style
        const char *caption;
        const char *text;         // nullptr: checked separately
    } cases[] = {
        {"a_b", "one", "이름 입력", wide},
        {"a b", "one", "이름 입력", wide},
        {"홍길동", "one", "이름 입력", wide},
        {"a/b", "one", "이름 입력", forbidden},
        {"a\tb", "one", "이름 입력", forbidden},
        {"a:b", "one", "이름 입력", forbidden},
        // The first rule broken wins.
        {"a_b/c", "one", "이름 입력", wide},
        {"", "one", "이름 입력", empty},
        // Names the file system cannot take.
        {".", "one", "이름 입력", nullptr},
        {"..", "one", "이름 입력", nullptr},
        {"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN", "one", "이름 입력", nullptr},
        // An exported style's folder must be a folder name.
        {"Abc", "..", "폴더명 입력", nullptr},
        {"Abc", "a\\b", "폴더명 입력", nullptr},
        {"Abc", "", "폴더명 입력", nullptr},
    };
    for (const Case &c : cases) {
        std::string name = c.name, styleFolder = c.styleFolder;
        CAPTURE(name);
        CAPTURE(styleFolder);
        rig.SetName(c.name);
        REQUIRE(name == (rig.app.character.name ? rig.app.character.name : "<none>"));
        Style_SetText(&Wardrobe_StyleAt(&rig.app.wardrobe, 0)->outputFolder, c.styleFolder);
        SendMessageA(rig.tabs, TCM_SETCURSEL, 2, 0);
        TabNotices().clear();
        SetFocus(save);

        Watch seen = rig.PressOutput();
        REQUIRE(seen.boxes.size() == 1);
        CHECK(seen.boxes[0].caption == c.caption);
        if (c.text)
            CHECK(seen.boxes[0].text == c.text);
        else
            CHECK_FALSE(seen.boxes[0].text.empty());
        CHECK_FALSE(seen.progress.seen);
        bool nameProblem = std::string(c.caption) == "이름 입력";
        if (nameProblem) {
            // Back on the first tab, in the name field with all of it selected.
            CHECK(SendMessageA(rig.tabs, TCM_GETCURSEL, 0, 0) == 0);
            CHECK(IsWindowVisible(rig.Page(PAGE_CHARA)));
            CHECK_FALSE(IsWindowVisible(save));
            CHECK(GetFocus() == nameEdit);
            DWORD from = 0, to = 0;
            SendMessageA(nameEdit, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
            CHECK(from == 0);
            // Wine counts characters where Windows counts bytes.
            CHECK(to >= (DWORD)GetWindowTextLengthW(nameEdit));
        } else {
            // The style is named in the message.
            CHECK(seen.boxes[0].text.find("미설정") != std::string::npos);
            CHECK(SendMessageA(rig.tabs, TCM_GETCURSEL, 0, 0) == 2);
        }
    }
    CHECK(FilesBelow("out").empty());

    // The name Abc passes.
    rig.SetName("Abc");
    Style_SetText(&Wardrobe_StyleAt(&rig.app.wardrobe, 0)->outputFolder, "one");
    Watch seen = rig.PressOutput();
    REQUIRE(seen.boxes.size() == 1);
    CHECK(seen.boxes[0].caption == "출력 완료창");
    CHECK(FilesBelow("out").size() == 18);  // 16 pictures, macro.txt and CREDITS.txt
}
