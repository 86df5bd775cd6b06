// The Ren'Py export's frames: the eyes shut and the mouth open in speech,
// drawn as the picture would draw them.
//
// A second character over a document of its own takes the live
// character's colours and its eye and mouth shapes, loads each frame's
// images through the same requests, recolouring and load pass as the
// picture's own images, and draws the eye or mouth entry alone onto nothing
// (which copies its pixels exactly). So a frame differs from the still
// image only where the pack's frame images differ from its still ones.
#include <cstring>

#include "core/util.h"
#include "layers/render.h"
#include "output/renpy_export.h"

RenPyFrames::~RenPyFrames()
{
    for (std::vector<RenPyFrame> *list : {&closed, &talk})
        for (RenPyFrame &frame : *list)
            if (frame.image)
                DIB_Delete_(frame.image);
}

// Draws the entry `id` of the scratch character where the live one stands
// and keeps what shows. Returns 0 when memory ran out.
static int Frames_Draw(const Character *live, Character *scratch, int32_t id, RenPyFrame *frame)
{
    Layer *from = Character_FindLayer(live, id, 0), *to = Character_FindLayer(scratch, id, 0);
    if (!from || !to)
        return 1;
    to->rect = from->rect;
    to->flags = from->flags;
    DIB *canvas = DIB_Create(32, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    if (!canvas)
        return 0;
    Layer_Draw(to, canvas);
    const unsigned char *bits = DIB_Bits(canvas);
    bool any = false;
    for (size_t i = 3, n = (size_t)DIB_BytesPerRow(canvas) * canvas->height; i < n && !any; i += 4)
        any = bits[i] != 0;
    if (any)
        frame->image = DIB_Trim(canvas, &frame->offset);
    DIB_Delete_(canvas);
    return !any || frame->image;
}

std::shared_ptr<const RenPyFrames> RenPy_TakeFrames(const Character *ch)
{
    const PartEntry *eye = (const PartEntry *)PtrList_Get(ch->catalog->eyeShapes, ch->eye);
    const PartEntry *mouth = (const PartEntry *)PtrList_Get(ch->catalog->mouthShapes, ch->mouth);
    if (!(eye && eye->frames) && !(mouth && mouth->frames))
        return nullptr;
    auto frames = std::make_shared<RenPyFrames>();
    int expressions = PtrList_Count(ch->catalog->expressions);
    frames->closed.assign((size_t)expressions, RenPyFrame{nullptr, {0, 0}});
    frames->talk.assign((size_t)expressions, RenPyFrame{nullptr, {0, 0}});
    LayerDocument *doc = LayerDocument_Create();
    Character scratch;
    if (!doc || !Character_Init(&scratch, doc, ch->catalog, CharacterHooks{nullptr, nullptr}, ch->dataFolder)) {
        LayerDocument_Free(doc);
        return nullptr;
    }
    memcpy(scratch.slots, ch->slots, sizeof scratch.slots);
    int ok = 1;
    for (int x = 0; x < expressions && ok; x++) {
        if (PartEntry_HasFrame(eye, x)) {
            LoadEyesClosed(&scratch, ch->eye, x);
            Export_LoadNow(doc);
            ok = Frames_Draw(ch, &scratch, ID_EYE, &frames->closed[x]);
        }
        if (ok && PartEntry_HasFrame(mouth, x)) {
            LoadMouthTalking(&scratch, ch->mouth, x);
            Export_LoadNow(doc);
            ok = Frames_Draw(ch, &scratch, ID_MOUTH, &frames->talk[x]);
        }
    }
    Character_Release(&scratch);
    LayerDocument_Free(doc);
    if (!ok)
        return nullptr;
    return frames;
}
