// Control characters in CP949 texts (see text_controls.h).
#include "core/text_controls.h"

#include <cstring>

// A trail byte of a double-byte CP949 character.
static bool IsTrail(unsigned char t)
{
    return (t >= 0x41 && t <= 0x5A) || (t >= 0x61 && t <= 0x7A) || (t >= 0x81 && t <= 0xFE);
}

// The bytes of the character at `p`: 2 only for a lead with a valid trail,
// so a control byte after a stray lead byte is still seen on its own.
static size_t CharLength(const unsigned char *p, size_t left)
{
    return p[0] >= 0x81 && p[0] <= 0xFE && left >= 2 && IsTrail(p[1]) ? 2 : 1;
}

int Text_IsControlAt(const unsigned char *p, size_t left)
{
    unsigned char c = p[0];
    if (c < 0x20 || c == 0x7F || c == 0x80)
        return 1;
    if (c < 0x81 || c > 0x9F)
        return 0;
    // 0x81..0x9F lead the extended Hangul syllables; only a valid trail
    // makes the pair one character.
    return CharLength(p, left) == 1;
}

int Text_HasControl(const char *text)
{
    if (!text)
        return 0;
    const unsigned char *p = (const unsigned char *)text;
    for (size_t left = strlen(text); left > 0;) {
        if (Text_IsControlAt(p, left))
            return 1;
        size_t n = CharLength(p, left);
        p += n;
        left -= n;
    }
    return 0;
}

std::string Text_ShowControls(const char *text)
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string out;
    if (!text)
        return out;
    const unsigned char *p = (const unsigned char *)text;
    for (size_t left = strlen(text); left > 0;) {
        if (Text_IsControlAt(p, left)) {
            out += std::string("\\x") + HEX[*p >> 4] + HEX[*p & 15];
            p++;
            left--;
            continue;
        }
        size_t n = CharLength(p, left);
        out.append((const char *)p, n);
        p += n;
        left -= n;
    }
    return out;
}
