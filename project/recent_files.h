// The File menu's list of recently opened or saved projects: the newest
// first, each path once, at most four. Platform-neutral; the program keeps
// the list in the registry and shows it as menu items.
#pragma once

#include "core/imaging/file.h"

enum { RECENT_MAX = 4, RECENT_MENU_CHARS = 60 };

struct RecentFiles {
    char paths[RECENT_MAX][VOR_MAX_PATH];
    int count;
};

// Puts `path` first, removing an earlier entry of it and dropping the
// oldest when the list is full. An empty or too long path is ignored.
void RecentFiles_Add(RecentFiles *r, const char *path);
// Removes the entry equal to `path`, if any.
void RecentFiles_Remove(RecentFiles *r, const char *path);
// The menu text of entry `index` (0-based): "&<n> <path>", the path
// shortened by leading folders to at most RECENT_MENU_CHARS characters, and
// every "&" of it doubled so that it shows as itself.
void RecentFiles_MenuText(const RecentFiles *r, int index, char *text, int size);
