// The layered files beside the exported pictures: the parts a picture is
// taken apart into, the export that writes them (the pictures and macro.txt
// unchanged, every file counted, threads writing the same bytes, a failed
// layered file failing the export), and the pieces of the formats that no
// outside reader checks on its own: PackBits' worst case and the names'
// conversion. The files themselves are read by
// outside programs in tests/tools/layered_files_check.py.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "core/services/filesys.h"
#include "core/text_cp949.h"
#include "fixture_tree.h"
#include "layers/render.h"
#include "output/export.h"
#include "output/headless.h"
#include "output/layer_encodings.h"
#include "output/layered_file.h"
#include "output/part_layers.h"
#include "output/psd_file.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// The fixture character with an accessory "a1" in front of everything.
struct LayeredSession {
    ScratchFolder dir;
    Headless h;
    LayeredSession()
    {
        std::string data = Fixture_BuildTree(dir.path);
        REQUIRE(Headless_Open(&h, data.c_str()));
        Character_SetName(&h.ch, "Abc");
        Style_SetText(&Wardrobe_StyleAt(&h.w, 0)->outputFolder, "one");
        Layer *accessory = Wardrobe_AddAccessory(&h.ch, &h.w);
        REQUIRE(accessory);
        Wardrobe_SetAccessoryKind(&h.ch, &h.w, PtrList_IndexOf(h.doc->depthList, accessory), 1);
        Headless_LoadNow(&h);
    }
    ~LayeredSession() { Headless_Close(&h); }
};

// The picture with only depth-list entry `index` drawn, by the export's own
// composition.
DIB *DrawnAlone(LayerDocument *doc, int index)
{
    PtrList *all = doc->depthList;
    PtrList *one = PtrList_Create(1, 1);
    PtrList_Add(one, PtrList_Get(all, index));
    doc->depthList = one;
    DIB *image = Canvas_ComposeExport(doc);
    doc->depthList = all;
    PtrList_Destroy(one, nullptr);
    return image;
}

bool AnyAlpha(const DIB *image)
{
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (DIB_RowTD(image, y)[4 * x + 3])
                return true;
    return false;
}

// Whether the part, placed at its offset, is `reference` pixel for pixel
// and nothing of the reference lies outside it.
bool SamePlaced(const PartLayer &part, const DIB *reference)
{
    for (int y = 0; y < reference->height; y++) {
        for (int x = 0; x < reference->width; x++) {
            const unsigned char *r = DIB_RowTD(reference, y) + 4 * x;
            int px = x - part.offset.x, py = y - part.offset.y;
            bool inside = px >= 0 && py >= 0 && px < part.image->width && py < part.image->height;
            if (!inside) {
                if (r[3])
                    return false;
                continue;
            }
            if (memcmp(r, DIB_RowTD(part.image, py) + 4 * px, 4) != 0)
                return false;
        }
    }
    return true;
}

// Whether the box is tight: some pixel on each of its edges shows.
bool Tight(const DIB *image)
{
    bool top = false, bottom = false, left = false, right = false;
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (DIB_RowTD(image, y)[4 * x + 3]) {
                top |= y == 0;
                bottom |= y == image->height - 1;
                left |= x == 0;
                right |= x == image->width - 1;
            }
    return top && bottom && left && right;
}

int MaxDifference(const DIB *a, const DIB *b)
{
    int worst = 0;
    for (int y = 0; y < a->height; y++)
        for (int i = 0; i < 4 * a->width; i++) {
            int d = DIB_RowTD(a, y)[i] - DIB_RowTD(b, y)[i];
            worst = std::max(worst, d < 0 ? -d : d);
        }
    return worst;
}

struct Reported {
    std::vector<std::string> paths;
    std::vector<int> failures;
};

void Record(void *context, const char *path, int failure)
{
    ((Reported *)context)->paths.push_back(path);
    ((Reported *)context)->failures.push_back(failure);
}

// Exports the session below `base` and returns what was reported.
Reported RunExport(LayeredSession &s, const std::string &base, int layered, int threads, ExportStats *stats)
{
    Reported reported;
    ExportOptions options = {threads, &reported, Record, layered};
    Export_RunHeadless(&s.h.ch, &s.h.w, base.c_str(), &options, stats);
    return reported;
}

bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_CASE("a picture's parts are its depth-list entries drawn alone, in paint order, named as the list names them")
{
    LayeredSession s;
    PartLayers parts;
    REQUIRE(PartLayers_Take(&s.h.ch, &s.h.w, &parts));
    CHECK(parts.width == DOCUMENT_WIDTH);
    CHECK(parts.height == DOCUMENT_HEIGHT);

    int next = 0;
    bool sawAccessory = false;
    for (int i = PtrList_Count(s.h.doc->depthList) - 1; i >= 0; i--) {
        const Layer *entry = (const Layer *)PtrList_Get(s.h.doc->depthList, i);
        DIB *alone = DrawnAlone(s.h.doc, i);
        REQUIRE(alone);
        if (AnyAlpha(alone)) {
            REQUIRE(next < parts.count);
            const PartLayer &part = parts.layers[next++];
            CAPTURE(part.name);
            CHECK(SamePlaced(part, alone));
            CHECK(Tight(part.image));
            if (IsAccessoryId(entry->id)) {
                CHECK(std::string(part.name) == "a1");  // the list shows "착 용 - a1"
                sawAccessory = true;
            } else {
                CHECK(std::string(part.name) == entry->name);
            }
        }
        DIB_Delete_(alone);
    }
    CHECK(next == parts.count);
    CHECK(sawAccessory);
    CHECK(parts.count >= 8);

    // Composing the parts in order gives the picture, up to the rounding of
    // blending a group on its own first.
    DIB *composed = Canvas_ComposeExport(s.h.doc);
    DIB *stacked = DIB_Create(32, parts.width, parts.height);
    for (int i = 0; i < parts.count; i++)
        DIBA24_BltDIBA24(stacked, &parts.layers[i].offset, parts.layers[i].image);
    CHECK(MaxDifference(composed, stacked) <= 1);
    DIB_Delete_(composed);
    DIB_Delete_(stacked);
    PartLayers_Free(&parts);
}

TEST_CASE("layered files beside the pictures: pictures and macro.txt unchanged, each file counted after its picture")
{
    LayeredSession s;
    ExportStats plain, psd, psdThreads, ora;
    Reported none = RunExport(s, s.dir / "plain\\", LAYERED_NONE, 1, &plain);
    Reported withPsd = RunExport(s, s.dir / "psd\\", LAYERED_PSD, 1, &psd);
    Reported withPsdThreads = RunExport(s, s.dir / "psd2\\", LAYERED_PSD, 3, &psdThreads);
    Reported withOra = RunExport(s, s.dir / "ora\\", LAYERED_ORA, 2, &ora);

    REQUIRE(plain.tally.failed == 0);
    CHECK(psd.tally.failed == 0);
    CHECK(ora.tally.failed == 0);
    int pictures = plain.images;
    REQUIRE(pictures > 0);
    // Then macro.txt and CREDITS.txt.
    CHECK(plain.tally.written == pictures + 2);
    CHECK(psd.tally.written == 2 * pictures + 2);
    CHECK(ora.tally.written == 2 * pictures + 2);

    for (const Reported *r : {&withPsd, &withPsdThreads, &withOra}) {
        REQUIRE(r->paths.size() == none.paths.size() + pictures);
        const char *ending = r == &withOra ? ".ora" : ".psd";
        for (int i = 0; i < pictures; i++) {
            const std::string &png = r->paths[2 * i], &layered = r->paths[2 * i + 1];
            CHECK(EndsWith(png, ".png"));
            CHECK(layered == png.substr(0, png.size() - 4) + ending);
            // The picture is the same bytes as without a layered file.
            std::string plainPng = none.paths[i];
            CHECK(EndsWith(plainPng, png.substr(png.find('\\', s.dir.path.size()))));
            CHECK(ScratchFolder::ReadBytes(png) == ScratchFolder::ReadBytes(plainPng));
            Bytes file = ScratchFolder::ReadBytes(layered);
            REQUIRE(file.size() > 64);
            if (r == &withOra)
                CHECK(memcmp(file.data() + 30, "mimetypeimage/openraster", 24) == 0);
            else
                CHECK(memcmp(file.data(), "8BPS\0\1", 6) == 0);
            // Encoder threads write the same bytes as the export in turn.
            if (r == &withPsdThreads)
                CHECK(file == ScratchFolder::ReadBytes(withPsd.paths[2 * i + 1]));
        }
        CHECK(ScratchFolder::ReadBytes(r->paths.back()) == ScratchFolder::ReadBytes(none.paths.back()));
    }
}

