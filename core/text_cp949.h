// The program's CP949 texts as Unicode, for files that other programs read
// (layer names in PSD and OpenRaster files). Each platform converts with its
// own code-page support: Windows through code page 949, the host through
// iconv.
#pragma once

#include <string>

// The UTF-16 form of a CP949 text (null gives an empty string). A byte that
// does not begin a CP949 character becomes U+FFFD, so nothing stops a name
// from being written.
std::u16string Cp949_ToUtf16(const char *text);
// The UTF-8 form of the same.
std::string Cp949_ToUtf8(const char *text);
