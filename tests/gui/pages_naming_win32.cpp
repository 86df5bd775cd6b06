// The naming dialogs: the checks behind OK, the output folder proposal, and
// ADD and PROP driven on screen with a timer script.
#include <doctest.h>

#include <cstring>
#include <string>

#include "editor/naming_dialogs_win32.h"
#include "pages_fixture_win32.h"

using pagestest::ItemText;
using pagestest::ModalScript;

namespace {

// A style list with the given output folder names.
struct Styles {
    PtrList *list = PtrList_Create(0, 8);
    explicit Styles(std::initializer_list<const char *> folders)
    {
        for (const char *f : folders)
            Add(f);
    }
    DressStyle *Add(const char *folder)
    {
        DressStyle *s = NewStyle();
        Style_SetText(&s->outputFolder, folder);
        PtrList_Add(list, s);
        return s;
    }
    ~Styles() { PtrList_Destroy(list, FreeStyleItem); }
};

// A dress list of entries with a name, a key and a colour.
struct Dresses {
    PtrList *list = PtrList_Create(0, 8);
    std::vector<PartEntry> entries;
    Dresses(std::initializer_list<std::pair<const char *, const char *>> items)
    {
        entries.reserve(items.size());
        uint8_t hue = 10;
        for (auto &i : items) {
            entries.push_back({(char *)i.first, (char *)i.second, (char *)"", {hue, 100, 200}, nullptr, nullptr, nullptr, 0});
            hue += 10;
        }
        for (PartEntry &e : entries)
            PtrList_Add(list, &e);
    }
    ~Dresses() { PtrList_Destroy(list, nullptr); }
};

const char WIDE_OR_SPACE[] = "다음 문자는 사용 불가 \n\n전각문자 반각 스페이스";
const char FORBIDDEN[] = "폴더 명에는 다음 문자를 사용 불가\n\n\tTAB \\ / : ; * ? \" < > |";
const char EMPTY_FOLDER[] = "폴더 명을 입력해 주세요";
const char DUPLICATE[] = "폴더 명이 중복 되었습니다";
const char BLANK_NAME[] = "이름을 입력해 주세요.";
const char CONTROL_NAME[] = "이름에 줄바꿈 등의 제어 문자는 사용할 수 없습니다.";
const char CONTROL_FOLDER[] = "폴더 명에 줄바꿈 등의 제어 문자는 사용할 수 없습니다";

// The text of the open message box titled `caption`, then closes it.
bool ReadAndCloseMessageBox(const char *caption, std::string *text)
{
    HWND box = guitest::FindTitled(caption);
    if (!box)
        return false;
    char buffer[512] = "";
    UiText_GetItem(box, 0xFFFF, buffer, sizeof buffer);
    *text = buffer;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
}

}  // namespace

TEST_CASE("style names: which edit is refused and with which message")
{
    Styles styles({"yukata", "school"});
    DressStyle *own = (DressStyle *)PtrList_Get(styles.list, 1);
    struct {
        const char *name, *folder;
        const DressStyle *style;
        int bad;
        const char *message;
    } cases[] = {
        {"", "ok", nullptr, IDC_NAMING_NAME, BLANK_NAME},
        {"   ", "ok", nullptr, IDC_NAMING_NAME, BLANK_NAME},
        {"  a", "ok", nullptr, 0, nullptr},
        {"유카타 A", "ok", nullptr, 0, nullptr},  // any non-blank name is valid
        {"n", "a b", nullptr, IDC_NAMING_FOLDER, WIDE_OR_SPACE},
        {"n", "a_b", nullptr, IDC_NAMING_FOLDER, WIDE_OR_SPACE},
        {"n", "한", nullptr, IDC_NAMING_FOLDER, WIDE_OR_SPACE},
        {"n", "   ", nullptr, IDC_NAMING_FOLDER, WIDE_OR_SPACE},  // spaces only: check 1, not 3
        {"n", "a/b", nullptr, IDC_NAMING_FOLDER, FORBIDDEN},
        {"n", "a|b", nullptr, IDC_NAMING_FOLDER, FORBIDDEN},
        {"n", "", nullptr, IDC_NAMING_FOLDER, EMPTY_FOLDER},
        {"n", "YUKATA", nullptr, IDC_NAMING_FOLDER, DUPLICATE},
        {"n", "school", own, 0, nullptr},  // its own folder name is fine
        {"n", "school", nullptr, IDC_NAMING_FOLDER, DUPLICATE},
        // Control characters would break macro.txt's lines or the folder.
        {"a\r\nb", "ok", nullptr, IDC_NAMING_NAME, CONTROL_NAME},
        {"a\x1b", "ok", nullptr, IDC_NAMING_NAME, CONTROL_NAME},
        {"n", "a\nb", nullptr, IDC_NAMING_FOLDER, CONTROL_FOLDER},
        {"n", "a\x01", nullptr, IDC_NAMING_FOLDER, CONTROL_FOLDER},
    };
    for (auto &c : cases) {
        CAPTURE(c.folder);
        StyleNameProblem problem = {};
        CHECK(StyleNames_Check(c.name, c.folder, styles.list, c.style, &problem) == c.bad);
        if (c.message)
            CHECK(std::string(problem.message) == c.message);
    }
    // "." and ".." would name the character's folder or the one above it.
    for (const char *dots : {".", ".."}) {
        StyleNameProblem problem = {};
        CHECK(StyleNames_Check("n", dots, styles.list, nullptr, &problem) == IDC_NAMING_FOLDER);
    }
}

