// The part catalogue over small data trees built in a scratch folder: scan
// order, sorting by folder key, the built-in entries and what is left out.
#include <doctest.h>

#include <string>

#include "catalog/part_catalog.h"
#include "catalog_test_support.h"
#include "core/services/filesys.h"
#include "test_support.h"

// A data tree under construction: folders with their definition files.
struct DataTree {
    ScratchFolder root;
    std::string data() const { return root / "data\\"; }
    void AddFolder(const std::string &kind, const std::string &name) const
    {
        FileSys_MakeFolder((data() + kind + "\\" + name).c_str());
    }
    void AddPart(const std::string &kind, const std::string &name, const std::string &definition) const
    {
        AddFolder(kind, name);
        ScratchFolder::WriteBytes(data() + kind + "\\" + name + "\\vor.inf",
                                  std::vector<unsigned char>(definition.begin(), definition.end()));
    }
    static std::string Definition(const std::string &name, const std::string &folder, const char *color = "0")
    {
        return "Name = \"" + name + "\";\nFolder = \"" + folder + "\";\nColor = " + color + ";\n";
    }
};

static std::vector<std::string> Folders(const PtrList *list)
{
    std::vector<std::string> out;
    for (int i = 0; i < PtrList_Count(list); i++)
        out.push_back(PartFolderAt(list, i));
    return out;
}

static const PartEntry *EntryAt(const PtrList *list, int index)
{
    return (const PartEntry *)PtrList_Get(list, index);
}

TEST_CASE("scanned lists are sorted by folder key as unsigned bytes")
{
    DataTree tree;
    tree.AddPart("hair", "one", DataTree::Definition("B", "b"));
    tree.AddPart("hair", "two", DataTree::Definition("A", "a"));
    tree.AddPart("hair", "three", DataTree::Definition("Z", "Z"));
    tree.AddPart("hair", "four", DataTree::Definition("Hangul", "\xB0\xA1"));
    // display names in reverse order, folder keys in order
    tree.AddPart("dress", "d1", DataTree::Definition("Zed", "apron"));
    tree.AddPart("dress", "d2", DataTree::Definition("Amy", "yukata"));
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, tree.data().c_str()));
    CHECK(Folders(catalog.hairStyles) == std::vector<std::string>{"Z", "a", "b", "\xB0\xA1"});
    CHECK(Folders(catalog.dresses) == std::vector<std::string>{"apron", "yukata"});
    CHECK(std::string(EntryAt(catalog.dresses, 0)->name) == "Zed");
    PartCatalog_Free(&catalog);
}

TEST_CASE("entries carry their path, name and colour")
{
    DataTree tree;
    tree.AddPart("eye", "round", DataTree::Definition("둥근 눈", "round", "0x0080FF"));
    PartCatalog catalog = {};
    DebugCapture capture;
    REQUIRE(PartCatalog_Load(&catalog, tree.data().c_str()));
    REQUIRE(PtrList_Count(catalog.eyeShapes) == 1);
    const PartEntry *e = EntryAt(catalog.eyeShapes, 0);
    CHECK(std::string(e->name) == "둥근 눈");
    CHECK(std::string(e->path) == tree.data() + "eye\\round\\");
    CHECK(e->color.hue == 0);
    CHECK(e->color.luminance == 128);
    CHECK(e->color.saturation == 255);
    CHECK(capture.Has(tree.data() + "eye\\round\\vor.inf\n"));
    PartCatalog_Free(&catalog);
}

TEST_CASE("the accessory list starts with the none entry")
{
    DataTree tree;
    tree.AddPart("accesary", "x", DataTree::Definition("B", "b"));
    tree.AddPart("accesary", "y", DataTree::Definition("A", "a"));
    tree.AddPart("accesary", "z", DataTree::Definition("Empty key sorts first", ""));
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, tree.data().c_str()));
    REQUIRE(PtrList_Count(catalog.accessories) == 4);
    const PartEntry *none = EntryAt(catalog.accessories, 0);
    CHECK(std::string(none->name) == "없음");
    CHECK(std::string(none->path) == "");
    CHECK(std::string(EntryAt(catalog.accessories, 1)->name) == "Empty key sorts first");
    CHECK(Folders(catalog.accessories) == std::vector<std::string>{"", "", "a", "b"});
    CHECK(FindPartByFolder(catalog.accessories, "") == 0);
    PartCatalog_Free(&catalog);
}

TEST_CASE("folders that cannot be used are left out and the scan goes on")
{
    DataTree tree;
    tree.AddFolder("eye", "a_no_definition");
    tree.AddPart("eye", "b_no_name", "Folder = \"noname\";");
    tree.AddPart("eye", "c_no_folder", "Name = \"No folder\";");
    tree.AddPart("eye", "d_empty", "");
    tree.AddPart("eye", "e_good", DataTree::Definition("Good", "good"));
    // a plain file in the kind folder is not a part folder
    ScratchFolder::WriteBytes(tree.data() + "eye\\vor.inf", {'N', 'a', 'm', 'e', '=', '"', 'f', '"', ';'});
    ScratchFolder::WriteBytes(tree.data() + "eye\\readme.txt", {'x'});
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, tree.data().c_str()));
    CHECK(Folders(catalog.eyeShapes) == std::vector<std::string>{"good"});
    PartCatalog_Free(&catalog);
}

