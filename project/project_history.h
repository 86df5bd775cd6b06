// The editor's undo history: a bounded list of project states, each the
// project's file image (with every accessory selection cleared, so that
// choosing a list entry is no change) plus the selections to restore with it.
//
// The program takes a state after every user action and commits it; a
// state whose image equals the current one changes nothing but refreshes
// the selections kept with it. Undo and redo walk the list; the modified
// flag compares the current image with the one last saved, so undoing back
// to the saved state is unmodified again. Platform-neutral.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    HISTORY_MAX_STEPS = 128,   // undo steps kept; the oldest go first
    // Bytes of states kept, counted the same way: a project with a huge
    // field would otherwise take 128 copies of itself (a 32-bit process
    // runs out long before). Over it the oldest steps go too, but the
    // current state and the one before it always stay.
    HISTORY_MAX_BYTES = 32 * 1024 * 1024,
    HISTORY_NO_MERGE = 0,
};

struct ProjectState {
    unsigned char *bytes;        // owned file image, selections cleared
    size_t size;
    int32_t *selections;         // owned: each style's accessory selection
    int32_t styleCount;
    int32_t shownStyle;          // the style whose accessories are on the canvas
    int32_t selectedStyle;       // the style list's selection
};

struct ProjectHistory {
    ProjectState *states;        // HISTORY_MAX_STEPS + 1 slots
    int count;                   // states held (0 before the first reset)
    int current;                 // index of the state shown now
    int mergeTag;                // tag of the last commit; equal tags merge
    ProjectState saved;          // the image last saved, opened or started
    int savedValid;
};

void ProjectState_Free(ProjectState *state);
// A deep copy into `out`; 0 when memory ran out (`out` is then empty).
int ProjectState_Copy(const ProjectState *state, ProjectState *out);
// Whether two states hold the same project (selections are not compared).
int ProjectState_SameProject(const ProjectState *a, const ProjectState *b);

// 0 when memory runs out.
int History_Init(ProjectHistory *h);
void History_Release(ProjectHistory *h);
// Forgets every step; `state` (taken over) is both the current and the
// saved state.
void History_Reset(ProjectHistory *h, ProjectState *state);
// The project now looks like `state` (taken over). A different project
// becomes a new step after the current one, dropping every redo step; with
// the same non-zero `mergeTag` as the last commit it replaces that step
// instead (typing into one field is one step). The same project only
// updates the selections kept. Returns 1 when a step was added or merged.
int History_Commit(ProjectHistory *h, ProjectState *state, int mergeTag);
// Bytes the states held take (images and selections).
size_t History_Bytes(const ProjectHistory *h);
// Frees memory when it ran out: drops every undo and redo step but the
// current state. Returns 1 when anything was freed.
int History_DropAllButCurrent(ProjectHistory *h);
// Ends a run of merging commits (the field lost the focus, another action).
void History_BreakMerge(ProjectHistory *h);
// The state to show for an undo or a redo, now the current one; nullptr
// when there is none.
const ProjectState *History_Undo(ProjectHistory *h);
const ProjectState *History_Redo(ProjectHistory *h);
int History_CanUndo(const ProjectHistory *h);
int History_CanRedo(const ProjectHistory *h);
// The current state was written to a file.
void History_MarkSaved(ProjectHistory *h);
// Whether the current state differs from the one last saved.
int History_IsModified(const ProjectHistory *h);
