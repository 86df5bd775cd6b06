// A character without a window: the catalogue, a layer document, the
// character and its wardrobe, as vor-cli and the tests use them. Loads are
// deferred and run synchronously before each composition.
#pragma once

#include "catalog/part_catalog.h"
#include "editor/character.h"
#include "editor/wardrobe.h"
#include "layers/document.h"
#include "project/project.h"

struct Headless {
    PartCatalog catalog;
    LayerDocument *doc;
    Character ch;
    Wardrobe w;
    int ready;
};

// Reads the catalogue from `dataFolder` (ending with `\`) and builds the
// character with the default project applied. Returns 0 when memory runs out.
int Headless_Open(Headless *h, const char *dataFolder);
// Reads a project file and applies it. Returns the Project_ReadFile result
// (PROJECT_OK = 1); on any other result nothing changes.
int Headless_LoadProject(Headless *h, const char *path);
// Loads what is queued; the document's picture is then ready to compose.
void Headless_LoadNow(Headless *h);
void Headless_Close(Headless *h);
