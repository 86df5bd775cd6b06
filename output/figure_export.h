// The two exports of a figure set without a window, like the PNG export's
// Export_RunHeadless: the same visit of every checked style and expression
// (Export_VisitPictures), each picture composed as the PNG export composes
// it, then the format's files (output/webgal_figure.h, output/atlas_sheet.h)
// and CREDITS.txt, each written all or nothing, reported through
// `options`'s fileDone and counted in `stats`. The names must have passed
// FigureNames_Gather. `base` is the export folder ending with `\`. Return
// the files written.
//
// A pair's blink and talk frames are written where the parts draw them;
// until the catalogue keeps such frames every pair has its still picture
// only, and the files say nothing of animation.
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
