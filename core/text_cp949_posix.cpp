// CP949 to UTF-16 on the host, through iconv.
#include "core/text_cp949.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

std::u16string Cp949_ToUtf16(const char *text)
{
    std::u16string out;
    if (!text || !*text)
        return out;
    iconv_t cd = iconv_open("UTF-16LE", "CP949");
    if (cd == (iconv_t)-1) {
        // Without the converter only ASCII is certain.
        for (const char *p = text; *p; p++)
            out += (unsigned char)*p < 0x80 ? (char16_t)*p : u'\uFFFD';
        return out;
    }
    char *src = const_cast<char *>(text);
    size_t left = strlen(text);
    while (left > 0) {
        char buffer[512];
        char *dst = buffer;
        size_t room = sizeof buffer;
        size_t done = iconv(cd, &src, &left, &dst, &room);
        for (char *p = buffer; p + 1 < dst; p += 2)
            out += (char16_t)((unsigned char)p[0] | (unsigned char)p[1] << 8);
        if (done == (size_t)-1 && errno != E2BIG && left > 0) {
            size_t skip = Cp949_BadLength((const unsigned char *)src, left);
            out += u'\uFFFD';
            src += skip;
            left -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
