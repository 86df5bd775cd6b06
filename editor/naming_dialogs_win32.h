// The two modal dialogs that name a dress style: ADD (a new style: its
// dress, display name and output folder name) and PROP (rename a style),
// with the checks that keep an output folder name usable as a folder.
//
// The dialogs change the style only when every check passes; a rejected
// entry keeps the dialog open with the offending edit focused and selected.
#pragma once

#include <windows.h>

#include <cstddef>

#include "core/array.h"
#include "editor/dress_style.h"

// Control ids inside ADD and PROP.
enum {
    IDC_NAMING_DRESS = 1002,
    IDC_NAMING_SAME_AS_DRESS = 1047,
    IDC_NAMING_NAME = 1007,
    IDC_NAMING_FOLDER = 1030,
};

// A new buffer holding the window's text in CP949 (the caller frees it), or
// nullptr when memory runs out. A character CP949 cannot hold leaves the
// buffer empty and *unrepresentable (when given) non-zero.
char *GetWindowTextCopy(HWND window, int *unrepresentable = nullptr);

// The output folder name offered for a dress whose key is `key`: the key
// itself when no style of `styles` uses it (ignoring ASCII case), else the
// key followed by the first of 1..999 that gives an unused name (999 when
// all are taken). Writes at most `size` bytes, always terminated.
void StyleNames_ProposeFolder(const PtrList *styles, const char *key, char *out, size_t size);

// What is wrong with a style name and output folder name typed for `style`
// (styles other than it must not use the folder already). Returns 0 when
// both are usable; otherwise the id of the edit to correct (IDC_NAMING_NAME
// or IDC_NAMING_FOLDER), with the message and its caption.
struct StyleNameProblem {
    const char *message;
    const char *caption;
};
int StyleNames_Check(const char *name, const char *folder, const PtrList *styles, const DressStyle *style,
                     StyleNameProblem *problem);

// ADD over `style` (a new style or a copy): the user picks one of `dresses`,
// the name and the output folder name. On OK (returns IDOK) the style holds
// them, the dress index and that dress's default colour; otherwise (IDCANCEL)
// it is unchanged. `styles` is the list the names must not clash with.
INT_PTR ShowAddStyleDialog(HWND owner, DressStyle *style, const PtrList *styles, const PtrList *dresses);
// PROP over a style of `styles`: replaces its name and output folder name on
// OK (returns IDOK); its dress and colour stay.
INT_PTR ShowStylePropertiesDialog(HWND owner, DressStyle *style, const PtrList *styles);
