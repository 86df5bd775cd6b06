// The Ren'Py export: the character as one `layeredimage` statement and the
// layer images it shows, ready to be copied into a Ren'Py game's `game/`
// folder.
//
//   <dir>\<tag>.rpy
//   <dir>\images\<tag>\<tag>_<n>[_<attribute>].png
//   <dir>\images\<tag>\CREDITS.txt   (output/credits.h; Ren'Py ignores it)
//
// Every expression is an attribute named by its folder key and every
// checked style one named by its output folder, so `show <tag> <expression>
// <style>` shows the picture the PNG export writes for that pair.
//
// The paint order is cut into runs of consecutive parts that change with
// nothing, only with the style or only with the expression (a part that
// changes with both makes a run of its own); a part first moves forward past
// parts it never shares a pixel with to join the next part of its kind (the
// order of such parts changes nothing). Each run is flattened into one
// image per variant, trimmed to its visible box and placed with `pos`. A
// constant run is an `always` layer, a style run a group of style
// attributes, an expression run a group of expression attributes (an
// attribute may select images in several groups), a run of both a group per
// style whose expression attributes carry `if_all <style>`. Every group
// lists every attribute of its kind (`null` where the run shows nothing), so
// choosing one always rules out the others.
//
// The export visits the same pictures as the PNG export (Export_VisitPictures):
// its sink (renpy_run.cpp) records with RenPyCapture_Take what each
// depth-list entry draws for the shown pair, then plans the runs and writes
// the files.
//
// The script also makes the character ready to speak: a `Character` of the
// tag with the character's name, a side image cropped to the head and
// shoulders, eyes that blink where the eye shape has a closed frame for the
// expression, a mouth that moves while the character's line is shown where
// the mouth shape has a talking frame (catalog/part_catalog.h). An eye or
// mouth with frames is a run of its own, so that only its image changes;
// the still pictures stay what they were.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/imaging/dib.h"
#include "editor/character.h"
#include "editor/wardrobe.h"
#include "output/export.h"

enum { RENPY_NAME_MAX = 64 };
// The script's extension; the layer images are PNG files.
static const char RENPY_SCRIPT_EXTENSION[] = ".rpy";

// The attribute that holds blinking eyes open (`show <tag> noblink`); no
// style or expression may take its name.
#define RENPY_NO_BLINK "noblink"

// Why a name cannot be a Ren'Py tag or attribute, or nullptr when it can:
// ASCII letters, digits and `_`, a letter first, not a word Ren'Py's
// statements reserve.
const char *RenPy_NameProblem(const char *name);

// Why the tag cannot name the character's `Character` (a Python name
// of the game's store: `define <tag> = Character(...)`), or nullptr.
const char *RenPy_SpeakerProblem(const char *tag);

// One frame of the eyes or the mouth: the entry drawn alone with the frame's
// images, as the picture would draw it, trimmed to its visible box.
struct RenPyFrame {
    DIB *image;    // 32-bit, or nullptr: no frame for this expression
    Point offset;  // its top-left corner in the picture
};

// The frames of one export, per expression in catalogue order.
struct RenPyFrames {
    std::vector<RenPyFrame> closed;  // the eyes shut (a blink)
    std::vector<RenPyFrame> talk;    // the mouth open in speech
    RenPyFrames() = default;
    RenPyFrames(const RenPyFrames &) = delete;
    RenPyFrames &operator=(const RenPyFrames &) = delete;
    ~RenPyFrames();
};

// Draws the character's eye and mouth frames in a document of their own
// (the character's own document is not touched, so the program may call
// this while its canvas shows the character). Returns nullptr when the
// shapes have no frames or memory ran out.
std::shared_ptr<const RenPyFrames> RenPy_TakeFrames(const Character *ch);

// The names of one export: the tag, the attribute of every checked style
// (in list order) and of every expression, and the defaults; what the
// script says of the character besides its pictures.
struct RenPyNames {
    std::string tag;
    std::vector<std::string> styles;       // checked styles, list order
    std::vector<int> styleIndex;           // their index in the wardrobe
    std::vector<std::string> expressions;  // catalogue order
    int defaultExpression;                 // the character's current expression
    std::vector<std::string> labels;       // each expression's name as the program shows it (UTF-8)
    std::string speaker;                   // the character's name (UTF-8)
    // Write `define <tag> = Character(...)`; a game that defines its own
    // clears it after RenPy_Validate.
    int defineCharacter = 1;
    // The eye and mouth frames, taken by RenPy_Validate; nullptr: none.
    std::shared_ptr<const RenPyFrames> frames;
};

// Checks and gathers the names (and takes the frames, RenPy_TakeFrames):
// the tag is `typedTag` when it is not empty, else the character's name
// lower-cased, and never a Windows device name (it names the script and the
// images' folder); every expression folder and every
// checked style's output folder must be a usable attribute name, and no two
// attributes may be the same (letter case ignored, as the file names on
// Windows ignore it). Returns 1, or 0 with a message naming what is wrong
// (and both names of a clash).
int RenPy_Validate(const Character *ch, const Wardrobe *w, const char *typedTag, RenPyNames *names,
                   char *message, size_t size);

