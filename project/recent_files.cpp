// The recent-files list and the text of its menu items.
#include "project/recent_files.h"

#include <cstdio>
#include <cstring>

#include "core/services/path_shorten.h"

void RecentFiles_Remove(RecentFiles *r, const char *path)
{
    for (int i = 0; i < r->count; i++) {
        if (strcmp(r->paths[i], path) != 0)
            continue;
        memmove(r->paths[i], r->paths[i + 1], sizeof r->paths[0] * (size_t)(r->count - i - 1));
        r->count--;
        r->paths[r->count][0] = '\0';
        return;
    }
}

void RecentFiles_Add(RecentFiles *r, const char *path)
{
    if (!path || !path[0] || strlen(path) >= VOR_MAX_PATH)
        return;
    char copy[VOR_MAX_PATH];
    snprintf(copy, sizeof copy, "%s", path);
    RecentFiles_Remove(r, copy);
    if (r->count == RECENT_MAX)
        r->count--;
    memmove(r->paths[1], r->paths[0], sizeof r->paths[0] * (size_t)r->count);
    memcpy(r->paths[0], copy, sizeof copy);
    r->count++;
}

// Widths in characters (bytes), the menu's measure.
static int MeasureChars(void *, const char *text)
{
    return (int)strlen(text);
}

void RecentFiles_MenuText(const RecentFiles *r, int index, char *text, int size)
{
    if (size <= 0)
        return;
    text[0] = '\0';
    if (index < 0 || index >= r->count)
        return;
    char shortened[VOR_MAX_PATH];
    Path_ShortenToWidth(r->paths[index], RECENT_MENU_CHARS, MeasureChars, nullptr, shortened, sizeof shortened);
    int at = snprintf(text, (size_t)size, "&%d ", index + 1);
    for (const char *p = shortened; *p && at + 2 < size; p++) {
        if (*p == '&')
            text[at++] = '&';
        text[at++] = *p;
    }
    if (at >= size)
        at = size - 1;
    text[at] = '\0';
}
