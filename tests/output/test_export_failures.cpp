// The export when files cannot be written (a full disk injected through
// the file layer, a file where a folder should be, paths too long): every
// failure is counted and named, nothing partial is left under a final name,
// and what stood there before stays. Also the hostile inputs the export and
// the project file refuse or survive: control characters in names, inner
// NULs in texts, positions at the ends of the 32-bit range.
#include <doctest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/imaging/dib.h"
#include "editor/name_rules.h"
#include "fixture_tree.h"
#include "layers/render.h"
#include "output/export.h"
#include "output/headless.h"
#include "project/project_model.h"

namespace {

typedef std::vector<unsigned char> Bytes;

struct ExportSession {
    ScratchFolder dir;
    Headless h;
    ExportSession()
    {
        std::string data = Fixture_BuildTree(dir.path);
        REQUIRE(Headless_Open(&h, data.c_str()));
        Headless_LoadNow(&h);
        Character_SetName(&h.ch, "Abc");
        Style_SetText(&Wardrobe_StyleAt(&h.w, 0)->outputFolder, "one");
    }
    ~ExportSession() { Headless_Close(&h); }
};

struct Reported {
    std::vector<std::string> paths;
    std::vector<int> failures;
};

void Record(void *context, const char *path, int failure)
{
    ((Reported *)context)->paths.push_back(path);
    ((Reported *)context)->failures.push_back(failure);
}

struct FaultScope {
    explicit FaultScope(long long bytes) { FILE_FailWritesAfter(bytes); }
    ~FaultScope() { FILE_FailWritesAfter(-1); }
};

// Every file below `folder` (program path ending with `\`), recursively.
std::vector<std::string> FilesBelow(const std::string &folder)
{
    std::vector<std::string> files, pending = {folder};
    while (!pending.empty()) {
        std::string f = pending.back();
        pending.pop_back();
        std::pair<std::vector<std::string> *, std::vector<std::string> *> lists = {&files, &pending};
        Folder_FindEx((f + "*").c_str(), 2, [](void *user, const char *path) {
            std::string p = path;
            auto *l = (std::pair<std::vector<std::string> *, std::vector<std::string> *> *)user;
            if (p.back() == '\\')
                l->second->push_back(p);
            else if (p.back() != '.')
                l->first->push_back(p);
            return 1;
        }, &lists);
    }
    return files;
}

}  // namespace

TEST_CASE("a full disk: failures counted and named in order, no partial picture under its name")
{
    for (long long fault : {0LL, 2000LL, 20000LL}) {
        for (int threads : {1, 3}) {
            CAPTURE(fault);
            CAPTURE(threads);
            ExportSession s;
            std::string out = s.dir / "out\\";
            Reported reported;
            ExportOptions options = {threads, &reported, Record};
            ExportStats stats;
            int written;
            {
                FaultScope full(fault);
                written = Export_RunHeadless(&s.h.ch, &s.h.w, out.c_str(), &options, &stats);
            }
            const ExportTally &t = stats.tally;
            CHECK(written == t.written);
            CHECK(t.written + t.failed == 10);  // eight pictures, macro.txt and CREDITS.txt
            CHECK(t.failed > 0);
            CHECK(t.firstFailure == FILEWRITE_WRITE_FAILED);
            REQUIRE(reported.paths.size() == 10);
            int firstFailed = -1;
            for (size_t i = 0; i < reported.failures.size(); i++)
                if (reported.failures[i] != EXPORT_WRITTEN && firstFailed < 0)
                    firstFailed = (int)i;
            REQUIRE(firstFailed >= 0);
            CHECK(reported.paths[(size_t)firstFailed] == t.firstFailedPath);
            CHECK(reported.paths[8] == out + "Abc\\macro.txt");
            CHECK(reported.paths[9] == out + "Abc\\CREDITS.txt");
            // What stands under a final name is whole; no temporary is left.
            std::vector<std::string> files = FilesBelow(out);
            CHECK(files.size() == (size_t)t.written);
            for (const std::string &f : files) {
                CAPTURE(f);
                CHECK(FilePath_GetName(f.c_str())[0] != '~');
                if (f.size() > 4 && f.compare(f.size() - 4, 4, ".png") == 0) {
                    DIB *image = DIB_CreateFromFile(f.c_str());
                    CHECK(image);
                    DIB_Delete_(image);
                }
            }
        }
    }
}

