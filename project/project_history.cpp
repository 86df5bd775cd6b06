// The undo history's list of project states.
#include "project/project_history.h"

#include <cstdlib>
#include <cstring>

void ProjectState_Free(ProjectState *state)
{
    if (!state)
        return;
    free(state->bytes);
    free(state->selections);
    memset(state, 0, sizeof *state);
}

int ProjectState_Copy(const ProjectState *state, ProjectState *out)
{
    memset(out, 0, sizeof *out);
    *out = *state;
    out->bytes = nullptr;
    out->selections = nullptr;
    if (state->size) {
        out->bytes = (unsigned char *)malloc(state->size);
        if (!out->bytes) {
            memset(out, 0, sizeof *out);
            return 0;
        }
        memcpy(out->bytes, state->bytes, state->size);
    }
    if (state->styleCount > 0) {
        out->selections = (int32_t *)malloc(sizeof(int32_t) * (size_t)state->styleCount);
        if (!out->selections) {
            ProjectState_Free(out);
            return 0;
        }
        memcpy(out->selections, state->selections, sizeof(int32_t) * (size_t)state->styleCount);
    }
    return 1;
}

int ProjectState_SameProject(const ProjectState *a, const ProjectState *b)
{
    return a->size == b->size && (a->size == 0 || memcmp(a->bytes, b->bytes, a->size) == 0);
}

// Takes the state over, leaving the source empty.
static void MoveState(ProjectState *to, ProjectState *from)
{
    *to = *from;
    memset(from, 0, sizeof *from);
}

int History_Init(ProjectHistory *h)
{
    memset(h, 0, sizeof *h);
    h->states = (ProjectState *)calloc(HISTORY_MAX_STEPS + 1, sizeof(ProjectState));
    return h->states != nullptr;
}

static void DropFrom(ProjectHistory *h, int first)
{
    for (int i = first; i < h->count; i++)
        ProjectState_Free(&h->states[i]);
    if (first < h->count)
        h->count = first < 0 ? 0 : first;
}

void History_Release(ProjectHistory *h)
{
    if (h->states)
        DropFrom(h, 0);
    free(h->states);
    ProjectState_Free(&h->saved);
    memset(h, 0, sizeof *h);
}

void History_Reset(ProjectHistory *h, ProjectState *state)
{
    DropFrom(h, 0);
    ProjectState_Free(&h->saved);
    h->savedValid = ProjectState_Copy(state, &h->saved);
    MoveState(&h->states[0], state);
    h->count = 1;
    h->current = 0;
    h->mergeTag = HISTORY_NO_MERGE;
}

static size_t StateBytes(const ProjectState *s)
{
    return s->size + sizeof(int32_t) * (size_t)(s->styleCount > 0 ? s->styleCount : 0);
}

size_t History_Bytes(const ProjectHistory *h)
{
    size_t total = 0;
    for (int i = 0; i < h->count; i++)
        total += StateBytes(&h->states[i]);
    return total;
}

static void DropOldest(ProjectHistory *h)
{
    ProjectState_Free(&h->states[0]);
    memmove(&h->states[0], &h->states[1], sizeof(ProjectState) * (size_t)(h->count - 1));
    memset(&h->states[h->count - 1], 0, sizeof(ProjectState));
    h->count--;
    h->current--;
}

int History_DropAllButCurrent(ProjectHistory *h)
{
    if (h->count <= 1)
        return 0;
    DropFrom(h, h->current + 1);
    while (h->current > 0)
        DropOldest(h);
    h->mergeTag = HISTORY_NO_MERGE;
    return 1;
}

int History_Commit(ProjectHistory *h, ProjectState *state, int mergeTag)
{
    if (h->count == 0) {
        History_Reset(h, state);
        return 0;
    }
    ProjectState *now = &h->states[h->current];
    if (ProjectState_SameProject(now, state)) {
        ProjectState_Free(now);
        MoveState(now, state);
        return 0;
    }
    DropFrom(h, h->current + 1);
    if (mergeTag != HISTORY_NO_MERGE && mergeTag == h->mergeTag && h->current > 0) {
        ProjectState_Free(now);
        MoveState(now, state);
        // Typed back to what it was before the run: no step is left.
        if (ProjectState_SameProject(&h->states[h->current - 1], now)) {
            ProjectState_Free(now);
            h->count = h->current--;
            h->mergeTag = HISTORY_NO_MERGE;
        }
        return 1;
    }
    if (h->count == HISTORY_MAX_STEPS + 1)
        DropOldest(h);
    MoveState(&h->states[h->count], state);
    h->current = h->count++;
    h->mergeTag = mergeTag;
    // The new state and the one before it stay whatever their size.
    while (h->count > 2 && History_Bytes(h) > HISTORY_MAX_BYTES)
        DropOldest(h);
    return 1;
}

void History_BreakMerge(ProjectHistory *h)
{
    h->mergeTag = HISTORY_NO_MERGE;
}

const ProjectState *History_Undo(ProjectHistory *h)
{
    if (!History_CanUndo(h))
        return nullptr;
    h->mergeTag = HISTORY_NO_MERGE;
    return &h->states[--h->current];
}

const ProjectState *History_Redo(ProjectHistory *h)
{
    if (!History_CanRedo(h))
        return nullptr;
    h->mergeTag = HISTORY_NO_MERGE;
    return &h->states[++h->current];
}

int History_CanUndo(const ProjectHistory *h)
{
    return h->count > 0 && h->current > 0;
}

int History_CanRedo(const ProjectHistory *h)
{
    return h->current + 1 < h->count;
}

void History_MarkSaved(ProjectHistory *h)
{
    if (h->count == 0)
        return;
    ProjectState_Free(&h->saved);
    h->savedValid = ProjectState_Copy(&h->states[h->current], &h->saved);
    h->mergeTag = HISTORY_NO_MERGE;
}

int History_IsModified(const ProjectHistory *h)
{
    if (h->count == 0)
        return 0;
    return !h->savedValid || !ProjectState_SameProject(&h->states[h->current], &h->saved);
}
