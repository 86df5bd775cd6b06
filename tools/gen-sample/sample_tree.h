// The sample data tree: which part folders exist, their display names and
// default colours, and the writers of the sample tree, of the deliberately
// imperfect test tree and of the preview sheet.
#pragma once

#include <cstdint>

#include "core/imaging/dib.h"
#include "tools/gen-sample/parts.h"

// One part folder: its folder key (also the stem of its image names), its
// Korean display name and its default colour as 0xHHLLSS (0 = no Color
// statement: the part is never recoloured).
struct SampleEntry {
    const char *folder;
    const char *name;
    uint32_t colour;
};

extern const SampleEntry SAMPLE_HAIR[HAIR_STYLE_COUNT];
extern const SampleEntry SAMPLE_DRESS[DRESS_COUNT];
extern const SampleEntry SAMPLE_ACCESSORY[ACC_COUNT];
extern const SampleEntry SAMPLE_EYE[EYE_SHAPE_COUNT];
extern const SampleEntry SAMPLE_BROW[BROW_SHAPE_COUNT];
extern const SampleEntry SAMPLE_MOUTH[MOUTH_SHAPE_COUNT];
extern const SampleEntry SAMPLE_CHEEK;
extern const char *const EXPRESSION_FOLDER[EXPR_COUNT];

// The image suffix of a role letter ('a' gives "_a.png"), "" for any other.
const char *Role_Suffix(char role);

// Counts what a writer did.
struct WriteLog {
    int files;    // files written
    int failures; // files or folders that could not be written
};

// Paths below `root` (a folder, no trailing separator) use `\`.
// Everything returns 1 when every file was written.
int SampleTree_Write(const char *root, WriteLog *log);
int BrokenTree_Write(const char *root, WriteLog *log);
// `root`\sample.vor: a named character over the sample tree with three
// dress styles (two exported) and an accessory on each.
int SampleProject_Write(const char *root, WriteLog *log);

// The text of a part folder's vor.inf (CP949), into `buffer`.
void PartDefinition_Format(const SampleEntry *entry, char *buffer, int size);

// Writes one image or text file below its folder, creating the folder.
int Output_Image(WriteLog *log, const DIB *image, const char *path);
int Output_Text(WriteLog *log, const char *text, const char *path);

// A grid of composed characters read back from the tree below `root`.
// Sheets: 0 = expressions of a few characters, 1 = all hair styles, dresses
// and accessories; `fullSize` draws the cells at 1:1 instead of 1:2; `crop`
// (optional) keeps only that rectangle of the sheet.
int ContactSheet_Write(const char *root, const char *pngPath, int sheet, int fullSize, const Rect *crop);