TEST_CASE("a layered file that cannot be written fails the export; its picture is still written")
{
    LayeredSession s;
    std::string base = s.dir / "out\\";
    // A folder standing where the first layered file goes.
    FileSys_MakeFolder((base + "Abc").c_str());
    FileSys_MakeFolder((base + "Abc\\one").c_str());
    FileSys_MakeFolder((base + "Abc\\one\\sumashi.psd").c_str());
    ExportStats stats;
    Reported r = RunExport(s, base, LAYERED_PSD, 1, &stats);
    CHECK(stats.tally.failed == 1);
    CHECK(EndsWith(stats.tally.firstFailedPath, "sumashi.psd"));
    REQUIRE(r.failures.size() >= 2);
    CHECK(r.failures[0] == EXPORT_WRITTEN);
    CHECK(r.failures[1] != EXPORT_WRITTEN);
    CHECK(File_Exists((base + "Abc\\one\\sumashi.png").c_str()));

    // A path too long fails the picture and its layered file alike.
    std::string longBase = s.dir.path;
    while (longBase.size() < 246)
        longBase += "b";
    longBase += "\\";
    Reported tooLong = RunExport(s, longBase, LAYERED_ORA, 2, &stats);
    REQUIRE(tooLong.failures.size() >= 4);
    // The pictures and their layered files, then macro.txt and CREDITS.txt.
    for (size_t i = 0; i + 2 < tooLong.failures.size(); i++) {
        CHECK(tooLong.failures[i] == FILEWRITE_PATH_TOO_LONG);
        CHECK(EndsWith(tooLong.paths[i], i % 2 ? ".ora" : ".png"));
    }
    CHECK(stats.tally.failed >= (int)tooLong.failures.size() - 2);
}

TEST_CASE("PackBits rows decode to themselves and stay within their bound")
{
    std::vector<Bytes> rows;
    rows.push_back({7});
    rows.push_back({1, 2});
    rows.push_back({5, 5});
    rows.push_back({5, 5, 5});
    rows.push_back(Bytes(128, 9));
    rows.push_back(Bytes(129, 9));
    rows.push_back(Bytes(300, 0));
    Bytes ramp, pairs, mixed;
    for (int i = 0; i < 700; i++) {
        ramp.push_back((unsigned char)i);
        pairs.push_back((unsigned char)(i / 2));
        mixed.push_back((unsigned char)(i % 7 < 3 ? 4 : i));
    }
    rows.push_back(ramp);   // the worst case: literals only
    rows.push_back(pairs);  // pairs are not worth a repeat
    rows.push_back(mixed);  // repeats of three between literals
    for (const Bytes &row : rows) {
        CAPTURE(row.size());
        Bytes packed(PSD_PACKBITS_BOUND(row.size()) + 16, 0xEE);
        size_t n = Psd_PackBitsRow(row.data(), (int)row.size(), packed.data());
        CHECK(n <= PSD_PACKBITS_BOUND(row.size()));
        CHECK(packed[PSD_PACKBITS_BOUND(row.size())] == 0xEE);
        Bytes decoded;
        for (size_t i = 0; i < n;) {
            int header = (signed char)packed[i++];
            REQUIRE(header != -128);
            if (header >= 0) {
                decoded.insert(decoded.end(), packed.begin() + i, packed.begin() + i + header + 1);
                i += header + 1;
            } else {
                decoded.insert(decoded.end(), 1 - header, packed[i++]);
            }
        }
        CHECK(decoded == row);
    }
}

TEST_CASE("layer names in Unicode: Korean, ASCII, bytes that are not CP949")
{
    struct Case {
        const char *cp949;
        std::u16string utf16;
        std::string utf8;
    } cases[] = {
        {"앞머리", u"앞머리", "\xEC\x95\x9E\xEB\xA8\xB8\xEB\xA6\xAC"},
        {"a1 <&>", u"a1 <&>", "a1 <&>"},
        {"", u"", ""},
        {"x\xFF", u"x\uFFFD", "x\xEF\xBF\xBD"},
    };
    for (const Case &c : cases) {
        CAPTURE(c.cp949);
        std::u16string wide = Cp949_ToUtf16(c.cp949);
        CHECK(wide == c.utf16);
        CHECK(Cp949_ToUtf8(c.cp949) == c.utf8);
    }
}

