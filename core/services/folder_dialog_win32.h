// The folder chooser (Windows only).
#pragma once

#include <windows.h>

// Shows the shell's folder browser starting at the folder in `buffer`. When
// the user picks a folder, writes it into `buffer` (size bytes) and returns
// non-zero; returns 0 when cancelled or when the choice is not a file-system
// folder that fits.
int FileSys_GetFolderName(HWND owner, char *buffer, int size, const char *caption, const char *prompt);
