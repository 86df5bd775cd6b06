// HLS to RGB conversion and the palette ramp of tintable layers.
//
// Every constant below is a fixed IEEE double and every step is done in
// doubles in a fixed order: colours that users saved must come out as the same
// bytes on every build, including the few values that truncate one step lower
// (hue 170 lands just below 240 degrees, luminance 33 comes out as 32).
#include "layers/hls.h"

#include <cmath>

const HlsColour HLS_DEFAULT = {0, 128, 255};

namespace {

// 0x3FF6969696969696: one unit in the last place below the double nearest to
// 360/255, so hue 170 maps to 239.99999999999997 degrees.
const double kHueByteToDegrees = 0x1.6969696969696p+0;
// 0x3F70101010101010: 1/255.
const double kByteToUnit = 0x1.0101010101010p-8;
// 0x3F91111111111111: 1/60.
const double kOneSixtieth = 0x1.1111111111111p-6;
const double kUnitToByte = 255.0;

double ClampUnit(double v)
{
    if (v < 0.0)
        return 0.0;
    if (v > 1.0)
        return 1.0;
    return v;
}

double WrapDegrees(double degrees)
{
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0.0)
        degrees += 360.0;
    return degrees;
}

// One channel of the classic HLS model: a trapezoid over the hue circle
// rising from m1 to m2 over 0..60, flat to 180, falling back to m1 by 240.
double ChannelValue(double m1, double m2, double degrees)
{
    double x = WrapDegrees(degrees);
    if (x < 60.0)
        return m1 + (m2 - m1) * x * kOneSixtieth;
    if (x < 180.0)
        return m2;
    if (x < 240.0)
        return m1 + (m2 - m1) * (240.0 - x) * kOneSixtieth;
    return m1;
}

uint8_t ChannelByte(double value)
{
    // Truncation toward zero is part of the colour's definition (0.9999 is
    // 254); the clamp only guards against a stray negative zero or rounding.
    double scaled = value * kUnitToByte;
    if (!(scaled > 0.0))
        return 0;
    if (scaled >= 255.0)
        return 255;
    return (uint8_t)scaled;
}

}  // namespace

RgbBytes Hls_ToRgb(HlsColour colour)
{
    double h = colour.hue * kHueByteToDegrees;
    double l = ClampUnit(colour.luminance * kByteToUnit);
    double s = ClampUnit(colour.saturation * kByteToUnit);
    h = WrapDegrees(h);

    double m1, m2;
    if (l <= 0.5) {
        m1 = l * (1.0 - s);
        m2 = 2.0 * l - m1;
    } else {
        m2 = l * (1.0 - s) + s;
        m1 = 2.0 * l - m2;
    }

    RgbBytes rgb;
    rgb.red = ChannelByte(ChannelValue(m1, m2, h + 120.0));
    rgb.green = ChannelByte(ChannelValue(m1, m2, h));
    rgb.blue = ChannelByte(ChannelValue(m1, m2, h - 120.0));
    return rgb;
}

void Hls_FillPalette(PaletteEntry *palette, HlsColour colour)
{
    // A dark colour keeps black at grey 0, a bright one keeps white at 255.
    int low, high;
    if (colour.luminance < 128) {
        low = 0;
        high = 2 * colour.luminance;
    } else {
        low = 2 * colour.luminance - 255;
        high = 255;
    }
    int span = high - low;

    for (int grey = 0; grey < HLS_PALETTE_ENTRIES; grey++) {
        HlsColour shade = colour;
        shade.luminance = (uint8_t)(low + grey * span / 255);
        RgbBytes rgb = Hls_ToRgb(shade);
        palette[grey].blue = rgb.blue;
        palette[grey].green = rgb.green;
        palette[grey].red = rgb.red;
        palette[grey].reserved = 0;
    }
}
