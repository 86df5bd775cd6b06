// The inside of a Preprocessor, shared by its three source files: the
// reading loop (preprocessor.cpp), the directives (preprocessor_directive.cpp)
// and the macros (preprocessor_macro.cpp).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "catalog/preprocessor.h"
#include "catalog/token_in.h"

enum {
    PP_MAX_PARAMETERS = 127,        // parameter indices must stay below 0x7F
    PP_BODY_MAX = 1022,             // encoded body bytes before the 0x00 0xFF end
    PP_ARGUMENT_MAX = 1023,         // bytes of one macro argument
    PP_EXPANSION_MAX = 1023,        // bytes of one expansion
    PP_INCLUDE_PATH_MAX = 261,      // longest include path formed
    // Including nests at most this deep, and one reading opens at most
    // PP_MAX_INCLUDES files of at most PP_FILE_MAX bytes each and
    // PP_READ_BUDGET bytes in all, so a file that includes itself (even
    // several times over) or a huge or endless file ends quickly with an
    // error instead of running on; no real part pack comes near.
    PP_MAX_INCLUDE_DEPTH = 32,
    PP_MAX_INCLUDES = 4096,
    PP_FILE_MAX = 1024 * 1024,
    PP_READ_BUDGET = 4 * 1024 * 1024,
    // Bytes that macro expansions may push back during one reading. Macros
    // that expand into several copies of each other grow exponentially;
    // this bound keeps such a file from reading for ever.
    PP_EXPANSION_BUDGET = 256 * 1024,
    // Macro names met and expansions tried during one reading. Each try
    // costs work even when it expands to nothing (a function-like macro
    // named without arguments); the hide sets below take memory per
    // expansion. A real definition file tries a few hundred.
    PP_EXPANSION_TRIES = 64 * 1024,
    // Bits of a macro name's number in the hide-set tries: at most one new
    // name per try, so PP_EXPANSION_TRIES names fit.
    PP_HIDE_BITS = 16,
    // Errors recorded in one reading; after them one more says the rest
    // went unrecorded. A file of a million broken calls stays small in
    // memory and in every report.
    PP_MAX_ERRORS = 1000,
};

// The hide set of an expansion (the macros being expanded where its bytes
// were read) as a persistent binary trie over the names' numbers: each
// expansion adds its macro to its parent's set by copying one path of
// PP_HIDE_BITS nodes, so asking whether a name is hidden costs
// PP_HIDE_BITS steps however long the chain of expansions behind it.
// Node 0 is the empty set.
struct HideNode {
    int child[2];
};

struct Macro {
    int parameterCount;              // -1 when defined without parentheses
    std::vector<unsigned char> body; // bytes; 0x00 n = parameter n; ends with 0x00 0xFF
    int bodyLength;                  // bytes before the end marker
};

// A definition file as read once during a reading: a file included many
// times (a pack's shared definitions, or a file that includes itself) is
// read from the disk once.
struct SourceFile {
    int readable;       // a regular file of at most PP_FILE_MAX bytes
    size_t size;
    std::string bytes;  // kept once the file was taken into the budget
};

struct IncludeFrame {
    TokenIn *source;
    char *fileName;
};

// One macro expansion pushed back into the stream. Its bytes carry its
// number (index + 1); `parent` is the expansion the macro's name came from,
// so the chain of parents names every macro being expanded at that point.
struct Expansion {
    int parent;
    int hideSet;  // node of Preprocessor::hideNodes: its macro and every ancestor's
};

struct Preprocessor {
    TokenIn *source;              // the file being read now
    Token lookahead;              // the next token not yet handled
    char *fileName;               // owned copy of the current file's path
    // By name: a file may define many thousands, and every word read is
    // looked up.
    std::unordered_map<std::string, Macro> macros;
    IncludeFrame includes[PP_MAX_INCLUDE_DEPTH];
    int includeDepth;
    int includesOpened;
    size_t bytesLeft;             // of PP_READ_BUDGET, for the files still to open
    std::unordered_map<std::string, SourceFile> files;  // by path
    PtrList *errors;              // the caller's, may be none
    std::vector<Expansion> expansions;
    std::vector<HideNode> hideNodes;                 // the tries of every hide set
    std::unordered_map<std::string, int> nameNumbers; // macro names expanded so far, numbered from 0
    long expansionBytesLeft;
    long expansionTriesLeft;
    std::string root;             // includes resolve only below this folder (ending with `\`)
    // Whether each include path asked for lies below the root: a file that
    // includes itself thousands of times asks the system once.
    std::unordered_map<std::string, int> withinRoot;
    int budgetReported;           // the exhausted budget was recorded once
    int errorsRecorded;           // of PP_MAX_ERRORS
};

// A reader over the file at `path` when it is a regular file that fits in
// the bytes left of the budget (which it then takes); none otherwise.
TokenIn *Preprocessor_OpenSource(Preprocessor *pp, const char *path);
// Reads the next token of the current file into the lookahead.
void Preprocessor_Advance(Preprocessor *pp);
// The line the reading stands on: the tokenizer's counter without the line
// break that may already sit in its one character of look-ahead.
int Preprocessor_Line(const Preprocessor *pp);
// Records an error at `line` of the current file (printf-style message).
void Preprocessor_RecordError(Preprocessor *pp, int line, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// A `#` is in the lookahead: carries out the directive. Returns 1 when `out`
// holds the `#` to deliver (no directive), 0 to go on reading.
int Directive_Run(Preprocessor *pp, Token *out);

// The macro named `name`, or none.
const Macro *Macro_Find(const Preprocessor *pp, const char *name);
void Macro_Remove(Preprocessor *pp, const char *name);
// Replaces any macro of that name; `body` holds `length` encoded bytes
// without the end marker.
void Macro_Define(Preprocessor *pp, const char *name, int parameterCount, const unsigned char *body,
                  int length);
// The lookahead is an identifier: when it names a macro that may expand
// here, pushes the expansion back and returns 1; otherwise returns 0.
int Macro_TryExpand(Preprocessor *pp);
