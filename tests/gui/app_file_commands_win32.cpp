// The File menu's effects once a file has been chosen: the default project,
// opening (and refusing) files, saving under a name and saving again, and
// how the project path, the untitled flag, the start folder and the caption
// follow. The models run without pages; the caption is that of a test window.
#include <doctest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/services/filesys.h"
#include "gui_test_support.h"
#include "output/fixture_tree.h"
#include "project/project_commands_win32.h"

using namespace guitest;

namespace {

struct AppFixture {
    ScratchFolder dir;
    std::string data;
    TestWindow main;
    PartCatalog catalog = {};
    AppContext app = {};

    AppFixture()
    {
        data = Fixture_BuildTree(dir.path);
        REQUIRE(PartCatalog_Load(&catalog, data.c_str()));
        app.mainWindow = main.window;
        app.doc = LayerDocument_Create();
        app.catalog = &catalog;
        app.untitled = 1;
        app.titleModified = 1;
        // No canvas: the refresh hook has nothing to do and requests wait.
        CharacterHooks hooks = {&app, App_RefreshCanvas};
        REQUIRE(app.doc);
        REQUIRE(Wardrobe_Init(&app.wardrobe));
        REQUIRE(Character_Init(&app.character, app.doc, &catalog, hooks, data.c_str()));
        SetStartFolder("C:\\work\\tool");
    }
    ~AppFixture()
    {
        Wardrobe_Release(&app.wardrobe);
        Character_Release(&app.character);
        LayerDocument_Free(app.doc);
        PartCatalog_Free(&catalog);
    }
    void SetStartFolder(const std::string &folder) { snprintf(app.startFolder, sizeof app.startFolder, "%s", folder.c_str()); }
    std::string Caption()
    {
        char text[512] = "";
        UiText_GetWindow(main.window, text, sizeof text);
        return text;
    }
    std::string Name() { return app.character.name ? app.character.name : ""; }
    int StyleCount() { return PtrList_Count(app.wardrobe.styles); }
};

}  // namespace

TEST_CASE("new project: untitled path beside the start folder, caption VOR, default character")
{
    AppFixture f;
    Character_SetName(&f.app.character, "Someone");
    f.app.untitled = 0;
    REQUIRE(ProjectCmd_New(&f.app));
    CHECK(std::string(f.app.projectPath) == "C:\\work\\VOR");
    CHECK(f.app.untitled == 1);
    CHECK(f.app.titleModified == 0);
    CHECK(f.Caption() == "VOR - VOR 캐릭터 만들기");
    CHECK(f.Name() == "NEW");
    CHECK(f.StyleCount() == 1);
    CHECK(f.app.character.frontHair == 0);

    // After a file was opened or saved the start folder ends with `\`.
    f.SetStartFolder("D:\\x\\");
    ProjectCmd_New(&f.app);
    CHECK(std::string(f.app.projectPath) == "D:\\x\\VOR");
}

TEST_CASE("save as, new, open: the project path, start folder and caption follow the file")
{
    AppFixture f;
    REQUIRE(ProjectCmd_New(&f.app));
    Character_SetName(&f.app.character, "Abc");
    Character_ChooseFrontHair(&f.app.character, 1);
    std::string path = f.dir / "abc.vor";

    REQUIRE(ProjectCmd_SaveAs(&f.app, path.c_str()) == 1);
    CHECK(File_Exists(path.c_str()));
    CHECK(std::string(f.app.projectPath) == path);
    CHECK(std::string(f.app.startFolder) == f.dir.path);
    CHECK(f.app.untitled == 0);
    CHECK(f.Caption() == "abc - VOR 캐릭터 만들기");

    // New proposes VOR in the folder of the last file.
    ProjectCmd_New(&f.app);
    CHECK(std::string(f.app.projectPath) == f.dir / "VOR");
    CHECK(f.Name() == "NEW");
    CHECK(f.app.character.frontHair == 0);

    REQUIRE(ProjectCmd_Open(&f.app, path.c_str()) == PROJECTCMD_OPENED);
    CHECK(f.Name() == "Abc");
    CHECK(f.app.character.frontHair == 1);
    CHECK(f.app.untitled == 0);
    CHECK(std::string(f.app.projectPath) == path);
    CHECK(f.Caption() == "abc - VOR 캐릭터 만들기");

    // Save writes to the same file again and names nothing new.
    Character_SetName(&f.app.character, "Abd");
    REQUIRE(ProjectCmd_Save(&f.app) == 1);
    CHECK(std::string(f.app.projectPath) == path);
    ProjectCmd_New(&f.app);
    REQUIRE(ProjectCmd_Open(&f.app, path.c_str()) == PROJECTCMD_OPENED);
    CHECK(f.Name() == "Abd");
}

TEST_CASE("a file with several dots shows everything before the last one")
{
    AppFixture f;
    ProjectCmd_New(&f.app);
    std::string path = f.dir / "a.b.vor";
    REQUIRE(ProjectCmd_SaveAs(&f.app, path.c_str()) == 1);
    CHECK(f.Caption() == "a.b - VOR 캐릭터 만들기");
}

