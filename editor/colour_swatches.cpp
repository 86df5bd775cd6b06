// The colour dialog's swatch data: slot kinds, `H,L,S` texts and the list of
// recently accepted colours.
#include "editor/colour_swatches.h"

#include <cstdio>
#include <cstring>

#include "catalog/palette.h"
#include "editor/character.h"

namespace {

bool Same(HlsColour a, HlsColour b)
{
    return a.hue == b.hue && a.luminance == b.luminance && a.saturation == b.saturation;
}

const char *SkipSpaces(const char *p)
{
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

// One number 0..255 at `*p`; advances past it.
bool ReadChannel(const char **p, uint8_t *value)
{
    const char *q = SkipSpaces(*p);
    int v = 0, digits = 0;
    for (; *q >= '0' && *q <= '9'; q++) {
        v = v * 10 + (*q - '0');
        if (++digits > 3 || v > 255)
            return false;
    }
    if (!digits)
        return false;
    *value = (uint8_t)v;
    *p = SkipSpaces(q);
    return true;
}

}  // namespace

int ColourSwatches_KindOfSlot(int slotId)
{
    switch (slotId) {
    case ID_HAIR:
    case ID_BROW: return PALETTE_HAIR;
    case ID_EYE: return PALETTE_EYE;
    case ID_MOUTH: return PALETTE_MOUTH;
    default: return PALETTE_NEUTRAL;
    }
}

void ColourText_Format(HlsColour colour, char out[COLOUR_TEXT_SIZE])
{
    snprintf(out, COLOUR_TEXT_SIZE, "%d,%d,%d", colour.hue, colour.luminance, colour.saturation);
}

int ColourText_Parse(const char *text, HlsColour *out)
{
    if (!text)
        return 0;
    HlsColour c;
    const char *p = text;
    if (!ReadChannel(&p, &c.hue) || *p++ != ',' || !ReadChannel(&p, &c.luminance) || *p++ != ',' ||
        !ReadChannel(&p, &c.saturation))
        return 0;
    if (*p == '\r')
        p++;
    if (*p == '\n')
        p++;
    if (*p)
        return 0;
    *out = c;
    return 1;
}

void RecentColours_Push(RecentColours *recent, HlsColour colour)
{
    int at = 0;
    while (at < recent->count && !Same(recent->colours[at], colour))
        at++;
    if (at == recent->count && recent->count < RECENT_COLOURS_MAX)
        recent->count++;
    if (at == RECENT_COLOURS_MAX)
        at--;  // the oldest falls off
    for (int i = at; i > 0; i--)
        recent->colours[i] = recent->colours[i - 1];
    recent->colours[0] = colour;
}

std::string RecentColours_Format(const RecentColours *recent)
{
    std::string text;
    for (int i = 0; i < recent->count; i++) {
        char one[COLOUR_TEXT_SIZE];
        ColourText_Format(recent->colours[i], one);
        if (i)
            text += ';';
        text += one;
    }
    return text;
}

void RecentColours_Parse(const char *text, RecentColours *recent)
{
    recent->count = 0;
    std::string all = text ? text : "";
    size_t start = 0;
    while (start <= all.size() && recent->count < RECENT_COLOURS_MAX) {
        size_t end = all.find(';', start);
        if (end == std::string::npos)
            end = all.size();
        HlsColour c;
        std::string one = all.substr(start, end - start);
        bool seen = false;
        if (ColourText_Parse(one.c_str(), &c)) {
            for (int i = 0; i < recent->count; i++)
                seen = seen || Same(recent->colours[i], c);
            if (!seen)
                recent->colours[recent->count++] = c;
        }
        start = end + 1;
    }
}
