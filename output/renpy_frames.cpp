// The Ren'Py export's frames: the eyes shut and the mouth open in speech,
// drawn as the picture would draw them.
//
// The second character of output/part_frames.h shows each frame; its eye
// or mouth entry is drawn alone onto nothing (which copies its pixels
// exactly).
#include <cstring>

#include "core/util.h"
#include "layers/render.h"
#include "output/part_frames.h"
#include "output/renpy_export.h"

RenPyFrames::~RenPyFrames()
{
    for (std::vector<RenPyFrame> *list : {&closed, &talk})
        for (RenPyFrame &frame : *list)
            if (frame.image)
                DIB_Delete_(frame.image);
}

// Draws the second character's entry alone and keeps what shows. Returns 0
// when memory ran out.
static int Frames_Draw(Layer *entry, RenPyFrame *frame)
{
    if (!entry)
        return 1;
    DIB *canvas = DIB_Create(32, DOCUMENT_WIDTH, DOCUMENT_HEIGHT);
    if (!canvas)
        return 0;
    Layer_Draw(entry, canvas);
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
    PartFrames *scratch = PartFrames_Open(ch);
    if (!scratch)
        return nullptr;
    auto frames = std::make_shared<RenPyFrames>();
    int expressions = PtrList_Count(ch->catalog->expressions);
    frames->closed.assign((size_t)expressions, RenPyFrame{nullptr, {0, 0}});
    frames->talk.assign((size_t)expressions, RenPyFrame{nullptr, {0, 0}});
    int ok = 1;
    for (int x = 0; x < expressions && ok; x++) {
        const Layer *live;
        ok = Frames_Draw(PartFrames_Show(scratch, ch, PART_FRAME_CLOSED, x, &live), &frames->closed[x]);
        if (ok)
            ok = Frames_Draw(PartFrames_Show(scratch, ch, PART_FRAME_TALK, x, &live), &frames->talk[x]);
    }
    PartFrames_Close(scratch);
    if (!ok)
        return nullptr;
    return frames;
}
