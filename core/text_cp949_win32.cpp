// CP949 to UTF-16 on Windows, through code page 949 named explicitly.
#include <windows.h>

#include "core/text_cp949.h"

#include <cstring>

enum { CP949 = 949 };

// The bytes of the character at `p` that code page 949 converts: 1 or 2,
// or 0 when it is none.
static size_t CharLength(const char *p, size_t left)
{
    if ((unsigned char)*p < 0x80)
        return 1;
    wchar_t w;
    for (int n = 1; n <= 2 && (size_t)n <= left; n++)
        if (MultiByteToWideChar(CP949, MB_ERR_INVALID_CHARS, p, n, &w, 1) == 1)
            return (size_t)n;
    return 0;
}

std::u16string Cp949_ToUtf16(const char *text)
{
    std::u16string out;
    size_t size = text ? strlen(text) : 0, i = 0;
    while (i < size) {
        // The longest run of whole characters goes in one call.
        size_t run = i, n;
        while (run < size && (n = CharLength(text + run, size - run)) > 0)
            run += n;
        if (run > i) {
            int count = MultiByteToWideChar(CP949, 0, text + i, (int)(run - i), nullptr, 0);
            std::wstring part((size_t)(count > 0 ? count : 0), L'\0');
            if (count > 0)
                MultiByteToWideChar(CP949, 0, text + i, (int)(run - i), &part[0], count);
            out.append(part.begin(), part.end());
            i = run;
        }
        if (i < size) {
            out += u'\uFFFD';
            i += Cp949_BadLength((const unsigned char *)text + i, size - i);
        }
    }
    return out;
}
