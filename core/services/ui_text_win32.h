// The crossing of the program's CP949 texts into Windows and back.
//
// The program keeps every text in CP949; Windows is handed UTF-16 converted
// with code page 949 named explicitly, so what the user sees does not depend
// on the system code page. The windows that show these texts are Unicode
// windows, so the wide messages and functions are used for text throughout.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

enum {
    UI_CODE_PAGE = 949,
};

// The result of reading a text back from Windows into CP949.
enum UiTextStatus {
    UITEXT_OK = 0,
    UITEXT_UNREPRESENTABLE,  // a character CP949 cannot hold
    UITEXT_TOO_LONG,         // the text does not fit the buffer
};

// The UTF-16 form of a CP949 text (null gives an empty string).
std::wstring UiText_ToWide(const char *cp949);
// The CP949 form of a UTF-16 text into buffer (size bytes, always
// NUL-terminated when size > 0). A character CP949 cannot hold or a text
// that does not fit leaves buffer empty.
UiTextStatus UiText_FromWide(const wchar_t *wide, char *buffer, size_t size);
// The message to show for a status other than UITEXT_OK (CP949).
const char *UiText_Problem(UiTextStatus status);

// Window and control texts.
BOOL UiText_SetWindow(HWND window, const char *cp949);
BOOL UiText_SetItem(HWND dialog, int id, const char *cp949);
UiTextStatus UiText_GetWindow(HWND window, char *buffer, size_t size);
UiTextStatus UiText_GetItem(HWND dialog, int id, char *buffer, size_t size);

// A wide message carrying a CP949 text as its lParam (CB_ADDSTRING,
// LB_ADDSTRING, CB_INSERTSTRING, CDM_SETCONTROLTEXT, ...).
LRESULT UiText_Send(HWND window, UINT msg, WPARAM wp, const char *cp949);

int UiText_MessageBox(HWND owner, const char *text, const char *caption, UINT type);

// The dialog font the resources name, or the one every Windows since 7 has
// when that is missing; the name is UTF-16.
const wchar_t *UiText_DialogFace(void);
// Gives a dialog and its controls the fallback face when the resources'
// face is missing; does nothing where it is installed.
void UiText_FixDialogFont(HWND dialog);
