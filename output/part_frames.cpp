#include "output/part_frames.h"

#include <cstring>

#include "catalog/part_catalog.h"
#include "layers/image_cache.h"
#include "output/export.h"

struct PartFrames {
    LayerDocument *doc;
    Character scratch;
    const PartEntry *shape[PART_FRAME_KINDS];  // the eye and mouth shapes
};

static const int32_t kEntryIds[PART_FRAME_KINDS] = {ID_EYE, ID_MOUTH};

PartFrames *PartFrames_Open(const Character *ch)
{
    const PartEntry *eye = (const PartEntry *)PtrList_Get(ch->catalog->eyeShapes, ch->eye);
    const PartEntry *mouth = (const PartEntry *)PtrList_Get(ch->catalog->mouthShapes, ch->mouth);
    if (!(eye && eye->frames) && !(mouth && mouth->frames))
        return nullptr;
    PartFrames *frames = new PartFrames;
    frames->shape[PART_FRAME_CLOSED] = eye;
    frames->shape[PART_FRAME_TALK] = mouth;
    frames->doc = LayerDocument_Create();
    // Every frame of every expression is shown in turn, once per style.
    if (frames->doc) {
        ImageCache_Free(frames->doc->cache);
        frames->doc->cache = ImageCache_Create(IMAGE_CACHE_UNLIMITED);
    }
    if (!frames->doc || !frames->doc->cache ||
        !Character_Init(&frames->scratch, frames->doc, ch->catalog, CharacterHooks{nullptr, nullptr}, ch->dataFolder)) {
        LayerDocument_Free(frames->doc);
        delete frames;
        return nullptr;
    }
    memcpy(frames->scratch.slots, ch->slots, sizeof frames->scratch.slots);
    return frames;
}

void PartFrames_Close(PartFrames *frames)
{
    if (!frames)
        return;
    Character_Release(&frames->scratch);
    LayerDocument_Free(frames->doc);
    delete frames;
}

int PartFrames_Has(const PartFrames *frames, int kind, int expression)
{
    return frames && kind >= 0 && kind < PART_FRAME_KINDS && PartEntry_HasFrame(frames->shape[kind], expression);
}

Layer *PartFrames_Show(PartFrames *frames, const Character *ch, int kind, int expression, const Layer **live)
{
    *live = nullptr;
    if (!PartFrames_Has(frames, kind, expression))
        return nullptr;
    if (kind == PART_FRAME_CLOSED)
        LoadEyesClosed(&frames->scratch, ch->eye, expression);
    else
        LoadMouthTalking(&frames->scratch, ch->mouth, expression);
    Export_LoadNow(frames->doc);
    Layer *from = Character_FindLayer(ch, kEntryIds[kind], 0);
    Layer *to = Character_FindLayer(&frames->scratch, kEntryIds[kind], 0);
    if (!from || !to)
        return nullptr;
    to->rect = from->rect;
    to->flags = from->flags;
    *live = from;
    return to;
}
