// The layered file the export can write beside each picture: the same name
// ending in .psd or .ora, holding the picture's parts as named layers
// (output/part_layers.h), one more file of the export written all or nothing
// like the picture. Its sinks are made through the format table
// (output/export_format.h: PsdFormat_AddSinks, OraFormat_AddSinks).
#pragma once

#include "output/export.h"
#include "output/layer_encodings.h"
#include "output/part_layers.h"

// The layered formats in the order the format table lists them
// (ExportOptions::layered).
enum LayeredFormat {
    LAYERED_NONE = 0,
    LAYERED_PSD,
    LAYERED_ORA,
};

// The budget of an export's layer encodings: room for the layers of a few
// pictures, on the 32-bit program too.
enum { LAYERED_SHARED_BUDGET = 48 * 1024 * 1024 };
