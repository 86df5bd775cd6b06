// The tag a game engine's export names its files and its character by.
#pragma once

#include <cstddef>
#include <string>

#include "editor/character.h"

// The tag as typed, or else the character's name with its ASCII letters
// lower-cased. `problem` says why a name cannot be the tag (nullptr: it
// can); `engine` names the export in the messages ("Ren'Py", "WebGAL") and
// `hint` (may be nullptr) adds a line saying what a tag may hold. Returns 1,
// or 0 with a message (CP949) naming the typed tag or the character's name.
int ExportTag_Choose(const Character *ch, const char *typedTag, const char *(*problem)(const char *),
                     const char *engine, const char *hint, std::string *tag, char *message, size_t size);

// Why `name` cannot be a word of an engine's names, or nullptr: not empty,
// at most `max` bytes (64 in the message), ASCII letters, digits and `_`
// (and `-` with `dash`). The first character's rule is the caller's.
const char *ExportTag_WordProblem(const char *name, size_t max, int dash);
