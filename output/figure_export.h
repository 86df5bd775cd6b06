// The two exports of a figure set without a window, like the PNG export's
// Export_RunHeadless: the format table's "webgal" and "atlas" rows run
// through Export_RunChoicesHeadless with the names' tag (their sinks are in
// figure_sinks.cpp). The names must have passed FigureNames_Gather. `base`
// is the export folder ending with `\`. Return the files written.
//
// Every pair has its still picture; where the eye shape has a closed frame
// for the pair's expression it has a blink frame too, and where the mouth
// shape has a talking frame a talk frame.
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
