// The WebGAL figure set and the sprite atlas read back the way their
// engines read them: the atlas's JSON with a JSON library, every frame cut
// from its page and drawn at its source size, the Godot resource's regions
// and margins, the WebGAL scene's lines and the pictures they name; each
// still picture must be the PNG export's of the same pair (the blink and
// talk frames are compared with the engines, tests/engines). Then the names
// on their own.
#include <doctest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/part_catalog.h"
#include "core/imaging/dib.h"
#include "output/export.h"
#include "output/figure_export.h"
#include "output/headless.h"
#include "output/webgal_figure.h"
#include "shared_sample_tree.h"
#include "test_support.h"

namespace {

using Json = nlohmann::json;

std::string ReadText(const std::string &path)
{
    std::vector<unsigned char> bytes = ScratchFolder::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// 1 when both pictures are the same: alpha exact and, where anything
// shows, colour exact too (a transparent pixel's colour is not seen).
bool SamePicture(const DIB *a, const DIB *b)
{
    REQUIRE(a);
    REQUIRE(b);
    if (a->width != b->width || a->height != b->height)
        return false;
    for (int y = 0; y < a->height; y++) {
        const unsigned char *p = DIB_RowTD(a, y), *q = DIB_RowTD(b, y);
        for (int x = 0; x < a->width * 4; x += 4) {
            if (p[x + 3] != q[x + 3])
                return false;
            if (p[x + 3] && memcmp(p + x, q + x, 3) != 0)
                return false;
        }
    }
    return true;
}

struct Session {
    Headless h;
    FigureNames names;
    std::string pngFolder;  // <out>\png\<name>\ as a program path
};

void OpenSample(Session *s)
{
    const ScratchFolder &tree = SharedSampleTree();
    REQUIRE(Headless_Open(&s->h, (tree / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(&s->h, (tree / "sample.vor").c_str()) == PROJECT_OK);
}

void Gather(Session *s, const char *tag = "")
{
    char message[512] = "";
    REQUIRE_MESSAGE(FigureNames_Gather(&s->h.ch, &s->h.w, tag, "test", 0, &s->names, message, sizeof message),
                    message);
}

void ExportPng(Session *s, const ScratchFolder &out)
{
    ExportStats png = {};
    Export_RunHeadless(&s->h.ch, &s->h.w, (out / "png\\").c_str(), nullptr, &png);
    REQUIRE(png.tally.failed == 0);
    s->pngFolder = out / ("png\\" + std::string(s->h.ch.name).substr(0, EXPORT_NAME_MAX) + "\\");
}

// Whether the sample character's eye (FIGURE_BLINK) or mouth (FIGURE_TALK)
// shape has a frame for the expression.
bool HasFrame(const Session *s, int frame, size_t expression)
{
    const PartCatalog *catalog = s->h.ch.catalog;
    const PartEntry *shape = (const PartEntry *)(frame == FIGURE_BLINK ? PtrList_Get(catalog->eyeShapes, s->h.ch.eye)
                                                                       : PtrList_Get(catalog->mouthShapes, s->h.ch.mouth));
    return PartEntry_HasFrame(shape, (int)expression) != 0;
}

// The blink and talk frames of every exported pair.
size_t FrameCount(const Session *s)
{
    size_t frames = 0;
    for (size_t j = 0; j < s->names.expressions.size(); j++)
        frames += HasFrame(s, FIGURE_BLINK, j) + HasFrame(s, FIGURE_TALK, j);
    return frames * s->names.styles.size();
}

DIB *PngPicture(const Session *s, size_t style, size_t expression)
{
    return DIB_CreateFromFile(
        (s->pngFolder + s->names.styles[style] + "\\" + s->names.expressions[expression] + ".png").c_str());
}

// A frame of a page drawn at its source size, as a loader places it.
DIB *DrawFrame(const DIB *page, const Json &frame)
{
    const Json &f = frame["frame"], &placed = frame["spriteSourceSize"], &source = frame["sourceSize"];
    DIB *picture = DIB_Create(32, source["w"].get<int>(), source["h"].get<int>());
    REQUIRE(picture);
    Rect region = {f["x"].get<int>(), f["y"].get<int>(), f["x"].get<int>() + f["w"].get<int>(),
                   f["y"].get<int>() + f["h"].get<int>()};
    Point at = {placed["x"].get<int>(), placed["y"].get<int>()};
    DIB_Blt(picture, &at, page, &region);
    return picture;
}

struct AtlasRead {
    int pages = 0;
    std::map<std::string, Json> frames;          // every page's
    std::map<std::string, std::string> framePage;  // frame: its page's image
};

// Reads the atlas from its first page's JSON and the packs that names, and
// checks every frame against the PNG export.
AtlasRead ReadAndCompareAtlas(const Session *s, const ScratchFolder &out, const std::string &folder)
{
    AtlasRead read;
    std::vector<std::string> jsonFiles = {s->names.tag + ".json"};
    for (size_t k = 0; k < jsonFiles.size(); k++) {
        CAPTURE(jsonFiles[k]);
        Json sheet = Json::parse(ReadText(out / (folder + jsonFiles[k])));
        if (k == 0 && sheet["meta"].contains("related_multi_packs"))
            for (const Json &more : sheet["meta"]["related_multi_packs"])
                jsonFiles.push_back(more.get<std::string>());
        const Json &meta = sheet["meta"];
        CHECK(meta["format"] == "RGBA8888");
        CHECK(meta["scale"] == "1");
        std::string image = meta["image"].get<std::string>();
        DIB *page = DIB_CreateFromFile((out / (folder + image)).c_str());
        REQUIRE(page);
        CHECK(page->width == meta["size"]["w"].get<int>());
        CHECK(page->height == meta["size"]["h"].get<int>());
        CHECK(page->width <= 4096);
        CHECK(page->height <= 4096);
        for (auto it = sheet["frames"].begin(); it != sheet["frames"].end(); ++it) {
            CHECK(it.value()["rotated"] == false);
            read.frames[it.key()] = it.value();
            read.framePage[it.key()] = image;
            DIB *drawn = DrawFrame(page, it.value());
            size_t slash = it.key().find('/'), second = it.key().find('/', slash + 1);
            std::string style = it.key().substr(0, slash), expression = it.key().substr(slash + 1, second - slash - 1);
            std::string kind = second == std::string::npos ? "" : it.key().substr(second + 1);
            size_t i = 0, j = 0;
            while (i < s->names.styles.size() && s->names.styles[i] != style)
                i++;
            while (j < s->names.expressions.size() && s->names.expressions[j] != expression)
                j++;
            REQUIRE(i < s->names.styles.size());
            REQUIRE(j < s->names.expressions.size());
            DIB *flat = PngPicture(s, i, j);
            if (kind.empty())
                CHECK_MESSAGE(SamePicture(drawn, flat), it.key());
            else
                CHECK(HasFrame(s, kind == "blink" ? FIGURE_BLINK : FIGURE_TALK, j));
            bool trimmed = it.value()["frame"]["w"] != it.value()["sourceSize"]["w"] ||
                           it.value()["frame"]["h"] != it.value()["sourceSize"]["h"];
            CHECK(it.value()["trimmed"] == trimmed);
            DIB_Delete_(drawn);
            DIB_Delete_(flat);
        }
        DIB_Delete_(page);
        read.pages++;
    }
    CHECK(read.frames.size() == s->names.styles.size() * s->names.expressions.size() + FrameCount(s));
    return read;
}

// The Godot resource's textures, regions and margins, and its animations.
void CheckGodot(const Session *s, const AtlasRead &atlas, const std::string &text)
{
    std::map<int, std::string> textures;
    std::regex ext("\\[ext_resource path=\"([^\"]+)\" type=\"Texture\" id=(\\d+)\\]");
    for (std::sregex_iterator it(text.begin(), text.end(), ext), end; it != end; ++it)
        textures[atoi((*it)[2].str().c_str())] = (*it)[1].str();
    CHECK(textures.size() == (size_t)atlas.pages);
    struct Region {
        std::string page;
        int x, y, w, h, left, top, extraW, extraH;
    };
    std::map<int, Region> regions;
    std::regex sub("\\[sub_resource type=\"AtlasTexture\" id=(\\d+)\\]\natlas = ExtResource\\( (\\d+) \\)\n"
                   "region = Rect2\\( (\\d+), (\\d+), (\\d+), (\\d+) \\)\nmargin = Rect2\\( (\\d+), (\\d+), (\\d+), "
                   "(\\d+) \\)\n");
    for (std::sregex_iterator it(text.begin(), text.end(), sub), end; it != end; ++it) {
        const std::smatch &m = *it;
        auto n = [&m](int k) { return atoi(m[k].str().c_str()); };
        regions[n(1)] = Region{textures[n(2)], n(3), n(4), n(5), n(6), n(7), n(8), n(9), n(10)};
    }
    REQUIRE(regions.size() == atlas.frames.size());
    std::regex animation("\"frames\": \\[ SubResource\\( (\\d+) \\) \\],\n\"loop\": true,\n\"name\": \"([^\"]+)\"");
    size_t animations = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), animation), end; it != end; ++it) {
        std::string name = (*it)[2].str();
        CAPTURE(name);
        REQUIRE(atlas.frames.count(name));
        const Json &frame = atlas.frames.at(name);
        const Region &r = regions[atoi((*it)[1].str().c_str())];
        CHECK(r.page == atlas.framePage.at(name));
        CHECK(r.x == frame["frame"]["x"].get<int>());
        CHECK(r.y == frame["frame"]["y"].get<int>());
        CHECK(r.w == frame["frame"]["w"].get<int>());
        CHECK(r.h == frame["frame"]["h"].get<int>());
        CHECK(r.left == frame["spriteSourceSize"]["x"].get<int>());
        CHECK(r.top == frame["spriteSourceSize"]["y"].get<int>());
        CHECK(r.w + r.extraW == frame["sourceSize"]["w"].get<int>());
        CHECK(r.h + r.extraH == frame["sourceSize"]["h"].get<int>());
        animations++;
    }
    CHECK(animations == s->names.styles.size() * s->names.expressions.size());
    // A pair with frames is an animation of two frames as well.
    std::regex animated("\"frames\": \\[ SubResource\\( (\\d+) \\), SubResource\\( (\\d+) \\) \\],\n");
    CHECK((size_t)std::distance(std::sregex_iterator(text.begin(), text.end(), animated), std::sregex_iterator()) ==
          FrameCount(s));
    CHECK(text.compare(0, 40, "[gd_resource type=\"SpriteFrames\" load_st") == 0);
}

}  // namespace

