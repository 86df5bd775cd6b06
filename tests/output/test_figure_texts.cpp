// The figure sets' texts for pairs that have blink and talk frames, and for
// a character of one style and one expression: the atlas's animations in
// its JSON and in Godot's resource, and the WebGAL line's animation
// arguments, each naming the files the frames are written to.
#include <doctest.h>

#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "output/atlas_sheet.h"
#include "output/webgal_figure.h"

namespace {

FigureNames Names(std::vector<std::string> styles, std::vector<std::string> expressions)
{
    FigureNames names;
    names.tag = "mina";
    names.styles = styles;
    names.expressions = expressions;
    for (size_t i = 0; i < styles.size(); i++) {
        names.styleIndex.push_back((int)i);
        names.styleLabels.push_back("style; " + styles[i]);
    }
    for (const std::string &e : expressions)
        names.expressionLabels.push_back("label " + e);
    return names;
}

// A 40 x 50 picture with one opaque box at (x, y).
DIB *Picture(int x, int y, int w, int h, unsigned char shade)
{
    DIB *image = DIB_Create(32, 40, 50);
    REQUIRE(image);
    for (int row = y; row < y + h; row++) {
        unsigned char *p = DIB_RowTD(image, row) + 4 * x;
        for (int k = 0; k < w; k++, p += 4) {
            p[0] = p[1] = p[2] = shade;
            p[3] = 255;
        }
    }
    return image;
}

bool Has(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_CASE("figure texts: one style and one expression")
{
    FigureNames names = Names({"casual"}, {"smile"});
    DIB *still = Picture(5, 7, 10, 20, 200);
    const DIB *frames[FIGURE_FRAME_COUNT] = {still, nullptr, nullptr};
    AtlasSheet sheet;
    REQUIRE(AtlasSheet_AddPair(&sheet, &names, 0, 0, frames));
    REQUIRE(AtlasSheet_Pack(&sheet, AtlasPackOptions()));
    REQUIRE(sheet.layout.pages.size() == 1);
    CHECK(sheet.layout.pages[0].width == 10 + 2 * ATLAS_PADDING);
    CHECK(sheet.layout.pages[0].height == 20 + 2 * ATLAS_PADDING);
    std::string json = AtlasSheet_Json(&sheet, 0);
    CHECK(json ==
          "{\"frames\": {\n"
          "\t\"casual/smile\":\n\t{\n"
          "\t\t\"frame\": {\"x\":2,\"y\":2,\"w\":10,\"h\":20},\n"
          "\t\t\"rotated\": false,\n"
          "\t\t\"trimmed\": true,\n"
          "\t\t\"spriteSourceSize\": {\"x\":5,\"y\":7,\"w\":10,\"h\":20},\n"
          "\t\t\"sourceSize\": {\"w\":40,\"h\":50}\n\t}\n"
          "},\n\"animations\": {},\n"
          "\"meta\": {\n\t\"app\": \"VOR\",\n\t\"version\": \"1.0\",\n\t\"image\": \"mina.png\",\n"
          "\t\"format\": \"RGBA8888\",\n\t\"size\": {\"w\":14,\"h\":24},\n\t\"scale\": \"1\"\n}\n}\n");
    std::string godot = AtlasSheet_Godot(&sheet);
    CHECK(Has(godot, "[gd_resource type=\"SpriteFrames\" load_steps=3 format=2]\n"));
    CHECK(Has(godot, "[ext_resource path=\"mina.png\" type=\"Texture\" id=1]\n"));
    CHECK(Has(godot, "region = Rect2( 2, 2, 10, 20 )\nmargin = Rect2( 5, 7, 30, 30 )\n"));
    CHECK(Has(godot, "\"name\": \"casual/smile\""));
    // The page holds the picture's box at its spot and nothing else.
    DIB *page = AtlasSheet_ComposePage(&sheet, 0);
    REQUIRE(page);
    CHECK(DIB_RowTD(page, 2)[4 * 2 + 3] == 255);
    CHECK(DIB_RowTD(page, 1)[4 * 2 + 3] == 0);
    CHECK(DIB_RowTD(page, 21)[4 * 11 + 3] == 255);
    CHECK(DIB_RowTD(page, 22)[4 * 11 + 3] == 0);
    DIB_Delete_(page);

    FigureFrameTable table = {{1, 0, 0}};
    CHECK(WebGal_SceneText(&names, table) ==
          "; style  casual (casual) x label smile (smile)\nchangeFigure:mina/casual_smile.png -id=mina;\n");
    AtlasSheet_Release(&sheet);
    DIB_Delete_(still);
}

TEST_CASE("figure texts: blink and talk frames become animations and WebGAL's figure animation")
{
    FigureNames names = Names({"casual", "formal"}, {"smile", "cry"});
    DIB *still = Picture(5, 7, 10, 20, 200), *blink = Picture(5, 7, 10, 18, 100), *talk = Picture(6, 9, 8, 20, 50);
    struct {
        int style, expression;
        bool blink, talk;
    } pairs[] = {{0, 0, true, true}, {0, 1, true, false}, {1, 0, false, true}, {1, 1, false, false}};
    AtlasSheet sheet;
    FigureFrameTable table;
    for (const auto &p : pairs) {
        const DIB *frames[FIGURE_FRAME_COUNT] = {still, p.blink ? blink : nullptr, p.talk ? talk : nullptr};
        REQUIRE(AtlasSheet_AddPair(&sheet, &names, p.style, p.expression, frames));
        table.push_back({1, (char)p.blink, (char)p.talk});
    }
    REQUIRE(AtlasSheet_Pack(&sheet, AtlasPackOptions()));
    CHECK(sheet.frames.size() == 4 + 2 + 2);
    std::string json = AtlasSheet_Json(&sheet, 0);
    CHECK(Has(json, "\t\"casual/smile/blink\": [\"casual/smile\",\"casual/smile/blink\"],\n"));
    CHECK(Has(json, "\t\"casual/smile/talk\": [\"casual/smile\",\"casual/smile/talk\"],\n"));
    CHECK(Has(json, "\t\"casual/cry/blink\": [\"casual/cry\",\"casual/cry/blink\"],\n"));
    CHECK(Has(json, "\t\"formal/smile/talk\": [\"formal/smile\",\"formal/smile/talk\"]\n},"));
    CHECK(!Has(json, "formal/cry/"));
    CHECK(Has(json, "\t\"formal/smile/talk\":\n\t{\n\t\t\"frame\""));
    // A still animation per pair and one per animated frame: 4 + 4.
    std::string godot = AtlasSheet_Godot(&sheet);
    size_t animations = 0;
    for (size_t at = godot.find("\"name\": "); at != std::string::npos; at = godot.find("\"name\": ", at + 1))
        animations++;
    CHECK(animations == 8);
    CHECK(Has(godot, "\"frames\": [ SubResource( 1 ), SubResource( 2 ) ],\n\"loop\": true,\n"
                     "\"name\": \"casual/smile/blink\""));

    std::string scene = WebGal_SceneText(&names, table);
    CHECK(Has(scene, "changeFigure:mina/casual_smile.png -id=mina -animationFlag=on "
                     "-eyesOpen=mina/casual_smile.png -eyesClose=mina/casual_smile_blink.png "
                     "-mouthOpen=mina/casual_smile_talk.png -mouthClose=mina/casual_smile.png;\n"));
    CHECK(Has(scene, "changeFigure:mina/casual_cry.png -id=mina -animationFlag=on "
                     "-eyesOpen=mina/casual_cry.png -eyesClose=mina/casual_cry_blink.png;\n"));
    CHECK(Has(scene, "changeFigure:mina/formal_smile.png -id=mina -animationFlag=on "
                     "-mouthOpen=mina/formal_smile_talk.png -mouthClose=mina/formal_smile.png;\n"));
    CHECK(Has(scene, "changeFigure:mina/formal_cry.png -id=mina;\n"));
    // The files the lines name are the ones the export writes.
    CHECK(WebGal_FigureFile(&names, 0, 0, FIGURE_BLINK) == "game/figure/mina/casual_smile_blink.png");
    CHECK(WebGal_FigureFile(&names, 1, 0, FIGURE_TALK) == "game/figure/mina/formal_smile_talk.png");
    CHECK(WebGal_SceneFile(&names) == "game/scene/mina.txt");
    AtlasSheet_Release(&sheet);
    DIB_Delete_(still);
    DIB_Delete_(blink);
    DIB_Delete_(talk);
}