TEST_CASE("shared layer encodings: equal pixels of one kind are encoded once, anything else again")
{
    // 4 x 4 images: a, a copy of a, a with one alpha byte changed, and b of
    // another size with the same bytes in its first rows.
    auto filled = [](int w, int h, unsigned char value) {
        DIB *image = DIB_Create(32, w, h);
        memset(DIB_Bits(image), value, (size_t)DIB_BytesPerRow(image) * h);
        return image;
    };
    DIB *a = filled(4, 4, 7), *copy = filled(4, 4, 7), *changed = filled(4, 4, 7), *b = filled(2, 8, 7);
    DIB_RowTD(changed, 3)[4 * 3 + 3] = 8;
    int calls = 0;
    LayerEncoder encode = [&calls](const DIB *image, Bytes *out) {
        out->assign(1, (unsigned char)(++calls));
        return image->width > 0;
    };
    // 16 pixels are 64 bytes, plus one encoded byte: two entries fit.
    LayerEncodings *cache = LayerEncodings_Create(2 * 65);
    struct Step {
        DIB *image;
        int kind;
        int encodedBy;  // which encoder call's bytes come back
    } steps[] = {
        {a, LAYER_ENCODING_PNG, 1},
        {copy, LAYER_ENCODING_PNG, 1},
        {changed, LAYER_ENCODING_PNG, 2},
        {a, LAYER_ENCODING_RLE_CHANNELS, 3},   // a's PNG leaves: the oldest
        {b, LAYER_ENCODING_PNG, 4},
        {copy, LAYER_ENCODING_PNG, 5},
        {copy, LAYER_ENCODING_PNG, 5},
    };
    for (const Step &step : steps) {
        CAPTURE(step.encodedBy);
        EncodedLayer bytes = LayerEncodings_Get(cache, step.kind, step.image, encode);
        REQUIRE(bytes);
        CHECK((*bytes)[0] == step.encodedBy);
    }
    LayerEncodings_Destroy(cache);
    // Without a cache every call encodes.
    CHECK((*LayerEncodings_Get(nullptr, LAYER_ENCODING_PNG, a, encode))[0] == 6);
    for (DIB *image : {a, copy, changed, b})
        DIB_Delete_(image);
}

TEST_CASE("a hair band is a layer of its own above its hair; a highlight it covers follows it")
{
    struct Case {
        bool bandOverHighlight;  // the band moved onto the highlight's square
        int hairLayers;          // layers of the hair's name per half
    } cases[] = {{false, 1}, {true, 2}};
    for (const Case &c : cases) {
        CAPTURE(c.bandOverHighlight);
        LayeredSession s;
        Character_ChooseFrontHair(&s.h.ch, 1);  // h2 wears a band
        Headless_LoadNow(&s.h);
        Layer *hair = Character_FindLayer(&s.h.ch, ID_HAIR, ID_FRONT_HAIR);
        Layer *band = Layer_Find(hair, ID_HAIR_BAND);
        LayerImage *bandImage = Layer_GetImage(band);
        REQUIRE(bandImage->image);
        if (c.bandOverHighlight)
            bandImage->offset = Layer_GetImage(Layer_Find(hair, ID_IMAGE_H))->offset;
        DIB *bandAlone = DIB_Create(32, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
        Layer_Draw(band, bandAlone);
        DIB *hairAlone = DIB_Create(32, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
        band->flags &= ~LAYER_VISIBLE;
        Layer_Draw(hair, hairAlone);
        band->flags |= LAYER_VISIBLE;

        PartLayers parts;
        REQUIRE(PartLayers_Take(&s.h.ch, &s.h.w, &parts));
        int at = 0;
        while (at < parts.count && std::string(parts.layers[at].name) != "앞머리")
            at++;
        REQUIRE(at + c.hairLayers < parts.count);
        CHECK(std::string(parts.layers[at + 1].name) == PART_LAYER_HAIR_BAND);
        CHECK(SamePlaced(parts.layers[at + 1], bandAlone));
        if (c.hairLayers == 2)
            CHECK(std::string(parts.layers[at + 2].name) == "앞머리");
        else
            CHECK(SamePlaced(parts.layers[at], hairAlone));
        int bands = 0;
        for (int i = 0; i < parts.count; i++)
            bands += std::string(parts.layers[i].name) == PART_LAYER_HAIR_BAND;
        CHECK(bands == 2);  // the back half wears one too

        DIB *composed = Canvas_ComposeExport(s.h.doc);
        DIB *stacked = DIB_Create(32, parts.width, parts.height);
        for (int i = 0; i < parts.count; i++)
            DIBA24_BltDIBA24(stacked, &parts.layers[i].offset, parts.layers[i].image);
        CHECK(MaxDifference(composed, stacked) <= 1);
        for (DIB *image : {bandAlone, hairAlone, composed, stacked})
            DIB_Delete_(image);
        PartLayers_Free(&parts);
    }
}