TEST_CASE("style names: the proposed output folder is the first unused one")
{
    char out[64];
    Styles none({});
    StyleNames_ProposeFolder(none.list, "yukata", out, sizeof out);
    CHECK(std::string(out) == "yukata");

    Styles taken({"yukata", "YUKATA1"});
    StyleNames_ProposeFolder(taken.list, "yukata", out, sizeof out);
    CHECK(std::string(out) == "yukata2");

    Styles all({"d"});
    for (int i = 1; i <= 999; i++)
        all.Add(("d" + std::to_string(i)).c_str());
    StyleNames_ProposeFolder(all.list, "d", out, sizeof out);
    CHECK(std::string(out) == "d999");

    char tiny[4];
    StyleNames_ProposeFolder(none.list, "yukata", tiny, sizeof tiny);
    CHECK(std::string(tiny) == "yuk");
}

TEST_CASE("ADD: proposal follows the dress; a refused folder keeps the dialog open; OK fills the style")
{
    guitest::TestWindow owner;
    Styles styles({"yukata", "yukata1"});
    Dresses dresses({{"Yukata", "yukata"}, {"School", "school"}});
    DressStyle *style = NewStyle();
    std::string proposedFolder, proposedName, message;
    bool editsDisabled = false, editsEnabledAfterUntick = false, keptText = false, focusOnFolder = false;
    HWND dialog = nullptr;
    ModalScript script(
        {[&] {
             dialog = guitest::FindTitled(pagestest::ADD_TITLE);
             if (!dialog)
                 return false;
             proposedFolder = ItemText(dialog, IDC_NAMING_FOLDER);
             proposedName = ItemText(dialog, IDC_NAMING_NAME);
             editsDisabled = !IsWindowEnabled(GetDlgItem(dialog, IDC_NAMING_FOLDER));
             SendDlgItemMessageA(dialog, IDC_NAMING_SAME_AS_DRESS, BM_CLICK, 0, 0);
             editsEnabledAfterUntick = IsWindowEnabled(GetDlgItem(dialog, IDC_NAMING_FOLDER)) &&
                                       IsWindowEnabled(GetDlgItem(dialog, IDC_NAMING_NAME));
             keptText = ItemText(dialog, IDC_NAMING_FOLDER) == proposedFolder;
             // Another dress while unticked changes no text.
             SendDlgItemMessageA(dialog, IDC_NAMING_DRESS, CB_SETCURSEL, 1, 0);
             SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_NAMING_DRESS, CBN_SELCHANGE), 0);
             keptText = keptText && ItemText(dialog, IDC_NAMING_FOLDER) == proposedFolder;
             UiText_SetItem(dialog, IDC_NAMING_FOLDER, "my folder");
             PostMessageA(dialog, WM_COMMAND, IDOK, 0);
             return true;
         },
         [&] { return ReadAndCloseMessageBox(pagestest::FOLDER_CAPTION, &message); },
         [&] {
             if (guitest::FindTitled(pagestest::FOLDER_CAPTION) || !IsWindow(dialog))
                 return false;
             focusOnFolder = GetFocus() == GetDlgItem(dialog, IDC_NAMING_FOLDER);
             UiText_SetItem(dialog, IDC_NAMING_NAME, "Mine");
             UiText_SetItem(dialog, IDC_NAMING_FOLDER, "mine");
             PostMessageA(dialog, WM_COMMAND, IDOK, 0);
             return true;
         }},
        {pagestest::ADD_TITLE, pagestest::FOLDER_CAPTION});
    INT_PTR result = ShowAddStyleDialog(owner.window, style, styles.list, dresses.list);
    CHECK(script.Finished());
    CHECK(result == IDOK);
    CHECK(proposedFolder == "yukata2");
    CHECK(proposedName == "Yukata");
    CHECK(editsDisabled);
    CHECK(editsEnabledAfterUntick);
    CHECK(keptText);
    CHECK(message == WIDE_OR_SPACE);
    CHECK(focusOnFolder);
    CHECK(std::string(style->name) == "Mine");
    CHECK(std::string(style->outputFolder) == "mine");
    CHECK(style->dress == 1);
    CHECK(style->colour.hue == dresses.entries[1].color.hue);
    FreeStyle(style);
}

