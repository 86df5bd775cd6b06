// String values under HKEY_CURRENT_USER (Windows only).
#pragma once

// The program's own key: the free folder, the install folder, the recent
// files and colours, the remembered choices.
static const char REG_PROGRAM_KEY[] = "Software\\Sorrel\\Vor\\";

// Reads value `name` of key `keyPath` into buffer (size bytes, NUL-terminated).
// Returns non-zero when a string value was read.
int Reg_GetString(const char *keyPath, const char *name, char *buffer, int size);
// Creates the key when missing and stores the text. Returns non-zero on success.
int Reg_SetString(const char *keyPath, const char *name, const char *text);
