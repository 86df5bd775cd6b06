// CP949 text as UTF-8, for the files the program writes for people on any
// system (CREDITS.txt). Windows converts with code page 949 named
// explicitly, the host with iconv; the Hangul and ASCII the program's texts
// hold come out the same bytes on both.
#pragma once

#include <string>

// The UTF-8 form of `cp949`. A byte sequence that is not CP949 becomes
// U+FFFD, so nothing that is not text reaches the file.
std::string Text_Cp949ToUtf8(const char *cp949);
