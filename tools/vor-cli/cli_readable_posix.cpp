// Readable text on the host: CP949 converted to UTF-8 with iconv. A byte
// sequence that is not CP949 prints as `\xHH` so nothing is lost.
#include <iconv.h>

#include <string>

#include "cli_output.h"

void CliOut_Readable(FILE *out, const char *text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string in = CliOut_EscapeControls(text, '\\');
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == (iconv_t)-1) {
        fputs(in.c_str(), out);
        return;
    }
    char *src = &in[0];
    size_t left = in.size();
    while (left > 0) {
        char buffer[512];
        char *dst = buffer;
        size_t room = sizeof buffer;
        size_t done = iconv(cd, &src, &left, &dst, &room);
        fwrite(buffer, 1, (size_t)(dst - buffer), out);
        if (done == (size_t)-1 && room >= 16 && left > 0) {
            // Not CP949 here: show the byte and go on after it.
            unsigned char c = (unsigned char)*src;
            fprintf(out, "\\x%c%c", hex[c >> 4], hex[c & 15]);
            src++;
            left--;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
}
