// Rules that keep style names, output folder names and character names
// usable as folder names and as parts of the games' macro names.
#pragma once

#include "core/array.h"

struct DressStyle;

// Empty, or only spaces, tabs and line feeds.
int Name_IsBlank(const char *text);
// 0 when the text holds a space, an `_` or the lead byte of a double-byte
// (CP949) character; 1 otherwise, also for an empty text.
int Name_HasNoWideOrSpace(const char *text);
// 0 when any of tab \ / : ; * ? " < > | occurs in the text.
int Name_HasNoForbiddenChars(const char *text);
// 0 when any byte below 0x20 (a line break, a tab, an escape) occurs: such
// a name would break the lines of macro.txt or make an unusable folder.
int Name_HasNoControlChars(const char *text);
// The message for a style name (its own rules: not blank, no control
// characters), or nullptr when it is usable.
const char *Name_StyleNameProblem(const char *text);
// 1 when a style of the list other than `except` has this output folder name,
// compared without regard to ASCII case.
int Name_IsOutputFolderUsed(const PtrList *styles, const char *text, const DressStyle *except);
// 1 for a name Windows keeps for a device (con, nul, aux, prn, com1,
// lpt1, ... in any case, with or without an extension: FilePath_IsDeviceName):
// no file or folder can be given it. Every name the exports turn into a
// file or folder name is checked with it.
int Name_IsDeviceName(const char *text);
// 1 for "." and "..": names that would point at the folder itself or above it.
int Name_IsDotName(const char *text);

// The message for the first folder-name rule the text breaks, in the order
// the naming dialogs check them, or nullptr when it is a usable folder name.
// `styles`/`except` may be nullptr to skip the duplicate check.
const char *Name_FolderProblem(const char *text, const PtrList *styles, const DressStyle *except);
