// The definition-file preprocessor: hands out tokens one at a time while
// carrying out `#define` (with and without parameters), `#undef` and
// `#include "..."`, expanding macros, decoding string escapes, joining runs
// of double-byte characters into one text token and dropping line breaks.
//
// Macro expansions are pushed back into the tokenizer's character stream and
// scanned again, so macros inside them expand in turn; a macro's own name
// inside its expansion stays a plain word. Errors never stop the reading:
// they are recorded in the caller's error list when one is given.
#pragma once

#include "catalog/token.h"
#include "core/array.h"

struct Preprocessor;

// One recorded error; the caller owns the list and its records.
struct PreprocessorError {
    char *fileName;  // the file being read when it happened
    int line;        // counted from 0 for the file's first line
    char *message;   // code page 949
};

// Opens the file and reads its first token; none when it cannot be opened.
// `errors` may be none: errors are then not recorded. Includes resolve only
// to files below the folder of `path` itself.
Preprocessor *Preprocessor_Open(const char *path, PtrList *errors);
// The same for a file of a data tree: includes resolve only to files below
// `root` (the data folder, ending with `\`), after `..` and links; any other
// is refused with an error naming it.
Preprocessor *Preprocessor_OpenIn(const char *path, const char *root, PtrList *errors);
// The same over `size` bytes in memory, read as if from the file `name`
// (which sets the folder that quoted includes are relative to).
Preprocessor *Preprocessor_OpenMemory(const char *name, const void *data, unsigned size, PtrList *errors);
// The next token; once the outermost file is exhausted, the end token
// (kind 0, empty text) on this and every later call.
void Preprocessor_Next(Preprocessor *pp, Token *out);
// Non-zero once the outermost file is exhausted, so that the next token is
// the final end token.
int Preprocessor_AtEnd(const Preprocessor *pp);
// Where the reading stands, for readers that report their own errors: the
// file being read (an include's path inside one) and its line, from 0.
const char *Preprocessor_FileName(const Preprocessor *pp);
int Preprocessor_ReadingLine(const Preprocessor *pp);
// Closes every open file and frees the macros; the error list stays.
void Preprocessor_Close(Preprocessor *pp);

// Destructor for the records of an error list (PtrList_Destroy).
void PreprocessorError_Free(void *error);