TEST_CASE("a failed export leaves the files of the last export as they were")
{
    ExportSession s;
    std::string out = s.dir / "out\\";
    FileSys_MakeFolder((out + "Abc\\one").c_str());
    ScratchFolder::WriteBytes(out + "Abc\\one\\sumashi.png", {1, 2, 3});
    ScratchFolder::WriteBytes(out + "Abc\\macro.txt", {'o', 'l', 'd'});
    ExportStats stats;
    {
        FaultScope full(0);
        CHECK(Export_RunHeadless(&s.h.ch, &s.h.w, out.c_str(), nullptr, &stats) == 0);
    }
    CHECK(stats.tally.failed == 10);
    CHECK(ScratchFolder::ReadBytes(out + "Abc\\one\\sumashi.png") == Bytes{1, 2, 3});
    CHECK(ScratchFolder::ReadBytes(out + "Abc\\macro.txt") == Bytes{'o', 'l', 'd'});
    CHECK(FilesBelow(out).size() == 2);
}

TEST_CASE("folders that cannot be made and paths too long are failures with their reason")
{
    ExportSession s;
    // A file where the character's folder should be: nothing can be created.
    std::string blocked = s.dir / "blocked\\";
    FileSys_MakeFolder(blocked.c_str());
    ScratchFolder::WriteBytes(blocked + "Abc", {'x'});
    ExportStats stats;
    CHECK(Export_RunHeadless(&s.h.ch, &s.h.w, blocked.c_str(), nullptr, &stats) == 0);
    CHECK(stats.tally.failed == 10);
    CHECK(stats.tally.firstFailure == FILEWRITE_CANNOT_CREATE);
    CHECK(std::string(stats.tally.firstFailedPath) == blocked + "Abc\\one\\sumashi.png");

    // A base of 245 bytes: "Abc\macro.txt" still fits, no picture path does,
    // nor "Abc\CREDITS.txt", two bytes longer.
    // Absolute, as Windows counts its limit on the whole path.
    std::string base = std::filesystem::current_path().string();
#ifndef _WIN32
    for (char &c : base)
        if (c == '/')
            c = '\\';
#endif
    base += "\\" + s.dir.path;
    REQUIRE(base.size() < 230);
    while (base.size() < 244)
        base += "b";
    base += "\\";
    Reported reported;
    ExportOptions options = {1, &reported, Record};
    CHECK(Export_RunHeadless(&s.h.ch, &s.h.w, base.c_str(), &options, &stats) == 1);
    CHECK(stats.tally.failed == 9);
    CHECK(stats.tally.firstFailure == FILEWRITE_PATH_TOO_LONG);
    CHECK(std::string(stats.tally.firstFailedPath) == base + "Abc\\one\\sumashi.png");
    REQUIRE(reported.failures.size() == 10);
    CHECK(reported.failures[7] == FILEWRITE_PATH_TOO_LONG);
    CHECK(reported.failures[8] == EXPORT_WRITTEN);
    CHECK(reported.failures[9] == FILEWRITE_PATH_TOO_LONG);
    CHECK(std::string(Export_FailureText(FILEWRITE_PATH_TOO_LONG)) != "");
}

TEST_CASE("an output folder that is a Windows device name is refused, a name that only starts like one is not")
{
    struct Case {
        const char *text;
        bool refused;
    } cases[] = {
        {"con", true}, {"NUL", true}, {"Com1", true}, {"lpt9.x", true}, {"aux", true},
        {"school", false}, {"console", false}, {"com10", false}, {"prn2", false},
    };
    for (const Case &c : cases) {
        CAPTURE(c.text);
        CHECK((Name_IsDeviceName(c.text) != 0) == c.refused);
        CHECK((Name_FolderProblem(c.text, nullptr, nullptr) != nullptr) == c.refused);
    }
}

