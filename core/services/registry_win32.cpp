// String values under HKEY_CURRENT_USER: the free export folder and the
// program's folder live there.
#include <windows.h>

#include "core/services/registry_win32.h"

int Reg_GetString(const char *keyPath, const char *name, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD bytes = (DWORD)size;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, (BYTE *)buffer, &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    // A stored value need not carry its NUL; never hand out an open string.
    if (bytes == 0 || buffer[bytes - 1] != 0) {
        if (bytes >= (DWORD)size)
            return 0;
        buffer[bytes] = 0;
    }
    return 1;
}

int Reg_SetString(const char *keyPath, const char *name, const char *text)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 0;
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)lstrlenA(text) + 1);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
