// Windows services under Wine: registry round trip and the window helpers.
#include <doctest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "core/services/registry_win32.h"
#include "core/window_win32.h"

TEST_CASE("registry strings round-trip under HKEY_CURRENT_USER, Korean included")
{
    const char *key = "Software\\VorTests\\Roundtrip";
    const char *folder = "C:\\\xB1\xD7\xB8\xB2\\save\\";  // C:\그림\save\  (CP949)
    REQUIRE(Reg_SetString(key, "SaveDir", folder));
    char buffer[260];
    memset(buffer, 'x', sizeof buffer);
    REQUIRE(Reg_GetString(key, "SaveDir", buffer, 260));
    CHECK(strcmp(buffer, folder) == 0);

    CHECK(Reg_SetString(key, "SaveDir", ""));
    CHECK(Reg_GetString(key, "SaveDir", buffer, 260));
    CHECK(buffer[0] == 0);

    CHECK_FALSE(Reg_GetString(key, "Missing", buffer, 260));
    CHECK_FALSE(Reg_GetString("Software\\VorTests\\NoSuchKey", "SaveDir", buffer, 260));

    // A value that does not fit the buffer is not handed out cut short.
    char longText[300];
    memset(longText, 'a', 299);
    longText[299] = 0;
    CHECK(Reg_SetString(key, "Long", longText));
    CHECK_FALSE(Reg_GetString(key, "Long", buffer, 260));

    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VorTests");
}

TEST_CASE("Wnd_SetSize keeps a child's place inside its parent; Wnd_CenterOnParent centres")
{
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(parent);
    HWND child = CreateWindowExA(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, 30, 40, 50, 60, parent,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(child);
    Wnd_SetSize(child, 120, 70, TRUE);
    RECT r;
    GetWindowRect(child, &r);
    POINT corner = {r.left, r.top};
    ScreenToClient(parent, &corner);
    CHECK(corner.x == 30);
    CHECK(corner.y == 40);
    CHECK(r.right - r.left == 120);
    CHECK(r.bottom - r.top == 70);

    HWND popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 0, 0, 100, 50, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    REQUIRE(popup);
    Wnd_CenterOnParent(popup);  // no parent, so its owner
    RECT owner, self;
    GetWindowRect(parent, &owner);
    GetWindowRect(popup, &self);
    CHECK(self.left == owner.left + ((owner.right - owner.left) - 100) / 2);
    CHECK(self.top == owner.top + ((owner.bottom - owner.top) - 50) / 2);

    Wnd_SetPos(popup, 10, 20, TRUE);
    int x, y;
    Wnd_GetPos(popup, &x, &y);
    CHECK(x == 10);
    CHECK(y == 20);
    DestroyWindow(popup);
    DestroyWindow(parent);
}

TEST_CASE("Gdi_FillRect fills exactly the rectangle")
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    Rect all = {0, 0, 8, 8};
    Gdi_FillRect(dc, &all, RGB(255, 255, 255));
    Rect r = {2, 2, 5, 4};
    Gdi_FillRect(dc, &r, RGB(0, 0, 255));
    CHECK(GetPixel(dc, 2, 2) == RGB(0, 0, 255));
    CHECK(GetPixel(dc, 4, 3) == RGB(0, 0, 255));
    CHECK(GetPixel(dc, 5, 3) == RGB(255, 255, 255));
    CHECK(GetPixel(dc, 2, 4) == RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

// The suites run a second time under a locale that is not Korean; that run
// proves nothing unless the system code page really changed. Under the
// Korean locale the system code page is 949 itself.
TEST_CASE("the system code page follows the locale the run asked for; 949 is named where it matters")
{
    const char *locale = getenv("VOR_LC_ALL");
    int korean = !locale || strncmp(locale, "ko_KR", 5) == 0;
    CHECK((GetACP() == 949) == (korean != 0));
    CHECK(IsDBCSLeadByte(0xC7) == (korean ? TRUE : FALSE));
    // 한 (0xC7 0xD1) is one character of two bytes in code page 949,
    // whatever the system's is.
    CHECK(IsDBCSLeadByteEx(949, 0xC7));
    char text[] = "\xC7\xD1x";
    CHECK(CharNextExA(949, text, 0) == text + 2);
}
