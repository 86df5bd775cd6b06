// A sprite atlas of a character: every exported style x expression (and its
// blink and talk frames where the parts have them) trimmed to its visible
// box and packed into pages (output/atlas_pack.h), described for the
// engines' loaders:
//
//   <dir>\<tag>.png, <tag>.json         the first page and its frames
//   <dir>\<tag>-1.png, <tag>-1.json ...  further pages past 4096 px
//   <dir>\<tag>.tres                     Godot 3's SpriteFrames over all pages
//
// The JSON is TexturePacker's "JSON hash" layout, which Phaser's and
// PixiJS's loaders read as it is: `frames` keyed `<style>/<expression>` (a
// frame `<style>/<expression>/blink` or `/talk`) with its spot on the page,
// `rotated` (never), `trimmed`, `spriteSourceSize` (the box within the
// picture) and `sourceSize` (the whole picture), so a frame drawn at its
// source size is the exported picture; `animations` lists a pair's still
// frame and its blink or talk frame; `meta` names the page's image, its size,
// format and scale, and the first page's names the other pages' JSON files
// (`related_multi_packs`), which PixiJS loads with it.
#pragma once

#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "output/atlas_pack.h"
#include "output/figure_names.h"

// The frames a pair may have: the picture itself, then the frames the
// engines animate (closed eyes, an open mouth) where the parts draw them.
enum FigureFrame { FIGURE_STILL, FIGURE_BLINK, FIGURE_TALK, FIGURE_FRAME_COUNT };
// "blink" and "talk" for the animated frames, nullptr for the still one:
// what their names add.
extern const char *const FIGURE_FRAME_WORDS[FIGURE_FRAME_COUNT];

struct AtlasFrame {
    std::string key;     // "<style>/<expression>[/<frame>]"
    int group;           // the pair it belongs to
    int kind;            // a FigureFrame
    DIB *image;          // trimmed, 32-bit, owned
    Point offset;        // the box's corner within the picture
    int sourceWidth, sourceHeight;
};

struct AtlasAnimation {
    std::string name;
    std::vector<int> frames;  // indices into the sheet's frames
};

struct AtlasSheet {
    std::string tag;
    std::vector<AtlasFrame> frames;
    std::vector<AtlasAnimation> animations;
    AtlasLayout layout;  // after AtlasSheet_Pack
};

// Adds a pair's frames (`frames[FIGURE_STILL]` always; the others may be
// nullptr): each trimmed, keyed by the names, and an animation for each
// animated frame. Returns 0 when memory ran out.
int AtlasSheet_AddPair(AtlasSheet *sheet, const FigureNames *names, int style, int expression,
                       const DIB *const frames[FIGURE_FRAME_COUNT]);
// Packs the frames. Returns 0 when a pair is larger than a page.
int AtlasSheet_Pack(AtlasSheet *sheet, const AtlasPackOptions &options);
void AtlasSheet_Release(AtlasSheet *sheet);

// A page's picture: its frames on a transparent page. nullptr when memory
// ran out.
DIB *AtlasSheet_ComposePage(const AtlasSheet *sheet, int page);
// "<tag>.<ext>" for the first page, "<tag>-<page>.<ext>" after it.
std::string AtlasSheet_PageFile(const std::string &tag, int page, const char *ext);
// A page's JSON text (UTF-8, LF line ends).
std::string AtlasSheet_Json(const AtlasSheet *sheet, int page);
// The Godot 3 SpriteFrames resource: the pages as textures beside it, an
// AtlasTexture per frame (region on its page, margin restoring the
// picture's size) and an animation per pair (and per animated frame).
std::string AtlasSheet_Godot(const AtlasSheet *sheet);
