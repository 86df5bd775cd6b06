// Path and caption rules of the file commands.
#include "project/project_session.h"

#include <cstdio>
#include <cstring>

#include "core/services/filesys.h"

// Copies at most size - 1 bytes and always terminates.
static void CopyText(char *dst, int size, const char *src)
{
    if (size <= 0)
        return;
    snprintf(dst, (size_t)size, "%s", src);
}

int ProjectSession_UntitledPath(const char *startFolder, char *path)
{
    char candidate[VOR_MAX_PATH];
    CopyText(candidate, sizeof candidate, startFolder);
    if (strlen(startFolder) >= sizeof candidate || !FilePath_SetName(candidate, "VOR"))
        return 0;
    memcpy(path, candidate, sizeof candidate);
    return 1;
}

void ProjectSession_TitleName(const char *path, char *name, int size)
{
    CopyText(name, size, FilePath_GetName(path));
    if (size <= 0)
        return;
    char *dot = strrchr(name, '.');
    if (dot)
        *dot = '\0';
}

void ProjectSession_FormatTitle(const char *path, int modified, char *title, int size)
{
    char name[VOR_MAX_PATH];
    ProjectSession_TitleName(path, name, sizeof name);
    if (size > 0)
        snprintf(title, (size_t)size, modified == 1 ? "%s* - VOR 캐릭터 만들기" : "%s - VOR 캐릭터 만들기", name);
}

// Start of the part after the last folder separator. In code page 949 no
// trail byte is a `\`, `/` or ".", so a byte scan finds them correctly.
static char *NamePart(char *text)
{
    char *name = text;
    for (char *p = text; *p; p++)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    return name;
}

int ProjectSession_ForceExtension(char *text, int size, const char *extWithDot)
{
    char *name = NamePart(text);
    char *dot = strrchr(name, '.');
    size_t keep = dot ? (size_t)(dot - text) : strlen(text);
    if (size <= 0 || keep + strlen(extWithDot) + 1 > (size_t)size)
        return 0;
    memcpy(text + keep, extWithDot, strlen(extWithDot) + 1);
    return 1;
}

void ProjectSession_FilterExtension(const char *filter, int index, int withDot, char *ext, int size)
{
    CopyText(ext, size, "");
    if (!filter || index < 1)
        return;
    const char *p = filter;
    // Skip index - 1 pairs; each pair is two NUL-terminated texts.
    for (int pair = 1; pair < index; pair++) {
        if (!*p)
            return;
        p += strlen(p) + 1;
        if (!*p)
            return;
        p += strlen(p) + 1;
    }
    if (!*p)
        return;
    const char *pattern = p + strlen(p) + 1;
    const char *dot = strchr(pattern, '.');
    if (!dot)
        return;
    CopyText(ext, size, withDot ? dot : dot + 1);
}
