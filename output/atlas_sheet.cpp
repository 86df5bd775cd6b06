// The sprite atlas's frames, pages and description texts.
#include <cstdio>

#include "output/atlas_sheet.h"

const char *const FIGURE_FRAME_WORDS[FIGURE_FRAME_COUNT] = {nullptr, "blink", "talk"};

// An animated frame shows this many times a second in Godot's player; the
// engines' own blink and lip timing replaces it in a game.
static const char GODOT_SPEED[] = "5.0";

int AtlasSheet_AddPair(AtlasSheet *sheet, const FigureNames *names, int style, int expression,
                       const DIB *const frames[FIGURE_FRAME_COUNT])
{
    if (sheet->tag.empty())
        sheet->tag = names->tag;
    int group = (int)(style * names->expressions.size() + expression);
    std::string key = names->styles[style] + "/" + names->expressions[expression];
    int still = -1;
    for (int f = 0; f < FIGURE_FRAME_COUNT; f++) {
        if (!frames[f])
            continue;
        AtlasFrame frame;
        frame.key = FIGURE_FRAME_WORDS[f] ? key + "/" + FIGURE_FRAME_WORDS[f] : key;
        frame.group = group;
        frame.kind = f;
        frame.image = DIB_Trim(frames[f], &frame.offset);
        if (!frame.image)
            return 0;
        frame.sourceWidth = frames[f]->width;
        frame.sourceHeight = frames[f]->height;
        sheet->frames.push_back(frame);
        int index = (int)sheet->frames.size() - 1;
        if (f == FIGURE_STILL)
            still = index;
        else if (still >= 0)
            sheet->animations.push_back(AtlasAnimation{frame.key, {still, index}});
    }
    return still >= 0;
}

int AtlasSheet_Pack(AtlasSheet *sheet, const AtlasPackOptions &options)
{
    std::vector<AtlasBox> boxes;
    for (const AtlasFrame &frame : sheet->frames)
        boxes.push_back(AtlasBox{frame.image->width, frame.image->height, frame.group});
    return Atlas_Pack(boxes, options, &sheet->layout);
}

void AtlasSheet_Release(AtlasSheet *sheet)
{
    for (AtlasFrame &frame : sheet->frames)
        DIB_Delete_(frame.image);
    *sheet = AtlasSheet();
}

DIB *AtlasSheet_ComposePage(const AtlasSheet *sheet, int page)
{
    const AtlasPageSize &size = sheet->layout.pages[page];
    DIB *image = DIB_Create(32, size.width, size.height);
    if (!image)
        return nullptr;
    for (size_t i = 0; i < sheet->frames.size(); i++) {
        const AtlasSpot &spot = sheet->layout.spots[i];
        if (spot.page != page)
            continue;
        Point at = {spot.x, spot.y};
        DIB_Blt(image, &at, sheet->frames[i].image, nullptr);
    }
    return image;
}

std::string AtlasSheet_PageFile(const std::string &tag, int page, const char *ext)
{
    std::string name = tag;
    if (page > 0)
        name += "-" + std::to_string(page);
    return name + "." + ext;
}

