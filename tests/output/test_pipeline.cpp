// The character pipeline without a window: part choices and their rules,
// styles and accessories, projects applied and gathered, and the export's
// files, bytes and pixels.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "core/util.h"
#include "fixture_tree.h"
#include "layers/image_request.h"
#include "layers/render.h"
#include "output/contact_sheet.h"
#include "output/export.h"
#include "output/headless.h"
#include "project/project_model.h"

typedef std::vector<unsigned char> Bytes;

struct Session {
    ScratchFolder dir;
    std::string data;
    Headless h;
    Session()
    {
        data = Fixture_BuildTree(dir.path);
        REQUIRE(Headless_Open(&h, data.c_str()));
        Headless_LoadNow(&h);
    }
    ~Session() { Headless_Close(&h); }
    Character *ch() { return &h.ch; }
    Wardrobe *w() { return &h.w; }
    // The paths queued since the last load, in order.
    std::vector<std::string> Queued()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < PtrList_Count(h.doc->requests); i++)
            paths.push_back(((ImageRequest *)PtrList_Get(h.doc->requests, i))->path);
        return paths;
    }
};

// Where the opaque square of an image file lies.
static Point SpotOf(const std::string &path)
{
    DIB *image = DIB_CreateFromFile(path.c_str());
    REQUIRE(image);
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (DIB_RowTD(image, y)[x * 4 + 3] == 255) {
                DIB_Delete_(image);
                return {x, y};
            }
    DIB_Delete_(image);
    FAIL("no opaque pixel in " << path);
    return {0, 0};
}

static const unsigned char *PixelAt(const DIB *image, int x, int y)
{
    return DIB_RowTD(image, y) + x * 4;
}

TEST_CASE("an expression reloads cheeks, brows, eyes and mouth in this order, nothing else")
{
    Session s;
    Character_ChooseExpression(s.ch(), 1);
    std::vector<std::string> expected = {
        s.data + "hoho\\c1\\niko_b.png",  s.data + "braw\\b1\\niko_a.png",  s.data + "braw\\b1\\niko_b.png",
        s.data + "eye\\e1\\niko_a.png",   s.data + "eye\\e1\\niko_b.png",   s.data + "eye\\e1\\niko_h.png",
        s.data + "mouth\\m1\\niko_a.png", s.data + "mouth\\m1\\niko_b.png", s.data + "mouth\\m1\\niko_h.png",
    };
    CHECK(s.Queued() == expected);
    // Only "_a" images carry a colour.
    for (int i = 0; i < PtrList_Count(s.h.doc->requests); i++) {
        ImageRequest *r = (ImageRequest *)PtrList_Get(s.h.doc->requests, i);
        CHECK((r->colour != nullptr) == (expected[i].find("_a.png") != std::string::npos));
    }
}

TEST_CASE("hair rules: back hair follows the front unless separate; the hair's own colour")
{
    Session s;
    Character *ch = s.ch();
    ch->hairDefaultColour = 1;
    ch->separateBackHair = 0;
    Character_ChooseFrontHair(ch, 1);
    CHECK(ch->backHair == 1);
    HlsColour hair = {};
    Character_ReadSlot(ch, ID_HAIR, &hair);
    CHECK(hair.hue == 20);  // h2's own colour
    std::vector<std::string> q = s.Queued();
    REQUIRE(q.size() == 8);
    CHECK(q[0] == s.data + "hair\\h2\\before\\h2_h.png");
    CHECK(q[3] == s.data + "hair\\h2\\before\\h2_d.png");
    CHECK(q[4] == s.data + "hair\\h2\\after\\h2_h.png");
    Headless_LoadNow(&s.h);
    CHECK(Character_HasHairBand(ch));

    // Separate back hair with the default colour off: choosing a front hair
    // leaves the back hair alone.
    ch->hairDefaultColour = 0;
    Character_SetSeparateBackHair(ch, 1);
    Character_WriteSlot(ch, ID_HAIR, {1, 2, 3});
    Character_ChooseFrontHair(ch, 0);
    CHECK(ch->backHair == 1);
    CHECK(s.Queued().size() == 4);
    Character_ReadSlot(ch, ID_HAIR, &hair);
    CHECK(hair.hue == 1);
    // With the default colour on, the back hair is reloaded in the new colour.
    Headless_LoadNow(&s.h);
    Character_SetHairDefaultColour(ch, 1);
    CHECK(s.Queued().size() == 8);
    CHECK(s.Queued()[4] == s.data + "hair\\h2\\after\\h2_h.png");
    Headless_LoadNow(&s.h);
    CHECK_FALSE(Character_HasHairBand(ch) == 0);
    // Unchecking "separate" snaps the back hair to the front hair.
    Character_SetSeparateBackHair(ch, 0);
    CHECK(ch->backHair == 0);
    Headless_LoadNow(&s.h);
    CHECK_FALSE(Character_HasHairBand(ch));
}