TEST_CASE("each kind reads its own folder and a missing tree gives empty lists")
{
    DataTree tree;
    const char *kinds[] = {"hair", "dress", "eye", "braw", "mouth", "hoho", "accesary"};
    for (const char *kind : kinds)
        tree.AddPart(kind, "p", DataTree::Definition(kind, std::string("key_") + kind));
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, tree.data().c_str()));
    CHECK(Folders(catalog.hairStyles) == std::vector<std::string>{"key_hair"});
    CHECK(Folders(catalog.dresses) == std::vector<std::string>{"key_dress"});
    CHECK(Folders(catalog.eyeShapes) == std::vector<std::string>{"key_eye"});
    CHECK(Folders(catalog.browShapes) == std::vector<std::string>{"key_braw"});
    CHECK(Folders(catalog.mouthShapes) == std::vector<std::string>{"key_mouth"});
    CHECK(Folders(catalog.cheekShapes) == std::vector<std::string>{"key_hoho"});
    CHECK(Folders(catalog.accessories) == std::vector<std::string>{"", "key_accesary"});

    REQUIRE(PartCatalog_Load(&catalog, "no_such_folder\\"));
    for (int id = 0; id < PART_LIST_COUNT; id++) {
        CAPTURE(id);
        int expected = id == PART_LIST_ACCESSORY ? 1 : id == PART_LIST_EXPRESSION ? 8 : 0;
        CHECK(PtrList_Count(PartCatalog_List(&catalog, id)) == expected);
    }
    PartCatalog_Free(&catalog);
}

TEST_CASE("the eight built-in expressions")
{
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, "no_such_folder\\"));
    CHECK(Folders(catalog.expressions) ==
          std::vector<std::string>{"sumashi", "niko", "nikkori", "makka", "naki", "utumuki", "ikari", "odoroki"});
    const char *names[] = {"기본", "^-^", "^o^", "*^^*", "'-';", "T.T", "--+", "O_O"};
    for (int i = 0; i < PART_EXPRESSION_COUNT; i++) {
        CHECK(std::string(EntryAt(catalog.expressions, i)->name) == names[i]);
        CHECK(std::string(EntryAt(catalog.expressions, i)->path) == "");
    }
    PartCatalog_Free(&catalog);
}

TEST_CASE("lookups by folder key and by index")
{
    DataTree tree;
    tree.AddPart("dress", "a", DataTree::Definition("A", "tg"));
    tree.AddPart("dress", "b", DataTree::Definition("B", "ev"));
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, tree.data().c_str()));
    CHECK(FindPartByFolder(catalog.dresses, "ev") == 0);
    CHECK(FindPartByFolder(catalog.dresses, "tg") == 1);
    CHECK(FindPartByFolder(catalog.dresses, "TG") == -1);
    CHECK(FindPartByFolder(catalog.dresses, "t") == -1);
    CHECK(FindPartByFolder(catalog.dresses, "") == -1);
    CHECK(std::string(PartFolderAt(catalog.dresses, 1)) == "tg");
    CHECK(PartFolderAt(catalog.dresses, 2) == nullptr);
    CHECK(PartFolderAt(catalog.dresses, -1) == nullptr);
    PartCatalog_Free(&catalog);
}

TEST_CASE("frames: which eye and mouth entries have them, and their image paths")
{
    DataTree tree;
    tree.AddPart("eye", "e", DataTree::Definition("눈", "e"));
    tree.AddPart("mouth", "m", DataTree::Definition("입", "m"));
    tree.AddPart("braw", "b", DataTree::Definition("눈썹", "b"));
    // One image of a frame is enough; names of the older packs count for nothing.
    const char *files[] = {"eye\\e\\sumashi_close_h.png", "eye\\e\\odoroki_close_a.png", "eye\\e\\niko_talk_a.png",
                           "eye\\e\\naki_closed_b.png", "mouth\\m\\niko_talk_b.png", "mouth\\m\\sumashi_close_b.png",
                           "braw\\b\\sumashi_close_a.png"};
    for (const char *f : files)
        ScratchFolder::WriteBytes(tree.data() + f, {1});
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, tree.data().c_str()));
    CHECK(EntryAt(catalog.eyeShapes, 0)->frames == (1u << 0 | 1u << 7));
    CHECK(EntryAt(catalog.mouthShapes, 0)->frames == 1u << 1);
    CHECK(EntryAt(catalog.browShapes, 0)->frames == 0);
    CHECK(PartEntry_HasFrame(EntryAt(catalog.eyeShapes, 0), 7));
    CHECK(!PartEntry_HasFrame(EntryAt(catalog.eyeShapes, 0), 1));
    CHECK(!PartEntry_HasFrame(EntryAt(catalog.eyeShapes, 0), 8));
    CHECK(!PartEntry_HasFrame(nullptr, 0));

    const std::string longName(300, 'x');
    struct {
        int listId;
        const PartEntry *entry;
        const char *expression, *suffix;
        const char *expected;  // nullptr: refused
    } paths[] = {
        {PART_LIST_EYE, EntryAt(catalog.eyeShapes, 0), "sumashi", "_a.png", "eye\\e\\sumashi_close_a.png"},
        {PART_LIST_MOUTH, EntryAt(catalog.mouthShapes, 0), "niko", "_h.png", "mouth\\m\\niko_talk_h.png"},
        {PART_LIST_BROW, EntryAt(catalog.browShapes, 0), "sumashi", "_a.png", nullptr},
        {PART_LIST_EYE, EntryAt(catalog.eyeShapes, 0), longName.c_str(), "_a.png", nullptr},
    };
    for (const auto &p : paths) {
        CAPTURE(p.listId);
        char path[VOR_MAX_PATH] = "left over";
        int ok = PartEntry_FrameImagePath(p.entry, p.listId, p.expression, p.suffix, path);
        CHECK(ok == (p.expected != nullptr));
        CHECK(std::string(path) == (p.expected ? tree.data() + p.expected : ""));
    }
    CHECK(PartCatalog_FrameStem(PART_LIST_HAIR) == nullptr);
    PartCatalog_Free(&catalog);
}
