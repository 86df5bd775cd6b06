// The Ren'Py export read back the way Ren'Py reads it: the written .rpy is
// parsed (its layers in order, groups, attributes, defaults, conditions and
// positions), every checked style x expression is composed from it and the
// written layer images, and the result must match the PNG export's picture
// of that pair. Over the sample project, the sample with an accessory
// between the face parts, and twenty random characters; then the runs and
// the names on their own.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "output/export.h"
#include "output/headless.h"
#include "output/renpy_export.h"
#include "project/project_model.h"
#include "project/random_character.h"
#include "shared_sample_tree.h"
#include "test_support.h"
#include "tools/gen-sample/sample_tree.h"

namespace {

// The sample project over the sample tree.
void OpenSample(Headless *h)
{
    const ScratchFolder &tree = SharedSampleTree();
    REQUIRE(Headless_Open(h, (tree / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(h, (tree / "sample.vor").c_str()) == PROJECT_OK);
}

// ---- the .rpy as Ren'Py's layeredimage statement reads it -------------------

struct RpyLayer {
    bool always = false;
    std::string group, attribute, ifAll, ifNot, file;  // file empty: null
    std::string animation;  // the ATL image it shows (file: its still image), or empty
    bool isDefault = false;
    Point pos = {0, 0};
};

struct Rpy {
    std::string tag;
    int width = 0, height = 0;
    std::vector<RpyLayer> layers;
    // The ATL images before the layeredimage: the files they show, in order.
    std::map<std::string, std::vector<std::string>> animations;
};

std::string Unquoted(std::string word)
{
    while (!word.empty() && (word.back() == ',' || word.back() == ')'))
        word.pop_back();
    REQUIRE(word.size() >= 2);
    REQUIRE(word.front() == '"');
    REQUIRE(word.back() == '"');
    return word.substr(1, word.size() - 2);
}

// `"file" pos (x, y)`, `"atl image" pos (x, y)`, `vor_WhileSpeaking("tag",
// "atl image", "file") pos (x, y)` or `null` from the rest of a line.
void ReadImage(std::istringstream &in, std::string word, RpyLayer *layer, const Rpy &rpy)
{
    if (word == "null")
        return;
    if (word.compare(0, 18, "vor_WhileSpeaking(") == 0) {
        std::string animation, file;
        in >> animation >> file;
        CHECK(Unquoted(word.substr(18)) == rpy.tag);
        layer->animation = Unquoted(animation);
        layer->file = Unquoted(file);
        REQUIRE(rpy.animations.count(layer->animation));
    } else {
        layer->file = Unquoted(word);
        if (rpy.animations.count(layer->file)) {
            // The still image is the one it opens with.
            layer->animation = layer->file;
            layer->file = rpy.animations.at(layer->animation)[0];
        }
    }
    std::string pos, x, y;
    in >> pos >> x >> y;
    REQUIRE(pos == "pos");
    REQUIRE(x.front() == '(');
    layer->pos = {atoi(x.c_str() + 1), atoi(y.c_str())};
}

Rpy ParseRpy(const std::string &text)
{
    Rpy rpy;
    std::istringstream lines(text);
    std::string line, group, animation;
    bool inImage = false;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string word;
        if (!(in >> word) || word[0] == '#')
            continue;
        if (!inImage && word == "image" && line.back() == ':') {
            in >> animation;
            animation.pop_back();
            rpy.animations[animation];
            continue;
        }
        if (!inImage && !animation.empty() && line.compare(0, 4, "    ") == 0) {
            if (word.front() == '"')
                rpy.animations[animation].push_back(Unquoted(word));
            continue;
        }
        if (word == "layeredimage") {
            in >> rpy.tag;
            REQUIRE(rpy.tag.back() == ':');
            rpy.tag.pop_back();
            inImage = true;
            continue;
        }
        if (!inImage)
            continue;  // the definitions before the layered image
        REQUIRE(line.compare(0, 4, "    ") == 0);
        if (word == "always") {
            in >> word;
            if (word.compare(0, 5, "Null(") == 0) {
                std::string h;
                in >> h;
                rpy.width = atoi(word.c_str() + 5);
                rpy.height = atoi(h.c_str());
                continue;
            }
            RpyLayer layer;
            layer.always = true;
            ReadImage(in, word, &layer, rpy);
            rpy.layers.push_back(layer);
        } else if (word == "group") {
            in >> group;
            REQUIRE(group.back() == ':');
            group.pop_back();
        } else {
            REQUIRE(word == "attribute");
            RpyLayer layer;
            // An attribute outside the groups stands at the layered image's own indent.
            layer.group = line.compare(0, 8, "        ") == 0 ? group : "";
            in >> layer.attribute >> word;
            if (word == "default") {
                layer.isDefault = true;
                in >> word;
            }
            while (word == "if_all" || word == "if_not") {
                std::string &condition = word == "if_all" ? layer.ifAll : layer.ifNot;
                REQUIRE(condition.empty());
                in >> condition >> word;
                condition = Unquoted(condition);
            }
            ReadImage(in, word, &layer, rpy);
            rpy.layers.push_back(layer);
        }
    }
    return rpy;
}

std::string ReadText(const std::string &path)
{
    std::vector<unsigned char> bytes = ScratchFolder::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The picture Ren'Py shows for `show <tag> <expression> <style> [extra]`:
// every layer whose attribute is one of these (and whose conditions hold),
// back to front, over nothing. An animated layer shows its still image, or
// with `frame` its animation's frame (the second file: the blink, or the
// talking mouth).
DIB *ComposeRpy(const Rpy &rpy, const std::string &dir, const std::string &style, const std::string &expression,
                const std::string &extra = "", bool frame = false)
{
    DIB *picture = DIB_Create(32, rpy.width, rpy.height);
    REQUIRE(picture);
    auto named = [&](const std::string &a) { return !a.empty() && (a == style || a == expression || a == extra); };
    for (const RpyLayer &layer : rpy.layers) {
        bool shown = layer.always || named(layer.attribute);
        if (!layer.ifAll.empty() && !named(layer.ifAll))
            shown = false;
        if (!layer.ifNot.empty() && named(layer.ifNot))
            shown = false;
        if (!shown || layer.file.empty())
            continue;
        std::string file = layer.file;
        if (frame && !layer.animation.empty()) {
            const std::vector<std::string> &files = rpy.animations.at(layer.animation);
            REQUIRE(files.size() == 2);
            file = files[0] == layer.file ? files[1] : files[0];
        }
        DIB *image = DIB_CreateFromFile((dir + file).c_str());
        REQUIRE_MESSAGE(image, file);
        DIBA24_BltDIBA24(picture, &layer.pos, image);
        DIB_Delete_(image);
    }
    return picture;
}

// How far two pictures lie apart: the largest difference in colour
// weighted by alpha (what a viewer sees over any background) or in alpha,
// and the pixels that differ by more than 1.
struct Difference {
    int largest = 0, pixelsOverOne = 0;
};

Difference Compare(const DIB *a, const DIB *b)
{
    REQUIRE(a->width == b->width);
    REQUIRE(a->height == b->height);
    Difference diff;
    for (int y = 0; y < a->height; y++) {
        const unsigned char *p = DIB_RowTD(a, y), *q = DIB_RowTD(b, y);
        for (int x = 0; x < a->width * 4; x += 4) {
            int worst = abs(p[x + 3] - q[x + 3]);
            for (int c = 0; c < 3; c++) {
                int d = abs(p[x + c] * p[x + 3] - q[x + c] * q[x + 3]) / 255;
                worst = d > worst ? d : worst;
            }
            diff.largest = worst > diff.largest ? worst : diff.largest;
            diff.pixelsOverOne += worst > 1;
        }
    }
    return diff;
}

struct Exported {
    RenPyNames names;
    Rpy rpy;
    std::string rpyText;
    int pairs = 0, layerImages = 0;
};

// A flattened run keeps its colour and alpha in 8 bits: where two
// translucent parts of one run meet over a third part below the run, the
// picture can round 2 away from the PNG export's, at a few pixels.
enum { FEW_PIXELS = 16 };

// Both exports of the project the session holds, and every pair compared:
// within `tolerance`, and within 1 but for a few pixels.
Exported ExportAndCompare(Headless *h, const ScratchFolder &out, const char *tag, int tolerance)
{
    Exported e;
    char message[512];
    REQUIRE(RenPy_Validate(&h->ch, &h->w, tag, &e.names, message, sizeof message));
    ExportStats png = {}, renpy = {};
    Export_RunHeadless(&h->ch, &h->w, (out / "png\\").c_str(), nullptr, &png);
    RenPy_RunHeadless(&h->ch, &h->w, &e.names, (out / "rp\\").c_str(), nullptr, &renpy);
    REQUIRE(png.tally.failed == 0);
    REQUIRE(renpy.tally.failed == 0);
    e.layerImages = renpy.images;
    // The images, CREDITS.txt and the script; the credits are the PNG
    // export's, since both show the same pictures.
    CHECK(renpy.tally.written == renpy.images + 2);
    std::string name = std::string(h->ch.name).substr(0, EXPORT_NAME_MAX);
    CHECK(ReadText(out / ("rp\\images\\" + e.names.tag + "\\CREDITS.txt")) ==
          ReadText(out / ("png\\" + name + "\\CREDITS.txt")));
    e.rpyText = ReadText(out / ("rp\\" + e.names.tag + ".rpy"));
    e.rpy = ParseRpy(e.rpyText);
    CHECK(e.rpy.tag == e.names.tag);
    CHECK(e.rpy.width == DOCUMENT_WIDTH);
    CHECK(e.rpy.height == DOCUMENT_HEIGHT);

    // A show statement may name every style and expression, even one that
    // changes nothing.
    std::set<std::string> declared;
    for (const RpyLayer &layer : e.rpy.layers)
        declared.insert(layer.attribute);
    for (const std::vector<std::string> *list : {&e.names.styles, &e.names.expressions})
        for (const std::string &attribute : *list)
            CHECK_MESSAGE(declared.count(attribute), attribute);

    for (size_t s = 0; s < e.names.styles.size(); s++)
        for (size_t x = 0; x < e.names.expressions.size(); x++) {
            const std::string &style = e.names.styles[s], &expression = e.names.expressions[x];
            CAPTURE(style);
            CAPTURE(expression);
            DIB *layered = ComposeRpy(e.rpy, ScratchFolder::Native(out / "rp\\"), style, expression);
            DIB *flat = DIB_CreateFromFile((out / ("png\\" + name + "\\" + style + "\\" + expression + ".png")).c_str());
            REQUIRE(flat);
            Difference diff = Compare(layered, flat);
            CHECK(diff.largest <= tolerance);
            CHECK(diff.pixelsOverOne <= FEW_PIXELS);
            DIB_Delete_(layered);
            DIB_Delete_(flat);
            e.pairs++;
        }
    return e;
}

// Every group lists every attribute of its kind once; the defaults are the
// first checked style and the current expression.
void CheckGroups(const Exported &e, int defaultExpression)
{
    std::map<std::string, std::vector<const RpyLayer *>> groups;
    for (const RpyLayer &layer : e.rpy.layers)
        if (!layer.always && !layer.group.empty())
            groups[layer.group].push_back(&layer);
    for (const auto &g : groups) {
        CAPTURE(g.first);
        bool styleGroup = g.second[0]->attribute == e.names.styles[0] ||
                          (e.names.styles.size() > 1 && g.second[0]->attribute == e.names.styles[1]);
        const std::vector<std::string> &expected = styleGroup ? e.names.styles : e.names.expressions;
        REQUIRE(g.second.size() == expected.size());
        for (size_t i = 0; i < expected.size(); i++) {
            CHECK(g.second[i]->attribute == expected[i]);
            CHECK(g.second[i]->isDefault == (styleGroup ? i == 0 : (int)i == defaultExpression));
        }
    }
}

std::string ProjectPath(const ScratchFolder &tree, Headless *h, uint64_t seed)
{
    RandomLook look;
    RandomLook_Roll(&h->catalog, seed, &look);
    Project *p = RandomLook_ToProject(&look, seed);
    REQUIRE(p);
    ProjectKeySource keys = Project_CatalogKeys(&h->catalog);
    std::string path = tree / ("random" + std::to_string(seed) + ".vor");
    REQUIRE(Project_WriteFile(path.c_str(), p, &keys));
    Project_Free(p);
    return path;
}

}  // namespace

TEST_CASE("Ren'Py export of the sample project: every pair equals the PNG export")
{
    Headless h;
    OpenSample(&h);
    ScratchFolder out;
    Exported e = ExportAndCompare(&h, out, "", 1);
    CHECK(e.names.tag == "yuna");
    CHECK(e.pairs == 16);
    CheckGroups(e, h.ch.expression);
    CHECK(e.rpyText.find("#     show yuna sumashi school\n") != std::string::npos);
    // Wings behind everything, the cat ears in front of everything: outfit
    // groups around the rest (and after them the ungrouped noblink).
    CHECK(e.rpy.layers.front().group == "outfit");
    CHECK(e.rpy.layers.back().attribute == RENPY_NO_BLINK);
    CHECK(e.rpy.layers[e.rpy.layers.size() - 2].group.compare(0, 6, "outfit") == 0);
    // The dress shares no pixel with the front hair and the face in front of
    // it: it joins the cat ears' run, two outfit groups in all.
    std::set<std::string> outfits;
    for (const RpyLayer &layer : e.rpy.layers)
        if (layer.attribute == "school")
            outfits.insert(layer.group);
    CHECK(outfits.size() == 2);
    Headless_Close(&h);
}

TEST_CASE("Ren'Py export: an accessory between face parts splits the face run, its style in several groups")
{
    Headless h;
    OpenSample(&h);
    // The waitress's cat ears between the brows and the cheeks (three fixed
    // entries in front of them: mouth, eyes, cheeks), moved down over the
    // brows so that they cannot be drawn in another order.
    REQUIRE(h.w.selected != 1);
    AccessoryPlacement *ears = AccessorySet_Get(Wardrobe_StyleAt(&h.w, 1)->accessories, 0);
    ears->depth = 3;
    ears->position = {0, 80};
    Character_ChooseExpression(&h.ch, 2);
    ScratchFolder out;
    Exported e = ExportAndCompare(&h, out, "maid", 1);
    CHECK(e.names.tag == "maid");
    CheckGroups(e, 2);
    std::set<std::string> faces, waitressGroups;
    for (const RpyLayer &layer : e.rpy.layers) {
        if (layer.attribute == e.names.expressions[0] && layer.group.compare(0, 4, "face") == 0)
            faces.insert(layer.group);
        if (layer.attribute == "waitress")
            waitressGroups.insert(layer.group);
    }
    // The double eyelids behind the dress, and the face in front split in
    // two (beside the eyes and the mouth, which animate and so stand alone).
    CHECK(faces.size() == 3);
    CHECK(waitressGroups.size() >= 2);
    Headless_Close(&h);
}

TEST_CASE("Ren'Py export of twenty random characters equals their PNG export")
{
    const ScratchFolder &tree = SharedSampleTree();
    for (uint64_t seed = 1; seed <= 20; seed++) {
        CAPTURE(seed);
        Headless h;
        REQUIRE(Headless_Open(&h, (tree / "data\\").c_str()));
        REQUIRE(Headless_LoadProject(&h, ProjectPath(tree, &h, seed).c_str()) == PROJECT_OK);
        ScratchFolder out;
        Exported e = ExportAndCompare(&h, out, "", 2);
        CHECK(e.names.tag == "random" + std::to_string(seed));
        CHECK(e.pairs == 8);
        Headless_Close(&h);
    }
}

TEST_CASE("Ren'Py runs: what a part changes with, and where runs split")
{
    // Two styles x three expressions, row by row per style.
    struct {
        std::vector<int> variant;
        int kind;
    } parts[] = {
        {{-1, -1, -1, -1, -1, -1}, RENPY_NOTHING},
        {{0, 0, 0, 0, 0, 0}, RENPY_ALWAYS},
        {{0, 0, 0, 1, 1, 1}, RENPY_STYLE},
        {{0, 0, 0, -1, -1, -1}, RENPY_STYLE},  // an accessory of the first style only
        {{0, 1, 2, 0, 1, 2}, RENPY_EXPRESSION},
        {{0, -1, 1, 0, -1, 1}, RENPY_EXPRESSION},  // nothing for one expression
        {{0, 1, 2, 3, 4, 5}, RENPY_BOTH},
        {{0, 0, 0, 0, 0, 1}, RENPY_BOTH},
    };
    for (const auto &p : parts) {
        CAPTURE(p.kind);
        CHECK(RenPy_PartKind(p.variant, 2, 3) == p.kind);
    }
    // With one style a part that follows the style is constant.
    CHECK(RenPy_PartKind({0, 1}, 2, 1) == RENPY_STYLE);
    CHECK(RenPy_PartKind({3, 3, 3}, 1, 3) == RENPY_ALWAYS);

    enum { N = RENPY_NOTHING, A = RENPY_ALWAYS, S = RENPY_STYLE, E = RENPY_EXPRESSION, B = RENPY_BOTH };
    struct {
        std::vector<int> kinds;
        std::vector<RenPyRunSpan> runs;
    } splits[] = {
        // The sample's order: back hair, body, double eyelid, dress, front hair, face.
        {{A, S, E, S, A, E, E, E, E}, {{A, 0, 0}, {S, 1, 1}, {E, 2, 2}, {S, 3, 3}, {A, 4, 4}, {E, 5, 8}}},
        // Parts that draw nothing neither split a run nor make one.
        {{N, S, N, S, E, N, E, N}, {{S, 1, 3}, {E, 4, 6}}},
        // An accessory between face parts splits the face.
        {{E, E, S, E}, {{E, 0, 1}, {S, 2, 2}, {E, 3, 3}}},
        // A constant part between two style parts keeps them apart.
        {{S, A, S}, {{S, 0, 0}, {A, 1, 1}, {S, 2, 2}}},
        {{B, B, E}, {{B, 0, 1}, {E, 2, 2}}},
        {{}, {}},
    };
    for (const auto &t : splits) {
        std::vector<RenPyRunSpan> runs = RenPy_SplitRuns(t.kinds);
        REQUIRE(runs.size() == t.runs.size());
        for (size_t i = 0; i < runs.size(); i++) {
            CHECK(runs[i].kind == t.runs[i].kind);
            CHECK(runs[i].first == t.runs[i].first);
            CHECK(runs[i].last == t.runs[i].last);
        }
    }
}

TEST_CASE("Ren'Py names: the tag, unusable attribute names and clashes, each with its message")
{
    const ScratchFolder &tree = SharedSampleTree();
    Headless h;
    REQUIRE(Headless_Open(&h, (tree / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(&h, (tree / "sample.vor").c_str()) == PROJECT_OK);
    DressStyle *school = Wardrobe_StyleAt(&h.w, 0), *waitress = Wardrobe_StyleAt(&h.w, 1);
    struct {
        const char *characterName, *tag, *schoolFolder, *waitressFolder;
        const char *expectedTag;       // nullptr: refused
        std::vector<std::string> said; // what the message must contain
    } cases[] = {
        {"Yuna", "", "school", "waitress", "yuna", {}},
        {"유나", "yuna", "school", "waitress", "yuna", {}},
        {"유나", "", "school", "waitress", nullptr, {"유나", "태그를 입력해 주세요"}},
        {"Yuna", "1st", "school", "waitress", nullptr, {"\"1st\"", "영문자로 시작"}},
        {"Yuna", "my tag", "school", "waitress", nullptr, {"\"my tag\"", "ASCII"}},
        {"Yuna", "show", "school", "waitress", nullptr, {"\"show\"", "예약"}},
        {"Yuna", "", "my school", "waitress", nullptr, {"교복", "\"my school\"", "ASCII"}},
        {"Yuna", "", "2nd", "waitress", nullptr, {"\"2nd\"", "영문자로 시작"}},
        {"Yuna", "", "school", "behind", nullptr, {"웨이트리스", "\"behind\"", "예약"}},
        {"Yuna", "", "school", "default", "yuna", {}},
        {"Yuna", "", "school", "niko", nullptr, {"표정 \"niko\"", "웨이트리스", "같은 Ren'Py 속성"}},
        {"Yuna", "", "school", "School", nullptr, {"교복", "웨이트리스", "\"School\"", "같은 Ren'Py 속성"}},
        // The tag also names the Character: not a Python word, not one of Ren'Py's store.
        {"Yuna", "class", "school", "waitress", nullptr, {"\"class\"", "파이썬 이름"}},
        {"Config", "", "school", "waitress", nullptr, {"\"config\"", "파이썬 이름"}},
        {"Yuna", "vor_x", "school", "waitress", nullptr, {"\"vor_x\"", "vor_"}},
        {"Yuna", "", "school", "Noblink", nullptr, {"noblink", "웨이트리스", "같은 Ren'Py 속성"}},
    };
    for (const auto &c : cases) {
        CAPTURE(c.tag);
        CAPTURE(c.waitressFolder);
        Character_SetName(&h.ch, c.characterName);
        Style_SetText(&school->outputFolder, c.schoolFolder);
        Style_SetText(&waitress->outputFolder, c.waitressFolder);
        RenPyNames names;
        char message[512] = "";
        int ok = RenPy_Validate(&h.ch, &h.w, c.tag, &names, message, sizeof message);
        CHECK(ok == (c.expectedTag != nullptr));
        if (ok)
            CHECK(names.tag == c.expectedTag);
        for (const std::string &part : c.said)
            CHECK_MESSAGE(strstr(message, part.c_str()), message);
    }
    // An expression folder of the data tree that cannot be an attribute.
    Style_SetText(&waitress->outputFolder, "waitress");
    PartEntry *niko = (PartEntry *)PtrList_Get(h.catalog.expressions, 1);
    free(niko->folder);
    niko->folder = strdup("niko 2");
    RenPyNames names;
    char message[512] = "";
    CHECK(!RenPy_Validate(&h.ch, &h.w, "", &names, message, sizeof message));
    CHECK(strstr(message, "표정 \"niko 2\""));
    Headless_Close(&h);
}

namespace {

// The folder of a scratch folder without its closing separator, which
// std::filesystem on Windows does not take as a folder to copy.
std::filesystem::path FolderPath(const std::string &programPath)
{
    std::string path = ScratchFolder::Native(programPath);
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

// Copies every file below `from` into `to` (which exists: a scratch folder);
// file by file, since Windows' copy of a whole tree refuses an existing target.
void CopyTree(const ScratchFolder &from, const ScratchFolder &to)
{
    namespace fs = std::filesystem;
    fs::path source = FolderPath(from.path), target = FolderPath(to.path);
    for (const auto &f : fs::recursive_directory_iterator(source)) {
        fs::path into = target / fs::relative(f.path(), source);
        if (f.is_directory())
            fs::create_directories(into);
        else
            fs::copy_file(f.path(), into, fs::copy_options::overwrite_existing);
    }
}

// A copy of the tree at `from` whose eyes and mouths show their frames in
// place of their still images, in every expression that has them: what the
// program would draw if the frames were the pack's images.
void FramedCopy(const ScratchFolder &from, const ScratchFolder &to)
{
    namespace fs = std::filesystem;
    CopyTree(from, to);
    for (const char *kind : {"eye", "mouth"})
        for (const auto &shape : fs::directory_iterator(ScratchFolder::Native(to / "data\\" + kind)))
            for (const char *x : {"sumashi", "niko", "nikkori", "makka", "naki", "utumuki", "ikari", "odoroki"})
                for (const char *frame : {"_close", "_talk"}) {
                    bool any = false;
                    for (const char *r : {"_a", "_b", "_h"})
                        any = any || fs::exists(shape.path() / (std::string(x) + frame + r + ".png"));
                    if (!any)
                        continue;
                    for (const char *r : {"_a", "_b", "_h"}) {
                        fs::path still = shape.path() / (std::string(x) + r + ".png");
                        fs::path framed = shape.path() / (std::string(x) + frame + r + ".png");
                        fs::remove(still);
                        if (fs::exists(framed))
                            fs::copy_file(framed, still);
                    }
                }
}

}  // namespace

TEST_CASE("Ren'Py export: the eyes and the mouth shown in their frames equal the picture drawn with the frames")
{
    const ScratchFolder &tree = SharedSampleTree();
    ScratchFolder framedTree;
    FramedCopy(tree, framedTree);
    Headless h, framed;
    REQUIRE(Headless_Open(&h, (tree / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(&h, (tree / "sample.vor").c_str()) == PROJECT_OK);
    REQUIRE(Headless_Open(&framed, (framedTree / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(&framed, (tree / "sample.vor").c_str()) == PROJECT_OK);
    ScratchFolder out;
    Exported e = ExportAndCompare(&h, out, "", 1);
    ExportStats png = {};
    Export_RunHeadless(&framed.ch, &framed.w, (out / "framed\\").c_str(), nullptr, &png);
    REQUIRE(png.tally.failed == 0);

    // The eyes and the mouth are layers of their own, and each animated
    // expression names its animation.
    std::set<std::string> groups;
    int blinking = 0, talking = 0;
    for (const RpyLayer &layer : e.rpy.layers) {
        groups.insert(layer.group);
        blinking += layer.group == "eyes" && !layer.animation.empty();
        talking += layer.group == "mouth" && !layer.animation.empty();
    }
    CHECK(groups.count("eyes"));
    CHECK(groups.count("eyes_still"));
    CHECK(groups.count("mouth"));
    CHECK(blinking == 6);  // not niko and utumuki, whose eyes are shut
    CHECK(talking == 8);
    std::string name = std::string(h.ch.name).substr(0, EXPORT_NAME_MAX);
    for (const std::string &style : e.names.styles)
        for (const std::string &expression : e.names.expressions) {
            CAPTURE(style);
            CAPTURE(expression);
            std::string dir = ScratchFolder::Native(out / "rp\\");
            DIB *shown = ComposeRpy(e.rpy, dir, style, expression, "", true);
            DIB *expected = DIB_CreateFromFile((out / ("framed\\" + name + "\\" + style + "\\" + expression + ".png")).c_str());
            REQUIRE(expected);
            Difference diff = Compare(shown, expected);
            CHECK(diff.largest <= 1);
            CHECK(diff.pixelsOverOne <= FEW_PIXELS);
            // `noblink` shows the still picture.
            DIB *held = ComposeRpy(e.rpy, dir, style, expression, RENPY_NO_BLINK);
            DIB *still = ComposeRpy(e.rpy, dir, style, expression);
            CHECK(Compare(held, still).largest == 0);
            for (DIB *d : {shown, expected, held, still})
                DIB_Delete_(d);
        }
    Headless_Close(&framed);
    Headless_Close(&h);
}

TEST_CASE("Ren'Py export: the speaker, the side image and the header")
{
    Headless h;
    OpenSample(&h);
    ScratchFolder out;
    Exported e = ExportAndCompare(&h, out, "", 1);
    const std::string &text = e.rpyText;
    CHECK(text.find("\ndefine yuna = Character(\"Yuna\", image=\"yuna\", callback=vor_speaker(\"yuna\"))\n") !=
          std::string::npos);
    // Each attribute beside the face the program shows, in UTF-8.
    for (const char *line : {"#     sumashi  \xEA\xB8\xB0\xEB\xB3\xB8\n", "#     niko     ^-^\n", "#     naki     '-';\n",
                             "#     odoroki  O_O\n"})
        CHECK_MESSAGE(text.find(line) != std::string::npos, line);
    CHECK(text.find("#         yuna \"\xEC\x95\x88\xEB\x85\x95") != std::string::npos);  // "안녕
    CHECK(text.find("show yuna noblink") != std::string::npos);
    // The side image: the head and shoulders around the face, inside the
    // picture, zoomed to the default say screen's text box.
    int x, y, w, hgt;
    double zoom = 1;
    size_t at = text.find("image side yuna = LayeredImageProxy(\"yuna\", Transform(crop=(");
    REQUIRE(at != std::string::npos);
    REQUIRE(sscanf(text.c_str() + at, "image side yuna = LayeredImageProxy(\"yuna\", Transform(crop=(%d, %d, %d, %d), zoom=%lf",
                   &x, &y, &w, &hgt, &zoom) >= 4);
    CHECK(x >= 0);
    CHECK(y >= 0);
    CHECK(x + w <= DOCUMENT_WIDTH);
    CHECK(y + hgt <= DOCUMENT_HEIGHT);
    for (const RpyLayer &layer : e.rpy.layers)
        if ((layer.group == "eyes_still" || layer.group == "mouth") && !layer.file.empty()) {
            CAPTURE(layer.attribute);
            CHECK(layer.pos.x > x);
            CHECK(layer.pos.y > y + hgt / 4);  // room for the hair above the eyes
            CHECK(layer.pos.y < y + hgt * 2 / 3);  // and for the shoulders below the mouth
        }
    CHECK((int)(hgt * zoom + 0.5) <= RENPY_SIDE_HEIGHT);
    CHECK((int)(hgt * zoom + 0.5) >= RENPY_SIDE_HEIGHT - 1);

    // A game that defines its own character.
    RenPyNames names = e.names;
    names.defineCharacter = 0;
    RenPyCapture capture;
    RenPyCapture_Init(&capture, 1, 1);
    RenPyPlan plan;
    std::string bare = RenPy_Script(&plan, &names, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    CHECK(bare.find("define yuna") == std::string::npos);
    CHECK(bare.find("image side") == std::string::npos);  // an empty plan has no face
    Headless_Close(&h);
}

TEST_CASE("Ren'Py export: the speaker's name reads back as Ren'Py shows it")
{
    Headless h;
    OpenSample(&h);
    struct {
        const char *name;    // CP949
        const char *quoted;  // in the define, UTF-8
    } cases[] = {
        {"Yuna", "\"Yuna\""},
        {"유나", "\"\xEC\x9C\xA0\xEB\x82\x98\""},
        {"Yu\"na\\", "\"Yu\\\"na\\\\\""},
        {"[tag]{b}", "\"[[tag]{{b}\""},  // neither a substitution nor a text tag
        {"a\tb\n", "\"ab\""},
    };
    for (const auto &c : cases) {
        CAPTURE(c.quoted);
        Character_SetName(&h.ch, c.name);
        RenPyNames names;
        char message[512] = "";
        REQUIRE(RenPy_Validate(&h.ch, &h.w, "yuna", &names, message, sizeof message));
        RenPyPlan plan;
        std::string text = RenPy_Script(&plan, &names, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
        CHECK(text.find(std::string("define yuna = Character(") + c.quoted + ", image=") != std::string::npos);
    }
    Headless_Close(&h);
}

TEST_CASE("Ren'Py export without frames: no animation, and the face's runs as before")
{
    namespace fs = std::filesystem;
    const ScratchFolder &tree = SharedSampleTree();
    ScratchFolder still;
    CopyTree(tree, still);
    for (const auto &f : fs::recursive_directory_iterator(FolderPath(still.path)))
        if (f.path().filename().string().find("_close_") != std::string::npos ||
            f.path().filename().string().find("_talk_") != std::string::npos)
            fs::remove(f.path());
    Headless h;
    REQUIRE(Headless_Open(&h, (still / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(&h, (still / "sample.vor").c_str()) == PROJECT_OK);
    ScratchFolder out;
    Exported e = ExportAndCompare(&h, out, "", 1);
    CHECK(!e.names.frames);
    CHECK(e.rpyText.find("\nimage yuna_") == std::string::npos);
    CHECK(e.rpyText.find("noblink") == std::string::npos);
    CHECK(e.rpyText.find("vor_WhileSpeaking(\"yuna\"") == std::string::npos);
    CHECK(e.rpyText.find("define yuna = Character(") != std::string::npos);
    std::set<std::string> groups;
    for (const RpyLayer &layer : e.rpy.layers)
        groups.insert(layer.group);
    // The face in front of the front hair is one run, as it always was.
    CHECK(groups == std::set<std::string>{"", "outfit", "face", "face2", "outfit2"});

    // The frames change nothing of the PNG export: every picture, macro.txt
    // and CREDITS.txt of the tree with frames are the bytes of the one without.
    Headless framed;
    REQUIRE(Headless_Open(&framed, (tree / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(&framed, (tree / "sample.vor").c_str()) == PROJECT_OK);
    ExportStats stats = {};
    Export_RunHeadless(&framed.ch, &framed.w, (out / "framed\\").c_str(), nullptr, &stats);
    REQUIRE(stats.tally.failed == 0);
    int files = 0;
    fs::path withFrames = FolderPath(out / "framed\\"), without = FolderPath(out / "png\\");
    for (const auto &f : fs::recursive_directory_iterator(withFrames)) {
        if (!f.is_regular_file())
            continue;
        fs::path relative = fs::relative(f.path(), withFrames);
        CAPTURE(relative.string());
        CHECK(ScratchFolder::ReadBytes(f.path().string()) == ScratchFolder::ReadBytes((without / relative).string()));
        files++;
    }
    CHECK(files == 16 + 2);
    Headless_Close(&framed);
    Headless_Close(&h);
}

TEST_CASE("Ren'Py runs: an animated part is a run of its own")
{
    enum { N = RENPY_NOTHING, A = RENPY_ALWAYS, S = RENPY_STYLE, E = RENPY_EXPRESSION };
    struct {
        std::vector<int> kinds, alone;
        std::vector<RenPyRunSpan> runs;
    } cases[] = {
        // The sample's face: brows, cheeks, eyes, mouth; the eyes and the mouth animate.
        {{A, E, E, E, E}, {0, 0, 0, 1, 1}, {{A, 0, 0}, {E, 1, 2}, {E, 3, 3}, {E, 4, 4}}},
        // Only the eyes: the mouth stays with what is left of the run.
        {{E, E, E, E}, {0, 1, 0, 0}, {{E, 0, 0}, {E, 1, 1}, {E, 2, 3}}},
        // Parts that draw nothing beside it make no run of their own.
        {{E, N, E, N}, {0, 0, 1, 0}, {{E, 0, 1}, {E, 2, 2}}},
        {{N, E, N, S}, {0, 1, 0, 0}, {{E, 1, 1}, {S, 3, 3}}},
        // Nothing animated: the runs as they were.
        {{S, E, E}, {0, 0, 0}, {{S, 0, 0}, {E, 1, 2}}},
    };
    for (const auto &c : cases) {
        std::vector<RenPyRunSpan> runs = RenPy_IsolateParts(RenPy_SplitRuns(c.kinds), c.kinds, c.alone);
        REQUIRE(runs.size() == c.runs.size());
        for (size_t i = 0; i < runs.size(); i++) {
            CAPTURE(i);
            CHECK(runs[i].kind == c.runs[i].kind);
            CHECK(runs[i].first == c.runs[i].first);
            CHECK(runs[i].last == c.runs[i].last);
        }
    }
}