TEST_CASE("colour slots: the dress slot reads as the default and ignores writes")
{
    Session s;
    HlsColour c = {9, 9, 9};
    Character_WriteSlot(s.ch(), ID_DRESS, {1, 1, 1});
    Character_ReadSlot(s.ch(), ID_DRESS, &c);
    CHECK((c.hue == 0 && c.luminance == 128 && c.saturation == 255));
    c = {9, 9, 9};
    Character_ReadSlot(s.ch(), 1234, &c);
    CHECK(c.hue == 9);
    Character_WriteSlot(s.ch(), ID_EYE, {5, 6, 7});
    Character_ReadSlot(s.ch(), ID_EYE, &c);
    CHECK(c.saturation == 7);
}

// Adds an accessory of kind 1 at depth index `at`, moved to `pos`.
static Layer *AddAccessory(Session &s, int at, Point pos, HlsColour colour)
{
    Wardrobe_SelectDepthEntry(s.ch(), s.w(), at);
    Layer *layer = Wardrobe_AddAccessory(s.ch(), s.w());
    REQUIRE(layer);
    Wardrobe_SetAccessoryKind(s.ch(), s.w(), at, 1);
    ApplySlotColour(s.ch(), s.w(), layer->id, colour, 1);
    Layer_MoveTo(layer, pos.x, pos.y);
    return layer;
}

static std::vector<int32_t> DepthIds(Session &s)
{
    std::vector<int32_t> ids;
    for (int i = 0; i < PtrList_Count(s.h.doc->depthList); i++)
        ids.push_back(((Layer *)PtrList_Get(s.h.doc->depthList, i))->id);
    return ids;
}

TEST_CASE("showing another style and back restores accessories, order, colours, positions, selection")
{
    Session s;
    Wardrobe *w = s.w();
    PtrList_Add(w->styles, CopyStyle(Wardrobe_StyleAt(w, 0)));
    Wardrobe_StyleAt(w, 1)->dress = 1;
    AddAccessory(s, 0, {5, 6}, {11, 12, 13});
    AddAccessory(s, 5, {-7, 8}, {21, 22, 23});
    Wardrobe_SelectDepthEntry(s.ch(), w, 5);
    std::vector<int32_t> before = DepthIds(s);
    CHECK(before.size() == 11);
    CHECK(before[0] == 2100);
    CHECK(before[5] == 2101);
    CHECK(s.h.doc->selectedId == 2101);

    Wardrobe_ShowStyle(s.ch(), w, 1);
    CHECK(DepthIds(s).size() == 9);
    CHECK(w->slotCount == 0);
    AccessorySet *captured = Wardrobe_StyleAt(w, 0)->accessories;
    REQUIRE(AccessorySet_Count(captured) == 2);
    CHECK(AccessorySet_Get(captured, 1)->depth == 4);  // four fixed entries in front of it
    CHECK(captured->selection == 5);

    Wardrobe_ShowStyle(s.ch(), w, 0);
    CHECK(DepthIds(s) == before);
    CHECK(w->depthSelection == 5);
    CHECK(s.h.doc->selectedId == 2101);
    Layer *second = Character_FindLayer(s.ch(), 2101, 0);
    CHECK(second->rect.left == -7);
    CHECK(second->rect.top == 8);
    CHECK(w->slots[1].colour.hue == 21);
    CHECK(w->slots[0].colour.saturation == 13);
    Headless_LoadNow(&s.h);
    LayerImage *tinted = Layer_GetImage(Layer_Find(second, ID_IMAGE_A));
    REQUIRE(tinted->palette);
    CHECK(tinted->colour.hue == 21);
}

