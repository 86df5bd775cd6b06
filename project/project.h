// The project file (.vor): one character with its choices, colours, output
// settings and dress styles.
//
// Layout (all integers 32-bit little-endian, texts length-prefixed with the
// length counting a closing NUL, colours three bytes H L S):
//   "VOR\0", version 100
//   name, free folder, free-folder flag,
//   brow key + colour, eye key + colour, mouth key + colour,
//   hair key + colour, back-hair key, separate-back-hair flag,
//   hair-default-colour flag, expression key,
//   style count, styles: name, output folder, dress key, colour,
//     accessory selection, accessory count,
//     accessories: key, depth, x, y, colour;
//   check state.
// Catalogue references are stored as folder keys. Reading parses and checks
// the whole file before anything is handed out, so a damaged file changes
// nothing; writing goes to a temporary file that replaces the target only
// once it is complete.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/array.h"
#include "editor/dress_style.h"
#include "layers/hls.h"

enum {
    PROJECT_VERSION = 100,
    PROJECT_HEADER_SIZE = 8,
};

// A catalogue choice: the index in its list (-1 when the key is unknown or
// nothing is chosen) and the key text it was read with.
struct PartChoice {
    int32_t index;
    char *key;   // owned; nullptr when the choice was made by index
};

struct Project {
    char *name;                 // character name
    char *freeFolder;           // the export folder the user typed or chose
    int32_t freeFolderFlag;     // 1 when exporting to the free folder
    PartChoice brow, eye, mouth, hair, backHair, expression;
    HlsColour browColour, eyeColour, mouthColour, hairColour;
    int32_t separateBackHair;   // 1 when the back hair is chosen on its own
    int32_t hairDefaultColour;  // 1 when choosing a hair applies its own colour
    PtrList *styles;            // owned DressStyle, list order
};

// An empty record: empty texts, choices -1, default colours, no styles.
Project *Project_Create(void);
void Project_Free(Project *project);

enum ProjectReadResult {
    PROJECT_OK = 1,
    PROJECT_CANNOT_OPEN = 0,
    PROJECT_BAD_HEADER = -1,  // not "VOR\0", or a version above 100
    PROJECT_DAMAGED = -2,     // truncated, impossible lengths or counts
};

// Parses a whole project file image. On PROJECT_OK `*out` receives a new
// record (keys as texts; indices are -1 until resolved against a catalogue).
// Any other result leaves `*out` nullptr.
int Project_Parse(const unsigned char *data, size_t size, Project **out);
// Reads and parses the file at `path`.
int Project_ReadFile(const char *path, Project **out);
// After PROJECT_CANNOT_OPEN: why (a FileReadProblem of core/imaging/file.h,
// measured against the same size limit), for a message.
int Project_ReadProblem(const char *path);

// The file image of a record. Keys come from `keyOf` for choices with an
// index >= 0 (the catalogue's folder text), else from the stored key text
// (empty when none). Returns a heap block (free with free()) or nullptr.
struct ProjectKeySource {
    void *context;
    // list: 0 brow, 1 eye, 2 mouth, 3 hair, 4 expression, 5 dress, 6 accessory.
    const char *(*keyOf)(void *context, int list, int index);
};
enum {
    KEYLIST_BROW, KEYLIST_EYE, KEYLIST_MOUTH, KEYLIST_HAIR, KEYLIST_EXPRESSION,
    KEYLIST_DRESS, KEYLIST_ACCESSORY,
};
unsigned char *Project_Serialize(const Project *project, const ProjectKeySource *keys, size_t *outSize);

// Writes the project safely: into a new temporary file beside the target
// (created exclusively, never through a link already there), then replaces
// the target. Returns 1 on success; on failure the old file is untouched and
// the temporary file removed.
int Project_WriteFile(const char *path, const Project *project, const ProjectKeySource *keys);
// The same, saying why: FILEWRITE_OK or the FILEWRITE_* failure
// (FILEWRITE_NO_DATA when the project could not be put into bytes).
int Project_WriteFileResult(const char *path, const Project *project, const ProjectKeySource *keys);