TEST_CASE("control characters are refused in names, style names and output folders")
{
    struct Case {
        const char *text;
        bool refused;
    } cases[] = {
        {"Abc", false},   {"A\r\nb", true}, {"A\nb", true},  {"\x1b[2J", true},
        {"A\x01", true},  {"A\x1f", true},  {"A\x7f", false},
    };
    for (const Case &c : cases) {
        CAPTURE(c.text);
        CHECK((Name_HasNoControlChars(c.text) == 0) == c.refused);
        CHECK((Export_CharacterNameProblem(c.text) != nullptr) == c.refused);
        CHECK((Name_FolderProblem(c.text, nullptr, nullptr) != nullptr) == c.refused);
        CHECK((Name_StyleNameProblem(c.text) != nullptr) == c.refused);
        // The export's validation, for the name, a style's name and its folder.
        PtrList *styles = PtrList_Create(0, 4);
        DressStyle *style = NewStyle();
        style->checkState = STYLE_CHECKED;
        Style_SetText(&style->name, "ok");
        Style_SetText(&style->outputFolder, "ok");
        PtrList_Add(styles, style);
        char message[512];
        CHECK((Export_Validate(c.text, styles, message, sizeof message) == 0) == c.refused);
        Style_SetText(&style->name, c.text);
        CHECK((Export_Validate("Abc", styles, message, sizeof message) == 0) == c.refused);
        Style_SetText(&style->name, "ok");
        Style_SetText(&style->outputFolder, c.text);
        CHECK((Export_Validate("Abc", styles, message, sizeof message) == 0) == c.refused);
        PtrList_Destroy(styles, FreeStyleItem);
    }
}

TEST_CASE("accessories at the ends of the 32-bit range: drawn without overflow, saved back unchanged")
{
    ExportSession s;
    Project *p = Project_MakeDefault(&s.h.catalog, "C:\\out\\");
    REQUIRE(p);
    DressStyle *style = (DressStyle *)PtrList_Get(p->styles, 0);
    const Point corners[] = {{INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {-1, INT_MAX}};
    for (const Point &at : corners) {
        AccessoryPlacement a = {};
        a.kind = 1;
        a.depth = INT_MAX;
        a.position = at;
        REQUIRE(AccessorySet_Add(style->accessories, &a) >= 0);
    }
    style->accessories->selection = INT_MIN;
    Project_Apply(p, &s.h.ch, &s.h.w);
    Project_Free(p);
    Headless_LoadNow(&s.h);
    DIB *image = Canvas_ComposeExport(s.h.doc);
    CHECK(image);
    DIB_Delete_(image);
    Project *back = Project_Gather(&s.h.ch, &s.h.w, "C:\\out\\", 1);
    REQUIRE(back);
    const AccessorySet *set = ((DressStyle *)PtrList_Get(back->styles, 0))->accessories;
    REQUIRE(AccessorySet_Count(set) == 4);
    for (int i = 0; i < 4; i++) {
        CHECK(AccessorySet_Get(set, i)->position.x == corners[i].x);
        CHECK(AccessorySet_Get(set, i)->position.y == corners[i].y);
    }
    Project_Free(back);
}

TEST_CASE("the text naming a picture is its path, and goes on where the path cannot")
{
    const char *bases[] = {"C:\\pics\\", "C:\\game\\pic", "out\\", ""};
    for (const char *base : bases) {
        CAPTURE(base);
        char path[VOR_MAX_PATH], text[EXPORT_PATH_TEXT_MAX];
        REQUIRE(Export_ImagePath(base, "Abc", "one", "niko", path));
        Export_ImagePathText(base, "Abc", "one", "niko", text, sizeof text);
        CHECK(std::string(text) == path);
    }
    std::string folder(300, 'f');
    char path[VOR_MAX_PATH], text[EXPORT_PATH_TEXT_MAX];
    CHECK_FALSE(Export_ImagePath("C:\\", "Abc", folder.c_str(), "niko", path));
    Export_ImagePathText("C:\\", "Abc", folder.c_str(), "niko", text, sizeof text);
    CHECK(std::string(text) == "C:\\Abc\\" + folder + "\\niko.png");
}

TEST_CASE("two pictures written side by side into a folder that does not exist yet are both written")
{
    // The encoder threads write a style's first pictures at once; whichever
    // makes the folder, the other must still write its file.
    ScratchFolder dir;
    DIB *image = DIB_Create(32, 4, 4);
    REQUIRE(image);
    for (int round = 0; round < 60; round++) {
        CAPTURE(round);
        std::string folder = dir / ("r" + std::to_string(round) + "\\style\\");
        std::atomic<int> ready(0);
        int results[2] = {-1, -1};
        std::vector<std::thread> writers;
        for (int t = 0; t < 2; t++)
            writers.emplace_back([&, t] {
                std::string path = folder + (t ? "niko.png" : "sumashi.png");
                ready++;
                while (ready < 2) {
                }
                results[t] = Export_WriteImageFile(image, path.c_str());
            });
        for (std::thread &w : writers)
            w.join();
        CHECK(results[0] == EXPORT_WRITTEN);
        CHECK(results[1] == EXPORT_WRITTEN);
    }
    DIB_Delete_(image);
}