TEST_CASE("accessory slots: the lowest free slot is reused, 32 at most")
{
    Session s;
    Wardrobe *w = s.w();
    Layer *a = AddAccessory(s, 0, {0, 0}, HLS_DEFAULT);
    Layer *b = AddAccessory(s, 0, {0, 0}, HLS_DEFAULT);
    CHECK(a->id == 2100);
    CHECK(b->id == 2101);
    int indexOfA = PtrList_IndexOf(s.h.doc->depthList, a);
    CHECK(Wardrobe_RemoveAccessory(s.ch(), w, indexOfA));
    CHECK(w->slotCount == 1);
    Layer *c = AddAccessory(s, 0, {0, 0}, HLS_DEFAULT);
    CHECK(c->id == 2100);
    for (int i = 2; i < 32; i++)
        CHECK(Wardrobe_AddAccessory(s.ch(), w) != nullptr);
    CHECK(w->slotCount == 32);
    CHECK(Wardrobe_AddAccessory(s.ch(), w) == nullptr);
    CHECK(Wardrobe_RemoveAccessory(s.ch(), w, PtrList_IndexOf(s.h.doc->depthList, Character_FindLayer(s.ch(), ID_MOUTH, 0))) == 0);
}

// Makes the next growth of `list` fail the way an exhausted heap does: the
// list is full and its next capacity would not fit.
struct FailedGrowth {
    PtrList *list;
    int capacity, growStep;
    explicit FailedGrowth(PtrList *l) : list(l), capacity(l->capacity), growStep(l->growStep)
    {
        list->capacity = list->count;
        list->growStep = 0x7FFFFFFF;
    }
    ~FailedGrowth()
    {
        list->capacity = capacity;
        list->growStep = growStep;
    }
};

TEST_CASE("an accessory the depth list cannot take is left out whole: no layer, no slot")
{
    Session s;
    Wardrobe *w = s.w();
    AddAccessory(s, 0, {0, 0}, HLS_DEFAULT);
    std::vector<int32_t> before = DepthIds(s);
    int children = PtrList_Count(s.h.doc->root->children);
    {
        FailedGrowth failing(s.h.doc->depthList);
        Wardrobe_SelectDepthEntry(s.ch(), w, 1);
        CHECK(Wardrobe_AddAccessory(s.ch(), w) == nullptr);
    }
    CHECK(DepthIds(s) == before);
    CHECK(w->slotCount == 1);
    CHECK_FALSE(w->slots[1].inUse);
    CHECK(PtrList_Count(s.h.doc->root->children) == children);
    // Nothing of the discarded layer is left queued to load into freed memory.
    Headless_LoadNow(&s.h);
    Layer *next = Wardrobe_AddAccessory(s.ch(), w);
    REQUIRE(next);
    CHECK(next->id == 2101);
    CHECK(w->slotCount == 2);

    // A style whose accessories do not all fit keeps those that did.
    AccessorySet *set = CaptureAccessories(s.ch(), w);
    REQUIRE(set);
    {
        // Applying removes both accessories first; room for one more than
        // is left (the storage itself is larger) lets exactly one back in.
        FailedGrowth failing(s.h.doc->depthList);
        s.h.doc->depthList->capacity = s.h.doc->depthList->count - 1;
        ApplyAccessories(s.ch(), w, set);
    }
    AccessorySet_Free(set);
    int inDepth = 0, inTree = 0;
    for (int32_t id : DepthIds(s))
        inDepth += IsAccessoryId(id);
    for (int i = 0; i < PtrList_Count(s.h.doc->root->children); i++)
        inTree += IsAccessoryId(((Layer *)PtrList_Get(s.h.doc->root->children, i))->id);
    CHECK(inDepth == 1);
    CHECK(w->slotCount == 1);
    CHECK(inTree == 1);
}

