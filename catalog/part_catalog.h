// The part catalogue: eight ordered lists of PartEntry saying which hair
// styles, dresses, eye, brow, mouth and cheek shapes, accessories and facial
// expressions exist.
//
// Six lists come from the part folders of the data tree (one folder per
// part, described by its `vor.inf`), sorted by `folder` as unsigned bytes so
// that the order on disk never shows. The accessory list starts with a
// built-in "none" entry; the expression list is built in entirely. The
// program builds the catalogue once at start-up and keeps it to the end.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "layers/hls.h"

struct PartEntry {
    char *name;        // display name (code page 949 or 932)
    char *folder;      // key: image name stem, sort key, project reference
    char *path;        // the part folder, ending with `\`; empty for built-ins
    HlsColour color;   // default colour; 0, 0, 0 when not given
    // The definition's credits (Author, License, Url); nullptr when it does
    // not give them, and for built-ins.
    char *author;
    char *license;
    char *url;
    // Eye and mouth shapes: bit x is set when expression x has a frame (a
    // blink or a talking mouth, PartEntry_FrameImagePath), that is when one
    // of its frame images exists. 0 for every other entry.
    uint32_t frames;
};

// The lists, in the order tools print them.
enum PartListId {
    PART_LIST_HAIR,
    PART_LIST_DRESS,
    PART_LIST_EYE,
    PART_LIST_BROW,
    PART_LIST_MOUTH,
    PART_LIST_CHEEK,
    PART_LIST_ACCESSORY,
    PART_LIST_EXPRESSION,
    PART_LIST_COUNT
};

struct PartCatalog {
    PtrList *hairStyles;   // data\hair
    PtrList *dresses;      // data\dress
    PtrList *eyeShapes;    // data\eye
    PtrList *browShapes;   // data\braw
    PtrList *mouthShapes;  // data\mouth
    PtrList *cheekShapes;  // data\hoho
    PtrList *accessories;  // none entry, then data\accesary
    PtrList *expressions;  // the eight built-in expressions
    // Part folders left out because a path in them would be 260 bytes or
    // more (the program's path limit), so that tools can say so.
    int longPaths;
};

enum { PART_EXPRESSION_COUNT = 8 };

// The program's catalogue, filled by LoadPartCatalog.
extern PartCatalog g_partCatalog;

// Builds g_partCatalog from `.\data\` below the current folder. Folders
// that cannot be used are left out silently.
void LoadPartCatalog();
// Builds `catalog` from `dataFolder` (a path ending with `\`, e.g.
// ".\\data\\"), replacing what it held. Returns 0 when memory ran out.
int PartCatalog_Load(PartCatalog *catalog, const char *dataFolder);
// Frees the lists and their entries (the program itself never does).
void PartCatalog_Free(PartCatalog *catalog);

PtrList *PartCatalog_List(const PartCatalog *catalog, int listId);
// "hair", "dress", "eye", "brow", "mouth", "cheek", "accessory", "expression".
const char *PartCatalog_ListName(int listId);

// Index of the first entry whose folder equals `folder` byte for byte, or -1.
int FindPartByFolder(const PtrList *list, const char *folder);
// The folder of the entry at `index`; none outside the list.
const char *PartFolderAt(const PtrList *list, int index);

// ---- frames: closed eyes and talking mouths ---------------------------------

// The frame stem of a list's entries: DATA_FRAME_CLOSED for eye shapes,
// DATA_FRAME_TALK for mouth shapes, nullptr for the lists without frames.
const char *PartCatalog_FrameStem(int listId);
// Whether the entry has a frame for the expression at `expression` (its
// index in the expression list).
int PartEntry_HasFrame(const PartEntry *entry, int expression);
// The frame image that stands for one of an expression's images: `path`
// (VOR_MAX_PATH bytes) receives <entry path><expression folder><frame
// stem><suffix>, e.g. ".\data\eye\maru\sumashi_close_a.png" for
// DATA_IMAGE_A. Returns 0 (path empty) when the list has no frames or the
// path would not fit. Exports that animate a character (blinking eyes, a
// moving mouth) take the frames through this one function.
int PartEntry_FrameImagePath(const PartEntry *entry, int listId, const char *expression, const char *suffix,
                             char *path);
