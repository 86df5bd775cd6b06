// The generated trees as the program reads them: the sample tree through
// the real part catalogue and project reader, the imperfect tree's faults
// where the tests expect them, and the preview sheet.
#include <doctest.h>

#include <cstring>
#include <string>

#include "catalog/part_catalog.h"
#include "project/project_model.h"
#include "test_support.h"
#include "tools/gen-sample/broken_tree.cpp"
#include "tools/gen-sample/contact_sheet.cpp"
#include "tools/gen-sample/output.cpp"
#include "tools/gen-sample/sample_project.cpp"
#include "tools/gen-sample/sample_tree.cpp"

namespace {

std::string Root(const ScratchFolder &scratch)
{
    return scratch.path.substr(0, scratch.path.size() - 1);
}

const PartEntry *Entry(const PtrList *list, int index)
{
    return (const PartEntry *)PtrList_Get(list, index);
}

// The table's entries in the catalogue's order (bytewise by folder key).
void Check_List(const PtrList *list, int offset, const SampleEntry *table, int count)
{
    REQUIRE(PtrList_Count(list) == offset + count);
    const char *previous = "";
    for (int i = 0; i < count; i++) {
        const PartEntry *e = Entry(list, offset + i);
        CAPTURE(e->folder);
        CHECK(strcmp(previous, e->folder) < 0);
        previous = e->folder;
        const SampleEntry *match = nullptr;
        for (int k = 0; k < count; k++)
            if (!strcmp(table[k].folder, e->folder))
                match = &table[k];
        REQUIRE(match);
        CHECK(!strcmp(e->name, match->name));
        CHECK(e->color.hue == (uint8_t)(match->colour >> 16));
        CHECK(e->color.luminance == (uint8_t)(match->colour >> 8));
        CHECK(e->color.saturation == (uint8_t)match->colour);
    }
}

int Decodes(const std::string &path)
{
    DIB *image = DIB_CreateFromFile(path.c_str());
    int ok = image && image->width == CANVAS_W && image->height == CANVAS_H && image->bitCount == 32;
    if (image)
        DIB_Delete_(image);
    return ok;
}

// One sample tree and project for all tests here, written on first use.
const ScratchFolder &SampleTree()
{
    static ScratchFolder scratch;
    static int written = 0;
    if (!written) {
        WriteLog log = {};
        std::string root = Root(scratch);
        written = SampleTree_Write(root.c_str(), &log) && SampleProject_Write(root.c_str(), &log) ? 1 : -1;
        CHECK(log.failures == 0);
    }
    REQUIRE(written == 1);
    return scratch;
}

} // namespace

TEST_CASE("definition texts name the part and give the colour as one number")
{
    char text[256];
    const SampleEntry hair = {"ponny", "포니테일", 0x12648C};
    PartDefinition_Format(&hair, text, sizeof text);
    CHECK(std::string(text) == "// 포니테일\r\nName = \"포니테일\";\r\nFolder = \"ponny\";\r\nColor = 0x12648C;\r\n"
                               "Author = \"VOR 견본 생성기\";\r\nLicense = \"CC0-1.0\";\r\n");
    // Korean literals are CP949 bytes: two per syllable.
    CHECK(strlen("포니테일") == 8);
    const SampleEntry cheek = {"hoho", "볼 터치", 0};
    PartDefinition_Format(&cheek, text, sizeof text);
    CHECK(strstr(text, "Color") == nullptr);
    char small[16];
    PartDefinition_Format(&hair, small, sizeof small);
    CHECK(strlen(small) == sizeof small - 1);
}

// The expressions whose eyes are open, and so have a blink frame: all but
// niko (^-^) and utumuki (T.T).
const unsigned OPEN_EYES = 0xFFu & ~(1u << EXPR_NIKO) & ~(1u << EXPR_UTUMUKI);
const int OPEN_EYED = EXPR_COUNT - 2;

// The visible pixels of an image as a list of (offset, value) so that two
// images can be told apart and the frame's box compared.
Rect VisibleBox(const DIB *image)
{
    Rect box = {image->width, image->height, 0, 0};
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (DIB_RowTD(image, y)[4 * x + 3]) {
                box.left = x < box.left ? x : box.left;
                box.top = y < box.top ? y : box.top;
                box.right = x + 1 > box.right ? x + 1 : box.right;
                box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
            }
    return box;
}

