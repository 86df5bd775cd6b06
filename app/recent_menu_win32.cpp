// The File menu's recent files: four registry values beside the program's
// other settings, shown as "&1 path" items above Exit.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_win32.h"
#include "core/services/registry_win32.h"
#include "core/services/ui_text_win32.h"
#include "project/recent_files.h"


static void ValueName(int index, char *name, int size)
{
    snprintf(name, (size_t)size, "Recent%d", index + 1);
}

static void RecentMenu_Store(const RecentFiles *r)
{
    for (int i = 0; i < RECENT_MAX; i++) {
        char name[16];
        ValueName(i, name, sizeof name);
        Reg_SetString(REG_PROGRAM_KEY, name, i < r->count ? r->paths[i] : "");
    }
}

// The position of the item with the command id in the menu, or -1.
static int PositionOf(HMENU menu, UINT id)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++)
        if (GetMenuItemID(menu, i) == id)
            return i;
    return -1;
}

static void InsertItem(HMENU menu, int position, UINT id, const char *text)
{
    std::wstring wide = UiText_ToWide(text);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_FTYPE | (text ? MIIM_STRING : 0);
    item.fType = text ? MFT_STRING : MFT_SEPARATOR;
    item.wID = id;
    item.dwTypeData = text ? &wide[0] : nullptr;
    InsertMenuItemW(menu, (UINT)position, TRUE, &item);
}

// Rebuilds the items between the File menu's last separator and Exit.
static void RecentMenu_Show(AppContext *app)
{
    HMENU bar = app->mainWindow ? GetMenu(app->mainWindow) : nullptr;
    HMENU file = bar ? GetSubMenu(bar, 0) : nullptr;
    if (!file || !app->recent)
        return;
    for (int i = 0; i < RECENT_MAX; i++)
        DeleteMenu(file, CMD_RECENT_FIRST + i, MF_BYCOMMAND);
    DeleteMenu(file, CMD_RECENT_SEPARATOR, MF_BYCOMMAND);
    int at = PositionOf(file, CMD_EXIT);
    if (at < 0 || app->recent->count == 0)
        return;
    for (int i = 0; i < app->recent->count; i++) {
        char text[VOR_MAX_PATH + 16];
        RecentFiles_MenuText(app->recent, i, text, sizeof text);
        InsertItem(file, at++, CMD_RECENT_FIRST + i, text);
    }
    InsertItem(file, at, CMD_RECENT_SEPARATOR, nullptr);
}

void RecentMenu_Load(AppContext *app)
{
    if (!app->recent)
        app->recent = (RecentFiles *)calloc(1, sizeof(RecentFiles));
    if (!app->recent)
        return;
    RecentFiles *r = app->recent;
    r->count = 0;
    // Read oldest first, so that adding keeps the stored order.
    for (int i = RECENT_MAX - 1; i >= 0; i--) {
        char name[16], path[VOR_MAX_PATH];
        ValueName(i, name, sizeof name);
        if (Reg_GetString(REG_PROGRAM_KEY, name, path, sizeof path) && path[0])
            RecentFiles_Add(r, path);
    }
    RecentMenu_Show(app);
}

void RecentMenu_Free(AppContext *app)
{
    free(app->recent);
    app->recent = nullptr;
}

void RecentMenu_Add(AppContext *app, const char *path)
{
    if (!app->recent)
        return;
    RecentFiles_Add(app->recent, path);
    RecentMenu_Store(app->recent);
    RecentMenu_Show(app);
}

void RecentMenu_Remove(AppContext *app, const char *path)
{
    if (!app->recent)
        return;
    RecentFiles_Remove(app->recent, path);
    RecentMenu_Store(app->recent);
    RecentMenu_Show(app);
}

int RecentMenu_OnCommand(AppContext *app, int id)
{
    int index = id - CMD_RECENT_FIRST;
    if (!app->recent || index < 0 || index >= RECENT_MAX)
        return 0;
    if (index < app->recent->count) {
        // The entry may move while the file opens; work on a copy.
        char path[VOR_MAX_PATH];
        memcpy(path, app->recent->paths[index], sizeof path);
        FileMenu_OpenPath(app, path);
    }
    return 1;
}
