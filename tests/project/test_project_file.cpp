// The project file's bytes: round trips, header rules, damaged files and the
// safe save.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "project/project.h"
#include "test_support.h"

typedef std::vector<unsigned char> Bytes;

static void SetKey(PartChoice *c, const char *key)
{
    c->index = -1;
    c->key = strdup(key);
}

// A project with every field set to something other than its default.
static Project *RichProject()
{
    Project *p = Project_Create();
    free(p->name);
    p->name = strdup("\xB1\xE8\xC3\xB6\xBC\xF6");  // 김철수
    free(p->freeFolder);
    p->freeFolder = strdup("C:\\out\\");
    p->freeFolderFlag = 1;
    SetKey(&p->brow, "futo");
    SetKey(&p->eye, "tare");
    SetKey(&p->mouth, "neko");
    SetKey(&p->hair, "ponny");
    SetKey(&p->backHair, "long");
    SetKey(&p->expression, "niko");
    p->browColour = {1, 2, 3};
    p->eyeColour = {4, 5, 6};
    p->mouthColour = {7, 8, 9};
    p->hairColour = {10, 11, 12};
    p->separateBackHair = 1;
    p->hairDefaultColour = 0;
    const int checks[3] = {1, 0, 1};
    for (int i = 0; i < 3; i++) {
        DressStyle *s = NewStyle();
        s->dress = -1;
        Style_SetText(&s->dressKey, i == 1 ? "yukata" : "waitress");
        s->colour = {(uint8_t)(20 + i), 100, 200};
        s->checkState = checks[i];
        std::string name = "style" + std::to_string(i);
        Style_SetText(&s->name, name.c_str());
        Style_SetText(&s->outputFolder, ("out" + std::to_string(i)).c_str());
        s->accessories->selection = 3 + i;
        for (int j = 0; j < i; j++) {
            AccessoryPlacement a = {};
            a.depth = j;
            a.kind = -1;
            a.key = (char *)(j ? "wing1" : "kanzashi");
            a.colour = {(uint8_t)j, 50, 60};
            a.position = {-5 + j, 300 - j};
            AccessorySet_Add(s->accessories, &a);
        }
        PtrList_Add(p->styles, s);
    }
    return p;
}

static Bytes Serialize(const Project *p)
{
    size_t size;
    unsigned char *b = Project_Serialize(p, nullptr, &size);
    Bytes out(b, b + size);
    free(b);
    return out;
}

TEST_CASE("a written project reads back with every field, style and accessory")
{
    Project *p = RichProject();
    Bytes bytes = Serialize(p);
    Project *q = nullptr;
    REQUIRE(Project_Parse(bytes.data(), bytes.size(), &q) == PROJECT_OK);
    CHECK(std::string(q->name) == p->name);
    CHECK(std::string(q->freeFolder) == "C:\\out\\");
    CHECK(q->freeFolderFlag == 1);
    CHECK(std::string(q->brow.key) == "futo");
    CHECK(std::string(q->backHair.key) == "long");
    CHECK(std::string(q->expression.key) == "niko");
    CHECK(q->hairColour.hue == 10);
    CHECK(q->mouthColour.saturation == 9);
    CHECK(q->separateBackHair == 1);
    CHECK(q->hairDefaultColour == 0);
    REQUIRE(PtrList_Count(q->styles) == 3);
    for (int i = 0; i < 3; i++) {
        DressStyle *a = (DressStyle *)PtrList_Get(p->styles, i);
        DressStyle *b = (DressStyle *)PtrList_Get(q->styles, i);
        CHECK(std::string(b->name) == a->name);
        CHECK(std::string(b->outputFolder) == a->outputFolder);
        CHECK(std::string(b->dressKey) == a->dressKey);
        CHECK(b->colour.hue == a->colour.hue);
        CHECK(b->checkState == a->checkState);
        CHECK(b->accessories->selection == a->accessories->selection);
        REQUIRE(AccessorySet_Count(b->accessories) == AccessorySet_Count(a->accessories));
        for (int j = 0; j < AccessorySet_Count(a->accessories); j++) {
            AccessoryPlacement *x = AccessorySet_Get(a->accessories, j);
            AccessoryPlacement *y = AccessorySet_Get(b->accessories, j);
            CHECK(std::string(y->key) == x->key);
            CHECK(y->depth == x->depth);
            CHECK(y->position.x == x->position.x);
            CHECK(y->position.y == x->position.y);
            CHECK(y->colour.hue == x->colour.hue);
        }
    }
    // Writing the read record again gives the same bytes: keys survive as texts.
    CHECK(Serialize(q) == bytes);
    Project_Free(p);
    Project_Free(q);
}

