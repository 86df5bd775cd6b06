// The expressions at a glance: one dress style of a character in every
// expression, each picture composed exactly as the export composes it, by a
// character of its own (its own layer document and image cache) over the
// program's catalogue, so that it can work on another thread beside the
// editor. Platform-neutral; the catalogue is only read.
#pragma once

#include <cstddef>

#include "catalog/part_catalog.h"
#include "core/imaging/dib.h"
#include "editor/character.h"
#include "editor/wardrobe.h"

struct ExpressionGlance {
    const PartCatalog *catalog;
    LayerDocument *doc;
    Character ch;
    Wardrobe w;
    int ready;     // a project was shown
};

// The glance holds the images of a character in every expression with room
// to spare, within a smaller memory budget than the preview's.
enum { GLANCE_CACHE_CAPACITY = 96 };
const size_t GLANCE_CACHE_BYTE_BUDGET = (size_t)96 << 20;

// `dataFolder` is the data tree the editor's character reads (ending with
// `\`; nullptr for the default). Returns 0 when memory runs out.
int ExpressionGlance_Open(ExpressionGlance *g, const PartCatalog *catalog, const char *dataFolder);
void ExpressionGlance_Close(ExpressionGlance *g);

// The project file image with everything the pictures do not depend on
// cleared (the character's name, the export folders and flags, the current
// expression, whether the hair takes its own colour, the styles' names,
// folders and check states): two images
// whose reductions are equal give equal pictures. Returns a heap block
// (free with free()) or nullptr when the image is damaged or memory ran out.
unsigned char *ExpressionGlance_Reduce(const unsigned char *bytes, size_t size, size_t *outSize);

// Applies a project file image (whole or reduced) and shows its style
// `style` (the first one when there is no such style); only the parts that
// differ from the project shown before are loaded again. Returns 0 when the
// image is damaged or the project has no style.
int ExpressionGlance_Show(ExpressionGlance *g, const unsigned char *bytes, size_t size, int style);
// The number of expressions, each a picture.
int ExpressionGlance_Count(const ExpressionGlance *g);
// The shown style in expression `expression`: the picture the export would
// write (32 bits with alpha, the document's size). nullptr when nothing is
// shown, the index is out of range or memory runs out.
DIB *ExpressionGlance_Compose(ExpressionGlance *g, int expression);
