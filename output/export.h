// The image export: one PNG per exported dress style and expression, in a
// folder tree named after the character, then macro.txt for the games'
// scripts and CREDITS.txt naming the parts' authors (output/credits.h).
//
//   <base>\<name>\<style folder>\<expression>.png
//   <base>\<name>\macro.txt
//   <base>\<name>\CREDITS.txt
//
// <name> is at most 31 bytes (the games read that much), the style folder is
// the style's output folder and <expression> the expression's folder key.
// Names and folders are checked before anything is written, so a project
// from elsewhere cannot write outside the export folder.
#pragma once

#include <cstddef>
#include <string>

#include "core/array.h"
#include "core/imaging/file.h"
#include "editor/character.h"
#include "editor/wardrobe.h"

enum { EXPORT_NAME_MAX = 31 };

// The message for the first rule the character name breaks (the order of
// the output button's checks), or nullptr when it is usable.
const char *Export_CharacterNameProblem(const char *name);
// Checks the character name and the output folder of every style that will
// be exported. Returns 1 when all are usable; otherwise 0 with a message
// (naming the style when a style is at fault) in `message`.
int Export_Validate(const char *name, const PtrList *styles, char *message, size_t size);

// The base of a free folder: the folder as typed, with a `\` added when it
// has none, so that its last folder name is kept. Returns 0 when too long.
int Export_FreeFolderBase(const char *freeFolder, char *base);

// Where one file of an export goes: every path the export writes is built
// here, from a base folder (ending with `\`) and a name below it.
enum { EXPORT_PATH_TEXT_MAX = 3 * VOR_MAX_PATH };  // a path as text, however long, is cut here
struct ExportPath {
    int fits;                 // the path fits in VOR_MAX_PATH bytes
    char path[VOR_MAX_PATH];  // the program path; empty when it does not fit
    std::string shown;        // what the user is told: the path, or its text when too long
};
// `relative` separates its folders with `\` or `/`.
ExportPath ExportPath_Below(const char *base, const std::string &relative);
// The folder named after the character: the name as far as the games read
// it (EXPORT_NAME_MAX bytes).
std::string Export_FolderName(const char *name);
// The picture's name below the base: <name>\<style folder>\<expression><extension>.
std::string Export_PictureName(const char *name, const char *styleFolder, const char *expression,
                               const char *extension);
// A file of the character's folder: <name>\<file>.
std::string Export_CharacterFileName(const char *name, const char *file);

// The picture's path (ExportPath_Below of Export_PictureName). Returns 0
// when it would not fit in 260 bytes.
int Export_ImagePath(const char *base, const char *name, const char *styleFolder, const char *expression,
                     char *path);
// The same path as text however long it is, to name a picture that could
// not be written; cut to `size` bytes.
void Export_ImagePathText(const char *base, const char *name, const char *styleFolder, const char *expression,
                          char *text, size_t size);
int Export_MacroPath(const char *base, const char *name, char *path);

// The bytes of macro.txt for the whole character name and the expression
// list (PartEntry): CR LF line ends, no line break after "; eof". Returns a
// heap block (free with free()) or nullptr.
char *Export_MacroText(const char *name, const PtrList *expressions, size_t *outSize);

// Why a file of the export was not written: a FileWriteResult, or that the
// picture could not be composed. EXPORT_WRITTEN (0) when it was written.
enum {
    EXPORT_WRITTEN = FILEWRITE_OK,
    EXPORT_NOT_COMPOSED = 100,
};
// A sentence for the program's error box (code page 949).
const char *Export_FailureText(int failure);

// Files written and failed, and the first failure with its path.
struct ExportTally {
    int written;
    int failed;
    int firstFailure;                        // EXPORT_WRITTEN while none failed
    char firstFailedPath[EXPORT_PATH_TEXT_MAX];
};
void ExportTally_Add(ExportTally *tally, const char *path, int failure);

struct ExportOptions {
    int threads;  // encoders working beside the composition (1 = none)
    void *context;
    // Called after each file was written (failure 0) or could not be (an
    // EXPORT_* or FILEWRITE_* reason), in order.
    void (*fileDone)(void *context, const char *path, int failure);
    // For Export_RunHeadless: the layered file beside each picture (a
    // LayeredFormat of output/layered_file.h; 0 for none), reported after its
    // picture.
    int layered = 0;
    // Called once the formats have checked their names: the files the export
    // will write, or -1 when that is known only at the end (may be nullptr).
    void (*planned)(void *context, int files) = nullptr;
};

struct ExportStats {
    int images;         // images composed (or, for a layered image, its layer images)
    ExportTally tally;  // files written and failed, macro.txt and CREDITS.txt included
    double loadMs;      // loading part images
    double composeMs;   // composing the depth list
    double encodeMs;    // encoding and writing, summed over threads
};

// One picture of the export: the style and expression it shows.
struct ExportPicture {
    int styleIndex;                // in the wardrobe
    const DressStyle *style;
    int expression;                // in the catalogue's expression list
    const char *expressionFolder;  // the expression's folder key
};

// How an export shows a style, chooses an expression and takes a picture.
struct ExportSteps {
    void *context;
    void (*showStyle)(void *context, int style);
    void (*chooseExpression)(void *context, int expression);
    // The style and expression are shown and chosen.
    void (*picture)(void *context, const ExportPicture *picture);
};

// The export's loop: for every style with check state 1 (shown first when it
// is not the selected one) and every expression (chosen first), hands over
// the picture; then shows the style and chooses the expression that were
// current again. Writes nothing itself.
void Export_VisitPictures(const Character *ch, const Wardrobe *w, const ExportSteps *steps);

// The PNG export without a window (output/export_format.h runs any
// formats): for every style with check state 1 and every expression, shows
// the style, chooses the expression, loads the images, composes into a
// transparent 32-bit image and writes the PNG (creating the folders) and the
// layered file asked for beside it, then restores the style and expression
// that were current and writes macro.txt and CREDITS.txt. The character's
// refresh hook should defer (the export loads synchronously itself). A
// picture that cannot be composed or written (its path too long, its folder
// read-only, the disk full) is counted as failed and the export goes on.
// Returns the files written.
int Export_RunHeadless(Character *ch, Wardrobe *w, const char *base, const ExportOptions *options,
                       ExportStats *stats);

// Loads whatever the document has queued, synchronously, without composing
// the preview picture; decodes on up to `threads` threads when the document's
// cache has no capacity limit.
void Export_LoadNow(LayerDocument *doc, int threads = 1);
// Writes a 32-bit image as PNG to `path`, creating its folder when needed,
// all or nothing (FILE_WriteAtomic). Returns EXPORT_WRITTEN or the reason.
int Export_WriteImageFile(const DIB *image, const char *path);
// Writes `size` bytes to `path` the same way. Returns EXPORT_WRITTEN or the
// reason.
int Export_WriteBytesFile(const char *path, const void *data, size_t size);
