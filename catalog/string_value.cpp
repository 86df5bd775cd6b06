// Decoding of string escapes, byte by byte, as the definition files use them.
#include "catalog/string_value.h"

#include "catalog/token.h"
#include "core/util.h"

static int IsOctalDigit(int c)
{
    return c >= '0' && c <= '7';
}

// Decodes the escape that starts after a backslash at `*p`, advancing `*p`
// past it. Returns the byte it stands for.
static int DecodeEscape(const unsigned char **p)
{
    const unsigned char *s = *p;
    int c = *s;
    switch (c) {
    case 'a': *p = s + 1; return 7;
    case 'n': *p = s + 1; return 10;
    case 'r': *p = s + 1; return 13;
    case 't': *p = s + 1; return 9;
    case 'x': {
        s++;
        int value = 0;
        for (int i = 0; i < 2 && Hex_DigitValue(*s) >= 0; i++, s++)
            value = value * 16 + Hex_DigitValue(*s);
        *p = s;
        Debug_Print("[\\x%x]\n", value);
        return value;
    }
    default:
        break;
    }
    if (IsOctalDigit(c)) {
        int value = 0;
        for (int i = 0; i < 3 && IsOctalDigit(*s); i++, s++)
            value = value * 8 + (*s - '0');
        value &= 0xFF;
        *p = s;
        Debug_Print("[%d]\n", value);
        return value;
    }
    // \" \' \\ and any other character stand for that character.
    *p = s + 1;
    return c;
}

void StringValue_Decode(const char *raw, char *value, size_t valueSize)
{
    if (valueSize == 0)
        return;
    const unsigned char *s = (const unsigned char *)raw;
    size_t n = 0;
    while (*s && n + 1 < valueSize) {
        int c = *s;
        if (Token_IsLeadByte(c)) {
            value[n++] = (char)c;
            s++;
            if (*s && n + 1 < valueSize)
                value[n++] = (char)*s++;
            continue;
        }
        s++;
        if (c == '\\' && *s) {
            c = DecodeEscape(&s);
            if (c == 0)
                break;
        }
        value[n++] = (char)c;
    }
    value[n] = 0;
}
