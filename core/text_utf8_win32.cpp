// CP949 to UTF-8 on Windows: code page 949 named explicitly, never the
// system's own.
#include <windows.h>

#include "core/text_utf8.h"

std::string Text_Cp949ToUtf8(const char *cp949)
{
    if (!cp949 || !*cp949)
        return std::string();
    int wide = MultiByteToWideChar(949, 0, cp949, -1, nullptr, 0);
    if (wide <= 0)
        return std::string();
    std::wstring w((size_t)wide, L'\0');
    MultiByteToWideChar(949, 0, cp949, -1, &w[0], wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string out((size_t)bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize((size_t)bytes - 1);
    return out;
}