TEST_CASE("the sample tree's frames: a blink for every open-eyed expression, a talking mouth for every one")
{
    const ScratchFolder &scratch = SampleTree();
    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, (scratch.path + "data\\").c_str()));
    struct {
        const PtrList *list;
        int listId;
        unsigned frames;
        const char *still, *frame;  // the layer that shows the change
    } kinds[] = {
        {catalog.eyeShapes, PART_LIST_EYE, OPEN_EYES, "_b.png", "_close_b.png"},
        {catalog.mouthShapes, PART_LIST_MOUTH, 0xFFu, "_a.png", "_talk_a.png"},
    };
    for (const auto &k : kinds)
        for (int i = 0; i < PtrList_Count(k.list); i++) {
            const PartEntry *entry = Entry(k.list, i);
            CAPTURE(entry->folder);
            CHECK(entry->frames == k.frames);
            for (int x = 0; x < EXPR_COUNT; x++) {
                CAPTURE(x);
                char path[VOR_MAX_PATH];
                REQUIRE(PartEntry_FrameImagePath(entry, k.listId, EXPRESSION_FOLDER[x], DATA_IMAGE_B, path));
                if (!(k.frames >> x & 1u)) {
                    CHECK(!File_Exists(path));
                    continue;
                }
                std::string stem = std::string(entry->path) + EXPRESSION_FOLDER[x];
                DIB *still = DIB_CreateFromFile((stem + k.still).c_str());
                DIB *frame = DIB_CreateFromFile((stem + k.frame).c_str());
                REQUIRE(still);
                REQUIRE(frame);
                CHECK(Decodes(stem + k.frame));
                // A frame of its own, near where the still image draws.
                CHECK(memcmp(DIB_Bits(still), DIB_Bits(frame), (size_t)DIB_BytesPerRow(still) * still->height) != 0);
                Rect a = VisibleBox(still), b = VisibleBox(frame);
                CHECK(b.left < b.right);
                CHECK(abs(a.left - b.left) < 12);
                CHECK(abs((a.top + a.bottom) / 2 - (b.top + b.bottom) / 2) < 12);
                DIB_Delete_(still);
                DIB_Delete_(frame);
            }
        }
    PartCatalog_Free(&catalog);
}

TEST_CASE("the sample tree reads back through the catalogue and the project reader")
{
    const ScratchFolder &scratch = SampleTree();
    int files = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(ScratchFolder::Native(scratch.path)))
        files += entry.is_regular_file();
    int bands = 0;
    for (const char *hairb : {"hairb", "mituami", "musubi", "ponny"})
        for (const char *side : {"before", "after"})
            bands += File_Exists((scratch / "data\\hair\\" + hairb + "\\" + side + "\\" + hairb + "_d.png").c_str());
    const int expected = 1 + HAIR_STYLE_COUNT * (1 + 2 * 3) + bands + DRESS_COUNT * 5 + ACC_COUNT * 4 +
                         EYE_SHAPE_COUNT * (1 + EXPR_COUNT * 3) + BROW_SHAPE_COUNT * (1 + EXPR_COUNT * 2) +
                         MOUTH_SHAPE_COUNT * (1 + EXPR_COUNT * 3) + (1 + EXPR_COUNT) + 1 +
                         EYE_SHAPE_COUNT * OPEN_EYED + MOUTH_SHAPE_COUNT * EXPR_COUNT * 3;
    CHECK(files == expected);
    CHECK(bands == 4);
    CHECK(!File_Exists((scratch / "data\\hair\\long\\before\\long_d.png").c_str()));

    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, (scratch.path + "data\\").c_str()));
    Check_List(catalog.hairStyles, 0, SAMPLE_HAIR, HAIR_STYLE_COUNT);
    Check_List(catalog.dresses, 0, SAMPLE_DRESS, DRESS_COUNT);
    Check_List(catalog.accessories, 1, SAMPLE_ACCESSORY, ACC_COUNT);
    Check_List(catalog.eyeShapes, 0, SAMPLE_EYE, EYE_SHAPE_COUNT);
    Check_List(catalog.browShapes, 0, SAMPLE_BROW, BROW_SHAPE_COUNT);
    Check_List(catalog.mouthShapes, 0, SAMPLE_MOUTH, MOUTH_SHAPE_COUNT);
    Check_List(catalog.cheekShapes, 0, &SAMPLE_CHEEK, 1);

    // Every image the program will ask for exists and decodes, for one
    // entry of each kind; the rest share the same writer.
    const PartEntry *hair = Entry(catalog.hairStyles, 0), *eye = Entry(catalog.eyeShapes, 2);
    for (const char *role : {"_a", "_b", "_h"}) {
        CHECK(Decodes(std::string(hair->path) + "before\\" + hair->folder + role + ".png"));
        CHECK(Decodes(std::string(hair->path) + "after\\" + hair->folder + role + ".png"));
        for (int x = 0; x < EXPR_COUNT; x++)
            CHECK(Decodes(std::string(eye->path) + EXPRESSION_FOLDER[x] + role + ".png"));
    }
    const PartEntry *dress = Entry(catalog.dresses, 3);
    for (const char *name : {"sotai", "yukata_a", "yukata_b", "yukata_c"})
        CHECK(Decodes(std::string(dress->path) + name + ".png"));
    CHECK(Decodes(scratch / "data\\body\\sotai.png"));

    Project *project = nullptr;
    REQUIRE(Project_ReadFile((scratch / "sample.vor").c_str(), &project) == PROJECT_OK);
    Project_ResolveKeys(project, &catalog);
    CHECK(std::string(project->name) == "Yuna");
    for (const PartChoice *c : {&project->brow, &project->eye, &project->mouth, &project->hair, &project->backHair,
                                &project->expression})
        CHECK(c->index >= 0);
    CHECK(!(project->hairColour.hue == HLS_DEFAULT.hue && project->hairColour.luminance == HLS_DEFAULT.luminance));
    REQUIRE(PtrList_Count(project->styles) == 3);
    CHECK(CountExportStyles(project->styles) == 2);
    int accessories = 0;
    for (int i = 0; i < 3; i++) {
        const DressStyle *s = (const DressStyle *)PtrList_Get(project->styles, i);
        CHECK(s->dress >= 0);
        for (int j = 0; j < AccessorySet_Count(s->accessories); j++, accessories++)
            CHECK(AccessorySet_Get(s->accessories, j)->kind > 0);
    }
    CHECK(accessories == 3);
    Project_Free(project);
    PartCatalog_Free(&catalog);
}

