// UTF-8 from the platform's UTF-16 conversion, and the one rule of what a
// replacement character stands for.
#include "core/text_cp949.h"

#include <cstdint>

size_t Cp949_BadLength(const unsigned char *p, size_t left)
{
    unsigned char lead = p[0], trail = left >= 2 ? p[1] : 0;
    bool pair = lead >= 0x81 && lead <= 0xFE &&
                ((trail >= 0x41 && trail <= 0x5A) || (trail >= 0x61 && trail <= 0x7A) || (trail >= 0x81 && trail <= 0xFE));
    return pair ? 2 : 1;
}

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
