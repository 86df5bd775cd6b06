// The File menu's effects on the models, the pages and the caption.
#include "project/project_commands_win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/services/filesys.h"
#include "core/services/ui_text_win32.h"
#include "core/util.h"
#include "project/project_history.h"
#include "project/project_model.h"
#include "project/project_session.h"
#include "project/random_locks.h"

void MainTitle_Set(AppContext *app, int modified)
{
    if (modified == app->titleModified)
        return;
    app->titleModified = modified;
    char title[VOR_MAX_PATH + 64];
    ProjectSession_FormatTitle(app->projectPath, modified, title, sizeof title);
    if (app->mainWindow)
        UiText_SetWindow(app->mainWindow, title);
}

void MainTitle_Refresh(AppContext *app)
{
    app->titleModified = 1;
    MainTitle_Set(app, 0);
}

// After a project was applied to the models, the CHARA and DRESS pages
// show it.
static void SyncEditingPages(AppContext *app)
{
    if (app->pages[PAGE_CHARA])
        CharaPage_Sync(app->pages[PAGE_CHARA]);
    if (app->pages[PAGE_DRESS])
        DressPage_Sync(app->pages[PAGE_DRESS]);
}

int ProjectCmd_New(AppContext *app)
{
    ProjectSession_UntitledPath(app->startFolder, app->projectPath);
    MainTitle_Refresh(app);
    app->untitled = 1;
    Project *project = Project_MakeDefault(app->catalog, app->startFolder);
    if (!project)
        return 0;
    app->restoring++;
    Project_Apply(project, &app->character, &app->wardrobe);
    Project_Free(project);
    SyncEditingPages(app);
    app->restoring--;
    ProjectCmd_StartHistory(app);
    return 1;
}

int ProjectCmd_Open(AppContext *app, const char *path)
{
    char folder[VOR_MAX_PATH];
    if (FilePath_CopyFolder(path, folder))
        memcpy(app->startFolder, folder, sizeof folder);
    Project *project = nullptr;
    int result = Project_ReadFile(path, &project);
    if (result != PROJECT_OK || !project) {
        Debug_Print("open refused (%d): %s\n", result, path);
        return PROJECTCMD_REFUSED;
    }
    Project_ResolveKeys(project, app->catalog);
    app->restoring++;
    Project_Apply(project, &app->character, &app->wardrobe);
    // The free-folder flag is not applied: the target buttons keep their state.
    if (app->pages[PAGE_SAVE]) {
        SavePage_SetFreeFolder(app->pages[PAGE_SAVE], project->freeFolder ? project->freeFolder : "");
    }
    Project_Free(project);
    SyncEditingPages(app);
    if (app->pages[PAGE_SAVE])
        SavePage_UpdateOutputButton(app->pages[PAGE_SAVE]);
    app->restoring--;
    app->untitled = 0;
    snprintf(app->projectPath, sizeof app->projectPath, "%s", path);
    MainTitle_Refresh(app);
    ProjectCmd_StartHistory(app);
    return PROJECTCMD_OPENED;
}

// The project as the models hold it now, with the SAVE page's choice of
// the free folder.
static Project *GatherProject(AppContext *app)
{
    int freeFolderFlag = app->pages[PAGE_SAVE] && SavePage_IsFreeFolderChecked(app->pages[PAGE_SAVE]) ? 1 : 0;
    return Project_Gather(&app->character, &app->wardrobe, app->freeFolder, freeFolderFlag);
}

// Gathers and writes; the canvas refreshes afterwards because gathering
// captures the shown style's accessories afresh.
static int WriteProject(AppContext *app, const char *path)
{
    Project *project = GatherProject(app);
    if (!project)
        return 0;
    ProjectKeySource keys = Project_CatalogKeys(app->catalog);
    int written = Project_WriteFile(path, project, &keys);
    Project_Free(project);
    App_RefreshCanvas(app);
    if (!written)
        Debug_Print("save failed: %s\n", path);
    return written;
}

int ProjectCmd_SaveAs(AppContext *app, const char *path)
{
    char folder[VOR_MAX_PATH];
    if (strlen(path) >= VOR_MAX_PATH || !FilePath_CopyFolder(path, folder))
        return 0;
    if (!WriteProject(app, path))
        return 0;
    memcpy(app->startFolder, folder, sizeof folder);
    snprintf(app->projectPath, sizeof app->projectPath, "%s", path);
    app->untitled = 0;
    ProjectCmd_MarkSaved(app);
    MainTitle_Refresh(app);
    return 1;
}

int ProjectCmd_Save(AppContext *app)
{
    if (!WriteProject(app, app->projectPath))
        return 0;
    ProjectCmd_MarkSaved(app);
    MainTitle_Set(app, 0);
    return 1;
}

