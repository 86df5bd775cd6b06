// The preset colours the colour dialog offers, one list per kind of slot.
//
// They are data: `palette.inf` in the data folder, written in the language
// of `vor.inf`, one statement per list, e.g.
//   Hair = 0x12557A, 0x1EAAAA;   (0xHHLLSS: hue, luminance, saturation)
// A list the file names replaces the built-in one; a list it leaves out, or
// names with no colour, keeps the built-in colours.
#pragma once

#include <string>
#include <vector>

#include "layers/hls.h"

enum PaletteKind {
    PALETTE_HAIR = 0,     // hair and brows
    PALETTE_EYE = 1,
    PALETTE_MOUTH = 2,    // lip tones
    PALETTE_NEUTRAL = 3,  // dresses, accessories and the hair band
    PALETTE_KINDS = 4,
};

enum {
    PALETTE_MAX_SWATCHES = 12,
    // Problems kept from one reading; one more says how many were not.
    PALETTE_MAX_PROBLEMS = 50,
};

// The file's name inside the data folder.
extern const char PALETTE_FILE_NAME[];

struct Palette {
    int count[PALETTE_KINDS];
    HlsColour colours[PALETTE_KINDS][PALETTE_MAX_SWATCHES];
};

struct PaletteProblem {
    std::string file;     // the file read when it was found (an include's name for its errors)
    int line;             // 1-based, 0 when the statement's line is not known
    std::string message;  // CP949
};

// The built-in lists.
void Palette_Defaults(Palette *palette);
// The statement name of a list ("Hair", "Eye", "Mouth", "Neutral").
const char *Palette_ListName(int kind);
// Reads the file at `path` over `palette` (start from Palette_Defaults).
// Returns 0, leaving `palette` alone, when the file cannot be opened.
// Everything wrong in it is added to `problems` when that is given; a
// broken statement is skipped and the rest still counts.
int Palette_Read(const char *path, Palette *palette, std::vector<PaletteProblem> *problems);
