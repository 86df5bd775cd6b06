// The definition file of a part folder (`vor.inf`): its display name, its
// folder key and its default colour, read through the preprocessor.
//
// Only three statements count: `Name = "text";`, `Folder = "text";` and
// `Color = number;` (0xHHLLSS: hue, luminance, saturation). Everything else
// is skipped statement by statement, up to and including its `;`.
#pragma once

#include "layers/hls.h"

struct Preprocessor;

struct PartDefinition {
    char *name;       // none when the file has no Name statement
    char *folder;     // none when the file has no Folder statement
    char *path;       // set by the caller; none until then
    HlsColour color;  // 0, 0, 0 without a Color statement
};

// Reads the statements of the file `pp` was opened on; none only when
// memory is exhausted. The caller closes the preprocessor.
PartDefinition *ReadPartDefinition(Preprocessor *pp);
void PartDefinition_Free(PartDefinition *definition);
// The colour of a number token as a Color statement reads it (0xHHLLSS).
HlsColour PartDefinition_ColourFromNumber(const char *text);