int ProjectCmd_TakeState(AppContext *app, ProjectState *state)
{
    memset(state, 0, sizeof *state);
    Project *project = GatherProject(app);
    if (!project)
        return 0;
    int count = PtrList_Count(project->styles);
    state->styleCount = count;
    state->shownStyle = app->wardrobe.shown;
    state->selectedStyle = app->wardrobe.selected;
    state->selections = count > 0 ? (int32_t *)malloc(sizeof(int32_t) * (size_t)count) : nullptr;
    // The selections travel beside the image, so that choosing a list
    // entry leaves the image as it was.
    for (int i = 0; i < count; i++) {
        AccessorySet *set = ((DressStyle *)PtrList_Get(project->styles, i))->accessories;
        if (state->selections)
            state->selections[i] = set ? set->selection : -1;
        if (set)
            set->selection = -1;
    }
    ProjectKeySource keys = Project_CatalogKeys(app->catalog);
    state->bytes = Project_Serialize(project, &keys, &state->size);
    Project_Free(project);
    if (!state->bytes || (count > 0 && !state->selections)) {
        ProjectState_Free(state);
        return 0;
    }
    return 1;
}

// The SAVE page's free folder and its radio button as the state has them.
static void ShowSaveSettings(HWND page, const Project *project)
{
    if (!page)
        return;
    SavePage_SetFreeFolder(page, project->freeFolder ? project->freeFolder : "");
    if ((SavePage_IsFreeFolderChecked(page) ? 1 : 0) != (project->freeFolderFlag ? 1 : 0))
        SavePage_SetFreeFolderChecked(page, project->freeFolderFlag);
    SavePage_UpdateOutputButton(page);
}

int ProjectCmd_ShowState(AppContext *app, const ProjectState *state)
{
    Project *project = nullptr;
    if (Project_Parse(state->bytes, state->size, &project) != PROJECT_OK || !project)
        return 0;
    Project_ResolveKeys(project, app->catalog);
    for (int i = 0; i < PtrList_Count(project->styles) && i < state->styleCount; i++) {
        AccessorySet *set = ((DressStyle *)PtrList_Get(project->styles, i))->accessories;
        if (set && state->selections)
            set->selection = state->selections[i];
    }
    app->restoring++;
    // Only what differs from the project on screen is loaded again.
    Project *now = GatherProject(app);
    if (now) {
        Project_ApplyChanges(project, now, &app->character, &app->wardrobe, state->shownStyle);
        Project_Free(now);
    } else {
        Project_Apply(project, &app->character, &app->wardrobe);
        if (state->shownStyle > 0)
            Wardrobe_ShowStyle(&app->character, &app->wardrobe, state->shownStyle);
    }
    if (state->selectedStyle < PtrList_Count(app->wardrobe.styles))
        app->wardrobe.selected = state->selectedStyle;
    ShowSaveSettings(app->pages[PAGE_SAVE], project);
    Project_Free(project);
    SyncEditingPages(app);
    app->restoring--;
    return 1;
}

int ProjectCmd_ApplyRandomLook(AppContext *app, uint64_t seed, uint32_t keep)
{
    // Through the project record, so that the program and vor-cli give the
    // same project the same look; shown as a history state is.
    ProjectState state;
    if (!ProjectCmd_TakeState(app, &state))
        return 0;
    Project *project = nullptr;
    int applied = Project_Parse(state.bytes, state.size, &project) == PROJECT_OK && project;
    if (applied) {
        Project_ResolveKeys(project, app->catalog);
        applied = RandomLook_ApplyLocked(app->catalog, seed, keep, project);
    }
    ProjectKeySource keys = Project_CatalogKeys(app->catalog);
    size_t size = 0;
    unsigned char *bytes = applied ? Project_Serialize(project, &keys, &size) : nullptr;
    Project_Free(project);
    if (bytes) {
        free(state.bytes);
        state.bytes = bytes;
        state.size = size;
        // New accessories have no selected entry.
        if (!(keep & 1u << RANDOM_TRAIT_ACCESSORIES) && state.selections)
            for (int i = 0; i < state.styleCount; i++)
                state.selections[i] = -1;
        applied = ProjectCmd_ShowState(app, &state);
    }
    ProjectState_Free(&state);
    return bytes && applied;
}

void ProjectCmd_StartHistory(AppContext *app)
{
    if (!app->history)
        return;
    ProjectState state;
    if (ProjectCmd_TakeState(app, &state))
        History_Reset(app->history, &state);
}

void ProjectCmd_MarkSaved(AppContext *app)
{
    if (!app->history)
        return;
    // Whatever the last commit missed is part of what was written.
    ProjectState state;
    if (ProjectCmd_TakeState(app, &state))
        History_Commit(app->history, &state, 0);
    History_MarkSaved(app->history);
}

int ProjectCmd_CommitChange(AppContext *app, int mergeTag)
{
    if (!app->history)
        return 0;
    ProjectState state;
    // Out of memory: the undo steps make room for the state of now, which
    // is what the modified flag and the next undo need.
    if (!ProjectCmd_TakeState(app, &state)) {
        if (!History_DropAllButCurrent(app->history) || !ProjectCmd_TakeState(app, &state))
            return -1;
    }
    int added = History_Commit(app->history, &state, mergeTag);
    ProjectState_Free(&state);
    MainTitle_Set(app, History_IsModified(app->history));
    return added;
}
