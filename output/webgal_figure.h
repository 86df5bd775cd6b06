// The WebGAL figure set: the character's pictures as WebGAL figures and a
// scene that shows each of them, ready to be copied into a WebGAL game's
// `game/` folder.
//
//   <dir>\game\figure\<tag>\<style>_<expression>.png          the PNG export's picture
//   <dir>\game\figure\<tag>\<style>_<expression>_blink.png    eyes closed, where the parts draw it
//   <dir>\game\figure\<tag>\<style>_<expression>_talk.png     mouth open, where the parts draw it
//   <dir>\game\figure\<tag>\CREDITS.txt                       (output/credits.h)
//   <dir>\game\scene\<tag>.txt                                 the scene
//   <dir>\README.txt                                           where to copy what
//
// The scene has, per style x expression, a comment line naming the pair and
// a live `changeFigure:` line that shows its picture as the free figure
// `-id=<tag>` (so each line replaces the last); where the pair has blink or
// talk frames the line turns WebGAL's own figure animation on
// (`-animationFlag=on`) and names them as the engine's changeFigure reads
// them: `-eyesOpen`/`-eyesClose` for blinking, `-mouthOpen`/`-mouthClose`
// for the lips while the figure speaks. Figure paths are relative to
// `game/figure/`, as WebGAL resolves them.
#pragma once

#include <string>
#include <vector>

#include "output/atlas_sheet.h"
#include "output/figure_names.h"

// Files below the export folder, `/`-separated.
std::string WebGal_FigureFile(const FigureNames *names, int style, int expression, int frame);
std::string WebGal_CreditsFile(const FigureNames *names);
std::string WebGal_SceneFile(const FigureNames *names);
static const char WEBGAL_README_FILE[] = "README.txt";

// Which frames each pair has: per pair (style * expressions + expression),
// a flag per FigureFrame (the still frame always).
typedef std::vector<std::vector<char>> FigureFrameTable;

// The scene's text (UTF-8, LF line ends).
std::string WebGal_SceneText(const FigureNames *names, const FigureFrameTable &frames);
// README.txt (UTF-8, CR LF line ends): what the folder holds and where to
// copy it, in Korean and English.
std::string WebGal_ReadmeText(const FigureNames *names);