TEST_CASE("the bytes of a small project: header, empty name, check states 1 0 1")
{
    Project *p = RichProject();
    free(p->name);
    p->name = strdup("");
    Bytes b = Serialize(p);
    CHECK(Bytes(b.begin(), b.begin() + 13) == Bytes{'V', 'O', 'R', 0, 100, 0, 0, 0, 1, 0, 0, 0, 0});
    Project *q = nullptr;
    REQUIRE(Project_Parse(b.data(), b.size(), &q) == PROJECT_OK);
    CHECK(q->name[0] == 0);
    int states[3];
    for (int i = 0; i < 3; i++)
        states[i] = ((DressStyle *)PtrList_Get(q->styles, i))->checkState;
    CHECK(states[0] == 1);
    CHECK(states[1] == 0);
    CHECK(states[2] == 1);
    // The last style's check state is the file's last four bytes.
    CHECK(Bytes(b.end() - 4, b.end()) == Bytes{1, 0, 0, 0});
    Project_Free(p);
    Project_Free(q);
}

TEST_CASE("header rules: versions up to 100 open, above refused, magic checked as text")
{
    Project *p = RichProject();
    Bytes good = Serialize(p);
    Project_Free(p);
    struct Case {
        int32_t version;
        const char *magic;
        int result;
    } cases[] = {
        {100, "VOR", PROJECT_OK},
        {99, "VOR", PROJECT_OK},
        {-7, "VOR", PROJECT_OK},
        {101, "VOR", PROJECT_BAD_HEADER},
        {0x7FFFFFFF, "VOR", PROJECT_BAD_HEADER},
        {100, "VO\0", PROJECT_BAD_HEADER},
        {100, "vor", PROJECT_BAD_HEADER},
    };
    for (const Case &c : cases) {
        CAPTURE(c.version);
        Bytes b = good;
        memcpy(b.data(), c.magic, 3);
        b[3] = 0;
        uint32_t v = (uint32_t)c.version;
        for (int i = 0; i < 4; i++)
            b[4 + i] = (unsigned char)(v >> (8 * i));
        Project *q = nullptr;
        CHECK(Project_Parse(b.data(), b.size(), &q) == c.result);
        CHECK((q != nullptr) == (c.result == PROJECT_OK));
        Project_Free(q);
    }
    // "VOR" without its NUL is not the magic.
    Bytes b = good;
    b[3] = 'X';
    Project *q = nullptr;
    CHECK(Project_Parse(b.data(), b.size(), &q) == PROJECT_BAD_HEADER);
}

TEST_CASE("every truncation of a valid file is refused without a crash")
{
    Project *p = RichProject();
    Bytes good = Serialize(p);
    Project_Free(p);
    for (size_t n = 0; n < good.size(); n++) {
        Project *q = nullptr;
        int result = Project_Parse(good.data(), n, &q);
        CAPTURE(n);
        CHECK(result != PROJECT_OK);
        CHECK(q == nullptr);
    }
}

TEST_CASE("impossible lengths and counts are refused")
{
    Project *p = RichProject();
    Bytes good = Serialize(p);
    Project_Free(p);
    // The name's length field sits at offset 8.
    struct Case {
        const char *what;
        size_t offset;
        int32_t value;
    } cases[] = {
        {"zero length", 8, 0},
        {"negative length", 8, -1},
        {"length beyond the file", 8, 0x7FFFFFF0},
        {"string without its NUL", 8, 6},  // the name has 7 bytes with its NUL
    };
    for (const Case &c : cases) {
        CAPTURE(c.what);
        Bytes b = good;
        uint32_t v = (uint32_t)c.value;
        for (int i = 0; i < 4; i++)
            b[c.offset + i] = (unsigned char)(v >> (8 * i));
        Project *q = nullptr;
        CHECK(Project_Parse(b.data(), b.size(), &q) == PROJECT_DAMAGED);
    }

    // A style count larger than the rest of the file can hold.
    Project *empty = Project_Create();
    Bytes small = Serialize(empty);
    Project_Free(empty);
    for (int32_t count : {-1, 1, 1000000, 0x7FFFFFFF}) {
        Bytes b = small;
        uint32_t v = (uint32_t)count;
        for (int i = 0; i < 4; i++)
            b[b.size() - 4 + i] = (unsigned char)(v >> (8 * i));
        Project *q = nullptr;
        CAPTURE(count);
        CHECK(Project_Parse(b.data(), b.size(), &q) == PROJECT_DAMAGED);
    }
}

