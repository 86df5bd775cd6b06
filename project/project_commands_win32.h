// What the File menu does to the program's state once the user has chosen a
// file: start a new project, open one, save to a path, and keep the project
// path, the untitled flag, the start folder and the main window's caption
// consistent. The menu handlers in app/ wrap these with the file dialogs
// and the messages; the tests call them directly.
#pragma once

#include <cstdint>

#include "editor/app_context_win32.h"
#include "project/project_history.h"

// Sets the caption form: nothing happens when `modified` is the form shown
// already; otherwise the form is stored and the caption rebuilt from the
// project path.
void MainTitle_Set(AppContext *app, int modified);
// Rebuilds the caption in its plain form whatever was shown before.
void MainTitle_Refresh(AppContext *app);

// The default project: the untitled path below the start folder, the
// default character and one style, pages brought up to date. The SAVE
// page's folder edit and output button are left as they are. Returns 0
// when memory ran out (the models are then unchanged).
int ProjectCmd_New(AppContext *app);

// What ProjectCmd_Open reports.
enum {
    PROJECTCMD_OPENED = 1,
    PROJECTCMD_REFUSED = 0,   // cannot be read or is not a project file
};
// Opens the project at `path`. The start folder follows the file's folder
// either way; only a project that was read completely replaces the
// character, the styles, the SAVE page's folder, the project path, the
// untitled flag and the caption.
int ProjectCmd_Open(AppContext *app, const char *path);

// Gathers the project from the models and writes it to `path` (safely:
// an old file is replaced only by a complete new one). On success the
// project is named `path` (project path, start folder, untitled flag and
// caption); on failure nothing changes. Returns 1 when written.
int ProjectCmd_SaveAs(AppContext *app, const char *path);
// Writes the project to its current path; names nothing. Returns 1 when
// written.
int ProjectCmd_Save(AppContext *app);

// The undo history's side: the project as a history state (gathered from
// the models and the SAVE page), and a state shown again (applied to the
// models, the pages and the canvas, selections included, without being a
// change of its own). Return 0 when memory ran out or the state is damaged.
int ProjectCmd_TakeState(AppContext *app, ProjectState *state);
int ProjectCmd_ShowState(AppContext *app, const ProjectState *state);
// Gives the project being edited the look of `seed` in every trait `keep`
// does not keep (RandomLook_ApplyLocked, as vor-cli random --from does) and
// shows it like an undo step would; the caller records the change. Returns
// 0 when memory ran out (nothing changed then).
int ProjectCmd_ApplyRandomLook(AppContext *app, uint64_t seed, uint32_t keep);
// New and Open start an empty history whose saved state is the one shown.
void ProjectCmd_StartHistory(AppContext *app);
// The shown state is the one on disk now.
void ProjectCmd_MarkSaved(AppContext *app);
// A user action may have changed the project: commits the state (merging
// by `mergeTag`) and shows the caption's modified form when it differs
// from the saved one. Returns 1 when a step was added or merged, -1 when
// memory ran out even after the undo steps were let go.
int ProjectCmd_CommitChange(AppContext *app, int mergeTag);
