// The crossing of CP949 texts into UTF-16 and back, and text drawn into an
// image, which must come out the same whatever the system code page is.
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/imaging/dib_win32.h"
#include "core/services/ui_text_win32.h"

TEST_CASE("CP949 texts become the UTF-16 they spell and come back byte for byte")
{
    // Narrow literals are compiled as CP949, wide ones as UTF-16: each row
    // holds one text written both ways.
    struct Row { const char *cp949; const wchar_t *wide; };
    const Row rows[] = {
        {"", L""},
        {"VOR 캐릭터 만들기", L"VOR \xCE90\xB9AD\xD130 \xB9CC\xB4E4\xAE30"},
        {"얼굴", L"\xC5BC\xAD74"},
        {"이름(&N):", L"\xC774\xB984(&N):"},
        {"C:\\자료\\홍길동.vor", L"C:\\\xC790\xB8CC\\\xD64D\xAE38\xB3D9.vor"},
        {"^-^ *^^* T.T", L"^-^ *^^* T.T"},
    };
    for (const Row &r : rows) {
        CAPTURE(r.cp949);
        CHECK(UiText_ToWide(r.cp949) == r.wide);
        char back[64] = "x";
        CHECK(UiText_FromWide(r.wide, back, sizeof back) == UITEXT_OK);
        CHECK(strcmp(back, r.cp949) == 0);
    }
    CHECK(UiText_ToWide(nullptr).empty());
}

TEST_CASE("a character CP949 cannot hold, or a text too long for the buffer, leaves it empty")
{
    struct Row { const wchar_t *wide; size_t size; UiTextStatus status; };
    const Row rows[] = {
        {L"A\x0E01", 16, UITEXT_UNREPRESENTABLE},      // Thai
        {L"\xC5BC\xD83D\xDE00", 16, UITEXT_UNREPRESENTABLE},  // an emoji after Hangul
        {L"\xC5BC\xAD74", 5, UITEXT_OK},               // two Hangul: four bytes and the NUL
        {L"\xC5BC\xAD74", 4, UITEXT_TOO_LONG},
        {L"abc", 3, UITEXT_TOO_LONG},
    };
    for (const Row &r : rows) {
        CAPTURE(r.size);
        char buffer[16];
        memset(buffer, 'x', sizeof buffer);
        CHECK(UiText_FromWide(r.wide, buffer, r.size) == r.status);
        if (r.status != UITEXT_OK)
            CHECK(buffer[0] == '\0');
    }
    CHECK(UiText_Problem(UITEXT_UNREPRESENTABLE)[0] != '\0');
}

TEST_CASE("a window's text set from CP949 reads back as the same UTF-16 and the same CP949")
{
    HWND edit = CreateWindowExW(0, L"Edit", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    REQUIRE(edit);
    REQUIRE(IsWindowUnicode(edit));
    CHECK(UiText_SetWindow(edit, "복장"));
    wchar_t wide[16] = L"";
    GetWindowTextW(edit, wide, 16);
    CHECK(std::wstring(wide) == L"\xBCF5\xC7A5");
    char back[16] = "";
    CHECK(UiText_GetWindow(edit, back, sizeof back) == UITEXT_OK);
    CHECK(strcmp(back, "복장") == 0);
    SetWindowTextW(edit, L"\xBCF5\x0E01");
    CHECK(UiText_GetWindow(edit, back, sizeof back) == UITEXT_UNREPRESENTABLE);
    DestroyWindow(edit);
}

// The same text drawn by the program from CP949 and by GDI's wide function
// from UTF-16, in the same font, gives the same pixels.
TEST_CASE("Hangul drawn into an image from CP949 matches the same text drawn through the wide API")
{
    const int width = 90, height = 16;
    TextInfo info;
    TextInfo_Init(&info);
    info.charWidth = 6;
    info.charHeight = 12;
    info.colour = RGB(0, 0, 0);
    DIB *image = DIB_Create(24, width, height);
    for (int y = 0; y < height; y++)
        memset(DIB_RowTD(image, y), 0xFF, 3 * (size_t)width);
    Rect r = {0, 0, width, height};
    REQUIRE(DIB_DrawTextEx(image, &r, "얼굴 복장", &info) == 1);

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    REQUIRE(section);
    int row = ((width * 24 + 31) / 32) * 4;
    memset(bits, 0xFF, (size_t)row * height);
    HFONT font = CreateFontW(12, 6, 0, 0, info.weight, FALSE, FALSE, FALSE, HANGUL_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, UiText_DialogFace());
    HGDIOBJ oldBitmap = SelectObject(dc, section), oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT box = {0, 0, width, height};
    DrawTextW(dc, L"\xC5BC\xAD74 \xBCF5\xC7A5", -1, &box, DT_NOPREFIX | DT_WORDBREAK);
    GdiFlush();

    int inked = 0, differing = 0;
    for (int y = 0; y < height; y++) {
        const unsigned char *mine = DIB_RowTD(image, y), *theirs = (const unsigned char *)bits + (size_t)y * row;
        for (int x = 0; x < 3 * width; x++) {
            inked += mine[x] != 0xFF;
            differing += mine[x] != theirs[x];
        }
    }
    CHECK(inked > 20);
    CHECK(differing == 0);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(section);
    DeleteDC(dc);
    DIB_Delete_(image);
}