// A project file image spelled out field by field, independently of the
// writer: little-endian int32s, texts with their NUL counted in the length,
// colours as three bytes.
struct HandBytes {
    Bytes b;
    HandBytes &Int(int32_t v)
    {
        uint32_t u = (uint32_t)v;
        for (int i = 0; i < 4; i++)
            b.push_back((unsigned char)(u >> (8 * i)));
        return *this;
    }
    HandBytes &Text(const char *t)
    {
        Int((int32_t)strlen(t) + 1);
        b.insert(b.end(), t, t + strlen(t) + 1);
        return *this;
    }
    HandBytes &Hls(int h, int l, int s)
    {
        b.insert(b.end(), {(unsigned char)h, (unsigned char)l, (unsigned char)s});
        return *this;
    }
    HandBytes &Accessory(const char *key, int depth, int x, int y, int h, int l, int s)
    {
        return Text(key).Int(depth).Int(x).Int(y).Hls(h, l, s);
    }
};

TEST_CASE("a hand-written project file reads, applies, gathers and writes back to the same bytes")
{
    HandBytes f;
    f.b = {'V', 'O', 'R', 0, 100, 0, 0, 0};
    f.Text("\xC8\xAB\xB1\xE6\xB5\xBF").Text("C:\\out\\").Int(1);  // 홍길동
    f.Text("b1").Hls(1, 2, 3).Text("e1").Hls(4, 5, 6).Text("m1").Hls(7, 8, 9);
    f.Text("h2").Hls(10, 11, 12).Text("h1").Int(1).Int(0).Text("niko");
    f.Int(3);
    // Shown after applying, so gathering captures its accessories afresh,
    // the one whose key the catalogue does not know among them.
    f.Text("style0").Text("out0").Text("d1").Hls(20, 100, 200);
    f.Int(2).Int(3);
    f.Accessory("a1", 0, -5, 300, 0, 50, 60).Accessory("gone_acc", 0, 12, -7, 1, 51, 61);
    f.Accessory("a1", 2, 0, 0, 200, 128, 255);
    f.Int(1);
    f.Text("style1").Text("out1").Text("d2").Hls(21, 100, 200).Int(0).Int(0).Int(0);
    f.Text("\xB1\xE2\xBA\xBB").Text("out2").Text("gone_dress").Hls(22, 100, 200);  // 기본
    f.Int(-1).Int(1).Accessory("a1", 1, 40, 41, 2, 52, 62).Int(2);

    Session s;
    std::string path = s.dir / "hand.vor", again = s.dir / "again.vor";
    ScratchFolder::WriteBytes(path, f.b);
    Project *read = nullptr;
    REQUIRE(Project_ReadFile(path.c_str(), &read) == PROJECT_OK);
    Project_ResolveKeys(read, &s.h.catalog);
    CHECK(read->hair.index == 1);
    CHECK(read->backHair.index == 0);
    CHECK(read->expression.index == 1);
    Project_Apply(read, s.ch(), s.w());
    Project_Free(read);
    Headless_LoadNow(&s.h);
    // The shown style's three accessories are in the document, the two known
    // ones with images and at their places.
    REQUIRE(PtrList_Count(s.w()->styles) == 3);
    CHECK(s.w()->slotCount == 3);
    Layer *first = Character_FindLayer(s.ch(), 2100, 0);
    REQUIRE(first);
    CHECK(first->rect.left == -5);
    CHECK(first->rect.top == 300);

    Project *gathered = Project_Gather(s.ch(), s.w(), "C:\\out\\", 1);
    REQUIRE(gathered);
    ProjectKeySource keys = Project_CatalogKeys(&s.h.catalog);
    REQUIRE(Project_WriteFile(again.c_str(), gathered, &keys));
    Project_Free(gathered);
    CHECK(ScratchFolder::ReadBytes(again) == f.b);
}