TEST_CASE("saving replaces the file only when the whole project was written")
{
    ScratchFolder dir;
    std::string path = dir / "kim.vor";
    ScratchFolder::WriteBytes(path, {'o', 'l', 'd'});
    Project *p = RichProject();
    REQUIRE(Project_WriteFile(path.c_str(), p, nullptr) == 1);
    Bytes written = ScratchFolder::ReadBytes(path);
    CHECK(written == Serialize(p));
    CHECK_FALSE(File_Exists((path + ".tmp").c_str()));

    Project *q = nullptr;
    CHECK(Project_ReadFile(path.c_str(), &q) == PROJECT_OK);
    Project_Free(q);

    // A folder that does not exist: the save fails and says so.
    std::string nowhere = dir / "missing\\kim.vor";
    CHECK(Project_WriteFile(nowhere.c_str(), p, nullptr) == 0);
    // A target that cannot be replaced (a folder of that name): the old
    // content stays and no temporary file is left behind.
    std::string blocked = dir / "blocked.vor";
    std::filesystem::create_directories(ScratchFolder::Native(blocked));
    CHECK(Project_WriteFile(blocked.c_str(), p, nullptr) == 0);
    CHECK_FALSE(File_Exists((blocked + ".tmp").c_str()));
    CHECK(Project_ReadFile((dir / "none.vor").c_str(), &q) == PROJECT_CANNOT_OPEN);
    Project_Free(p);
}

TEST_CASE("a text with a NUL before its end makes the file damaged")
{
    Project *p = RichProject();
    Bytes good = Serialize(p);
    Project_Free(p);
    // The name (7 bytes with its NUL) starts at offset 12, the free folder
    // "C:\out\" (8 bytes) after its length at 19 + 4.
    for (size_t at : {12u, 13u, 17u, 23u, 29u}) {
        CAPTURE(at);
        Bytes b = good;
        b[at] = 0;
        Project *q = nullptr;
        CHECK(Project_Parse(b.data(), b.size(), &q) == PROJECT_DAMAGED);
        CHECK(q == nullptr);
    }
    // The last accessory's key "wing1" of the last style.
    Bytes b = good;
    std::string text(b.begin(), b.end());
    size_t wing = text.rfind("wing1");
    REQUIRE(wing != std::string::npos);
    b[wing + 2] = 0;
    Project *q = nullptr;
    CHECK(Project_Parse(b.data(), b.size(), &q) == PROJECT_DAMAGED);
}

TEST_CASE("saving works for a project path of 259 bytes and leaves nothing else")
{
    ScratchFolder dir;
    // Absolute, as Windows counts its limit on the whole path.
    std::string folder = std::filesystem::current_path().string();
#ifndef _WIN32
    for (char &c : folder)
        if (c == '/')
            c = '\\';
#endif
    folder += "\\" + dir.path;
    REQUIRE(folder.size() < 190);
    while (folder.size() < 200)
        folder += "f";
    folder += "\\";
    REQUIRE(FileSys_MakeFolder(folder.c_str()));
    // The longest path there is, and a one-letter name.
    for (const std::string &name : {std::string(259 - folder.size() - 4, 'k') + ".vor", std::string("k")}) {
        std::string path = folder + name;
        CAPTURE(path.size());
        Project *p = RichProject();
        REQUIRE(Project_WriteFile(path.c_str(), p, nullptr) == 1);
        CHECK(ScratchFolder::ReadBytes(path) == Serialize(p));
        Project_Free(p);
        std::vector<std::string> names;
        Folder_FindEx((folder + "*").c_str(), 2, [](void *user, const char *found) {
            std::string name = FilePath_GetName(found);
            if (!name.empty() && name.back() != '.')
                ((std::vector<std::string> *)user)->push_back(name);
            return 1;
        }, &names);
        CHECK(names == std::vector<std::string>{FilePath_GetName(path.c_str())});
        File_Delete(path.c_str());
    }
}
