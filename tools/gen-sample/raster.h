// Anti-aliased drawing into 32-bit straight-alpha images.
//
// The sample data generator draws every part image with these few tools:
// outlines built from lines and flattened Bezier curves (Path), filled by
// scanline with sub-scanlines and fractional span ends, stroked by distance
// to their segments with a width that may taper along the line, painted
// through a small per-pixel paint callback (solid colour or gradient), and
// limited by an optional clip mask. Colours land with straight-alpha "over",
// the same rule the program uses when it composes part images.
#pragma once

#include <cstdint>

#include "core/imaging/dib.h"

struct Pt {
    float x, y;
};

struct Rgba {
    uint8_t r, g, b, a;
};

inline Rgba Rgb(int r, int g, int b, int a = 255)
{
    return Rgba{(uint8_t)r, (uint8_t)g, (uint8_t)b, (uint8_t)a};
}
// Grey values carry the shading of recoloured images: the program maps them
// onto a luminance ramp of the user's colour.
inline Rgba Grey(int v, int a = 255)
{
    return Rgba{(uint8_t)v, (uint8_t)v, (uint8_t)v, (uint8_t)a};
}

enum { PATH_MAX_POINTS = 4096, PATH_MAX_FIGURES = 160 };

// One or more closed polygons (figures). A fill covers the union of its
// figures, each filled by the non-zero rule, so overlapping figures never
// cancel each other out. Points and figures beyond the capacity are
// dropped; once a figure is refused, so is every later point.
struct Path {
    int count;
    int figureCount;
    int refused;      // a figure did not fit: nothing more is added
    int figureStart[PATH_MAX_FIGURES];
    uint8_t figureClosed[PATH_MAX_FIGURES]; // strokes join the last point to the first
    Pt pts[PATH_MAX_POINTS];
};

void Path_Clear(Path *p);
void Path_MoveTo(Path *p, float x, float y);
void Path_LineTo(Path *p, float x, float y);
void Path_QuadTo(Path *p, float cx, float cy, float x, float y);
void Path_CurveTo(Path *p, float c1x, float c1y, float c2x, float c2y, float x, float y);
// Marks the current figure closed for strokes (fills always close).
void Path_Close(Path *p);
// A whole ellipse as a new closed figure, optionally rotated (radians).
void Path_Ellipse(Path *p, float cx, float cy, float rx, float ry, float angle = 0);
// Appends every figure of `src` mirrored about the vertical line x = axis.
void Path_AppendMirrored(Path *p, const Path *src, float axis);
// Completes the current figure symmetrically: appends its own points in
// reverse order mirrored about x = axis, so a left half drawn from the axis
// around to the axis becomes one whole, seamless figure.
void Path_MirrorClose(Path *p, float axis);
// The current point (the last one added), or (0, 0) for an empty path.
Pt Path_Last(const Path *p);

struct Paint;
typedef Rgba (*PaintShade)(const Paint *paint, float x, float y);

// What a shape is painted with. `shade` == nullptr paints `from` everywhere.
struct Paint {
    PaintShade shade;
    Rgba from, to;
    float x0, y0, x1, y1; // gradient axis (linear) or centre and radius (radial: x1 = radius)
};

Paint Paint_Solid(Rgba colour);
// From `from` at (x0, y0) to `to` at (x1, y1), constant beyond the ends.
Paint Paint_Linear(float x0, float y0, Rgba from, float x1, float y1, Rgba to);
// From `inner` at the centre to `outer` at `radius` and beyond.
Paint Paint_Radial(float cx, float cy, float radius, Rgba inner, Rgba outer);

// A drawing surface over one 32-bit image; the scratch buffers are sized to it.
struct Raster {
    DIB *image;
    int width, height;
    float *cover;     // coverage of the shape being drawn, 0..1
    float *row;       // one row of sub-scanline sums for the current figure
    float *clip;      // nullptr, or a multiplier 0..1 per pixel
    int minX, minY, maxX, maxY; // pixels the cover may be non-zero in (inclusive)
};

Raster *Raster_Create(DIB *image);
void Raster_Free(Raster *r);
// Draws into another image of the same size from now on.
void Raster_SetTarget(Raster *r, DIB *image);

void Raster_Fill(Raster *r, const Path *p, const Paint &paint);
// Width runs from `w0` at the start of each figure through `w1` halfway along
// it to `w2` at its end; ends are round.
void Raster_Stroke(Raster *r, const Path *p, const Paint &paint, float w0, float w1, float w2);
inline void Raster_Line(Raster *r, const Path *p, const Paint &paint, float width)
{
    Raster_Stroke(r, p, paint, width, width, width);
}
// Removes what the shape covers (alpha scaled down by the coverage).
void Raster_Erase(Raster *r, const Path *p);
// Removes from the target whatever is opaque in `mask` (same size).
void Raster_EraseByAlpha(Raster *r, const DIB *mask);

// The clip only ever narrows until Raster_NoClip: each call multiplies it.
void Raster_ClipPath(Raster *r, const Path *p);
// Keeps only what lies outside the shape.
void Raster_ClipOutside(Raster *r, const Path *p);
// Keeps only where `mask` (same size, may be the target itself) has alpha.
void Raster_ClipAlpha(Raster *r, const DIB *mask);
void Raster_NoClip(Raster *r);
