// The two exports of a figure set without a window, like the PNG export's
// Export_RunHeadless: the format table's "webgal" and "atlas" rows run
// through Export_RunChoicesHeadless with the names' tag (their sinks are in
// figure_sinks.cpp). The names must have passed FigureNames_Gather. `base`
// is the export folder ending with `\`. Return the files written.
//
// The files have room for a pair's blink and talk frames, but the sinks
// write the still picture only: every pair has its still picture, and the
// files say nothing of animation.
#pragma once

#include "output/export.h"
#include "output/figure_names.h"

int WebGal_RunHeadless(Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                       const ExportOptions *options, ExportStats *stats);

struct AtlasExportOptions {
    int powerOfTwo = 0;  // pages rounded up to powers of two a side
};
int Atlas_RunHeadless(Character *ch, Wardrobe *w, const FigureNames *names, const char *base,
                      const AtlasExportOptions *atlas, const ExportOptions *options, ExportStats *stats);
