// The File menu's effects on the models, the pages and the caption.
#include "output/project_commands_win32.h"

#include <cstdio>
#include <cstring>

#include "core/services/filesys.h"
#include "core/util.h"
#include "output/project_model.h"
#include "output/project_session.h"

void MainTitle_Set(AppContext *app, int modified)
{
    if (modified == app->titleModified)
        return;
    app->titleModified = modified;
    char title[VOR_MAX_PATH + 64];
    ProjectSession_FormatTitle(app->projectPath, modified, title, sizeof title);
    if (app->mainWindow)
        SetWindowTextA(app->mainWindow, title);
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
    Project_Apply(project, &app->character, &app->wardrobe);
    Project_Free(project);
    SyncEditingPages(app);
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
    Project_Apply(project, &app->character, &app->wardrobe);
    // The free-folder flag is not applied: the target buttons keep their state.
    if (app->pages[PAGE_SAVE]) {
        SavePage_SetFreeFolder(app->pages[PAGE_SAVE], project->freeFolder ? project->freeFolder : "");
    }
    Project_Free(project);
    SyncEditingPages(app);
    if (app->pages[PAGE_SAVE])
        SavePage_UpdateOutputButton(app->pages[PAGE_SAVE]);
    app->untitled = 0;
    snprintf(app->projectPath, sizeof app->projectPath, "%s", path);
    MainTitle_Refresh(app);
    return PROJECTCMD_OPENED;
}

// Gathers and writes; the canvas refreshes afterwards because gathering
// captures the shown style's accessories afresh.
static int WriteProject(AppContext *app, const char *path)
{
    char freeFolder[VOR_MAX_PATH] = "";
    int freeFolderFlag = 0;
    if (app->pages[PAGE_SAVE]) {
        SavePage_GetFreeFolder(app->pages[PAGE_SAVE], freeFolder);
        freeFolderFlag = SavePage_IsFreeFolderChecked(app->pages[PAGE_SAVE]) ? 1 : 0;
    }
    Project *project = Project_Gather(&app->character, &app->wardrobe, freeFolder, freeFolderFlag);
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
    MainTitle_Refresh(app);
    return 1;
}

int ProjectCmd_Save(AppContext *app)
{
    return WriteProject(app, app->projectPath);
}
