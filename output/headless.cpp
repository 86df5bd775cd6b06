// The headless character session.
#include "output/headless.h"

#include <cstring>

#include "output/export.h"
#include "project/project_model.h"

// Loads are run by the session itself, right before each composition.
static void DeferRefresh(void *) {}

int Headless_Open(Headless *h, const char *dataFolder)
{
    memset(h, 0, sizeof *h);
    if (!PartCatalog_Load(&h->catalog, dataFolder))
        return 0;
    h->doc = LayerDocument_Create();
    // A session renders every style and expression in turn: it keeps every
    // decoded image instead of the preview's ten.
    if (h->doc) {
        ImageCache_Free(h->doc->cache);
        h->doc->cache = ImageCache_Create(IMAGE_CACHE_UNLIMITED);
    }
    CharacterHooks hooks = {h, DeferRefresh};
    if (!h->doc || !h->doc->cache || !Wardrobe_Init(&h->w) || !Character_Init(&h->ch, h->doc, &h->catalog, hooks, dataFolder)) {
        Headless_Close(h);
        return 0;
    }
    Project *defaults = Project_MakeDefault(&h->catalog, "");
    if (!defaults) {
        Headless_Close(h);
        return 0;
    }
    Project_Apply(defaults, &h->ch, &h->w);
    Project_Free(defaults);
    h->ready = 1;
    return 1;
}

int Headless_LoadProject(Headless *h, const char *path)
{
    Project *p = nullptr;
    int result = Project_ReadFile(path, &p);
    if (result != PROJECT_OK)
        return result;
    Project_ResolveKeys(p, &h->catalog);
    Project_Apply(p, &h->ch, &h->w);
    Project_Free(p);
    return PROJECT_OK;
}

void Headless_LoadNow(Headless *h)
{
    Export_LoadNow(h->doc);
}

void Headless_Close(Headless *h)
{
    Wardrobe_Release(&h->w);
    Character_Release(&h->ch);
    LayerDocument_Free(h->doc);
    h->doc = nullptr;
    PartCatalog_Free(&h->catalog);
    h->ready = 0;
}
