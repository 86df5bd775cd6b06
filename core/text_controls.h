// Control characters in the program's CP949 texts. A part pack's names and
// credits end up in files and on terminals other people read (CREDITS.txt,
// the parts window, `cat`): a line break there forges a line, an escape
// sequence drives the reader's terminal. These say whether a text holds
// one and show each one harmlessly.
#pragma once

#include <string>

// 1 when the byte at `p` (`left` bytes, at least 1) is a control character
// of its own: C0 (below 0x20), DEL (0x7F), or a C1 byte (0x80..0x9F) that
// does not start a double-byte CP949 character (a terminal reading the raw
// bytes takes it for a control; a Hangul lead byte with its trail is none).
int Text_IsControlAt(const unsigned char *p, size_t left);
// 1 when any byte of `text` (null counts as empty) is a control character.
int Text_HasControl(const char *text);
// `text` with every control character written as the four characters \xHH
// (upper-case hex); everything else as it is.
std::string Text_ShowControls(const char *text);