// A JSON string: the names are checked ASCII words, but the text stays
// valid JSON whatever it holds.
static std::string JsonString(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

static std::string Num(int n)
{
    return std::to_string(n);
}

static std::string JsonFrame(const AtlasFrame &frame, const AtlasSpot &spot)
{
    int w = frame.image->width, h = frame.image->height;
    bool trimmed = w != frame.sourceWidth || h != frame.sourceHeight;
    return "\t" + JsonString(frame.key) + ":\n\t{\n" +
           "\t\t\"frame\": {\"x\":" + Num(spot.x) + ",\"y\":" + Num(spot.y) + ",\"w\":" + Num(w) + ",\"h\":" + Num(h) +
           "},\n" + "\t\t\"rotated\": false,\n" + "\t\t\"trimmed\": " + (trimmed ? "true" : "false") + ",\n" +
           "\t\t\"spriteSourceSize\": {\"x\":" + Num(frame.offset.x) + ",\"y\":" + Num(frame.offset.y) +
           ",\"w\":" + Num(w) + ",\"h\":" + Num(h) + "},\n" + "\t\t\"sourceSize\": {\"w\":" +
           Num(frame.sourceWidth) + ",\"h\":" + Num(frame.sourceHeight) + "}\n\t}";
}

std::string AtlasSheet_Json(const AtlasSheet *sheet, int page)
{
    std::string text = "{\"frames\": {\n";
    bool first = true;
    for (size_t i = 0; i < sheet->frames.size(); i++) {
        if (sheet->layout.spots[i].page != page)
            continue;
        text += first ? "" : ",\n";
        text += JsonFrame(sheet->frames[i], sheet->layout.spots[i]);
        first = false;
    }
    text += "\n},\n\"animations\": {";
    // A group never straddles pages, so an animation's frames are all on
    // the page of its first frame.
    first = true;
    for (const AtlasAnimation &animation : sheet->animations) {
        if (sheet->layout.spots[animation.frames[0]].page != page)
            continue;
        text += first ? "\n" : ",\n";
        text += "\t" + JsonString(animation.name) + ": [";
        for (size_t k = 0; k < animation.frames.size(); k++)
            text += (k ? "," : "") + JsonString(sheet->frames[animation.frames[k]].key);
        text += "]";
        first = false;
    }
    text += first ? "},\n" : "\n},\n";
    const AtlasPageSize &size = sheet->layout.pages[page];
    text += "\"meta\": {\n"
            "\t\"app\": \"VOR\",\n"
            "\t\"version\": \"1.0\",\n"
            "\t\"image\": " + JsonString(AtlasSheet_PageFile(sheet->tag, page, "png")) + ",\n" +
            "\t\"format\": \"RGBA8888\",\n"
            "\t\"size\": {\"w\":" + Num(size.width) + ",\"h\":" + Num(size.height) + "},\n" +
            "\t\"scale\": \"1\"";
    if (page == 0 && sheet->layout.pages.size() > 1) {
        text += ",\n\t\"related_multi_packs\": [";
        for (size_t p = 1; p < sheet->layout.pages.size(); p++)
            text += (p > 1 ? "," : "") + JsonString(AtlasSheet_PageFile(sheet->tag, (int)p, "json"));
        text += "]";
    }
    text += "\n}\n}\n";
    return text;
}

// A Godot string: `"` and `\` escaped.
static std::string GodotString(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

static std::string GodotAnimation(const std::string &name, const std::vector<int> &frames)
{
    std::string text = "{\n\"frames\": [ ";
    for (size_t k = 0; k < frames.size(); k++)
        text += (k ? ", " : "") + std::string("SubResource( ") + Num(frames[k] + 1) + " )";
    return text + " ],\n\"loop\": true,\n\"name\": " + GodotString(name) + ",\n\"speed\": " + GODOT_SPEED + "\n}";
}

std::string AtlasSheet_Godot(const AtlasSheet *sheet)
{
    size_t pages = sheet->layout.pages.size();
    std::string text = "[gd_resource type=\"SpriteFrames\" load_steps=" +
                       Num((int)(pages + sheet->frames.size() + 1)) + " format=2]\n\n";
    // Paths relative to the resource itself, so the folder can be copied
    // anywhere into a project.
    for (size_t p = 0; p < pages; p++)
        text += "[ext_resource path=" + GodotString(AtlasSheet_PageFile(sheet->tag, (int)p, "png")) +
                " type=\"Texture\" id=" + Num((int)p + 1) + "]\n";
    for (size_t i = 0; i < sheet->frames.size(); i++) {
        const AtlasFrame &frame = sheet->frames[i];
        const AtlasSpot &spot = sheet->layout.spots[i];
        int w = frame.image->width, h = frame.image->height;
        // The margin puts the box back at its place in the whole picture.
        text += "\n[sub_resource type=\"AtlasTexture\" id=" + Num((int)i + 1) + "]\n" +
                "atlas = ExtResource( " + Num(spot.page + 1) + " )\n" +
                "region = Rect2( " + Num(spot.x) + ", " + Num(spot.y) + ", " + Num(w) + ", " + Num(h) + " )\n" +
                "margin = Rect2( " + Num(frame.offset.x) + ", " + Num(frame.offset.y) + ", " +
                Num(frame.sourceWidth - w) + ", " + Num(frame.sourceHeight - h) + " )\n";
    }
    text += "\n[resource]\nanimations = [ ";
    bool first = true;
    for (size_t i = 0; i < sheet->frames.size(); i++) {
        if (sheet->frames[i].kind != FIGURE_STILL)
            continue;  // its animation follows
        text += (first ? "" : ", ") + GodotAnimation(sheet->frames[i].key, {(int)i});
        first = false;
    }
    for (const AtlasAnimation &animation : sheet->animations)
        text += ", " + GodotAnimation(animation.name, animation.frames);
    return text + " ]\n";
}