TEST_CASE("unknown keys read as no selection and are written back unchanged")
{
    Session s;
    Project *p = Project_MakeDefault(&s.h.catalog, "C:\\out\\");
    free(p->hair.key);
    p->hair.key = strdup("gone_hair");
    p->hair.index = -1;
    free(p->brow.key);
    p->brow.key = strdup("gone_brow");
    p->brow.index = -1;
    DressStyle *style = (DressStyle *)PtrList_Get(p->styles, 0);
    Style_SetText(&style->dressKey, "gone_dress");
    style->dress = -1;
    AccessoryPlacement missing = {};
    missing.key = (char *)"gone_acc";
    missing.kind = -1;
    missing.position = {3, 4};
    AccessorySet_Add(style->accessories, &missing);
    ProjectKeySource keys = Project_CatalogKeys(&s.h.catalog);
    size_t size;
    unsigned char *bytes = Project_Serialize(p, &keys, &size);
    Project_Free(p);

    Project *read = nullptr;
    REQUIRE(Project_Parse(bytes, size, &read) == PROJECT_OK);
    Project_ResolveKeys(read, &s.h.catalog);
    CHECK(read->hair.index == -1);
    CHECK(read->eye.index == 0);
    Project_Apply(read, s.ch(), s.w());
    Project_Free(read);
    Headless_LoadNow(&s.h);
    // The unknown hair shows nothing; the unknown dress shows the plain body.
    CHECK(Layer_GetImage(Layer_Find(Character_FindLayer(s.ch(), ID_HAIR, ID_FRONT_HAIR), ID_IMAGE_A))->image == nullptr);
    CHECK(Layer_GetImage(Character_FindLayer(s.ch(), ID_DRESS, ID_IMAGE_A))->image == nullptr);
    CHECK(Layer_GetImage(Character_FindLayer(s.ch(), ID_BASE, 0))->image != nullptr);

    // Expressions come and go (as in an export) without losing the keys.
    Character_ChooseExpression(s.ch(), 1);
    Character_ChooseExpression(s.ch(), 0);
    Project *again = Project_Gather(s.ch(), s.w(), "C:\\out\\", 1);
    size_t size2;
    unsigned char *bytes2 = Project_Serialize(again, &keys, &size2);
    CHECK(Bytes(bytes2, bytes2 + size2) == Bytes(bytes, bytes + size));
    Project_Free(again);
    free(bytes);
    free(bytes2);
}

struct WrittenFiles {
    std::vector<std::string> paths;
};
static void RecordFile(void *context, const char *path, int failure)
{
    if (failure == EXPORT_WRITTEN)
        ((WrittenFiles *)context)->paths.push_back(path);
}