TEST_CASE("Atlas export of the sample project: every frame at its source size is the PNG export's picture")
{
    Session s;
    OpenSample(&s);
    Gather(&s);
    ScratchFolder out;
    ExportPng(&s, out);
    ExportStats stats = {};
    AtlasExportOptions atlas;
    int written = Atlas_RunHeadless(&s.h.ch, &s.h.w, &s.names, (out / "atlas\\").c_str(), &atlas, nullptr, &stats);
    CHECK(stats.tally.failed == 0);
    CHECK(stats.images == 16);
    // One page: its picture and JSON, the Godot resource, CREDITS.txt.
    CHECK(written == 4);
    AtlasRead read = ReadAndCompareAtlas(&s, out, "atlas\\");
    CHECK(read.pages == 1);
    CheckGodot(&s, read, ReadText(out / "atlas\\yuna.tres"));
    CHECK(ReadText(out / "atlas\\CREDITS.txt") == ReadText(s.pngFolder + "CREDITS.txt"));

    // The same again, byte for byte; powers of two only grow the page.
    ExportStats again = {};
    Atlas_RunHeadless(&s.h.ch, &s.h.w, &s.names, (out / "again\\").c_str(), &atlas, nullptr, &again);
    for (const char *file : {"yuna.png", "yuna.json", "yuna.tres"})
        CHECK_MESSAGE(ScratchFolder::ReadBytes(out / ("atlas\\" + std::string(file))) ==
                          ScratchFolder::ReadBytes(out / ("again\\" + std::string(file))),
                      file);
    atlas.powerOfTwo = 1;
    Atlas_RunHeadless(&s.h.ch, &s.h.w, &s.names, (out / "pot\\").c_str(), &atlas, nullptr, nullptr);
    Json meta = Json::parse(ReadText(out / "pot\\yuna.json"))["meta"];
    int w = meta["size"]["w"].get<int>(), h = meta["size"]["h"].get<int>();
    CHECK((w & (w - 1)) == 0);
    CHECK((h & (h - 1)) == 0);
    ReadAndCompareAtlas(&s, out, "pot\\");
    Headless_Close(&s.h);
}

