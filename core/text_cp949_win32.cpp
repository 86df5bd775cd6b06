// CP949 to UTF-16 on Windows, through code page 949 named explicitly.
#include <windows.h>

#include "core/text_cp949.h"

std::u16string Cp949_ToUtf16(const char *text)
{
    std::u16string out;
    if (!text || !*text)
        return out;
    // Without MB_ERR_INVALID_CHARS a byte that is not CP949 becomes the
    // code page's default character instead of failing the whole text.
    int n = MultiByteToWideChar(949, 0, text, -1, nullptr, 0);
    if (n <= 1)
        return out;
    std::wstring wide((size_t)n, L'\0');
    MultiByteToWideChar(949, 0, text, -1, &wide[0], n);
    out.assign(wide.begin(), wide.end() - 1);
    return out;
}
