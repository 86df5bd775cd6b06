// The names of a figure set, for the engines that take a character as
// pictures plus a description file (the WebGAL figure set, the sprite
// atlas): the tag and, for every checked style and every expression, the
// word that names it in file names, frame keys and animation names.
//
// The words are the style's output folder and the expression's folder key,
// checked before anything is written: ASCII letters, digits, `_` and `-`, a
// letter or digit first, at most 64 bytes, and none of the names Windows
// keeps for its devices (con, nul, aux, prn, com1-9, lpt1-9, in any letter
// case), so the files copy to any machine and the engines' scripts read the
// names unquoted. The files a pair gets (`<style>_<expression>.png` and its
// blink and talk frames) may not clash with another pair's, letter case
// ignored.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "editor/character.h"
#include "editor/wardrobe.h"

enum { FIGURE_NAME_MAX = 64 };

// Why `name` cannot name a tag, a style or an expression in a figure set,
// or nullptr when it can.
const char *FigureNames_Problem(const char *name);
// 1 when `name` is one of Windows' device names, in any letter case.
int FigureNames_IsDeviceName(const char *name);

struct FigureNames {
    std::string tag;
    std::vector<std::string> styles;       // checked styles, list order
    std::vector<int> styleIndex;           // their index in the wardrobe
    std::vector<std::string> styleLabels;  // their display names (CP949)
    std::vector<std::string> expressions;  // catalogue order
    std::vector<std::string> expressionLabels;  // display names (CP949)
};

// The file stem of a pair's picture, `<style>_<expression>`; a frame's adds
// `_<frame>` ("blink", "talk").
std::string FigureNames_Stem(const FigureNames *names, int style, int expression, const char *frame = nullptr);

// Checks and gathers the names. The tag is `typedTag` when it is not empty,
// else the character's name lower-cased; `format` names the export in the
// messages ("WebGAL", "아틀라스"). With `frames`, the blink and talk frames'
// file names must be free too. Returns 1, or 0 with a message naming what is
// wrong (both names of a clash).
int FigureNames_Gather(const Character *ch, const Wardrobe *w, const char *typedTag, const char *format,
                       int frames, FigureNames *names, char *message, size_t size);