TEST_CASE("Atlas export past one page: 112 pictures and their frames wrap onto further pages that the first names")
{
    Session s;
    OpenSample(&s);
    // Twelve more copies of the school style, each with its own folder.
    for (int k = 0; k < 12; k++) {
        DressStyle *copy = CopyStyle(Wardrobe_StyleAt(&s.h.w, 0));
        REQUIRE(copy);
        Style_SetText(&copy->outputFolder, ("copy" + std::to_string(k)).c_str());
        REQUIRE(PtrList_Add(s.h.w.styles, copy) >= 0);
    }
    Gather(&s, "many");
    REQUIRE(s.names.styles.size() == 14);
    ScratchFolder out;
    ExportPng(&s, out);
    ExportStats stats = {};
    AtlasExportOptions atlas;
    int written = Atlas_RunHeadless(&s.h.ch, &s.h.w, &s.names, (out / "atlas\\").c_str(), &atlas, nullptr, &stats);
    CHECK(stats.tally.failed == 0);
    AtlasRead read = ReadAndCompareAtlas(&s, out, "atlas\\");
    CHECK(read.pages > 1);
    CHECK(written == 2 * read.pages + 2);
    Json more = Json::array();
    for (int page = 1; page < read.pages; page++)
        more.push_back("many-" + std::to_string(page) + ".json");
    CHECK(Json::parse(ReadText(out / "atlas\\many.json"))["meta"]["related_multi_packs"] == more);
    CHECK(Json::parse(ReadText(out / "atlas\\many-1.json"))["meta"]["image"] == "many-1.png");
    CheckGodot(&s, read, ReadText(out / "atlas\\many.tres"));
    Headless_Close(&s.h);
}

