// The texts and paths the file commands derive from the project path: the
// untitled project's path, the main window's caption, the extension a saved
// file name is given, and the extension named by a file dialog filter.
// Platform-neutral so that the rules are tested on every build.
#pragma once

// The path of a project that has never been saved: the start folder with
// "VOR" as its file-name part (appended after a trailing `\`, otherwise
// replacing the last folder name). Returns 0, leaving `path` alone, when the
// result would not fit in VOR_MAX_PATH bytes.
int ProjectSession_UntitledPath(const char *startFolder, char *path);

// The name the caption shows: the file-name part of `path` with everything
// from its last "." removed.
void ProjectSession_TitleName(const char *path, char *name, int size);

// The main window's caption: "<name> - VOR 캐릭터 만들기", or
// "<name>* - VOR 캐릭터 만들기" when `modified` is 1.
void ProjectSession_FormatTitle(const char *path, int modified, char *title, int size);

// Gives the file name typed in a save dialog the extension `extWithDot`
// (".vor"): everything from the last "." of the name part is replaced, or
// the extension is appended when the name has none. Dots inside folder
// names do not count. Returns 0, leaving `text` alone, when the result would
// not fit in `size` bytes.
int ProjectSession_ForceExtension(char *text, int size, const char *extWithDot);

// The extension of the pattern at the 1-based `index` of a file dialog
// filter (pairs of description and pattern, each NUL-terminated, the list
// ending with an empty text): the text after the pattern's first ".", with
// the dot when `withDot` is set. An index outside the list or a pattern
// without a dot gives an empty text.
void ProjectSession_FilterExtension(const char *filter, int index, int withDot, char *ext, int size);
