// UTF-8 from the platform's UTF-16 conversion.
#include "core/text_cp949.h"

#include <cstdint>

std::string Cp949_ToUtf8(const char *text)
{
    std::u16string wide = Cp949_ToUtf16(text);
    std::string out;
    for (size_t i = 0; i < wide.size(); i++) {
        uint32_t c = wide[i];
        // A surrogate pair is one character; a lone surrogate cannot come
        // out of CP949 and becomes U+FFFD.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | c >> 6);
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | c >> 12);
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | c >> 18);
            out += (char)(0x80 | (c >> 12 & 0x3F));
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}