// ---- what each pair draws ------------------------------------------------

// One part of the paint order: a fixed layer of the character, or an
// accessory of one style.
struct RenPyPartImage {
    DIB *image;     // trimmed 32-bit picture of the part alone
    Point offset;   // its top-left corner in the picture
};

struct RenPyPart {
    const Layer *fixed;  // the character's layer, or nullptr for an accessory
    int style;           // an accessory's style (checked-style number), else -1
    int accessoryId;     // an accessory's layer id, else 0
    int gap;             // an accessory's place: fixed parts behind it
    int order;           // an accessory's place among those of its style
    std::vector<RenPyPartImage> images;  // the distinct pictures it draws
    std::vector<int> variant;            // per pair (style * expressions + expression):
                                         // index into images, -1 when it draws nothing
};

struct RenPyCapture {
    int styles, expressions;     // checked styles and expressions
    int width, height;           // the picture's size
    std::vector<RenPyPart> parts;  // fixed parts back to front, then accessories
    int fixedCount;              // leading entries of `parts` that are fixed
    int broken;                  // a pair showed the fixed layers in another order
};

void RenPyCapture_Init(RenPyCapture *capture, int styles, int expressions);
void RenPyCapture_Release(RenPyCapture *capture);
// Records what every depth-list entry of `doc` draws, as the pair of
// checked style `style` and expression `expression`. The document's images
// must be loaded. Returns 0 when memory ran out.
int RenPyCapture_Take(RenPyCapture *capture, const LayerDocument *doc, int style, int expression);

// ---- the plan: runs and their flattened images -----------------------------

enum RenPyKind { RENPY_NOTHING, RENPY_ALWAYS, RENPY_STYLE, RENPY_EXPRESSION, RENPY_BOTH };

// What a part's pictures change with, from its variant table (-1: draws
// nothing): RENPY_NOTHING when it never draws anything.
int RenPy_PartKind(const std::vector<int> &variant, int styles, int expressions);
// Runs of consecutive parts of one kind, parts that draw nothing skipped:
// each run as its first and last index into `kinds` (both inclusive).
struct RenPyRunSpan {
    int kind, first, last;
};
std::vector<RenPyRunSpan> RenPy_SplitRuns(const std::vector<int> &kinds);
// The runs with every part marked in `alone` (an eye or mouth with frames)
// made a run of its own; the parts around it keep their runs, and a piece
// left holding only parts that draw nothing is dropped.
std::vector<RenPyRunSpan> RenPy_IsolateParts(const std::vector<RenPyRunSpan> &runs, const std::vector<int> &kinds,
                                             const std::vector<int> &alone);

struct RenPyImage {
    DIB *image;         // trimmed, 32-bit
    Point pos;          // its place in the picture
    std::string file;   // below the export folder, `/`-separated ("images/yuna/yuna_2_school.png")
};

// What an expression layer animates.
enum RenPyFrameKind { RENPY_STILL, RENPY_BLINK, RENPY_TALK };

struct RenPyLayer {
    int kind;                   // RENPY_ALWAYS, _STYLE, _EXPRESSION or _BOTH
    std::string group;          // the group's name (a style's own for RENPY_BOTH)
    int style;                  // RENPY_BOTH: the style whose group this is
    std::vector<int> variantImage;  // per variant (one for always, per style,
                                    // per expression): index into images or -1
    int frame = RENPY_STILL;        // RENPY_BLINK or RENPY_TALK: the eyes or the mouth
    std::vector<int> frameImage;    // per expression: the frame's image (in the
                                    // still image's box), or -1 where it stays still
};

struct RenPyPlan {
    std::vector<RenPyImage> images;
    std::vector<RenPyLayer> layers;  // back to front
    // The side image's crop: the head and shoulders around every pair's
    // eyes, brows and mouth, in the picture; empty without a face.
    Rect side = {0, 0, 0, 0};
};

// The side image's height: that of the default say screen's text box, in
// which Ren'Py's default screens show it, at their 1280 x 720 size.
enum { RENPY_SIDE_HEIGHT = 185 };

// Plans the layers and flattens their images. Returns 0 when memory ran out
// (the plan is then released).
int RenPy_Plan(const RenPyCapture *capture, const RenPyNames *names, RenPyPlan *plan);
void RenPyPlan_Release(RenPyPlan *plan);
// The .rpy file's text (UTF-8, LF line ends).
std::string RenPy_Script(const RenPyPlan *plan, const RenPyNames *names, int width, int height);

// The whole export without a window (the format table's "renpy" row run by
// Export_RunChoicesHeadless): visits every checked style and expression,
// then writes the files. The names must have
// passed RenPy_Validate. Returns the files written; `stats` (optional)
// receives the counts and times.
int RenPy_RunHeadless(Character *ch, Wardrobe *w, const RenPyNames *names, const char *base,
                      const ExportOptions *options, ExportStats *stats);