TEST_CASE("WebGAL export of the sample project: a changeFigure line per pair, each picture the PNG export's")
{
    Session s;
    OpenSample(&s);
    Gather(&s);
    ScratchFolder out;
    ExportPng(&s, out);
    ExportStats stats = {};
    int written = WebGal_RunHeadless(&s.h.ch, &s.h.w, &s.names, (out / "wg\\").c_str(), nullptr, &stats);
    CHECK(stats.tally.failed == 0);
    // 16 pictures and their frames, CREDITS.txt, the scene and the README.
    CHECK(FrameCount(&s) > 0);
    CHECK(written == 16 + (int)FrameCount(&s) + 3);
    std::string scene = ReadText(out / "wg\\game\\scene\\yuna.txt");
    std::istringstream lines(scene);
    std::string comment, line;
    size_t pairs = 0;
    while (std::getline(lines, comment)) {
        REQUIRE(std::getline(lines, line));
        size_t i = pairs / s.names.expressions.size(), j = pairs % s.names.expressions.size();
        CAPTURE(line);
        CHECK(comment.compare(0, 2, "; ") == 0);
        CHECK(comment.find("(" + s.names.styles[i] + ") x ") != std::string::npos);
        CHECK(comment.find("(" + s.names.expressions[j] + ")") != std::string::npos);
        std::string stem = "yuna/" + s.names.styles[i] + "_" + s.names.expressions[j], file = stem + ".png";
        CHECK(line.rfind("changeFigure:" + file + " -id=yuna", 0) == 0);
        CHECK((line.find(" -eyesClose=" + stem + "_blink.png") != std::string::npos) == HasFrame(&s, FIGURE_BLINK, j));
        CHECK((line.find(" -mouthOpen=" + stem + "_talk.png") != std::string::npos) == HasFrame(&s, FIGURE_TALK, j));
        DIB *figure = DIB_CreateFromFile((out / ("wg\\game\\figure\\" + file)).c_str());
        DIB *flat = PngPicture(&s, i, j);
        CHECK(SamePicture(figure, flat));
        DIB_Delete_(figure);
        DIB_Delete_(flat);
        pairs++;
    }
    CHECK(pairs == 16);
    // The labels arrive as UTF-8: 교복 is the school style's name.
    CHECK(scene.find("\xea\xb5\x90\xeb\xb3\xb5 (school) x ") != std::string::npos);
    CHECK(ReadText(out / "wg\\game\\figure\\yuna\\CREDITS.txt") == ReadText(s.pngFolder + "CREDITS.txt"));
    std::string readme = ReadText(out / "wg\\README.txt");
    CHECK(readme.find("game/figure/yuna/") != std::string::npos);
    CHECK(readme.find("game/scene/yuna.txt") != std::string::npos);
    Headless_Close(&s.h);
}

