// Hue, luminance and saturation colours and their conversion to RGB.
//
// The user picks part colours as three bytes (hue 0..255 for a full turn,
// luminance and saturation 0..255 for 0..1). Tintable layers show them through
// a 256-entry palette that maps the grey ramp of the part image onto a
// luminance ramp of the chosen hue and saturation, so the shading drawn into
// the grey image survives the recolouring.
#pragma once

#include <cstdint>

#include "core/imaging/dib.h"

struct HlsColour {
    uint8_t hue;
    uint8_t luminance;
    uint8_t saturation;
};

struct RgbBytes {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

enum { HLS_PALETTE_ENTRIES = 256 };

// The colour every part starts with: pure red at full saturation.
extern const HlsColour HLS_DEFAULT;

RgbBytes Hls_ToRgb(HlsColour colour);

// Fills `palette` (HLS_PALETTE_ENTRIES entries) with the luminance ramp of
// `colour`: grey 0 is the darkest shade, grey 255 the brightest, and mid-grey
// lands near the colour's own luminance. The reserved bytes are set to 0.
void Hls_FillPalette(PaletteEntry *palette, HlsColour colour);