TEST_CASE("export: two of three styles checked give 16 images, macro.txt, CREDITS.txt, exact pixels")
{
    Session s;
    Wardrobe *w = s.w();
    DressStyle *first = Wardrobe_StyleAt(w, 0);
    first->colour = {100, 90, 200};
    Style_SetText(&first->outputFolder, "one");
    DressStyle *second = CopyStyle(first);
    second->checkState = STYLE_UNCHECKED;
    Style_SetText(&second->outputFolder, "two");
    DressStyle *third = CopyStyle(first);
    third->dress = 1;
    Style_SetText(&third->outputFolder, "three");
    PtrList_Add(w->styles, second);
    PtrList_Add(w->styles, third);
    Character_SetName(s.ch(), "Abc");
    Character_ChooseExpression(s.ch(), 1);
    Wardrobe_ShowStyle(s.ch(), w, 1);

    char base[VOR_MAX_PATH];
    std::string out = s.dir / "out";  // no trailing separator: still a folder
    REQUIRE(Export_FreeFolderBase(out.c_str(), base));
    char message[512];
    REQUIRE(Export_Validate(s.ch()->name, w->styles, message, sizeof message));
    WrittenFiles files;
    for (int threads : {1, 2}) {
        files.paths.clear();
        ExportOptions options = {threads, &files, RecordFile};
        CHECK(Export_RunHeadless(s.ch(), w, base, &options, nullptr) == 18);
        REQUIRE(files.paths.size() == 18);
        CHECK(files.paths[0] == out + "\\Abc\\one\\sumashi.png");
        CHECK(files.paths[8] == out + "\\Abc\\three\\sumashi.png");
        CHECK(files.paths[16] == out + "\\Abc\\macro.txt");
        CHECK(files.paths[17] == out + "\\Abc\\CREDITS.txt");
        // The user's style and expression are current again.
        CHECK(w->selected == 1);
        CHECK(s.ch()->expression == 1);
    }
    std::string macro = "; macro.txt\r\n\r\n";
    for (const char *e : {"sumashi", "niko", "nikkori", "makka", "naki", "utumuki", "ikari", "odoroki"})
        macro += std::string("macro Abc_") + e + " = &CHAR Abc " + e + "\r\n";
    macro += "\r\n; eof";
    Bytes macroBytes = ScratchFolder::ReadBytes(out + "\\Abc\\macro.txt");
    CHECK(std::string(macroBytes.begin(), macroBytes.end()) == macro);

    // The dress "_a" square shows the palette colour of the style's colour
    // for its grey; a pixel nothing covers is zero in all four bytes.
    DIB *image = DIB_CreateFromFile((out + "\\Abc\\one\\niko.png").c_str());
    REQUIRE(image);
    Point spot = SpotOf(s.data + "dress\\d1\\d1_a.png");
    PaletteEntry palette[HLS_PALETTE_ENTRIES];
    Hls_FillPalette(palette, {100, 90, 200});
    const unsigned char *px = PixelAt(image, spot.x + 1, spot.y + 1);
    CHECK(px[0] == palette[150].blue);
    CHECK(px[1] == palette[150].green);
    CHECK(px[2] == palette[150].red);
    CHECK(px[3] == 255);
    const unsigned char *empty = PixelAt(image, 39, 39);
    CHECK((empty[0] | empty[1] | empty[2] | empty[3]) == 0);
    const unsigned char *far = PixelAt(image, 300, 400);
    CHECK((far[0] | far[1] | far[2] | far[3]) == 0);
    DIB_Delete_(image);

    // Expressions without images leave only those parts empty: the eye
    // square of "niko" is there, the one of "sumashi" is not in niko.png.
    DIB *niko = DIB_CreateFromFile((out + "\\Abc\\one\\niko.png").c_str());
    Point eyeNiko = SpotOf(s.data + "eye\\e1\\niko_b.png");
    Point eyeSumashi = SpotOf(s.data + "eye\\e1\\sumashi_b.png");
    CHECK(PixelAt(niko, eyeNiko.x, eyeNiko.y)[3] == 255);
    CHECK(PixelAt(niko, eyeSumashi.x, eyeSumashi.y)[3] == 0);
    DIB_Delete_(niko);
    CHECK_FALSE(File_Exists((out + "\\Abc\\two\\sumashi.png").c_str()));
    CHECK_FALSE(File_Exists((out + "\\Abc\\one\\odoroki.png").c_str()) == 0);
}

TEST_CASE("export refuses names and folders that would leave the export folder")
{
    PtrList *styles = PtrList_Create(0, 4);
    DressStyle *style = NewStyle();
    PtrList_Add(styles, style);
    char message[512];
    struct Case {
        const char *name, *folder;
        bool ok;
        const char *mentions;
    } cases[] = {
        {"Abc", "default", true, nullptr},
        {"Abc", "..", false, "\xB9\xCC\xBC\xB3\xC1\xA4"},       // 미설정, the style's name
        {"Abc", "..\\..\\x", false, "\xB9\xCC\xBC\xB3\xC1\xA4"},
        {"Abc", "a/b", false, nullptr},
        {"Abc", "", false, nullptr},
        {"..", "default", false, nullptr},
        {"a_b", "default", false, nullptr},
        {"a/b", "default", false, nullptr},
        {"", "default", false, nullptr},
        {"abcdefghijabcdefghijabcdefghijA", "default", true, nullptr},   // 31 bytes
        {"abcdefghijabcdefghijabcdefghijAB", "default", false, nullptr}, // 32 bytes
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        CAPTURE(c.folder);
        Style_SetText(&style->outputFolder, c.folder);
        message[0] = 0;
        CHECK(Export_Validate(c.name, styles, message, sizeof message) == (c.ok ? 1 : 0));
        if (c.mentions)
            CHECK(strstr(message, c.mentions) != nullptr);
    }
    // An unchecked style is not exported, so its folder does not matter.
    Style_SetText(&style->outputFolder, "..");
    style->checkState = STYLE_THIRD;
    CHECK(Export_Validate("Abc", styles, message, sizeof message) == 1);
    PtrList_Destroy(styles, FreeStyleItem);

    char base[VOR_MAX_PATH], path[VOR_MAX_PATH];
    CHECK(Export_FreeFolderBase("C:\\out", base));
    CHECK(std::string(base) == "C:\\out\\");
    CHECK(Export_FreeFolderBase("C:\\out\\", base));
    CHECK(std::string(base) == "C:\\out\\");
    // A game's picture folder ends with a separator and is used as it is.
    CHECK(Export_ImagePath("D:\\Game\\Data\\Picture\\CHARA\\", "Abc", "default", "sumashi", path));
    CHECK(std::string(path) == "D:\\Game\\Data\\Picture\\CHARA\\Abc\\default\\sumashi.png");
    CHECK(Export_MacroPath("C:\\out\\", "Abc", path));
    CHECK(std::string(path) == "C:\\out\\Abc\\macro.txt");
}

