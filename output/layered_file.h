// The layered file the export can write beside each picture: the same name
// ending in .psd or .ora, holding the picture's parts as named layers
// (output/part_layers.h). The headless export and the program's worker go
// through these calls, so both write the same bytes; the file counts as one
// more file of the export, written all or nothing like the picture.
#pragma once

#include "output/export.h"
#include "output/layer_encodings.h"
#include "output/part_layers.h"

enum LayeredFormat {
    LAYERED_NONE = 0,
    LAYERED_PSD,
    LAYERED_ORA,
};

// The format a word names ("psd" or "ora"), or -1.
int Layered_FormatFromName(const char *name);

// The layered file of one picture, from its composition to its writing.
struct LayeredJob {
    int format;                        // LAYERED_NONE: there is none
    PartLayers parts;
    LayerEncodings *shared;            // the export's layer encodings, or nullptr
    int failure;                       // EXPORT_WRITTEN until it fails
    char path[EXPORT_PATH_TEXT_MAX];   // its path, or its text when too long
};

// Starts the picture's layered file right after the picture was composed
// (`composed`; the document still shows it): takes the parts of the
// character's picture. A picture without a usable path or not composed
// gives a file that failed for the same reason. LAYERED_NONE leaves the job
// empty. The layers' encodings are shared through `shared` (optional), which
// must outlive the job's writing.
void LayeredJob_Take(LayeredJob *job, int format, const Character *ch, const Wardrobe *w,
                     const ExportPicture *picture, const DIB *composed, LayerEncodings *shared);

// The budget of an export's layer encodings: room for the layers of a few
// pictures, on the 32-bit program too.
enum { LAYERED_SHARED_BUDGET = 48 * 1024 * 1024 };
// Writes the picture `image` (nullptr: it could not be composed) to
// `pngPath` as Export_WriteImageFile does, then the layered file beside it
// (from the same PNG bytes where the format holds them), on any thread.
// Returns the picture's EXPORT_WRITTEN or reason; the layered file's is kept
// in the job. Without a layered file this is Export_WriteImageFile.
int LayeredJob_WritePicture(LayeredJob *job, const DIB *image, const char *pngPath);
void LayeredJob_Release(LayeredJob *job);
