// What the colour dialog's swatch rows and its Copy / Paste buttons work
// with, apart from any window: the preset row a slot gets, the colours the
// user accepted last, and the `H,L,S` text a colour travels as on the
// clipboard and is kept as in the registry.
#pragma once

#include <string>

#include "layers/hls.h"

enum {
    RECENT_COLOURS_MAX = 8,
    COLOUR_TEXT_SIZE = 12,  // "255,255,255" and its NUL
};

struct RecentColours {
    int count;
    HlsColour colours[RECENT_COLOURS_MAX];  // newest first, no colour twice
};

// The preset list (PaletteKind) for the colour of slot `slotId` (ID_HAIR,
// ID_EYE, ..., an accessory's id).
int ColourSwatches_KindOfSlot(int slotId);

// `out` gets "H,L,S" in decimal.
void ColourText_Format(HlsColour colour, char out[COLOUR_TEXT_SIZE]);
// Reads "H,L,S": three decimal numbers 0..255 separated by commas, with
// spaces around any of them and a line break at the end allowed (as a note
// or a chat gives the text back). Returns 0, leaving `out` alone, otherwise.
int ColourText_Parse(const char *text, HlsColour *out);

// Puts `colour` first; one already in the list moves up instead of showing
// twice, and the oldest falls off a full list.
void RecentColours_Push(RecentColours *recent, HlsColour colour);
// "H,L,S;H,L,S;..." newest first, for the registry.
std::string RecentColours_Format(const RecentColours *recent);
// The list a registry value holds; entries that do not read are skipped.
void RecentColours_Parse(const char *text, RecentColours *recent);
