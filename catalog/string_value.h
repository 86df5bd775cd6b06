// The value of a string token: its raw text with the escapes decoded.
#pragma once

#include <cstddef>

// Decodes `raw` into `value` (room for `valueSize` bytes, NUL included).
// Double-byte characters pass unchanged; \" \' \\ \a \n \r \t, \x with up to
// two hexadecimal digits and \ with up to three octal digits are decoded,
// and a backslash before any other character keeps that character. A
// decoded byte 0 ends the value. The value is never longer than the raw text.
void StringValue_Decode(const char *raw, char *value, size_t valueSize);