TEST_CASE("Figure-set names: the tag, unusable names, device names and file-name clashes")
{
    Session s;
    OpenSample(&s);
    DressStyle *school = Wardrobe_StyleAt(&s.h.w, 0), *waitress = Wardrobe_StyleAt(&s.h.w, 1);
    struct {
        const char *characterName, *tag, *schoolFolder, *waitressFolder;
        int frames;
        const char *expectedTag;        // nullptr: refused
        std::vector<std::string> said;  // what the message must contain
    } cases[] = {
        {"Yuna", "", "school", "waitress", 0, "yuna", {}},
        {"유나", "yuna-2", "school", "waitress", 0, "yuna-2", {}},
        {"유나", "", "school", "waitress", 0, nullptr, {"유나", "태그를 입력해 주세요"}},
        {"Yuna", "-x", "school", "waitress", 0, nullptr, {"\"-x\"", "시작해야"}},
        {"Yuna", "my tag", "school", "waitress", 0, nullptr, {"\"my tag\"", "ASCII"}},
        {"Yuna", "a;b", "school", "waitress", 0, nullptr, {"\"a;b\"", "ASCII"}},
        {"Nul", "", "school", "waitress", 0, nullptr, {"\"Nul\"", "장치 이름"}},
        {"Yuna", "LPT1", "school", "waitress", 0, nullptr, {"\"LPT1\"", "장치 이름"}},
        {"Yuna", "com0", "school", "waitress", 0, "com0", {}},
        {"Yuna", "", "Aux", "waitress", 0, nullptr, {"교복", "\"Aux\"", "장치 이름"}},
        {"Yuna", "", "school", "my/school", 0, nullptr, {"웨이트리스", "\"my/school\"", "ASCII"}},
        {"Yuna", "", "school", "School", 0, nullptr, {"교복", "웨이트리스", "School_sumashi.png"}},
        // school + niko_blink would be the blink frame of school + niko.
        {"Yuna", "", "school", "school_niko", 0, "yuna", {}},
    };
    for (const auto &c : cases) {
        CAPTURE(c.tag);
        CAPTURE(c.waitressFolder);
        Character_SetName(&s.h.ch, c.characterName);
        Style_SetText(&school->outputFolder, c.schoolFolder);
        Style_SetText(&waitress->outputFolder, c.waitressFolder);
        FigureNames names;
        char message[512] = "";
        int ok = FigureNames_Gather(&s.h.ch, &s.h.w, c.tag, "WebGAL", c.frames, &names, message, sizeof message);
        CHECK(ok == (c.expectedTag != nullptr));
        if (ok)
            CHECK(names.tag == c.expectedTag);
        for (const std::string &part : c.said)
            CHECK_MESSAGE(strstr(message, part.c_str()), message);
    }
    // The frames' names take part in the clash check only when there are
    // frames: the school style's niko and a style "school_niko"'s "blink"
    // expression would both be school_niko_blink.png.
    Style_SetText(&school->outputFolder, "school");
    Style_SetText(&waitress->outputFolder, "school_niko");
    PartEntry *odoroki = (PartEntry *)PtrList_Get(s.h.catalog.expressions, 7);
    free(odoroki->folder);
    odoroki->folder = strdup("blink");
    FigureNames names;
    char message[512] = "";
    CHECK(FigureNames_Gather(&s.h.ch, &s.h.w, "yuna", "WebGAL", 0, &names, message, sizeof message));
    CHECK(!FigureNames_Gather(&s.h.ch, &s.h.w, "yuna", "WebGAL", 1, &names, message, sizeof message));
    CHECK_MESSAGE(strstr(message, "school_niko_blink.png"), message);
    Headless_Close(&s.h);
}

TEST_CASE("Figure-set names: device names in any letter case, and only whole names")
{
    struct {
        const char *name;
        int device;
    } cases[] = {
        {"con", 1}, {"CON", 1}, {"Nul", 1}, {"aux", 1}, {"prn", 1}, {"com1", 1}, {"COM9", 1}, {"lpt5", 1},
        {"com0", 0}, {"lpt", 0}, {"com10", 0}, {"cons", 0}, {"nul_", 0}, {"co", 0}, {"lpta", 0},
    };
    for (const auto &c : cases) {
        CAPTURE(c.name);
        CHECK(FigureNames_IsDeviceName(c.name) == c.device);
        CHECK((FigureNames_Problem(c.name) != nullptr) == (c.device == 1));
    }
    CHECK(FigureNames_Problem("") != nullptr);
    CHECK(FigureNames_Problem(std::string(64, 'a').c_str()) == nullptr);
    CHECK(FigureNames_Problem(std::string(65, 'a').c_str()) != nullptr);
    CHECK(FigureNames_Problem("_x") != nullptr);
    CHECK(FigureNames_Problem("2nd") == nullptr);
}
