// The program's CP949 texts as Unicode, for what other programs read: layer
// names in layered files, CREDITS.txt, vor-cli's UTF-8 output.
// Each platform converts with its own code-page support (Windows through
// code page 949 named explicitly, never the system's own; the host through
// iconv), and both replace what is not CP949 the same way, so the two
// builds write the same bytes.
#pragma once

#include <cstddef>
#include <string>

// The UTF-16 form of a CP949 text (null gives an empty string). What is not
// a CP949 character becomes one U+FFFD: a lead byte with a trail byte after
// it that maps to nothing, or any other single byte. Nothing stops the rest
// of the text from being converted.
std::u16string Cp949_ToUtf16(const char *text);
// The UTF-8 form of the same.
std::string Cp949_ToUtf8(const char *text);

// How many bytes at `p` (`left` of them, at least 1) one U+FFFD replaces:
// 2 for a lead byte followed by a trail byte, else 1.
size_t Cp949_BadLength(const unsigned char *p, size_t left);
