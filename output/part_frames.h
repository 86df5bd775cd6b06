// The frames an eye or mouth shape may have beside its still images (the
// eyes shut for a blink, the mouth open in speech), shown by a second
// character over a document of its own.
//
// The second character takes the live one's colours and shapes and loads a
// frame's images through the same requests, recolouring and load pass as
// the picture's own images, so a frame differs from the still picture only
// where the pack's frame images differ from its still ones. The live
// character's document is never touched: the program may use this while
// its canvas shows the character, and from the export's worker thread.
#pragma once

#include "editor/character.h"
#include "layers/layer.h"

enum PartFrameKind { PART_FRAME_CLOSED, PART_FRAME_TALK, PART_FRAME_KINDS };

struct PartFrames;

// nullptr when neither the character's eye shape nor its mouth shape has
// frames, or memory ran out.
PartFrames *PartFrames_Open(const Character *ch);
void PartFrames_Close(PartFrames *frames);
// Whether the shape of `kind` has a frame for the expression.
int PartFrames_Has(const PartFrames *frames, int kind, int expression);
// Loads the frame of `kind` for the expression and returns the second
// character's depth-list entry (the eyes or the mouth) showing it, placed
// where the live character's entry `*live` stands. nullptr when there is no
// such frame.
Layer *PartFrames_Show(PartFrames *frames, const Character *ch, int kind, int expression, const Layer **live);
