// GDI text drawn into a 24-bit image.
//
// The covered part of the image is copied into a top-down 24-bit DIB section,
// GDI draws the text there with a transparent background (so anti-aliased
// glyph edges blend with the real background), and the part is copied back.
// Pixels the text does not touch come back with the values they had.
#include "core/imaging/dib_win32.h"

#include <cstring>
#include <string>

#include "core/services/ui_text_win32.h"

void TextInfo_Init(TextInfo *info)
{
    memset(info, 0, sizeof *info);
    info->charWidth = 0;
    info->charHeight = 12;
    info->options = 0;
    info->colour = RGB(0, 0, 0);
    info->weight = FW_NORMAL;
    lstrcpynA(info->faceName, "굴림", LF_FACESIZE);
}

static UINT Text_DrawFlags(uint32_t options)
{
    UINT flags = DT_NOPREFIX;  // names are shown as typed; '&' is no mnemonic
    flags |= (options & TEXTINFO_HCENTER) ? DT_CENTER : DT_LEFT;
    if (options & TEXTINFO_VCENTER)
        flags |= DT_SINGLELINE | DT_VCENTER;
    else
        flags |= DT_TOP | DT_WORDBREAK;
    if (options & TEXTINFO_ELLIPSIS)
        flags |= DT_END_ELLIPSIS;
    return flags;
}

int DIB_DrawTextEx(DIB *image24, const Rect *r, const char *textCP949, const TextInfo *info)
{
    if (!image24 || image24->bitCount != 24 || !r || !textCP949 || !info)
        return 0;
    Rect area = {r->left < 0 ? 0 : r->left, r->top < 0 ? 0 : r->top,
                 r->right > image24->width ? image24->width : r->right,
                 r->bottom > image24->height ? image24->height : r->bottom};
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0)
        return 0;

    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down, so row y is picture row y
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = dc ? CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    // Text and face cross as UTF-16 from CP949 whatever the system code
    // page; the dialog face falls back where it is not installed.
    std::wstring face = UiText_ToWide(info->faceName), text = UiText_ToWide(textCP949);
    if (face == L"\xAD74\xB9BC")
        face = UiText_DialogFace();
    HFONT font = info->font ? info->font
                            : CreateFontW(info->charHeight, info->charWidth, 0, 0, info->weight, FALSE, FALSE, FALSE,
                                          HANGUL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                          DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    int drawn = 0;
    if (dc && section && bits && font) {
        int sectionRow = ((w * 24 + 31) / 32) * 4;
        for (int y = 0; y < h; y++)
            memcpy((unsigned char *)bits + (size_t)y * sectionRow, DIB_RowTD(image24, area.top + y) + 3 * area.left,
                   (size_t)w * 3);
        HGDIOBJ oldBitmap = SelectObject(dc, section);
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, info->colour);
        // The rectangle keeps its own origin: text clipped by the image edge
        // lands where it would have without the clip.
        RECT box = {r->left - area.left, r->top - area.top, r->right - area.left, r->bottom - area.top};
        IntersectClipRect(dc, 0, 0, w, h);
        drawn = DrawTextW(dc, text.c_str(), -1, &box, Text_DrawFlags(info->options)) != 0;
        GdiFlush();
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        for (int y = 0; y < h; y++)
            memcpy(DIB_RowTD(image24, area.top + y) + 3 * area.left, (unsigned char *)bits + (size_t)y * sectionRow,
                   (size_t)w * 3);
    }
    if (font && font != info->font)
        DeleteObject(font);
    if (section)
        DeleteObject(section);
    if (dc)
        DeleteDC(dc);
    return drawn;
}