TEST_CASE("a new project: NEW, first entries, one checked style in the first dress's colour")
{
    Session s;
    Project *p = Project_MakeDefault(&s.h.catalog, "C:\\work");
    CHECK(std::string(p->name) == "NEW");
    CHECK(std::string(p->freeFolder) == "C:\\work");
    CHECK(p->freeFolderFlag == 1);
    CHECK(p->hairDefaultColour == 1);
    CHECK(p->separateBackHair == 0);
    CHECK(p->hair.index == 0);
    CHECK(p->expression.index == 0);
    CHECK(p->eyeColour.luminance == 128);
    REQUIRE(PtrList_Count(p->styles) == 1);
    DressStyle *style = (DressStyle *)PtrList_Get(p->styles, 0);
    CHECK(std::string(style->name) == "\xB9\xCC\xBC\xB3\xC1\xA4");  // 미설정
    CHECK(std::string(style->outputFolder) == "default");
    CHECK(style->checkState == STYLE_CHECKED);
    CHECK(style->accessories->selection == 0);
    CHECK(style->colour.hue == 30);  // d1's own colour
    Project_Apply(p, s.ch(), s.w());
    Project_Free(p);
    Headless_LoadNow(&s.h);
    // With the hair's own colour applied, the hair slot holds h1's colour.
    HlsColour hair = {};
    Character_ReadSlot(s.ch(), ID_HAIR, &hair);
    CHECK(hair.hue == 10);
    CHECK(s.w()->shown == 0);
    CHECK(CountExportStyles(s.w()->styles) == 1);
}

TEST_CASE("the contact sheet holds each exported picture in its cell and restores the selection")
{
    Session s;
    Wardrobe *w = s.w();
    DressStyle *second = CopyStyle(Wardrobe_StyleAt(w, 0));
    second->dress = 1;
    second->checkState = STYLE_UNCHECKED;
    DressStyle *third = CopyStyle(Wardrobe_StyleAt(w, 0));
    third->dress = 1;
    third->colour = {200, 100, 50};
    PtrList_Add(w->styles, second);
    PtrList_Add(w->styles, third);
    Character_ChooseExpression(s.ch(), 1);
    Headless_LoadNow(&s.h);

    DIB *sheet = ContactSheet_Compose(s.ch(), w, 2);
    REQUIRE(sheet);
    CHECK(sheet->width == 8 * DOCUMENT_WIDTH);
    CHECK(sheet->height == 2 * DOCUMENT_HEIGHT);  // the unchecked style has no row
    CHECK(w->selected == 0);
    CHECK(s.ch()->expression == 1);

    // Row 1 is the third style; its "niko" cell equals that composition.
    Wardrobe_ShowStyle(s.ch(), w, 2);
    Character_ChooseExpression(s.ch(), 1);
    Headless_LoadNow(&s.h);
    DIB *cell = Canvas_ComposeExport(s.h.doc);
    int differing = 0;
    for (int y = 0; y < DOCUMENT_HEIGHT; y++)
        differing += memcmp(DIB_RowTD(cell, y), DIB_RowTD(sheet, DOCUMENT_HEIGHT + y) + 4 * DOCUMENT_WIDTH,
                            4 * DOCUMENT_WIDTH) != 0;
    CHECK(differing == 0);
    DIB_Delete_(cell);
    DIB_Delete_(sheet);

    Wardrobe_StyleAt(w, 0)->checkState = STYLE_THIRD;
    Wardrobe_StyleAt(w, 2)->checkState = STYLE_UNCHECKED;
    CHECK(ContactSheet_Compose(s.ch(), w, 1) == nullptr);
}