TEST_CASE("refused files change neither the project, its path, the untitled flag nor the caption")
{
    AppFixture f;
    ProjectCmd_New(&f.app);
    Character_SetName(&f.app.character, "Kept");
    std::string good = f.dir / "good.vor";
    REQUIRE(ProjectCmd_SaveAs(&f.app, good.c_str()));
    std::vector<unsigned char> saved = ScratchFolder::ReadBytes(good);
    REQUIRE(saved.size() > 40);

    std::vector<unsigned char> version101 = saved;
    version101[4] = 101;
    std::vector<unsigned char> wrongMagic = saved;
    wrongMagic[2] = 0;   // "VO" and two NULs
    std::vector<unsigned char> truncated(saved.begin(), saved.begin() + saved.size() / 2);
    std::vector<unsigned char> text = {'h', 'e', 'l', 'l', 'o'};
    struct Row {
        const char *name;
        const std::vector<unsigned char> *bytes;  // nullptr: the file does not exist
    } rows[] = {
        {"missing.vor", nullptr},     {"version101.vor", &version101}, {"magic.vor", &wrongMagic},
        {"truncated.vor", &truncated}, {"text.vor", &text},
    };
    for (bool untitled : {true, false}) {
        if (untitled)
            ProjectCmd_New(&f.app);
        else
            REQUIRE(ProjectCmd_Open(&f.app, good.c_str()) == PROJECTCMD_OPENED);
        Character_SetName(&f.app.character, "Kept");
        std::string pathBefore = f.app.projectPath, captionBefore = f.Caption();
        int stylesBefore = f.StyleCount();
        for (const Row &r : rows) {
            CAPTURE(r.name);
            CAPTURE(untitled);
            std::string path = f.dir / r.name;
            if (r.bytes)
                ScratchFolder::WriteBytes(path, *r.bytes);
            CHECK(ProjectCmd_Open(&f.app, path.c_str()) == PROJECTCMD_REFUSED);
            CHECK(f.Name() == "Kept");
            CHECK(f.StyleCount() == stylesBefore);
            CHECK(std::string(f.app.projectPath) == pathBefore);
            CHECK(f.app.untitled == (untitled ? 1 : 0));
            CHECK(f.Caption() == captionBefore);
            // The next Open starts where the user just looked.
            CHECK(std::string(f.app.startFolder) == f.dir.path);
        }
    }
    // A version below 100 and a negative one are accepted.
    std::vector<unsigned char> version99 = saved;
    version99[4] = 99;
    std::vector<unsigned char> negative = saved;
    negative[4] = negative[5] = negative[6] = negative[7] = 0xFF;
    for (auto *bytes : {&version99, &negative}) {
        std::string path = f.dir / "older.vor";
        ScratchFolder::WriteBytes(path, *bytes);
        CHECK(ProjectCmd_Open(&f.app, path.c_str()) == PROJECTCMD_OPENED);
    }
}

TEST_CASE("a save that fails reports it and leaves the project's name as it was")
{
    AppFixture f;
    ProjectCmd_New(&f.app);
    std::string captionBefore = f.Caption();
    std::string startBefore = f.app.startFolder, pathBefore = f.app.projectPath;
    std::string unreachable = f.dir / "no such folder\\x.vor";

    CHECK(ProjectCmd_SaveAs(&f.app, unreachable.c_str()) == 0);
    CHECK(f.app.untitled == 1);
    CHECK(std::string(f.app.projectPath) == pathBefore);
    CHECK(std::string(f.app.startFolder) == startBefore);
    CHECK(f.Caption() == captionBefore);
    CHECK_FALSE(File_Exists(unreachable.c_str()));

    // A named project whose file can no longer be written: Save says so,
    // and the old file stays as it was.
    std::string good = f.dir / "good.vor";
    REQUIRE(ProjectCmd_SaveAs(&f.app, good.c_str()));
    std::vector<unsigned char> before = ScratchFolder::ReadBytes(good);
    HANDLE locked = CreateFileA(good.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(locked != INVALID_HANDLE_VALUE);
    Character_SetName(&f.app.character, "Changed");
    CHECK(ProjectCmd_Save(&f.app) == 0);
    CloseHandle(locked);
    CHECK(ScratchFolder::ReadBytes(good) == before);
    CHECK(std::string(f.app.projectPath) == good);
}

TEST_CASE("caption: set only when the form changes")
{
    AppFixture f;
    ProjectCmd_New(&f.app);
    UiText_SetWindow(f.main.window, "elsewhere");
    MainTitle_Set(&f.app, 0);   // the plain form is shown already
    CHECK(f.Caption() == "elsewhere");
    MainTitle_Set(&f.app, 1);
    CHECK(f.Caption() == "VOR* - VOR 캐릭터 만들기");
    MainTitle_Refresh(&f.app);
    CHECK(f.Caption() == "VOR - VOR 캐릭터 만들기");
}
