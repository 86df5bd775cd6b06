// String values under HKEY_CURRENT_USER: the free export folder and the
// program's folder live there. The values cross as UTF-16 converted with
// code page 949, so a Korean Windows reads what it always did and any other
// reads the same bytes back.
#include <windows.h>

#include <string>
#include <vector>

#include "core/services/registry_win32.h"
#include "core/services/ui_text_win32.h"

int Reg_GetString(const char *keyPath, const char *name, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, UiText_ToWide(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    std::wstring valueName = UiText_ToWide(name);
    DWORD type = 0, bytes = 0;
    LONG rc = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &bytes);
    // One unit more than stored: a value need not carry its NUL.
    std::vector<wchar_t> wide(bytes / sizeof(wchar_t) + 2, L'\0');
    if (rc == ERROR_SUCCESS)
        rc = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, (BYTE *)wide.data(), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    return UiText_FromWide(wide.data(), buffer, (size_t)size) == UITEXT_OK;
}

int Reg_SetString(const char *keyPath, const char *name, const char *text)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, UiText_ToWide(keyPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 0;
    std::wstring wide = UiText_ToWide(text);
    LONG rc = RegSetValueExW(key, UiText_ToWide(name).c_str(), 0, REG_SZ, (const BYTE *)wide.c_str(),
                             (DWORD)((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