TEST_CASE("the imperfect tree has its faults and a sound folder beside each")
{
    ScratchFolder scratch;
    std::string root = Root(scratch);
    WriteLog log = {};
    REQUIRE(BrokenTree_Write(root.c_str(), &log) == 1);
    CHECK(!File_Exists((scratch / "data\\hair\\noinf\\vor.inf").c_str()));
    CHECK(File_Exists((scratch / "data\\hair\\noinf\\before\\noinf_a.png").c_str()));
    CHECK(File_Exists((scratch / "data\\eye\\partial\\niko_a.png").c_str()));
    CHECK(!File_Exists((scratch / "data\\eye\\partial\\naki_a.png").c_str()));
    CHECK(!Decodes(scratch / "data\\mouth\\badpng\\sumashi_a.png"));
    CHECK(File_Exists((scratch / "data\\mouth\\badpng\\sumashi_a.png").c_str()));
    CHECK(Decodes(scratch / "data\\mouth\\badpng\\sumashi_b.png"));

    PartCatalog catalog = {};
    REQUIRE(PartCatalog_Load(&catalog, (scratch.path + "data\\").c_str()));
    // Whatever the catalogue makes of the definition without Folder, the
    // folder without vor.inf is never listed and the sound one always is.
    int good = 0;
    for (int i = 0; i < PtrList_Count(catalog.hairStyles); i++) {
        const PartEntry *e = Entry(catalog.hairStyles, i);
        REQUIRE(e->folder);
        CHECK(strstr(e->path, "noinf") == nullptr);
        good += !strcmp(e->folder, "good");
    }
    CHECK(good == 1);
    CHECK(PtrList_Count(catalog.eyeShapes) == 2);
    CHECK(PtrList_Count(catalog.mouthShapes) == 1);
    PartCatalog_Free(&catalog);
}

TEST_CASE("the preview sheet composes the tree into a grid")
{
    ScratchFolder out;
    std::string root = Root(SampleTree());
    std::string sheet = out / "sheet.png";
    REQUIRE(ContactSheet_Write(root.c_str(), sheet.c_str(), 0, 0, nullptr) == 1);
    DIB *image = DIB_CreateFromFile(sheet.c_str());
    REQUIRE(image);
    CHECK(image->width == SHEET_COLUMNS * CANVAS_W / 2);
    CHECK(image->height == 3 * CANVAS_H / 2);
    // The first cell's face shows skin, not the background.
    const unsigned char *face = DIB_RowTD(image, (int)(CHEEK_Y / 2) - 14) + 4 * (int)(FACE_CX / 2);
    CHECK(face[2] > 240);
    CHECK(face[0] < 235);
    DIB_Delete_(image);

    Rect crop = {10, 20, 110, 70};
    REQUIRE(ContactSheet_Write(root.c_str(), sheet.c_str(), 1, 1, &crop) == 1);
    image = DIB_CreateFromFile(sheet.c_str());
    REQUIRE(image);
    CHECK(image->width == 100);
    CHECK(image->height == 50);
    DIB_Delete_(image);
}
