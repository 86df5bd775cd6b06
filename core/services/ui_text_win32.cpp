// Conversions between the program's CP949 texts and the UTF-16 that
// Windows shows, and the wide calls that carry them.
#include "core/services/ui_text_win32.h"

#include <cstring>
#include <vector>

std::wstring UiText_ToWide(const char *cp949)
{
    if (!cp949 || !*cp949)
        return std::wstring();
    int n = MultiByteToWideChar(UI_CODE_PAGE, 0, cp949, -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide((size_t)n, L'\0');
    MultiByteToWideChar(UI_CODE_PAGE, 0, cp949, -1, &wide[0], n);
    wide.resize((size_t)n - 1);
    return wide;
}

UiTextStatus UiText_FromWide(const wchar_t *wide, char *buffer, size_t size)
{
    if (size == 0)
        return UITEXT_TOO_LONG;
    buffer[0] = '\0';
    if (!wide || !*wide)
        return UITEXT_OK;
    int n = WideCharToMultiByte(UI_CODE_PAGE, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return UITEXT_UNREPRESENTABLE;
    std::vector<char> narrow((size_t)n);
    WideCharToMultiByte(UI_CODE_PAGE, 0, wide, -1, narrow.data(), n, nullptr, nullptr);
    // A character without a CP949 form comes out as a substitute; the
    // round trip shows it whatever the substitute is.
    if (UiText_ToWide(narrow.data()) != wide)
        return UITEXT_UNREPRESENTABLE;
    if ((size_t)n > size)
        return UITEXT_TOO_LONG;
    memcpy(buffer, narrow.data(), (size_t)n);
    return UITEXT_OK;
}

const char *UiText_Problem(UiTextStatus status)
{
    switch (status) {
    case UITEXT_OK: return "";
    case UITEXT_UNREPRESENTABLE: return "한글 완성형(CP949)으로 쓸 수 없는 문자가 들어 있습니다.";
    case UITEXT_TOO_LONG: return "너무 깁니다.";
    }
    return "";
}

BOOL UiText_SetWindow(HWND window, const char *cp949)
{
    return SetWindowTextW(window, UiText_ToWide(cp949).c_str());
}

BOOL UiText_SetItem(HWND dialog, int id, const char *cp949)
{
    return SetDlgItemTextW(dialog, id, UiText_ToWide(cp949).c_str());
}

UiTextStatus UiText_GetWindow(HWND window, char *buffer, size_t size)
{
    int length = window ? GetWindowTextLengthW(window) : 0;
    std::vector<wchar_t> wide((size_t)length + 1, L'\0');
    if (length > 0)
        GetWindowTextW(window, wide.data(), length + 1);
    return UiText_FromWide(wide.data(), buffer, size);
}

UiTextStatus UiText_GetItem(HWND dialog, int id, char *buffer, size_t size)
{
    return UiText_GetWindow(GetDlgItem(dialog, id), buffer, size);
}

LRESULT UiText_Send(HWND window, UINT msg, WPARAM wp, const char *cp949)
{
    std::wstring wide = UiText_ToWide(cp949);
    return SendMessageW(window, msg, wp, (LPARAM)wide.c_str());
}

int UiText_MessageBox(HWND owner, const char *text, const char *caption, UINT type)
{
    return MessageBoxW(owner, UiText_ToWide(text).c_str(), UiText_ToWide(caption).c_str(), type);
}

static int CALLBACK FaceFound(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *(int *)found = 1;
    return 0;
}

static int FaceInstalled(const wchar_t *face)
{
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    int found = 0;
    HDC dc = GetDC(nullptr);
    if (dc) {
        EnumFontFamiliesExW(dc, &lf, FaceFound, (LPARAM)&found, 0);
        ReleaseDC(nullptr, dc);
    }
    return found;
}

static const wchar_t kDialogFace[] = L"\xAD74\xB9BC";                // 굴림
static const wchar_t kFallbackFace[] = L"\xB9D1\xC740 \xACE0\xB515";  // 맑은 고딕

const wchar_t *UiText_DialogFace(void)
{
    // Looked up once: the fonts installed do not change under a running
    // program often enough to matter.
    static int gulim = -1;
    if (gulim < 0)
        gulim = FaceInstalled(kDialogFace) || !FaceInstalled(kFallbackFace);
    return gulim ? kDialogFace : kFallbackFace;
}

static BOOL CALLBACK SetChildFont(HWND child, LPARAM font)
{
    SendMessageW(child, WM_SETFONT, (WPARAM)font, FALSE);
    return TRUE;
}

void UiText_FixDialogFont(HWND dialog)
{
    if (UiText_DialogFace() == kDialogFace || !dialog)
        return;
    // The same height as the dialog's own font, in the fallback face. One
    // font serves every dialog for the program's life.
    static HFONT fallback;
    if (!fallback) {
        LOGFONTW lf = {};
        HFONT current = (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0);
        if (!current || !GetObjectW(current, sizeof lf, &lf))
            return;
        lstrcpynW(lf.lfFaceName, kFallbackFace, LF_FACESIZE);
        lf.lfCharSet = DEFAULT_CHARSET;
        fallback = CreateFontIndirectW(&lf);
        if (!fallback)
            return;
    }
    SendMessageW(dialog, WM_SETFONT, (WPARAM)fallback, FALSE);
    EnumChildWindows(dialog, SetChildFont, (LPARAM)fallback);
}
