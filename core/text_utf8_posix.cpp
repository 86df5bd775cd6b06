// CP949 to UTF-8 on the host, through iconv.
#include <iconv.h>

#include "core/text_utf8.h"

std::string Text_Cp949ToUtf8(const char *cp949)
{
    std::string in = cp949 ? cp949 : "", out;
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == (iconv_t)-1)
        return in;
    char *src = &in[0];
    size_t left = in.size();
    while (left > 0) {
        char buffer[512];
        char *dst = buffer;
        size_t room = sizeof buffer;
        size_t done = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, (size_t)(dst - buffer));
        if (done == (size_t)-1 && room >= 16 && left > 0) {
            // Not CP949 here: a lead byte with a trail byte after it is one
            // character; any other byte is one on its own.
            unsigned char lead = (unsigned char)src[0], trail = left >= 2 ? (unsigned char)src[1] : 0;
            bool pair = lead >= 0x81 && lead <= 0xFE &&
                        ((trail >= 0x41 && trail <= 0x5A) || (trail >= 0x61 && trail <= 0x7A) ||
                         (trail >= 0x81 && trail <= 0xFE));
            size_t skip = pair ? 2 : 1;
            out += "\xEF\xBF\xBD";
            src += skip;
            left -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
