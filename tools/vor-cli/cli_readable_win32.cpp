// Readable text on Windows: the Korean console's code page is CP949, the
// encoding of the text itself, so only control bytes are escaped.
#include "cli_output.h"

void CliOut_Readable(FILE *out, const char *text)
{
    static const char hex[] = "0123456789ABCDEF";
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        unsigned char c = *p;
        if (c == '\n')
            fputs("\\n", out);
        else if (c == '\t')
            fputs("\\t", out);
        else if (c < 0x20 || c == 0x7F)
            fprintf(out, "\\x%c%c", hex[c >> 4], hex[c & 15]);
        else
            fputc(c, out);
    }
}