TEST_CASE("ADD: cancel changes nothing; a copy may not keep its source's folder; no dresses keeps the dress")
{
    guitest::TestWindow owner;
    Styles styles({"default"});
    Dresses dresses({{"Yukata", "yukata"}});
    DressStyle *copy = CopyStyle((DressStyle *)PtrList_Get(styles.list, 0));
    HWND dialog = nullptr;
    {
        ModalScript script({[&] {
                               dialog = guitest::FindTitled(pagestest::ADD_TITLE);
                               if (dialog)
                                   PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                               return dialog != nullptr;
                           }},
                           {pagestest::ADD_TITLE});
        CHECK(ShowAddStyleDialog(owner.window, copy, styles.list, dresses.list) == IDCANCEL);
        CHECK(std::string(copy->outputFolder) == "default");
    }
    std::string message;
    {
        ModalScript script({[&] {
                               dialog = guitest::FindTitled(pagestest::ADD_TITLE);
                               if (!dialog)
                                   return false;
                               SendDlgItemMessageA(dialog, IDC_NAMING_SAME_AS_DRESS, BM_CLICK, 0, 0);
                               UiText_SetItem(dialog, IDC_NAMING_FOLDER, "default");
                               PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                               return true;
                           },
                           [&] { return ReadAndCloseMessageBox(pagestest::FOLDER_CAPTION, &message); },
                           [&] {
                               if (guitest::FindTitled(pagestest::FOLDER_CAPTION))
                                   return false;
                               PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                               return true;
                           }},
                           {pagestest::ADD_TITLE, pagestest::FOLDER_CAPTION});
        CHECK(ShowAddStyleDialog(owner.window, copy, styles.list, dresses.list) == IDCANCEL);
        CHECK(message == DUPLICATE);
    }
    {
        Dresses empty({});
        copy->colour = {1, 2, 3};
        ModalScript script({[&] {
                               dialog = guitest::FindTitled(pagestest::ADD_TITLE);
                               if (!dialog)
                                   return false;
                               SendDlgItemMessageA(dialog, IDC_NAMING_SAME_AS_DRESS, BM_CLICK, 0, 0);
                               UiText_SetItem(dialog, IDC_NAMING_NAME, "n");
                               UiText_SetItem(dialog, IDC_NAMING_FOLDER, "f");
                               PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                               return true;
                           }},
                           {pagestest::ADD_TITLE});
        CHECK(ShowAddStyleDialog(owner.window, copy, styles.list, empty.list) == IDOK);
        CHECK(copy->dress == 0);
        CHECK(copy->colour.hue == 1);
        CHECK(std::string(copy->outputFolder) == "f");
    }
    FreeStyle(copy);
}

TEST_CASE("PROP: shows the texts, accepts the style's own folder, keeps dress and colour; blank names are refused")
{
    guitest::TestWindow owner;
    Styles styles({"school", "yukata"});
    DressStyle *style = (DressStyle *)PtrList_Get(styles.list, 1);
    Style_SetText(&style->name, "Old");
    style->dress = 3;
    style->colour = {7, 8, 9};
    std::string shownName, shownFolder, message;
    HWND dialog = nullptr;
    ModalScript script({[&] {
                           dialog = guitest::FindTitled(pagestest::PROP_TITLE);
                           if (!dialog)
                               return false;
                           shownName = ItemText(dialog, IDC_NAMING_NAME);
                           shownFolder = ItemText(dialog, IDC_NAMING_FOLDER);
                           UiText_SetItem(dialog, IDC_NAMING_NAME, "   ");
                           PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                           return true;
                       },
                       [&] { return ReadAndCloseMessageBox(pagestest::NAME_CAPTION, &message); },
                       [&] {
                           if (guitest::FindTitled(pagestest::NAME_CAPTION))
                               return false;
                           UiText_SetItem(dialog, IDC_NAMING_NAME, "New");
                           PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                           return true;
                       }},
                       {pagestest::PROP_TITLE, pagestest::NAME_CAPTION});
    CHECK(ShowStylePropertiesDialog(owner.window, style, styles.list) == IDOK);
    CHECK(shownName == "Old");
    CHECK(shownFolder == "yukata");
    CHECK(message == BLANK_NAME);
    CHECK(std::string(style->name) == "New");
    CHECK(std::string(style->outputFolder) == "yukata");
    CHECK(style->dress == 3);
    CHECK(style->colour.hue == 7);
}
