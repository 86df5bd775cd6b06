// The Edit menu: undo and redo over the project history.
//
// Every page command, every finished canvas move and every File command
// reports to the history (AppContext::onChange); the history keeps a state
// only when the project really changed, so zooming, switching tabs or
// choosing a list entry leave no step. Undo shows an earlier state through
// the same apply path as Open, with the selections it had, and the caption
// follows whether that state is the saved one.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "app/app_win32.h"
#include "core/services/ui_text_win32.h"
#include "project/project_commands_win32.h"
#include "project/project_history.h"

static void EditMenu_OnChange(AppContext *app, int mergeTag)
{
    if (!app->history)
        return;
    try {
        if (mergeTag == APP_MERGE_BREAK)
            History_BreakMerge(app->history);
        else if (ProjectCmd_CommitChange(app, mergeTag) < 0)
            App_OnOutOfMemory(app);
    } catch (const std::bad_alloc &) {
        App_OnOutOfMemory(app);
    }
    EditMenu_Update(app);
}

void App_OnOutOfMemory(AppContext *app)
{
    if (app->history)
        History_DropAllButCurrent(app->history);
    EditMenu_Update(app);
    UiText_MessageBox(app->mainWindow,
                      "메모리가 부족해 이 작업을 하지 못했습니다.\n실행 취소 기록을 비워 자리를 만들었습니다. "
                      "지금 화면의 작업은 그대로 있으니 저장해 주세요.",
                      "VOR 캐릭터 만들기", MB_ICONWARNING);
}

int EditMenu_Install(AppContext *app)
{
    ProjectHistory *history = (ProjectHistory *)calloc(1, sizeof(ProjectHistory));
    if (!history || !History_Init(history)) {
        free(history);
        return 0;
    }
    app->history = history;
    app->onChange = EditMenu_OnChange;
    return 1;
}

void EditMenu_Uninstall(AppContext *app)
{
    if (!app->history)
        return;
    History_Release(app->history);
    free(app->history);
    app->history = nullptr;
    app->onChange = nullptr;
}

void EditMenu_Update(AppContext *app)
{
    HMENU menu = app->mainWindow ? GetMenu(app->mainWindow) : nullptr;
    if (!menu)
        return;
    int canUndo = app->history && History_CanUndo(app->history);
    int canRedo = app->history && History_CanRedo(app->history);
    EnableMenuItem(menu, CMD_UNDO, MF_BYCOMMAND | (canUndo ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, CMD_REDO, MF_BYCOMMAND | (canRedo ? MF_ENABLED : MF_GRAYED));
    GlanceWindow_Refresh(app);
}

static void EditMenu_Show(AppContext *app, const ProjectState *state)
{
    if (!state)
        return;
    SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    ProjectCmd_ShowState(app, state);
    SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
    MainTitle_Set(app, History_IsModified(app->history));
    EditMenu_Update(app);
}

// Undo and redo wait for a running load pass (the window is disabled then,
// but an accelerator may still arrive) and for the export.
static int EditMenu_Ready(const AppContext *app)
{
    return app->history && !app->exporting && !(app->doc && app->doc->loaderRunning);
}

void EditMenu_Undo(AppContext *app)
{
    if (EditMenu_Ready(app))
        EditMenu_Show(app, History_Undo(app->history));
}

void EditMenu_Redo(AppContext *app)
{
    if (EditMenu_Ready(app))
        EditMenu_Show(app, History_Redo(app->history));
}
