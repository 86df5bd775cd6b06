// Export names, paths, validation and the macro file's text.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalog/part_catalog.h"
#include "core/services/filesys.h"
#include "editor/name_rules.h"
#include "output/export.h"

const char *Export_CharacterNameProblem(const char *name)
{
    if (!Name_HasNoWideOrSpace(name))
        return "다음 문자는 사용 불가 \n\n전각문자 반각 스페이스";
    if (!Name_HasNoForbiddenChars(name))
        return "이름에 다음의 문자는 사용 불가\n\n\tTAB \\ / : ; * ? \" < > |";
    if (!Name_HasNoControlChars(name))
        return "이름에 줄바꿈 등의 제어 문자는 사용할 수 없습니다.";
    if (name[0] == 0)
        return "이름을 입력해 주세요.";
    if (Name_IsDotName(name))
        return "이름으로 . 이나 .. 은 사용할 수 없습니다.";
    if (strlen(name) > EXPORT_NAME_MAX)
        return "이름이 너무 깁니다. (최대 31 바이트)";
    return nullptr;
}

int Export_Validate(const char *name, const PtrList *styles, char *message, size_t size)
{
    if (const char *problem = Export_CharacterNameProblem(name)) {
        snprintf(message, size, "%s", problem);
        return 0;
    }
    for (int i = 0; i < PtrList_Count(styles); i++) {
        const DressStyle *s = (const DressStyle *)PtrList_Get(styles, i);
        if (s->checkState != STYLE_CHECKED)
            continue;
        const char *styleName = s->name ? s->name : "";
        if (!Name_HasNoControlChars(styleName)) {
            snprintf(message, size, "스타일 \"%s\" 의 이름:\n\n%s", styleName, Name_StyleNameProblem(styleName));
            return 0;
        }
        const char *folder = s->outputFolder ? s->outputFolder : "";
        // Styles may share a folder: only the rules for a single name apply.
        if (const char *problem = Name_FolderProblem(folder, nullptr, nullptr)) {
            snprintf(message, size, "스타일 \"%s\" 의 출력 폴더명 \"%s\":\n\n%s", s->name ? s->name : "", folder,
                     problem);
            return 0;
        }
    }
    return 1;
}

int Export_FreeFolderBase(const char *freeFolder, char *base)
{
    size_t n = strlen(freeFolder);
    int needsSeparator = n > 0 && freeFolder[n - 1] != '\\';
    if (n + needsSeparator >= VOR_MAX_PATH)
        return 0;
    memcpy(base, freeFolder, n + 1);
    if (needsSeparator) {
        base[n] = '\\';
        base[n + 1] = 0;
    }
    return 1;
}

static int JoinBelow(const char *base, const char *relative, char *path)
{
    if (strlen(base) >= VOR_MAX_PATH)
        return 0;
    strcpy(path, base);
    return FilePath_SetName(path, relative);
}

int Export_ImagePath(const char *base, const char *name, const char *styleFolder, const char *expression,
                     char *path)
{
    char relative[3 * VOR_MAX_PATH];
    snprintf(relative, sizeof relative, "%.31s\\%s\\%s.png", name, styleFolder, expression);
    return JoinBelow(base, relative, path);
}

// Bytes of the base that stay when FilePath_SetName joins below it: up to
// its last `\`.
static int BaseFolderLength(const char *base)
{
    const char *slash = strrchr(base, '\\');
    return slash ? (int)(slash - base) + 1 : 0;
}

void Export_ImagePathText(const char *base, const char *name, const char *styleFolder, const char *expression,
                          char *text, size_t size)
{
    snprintf(text, size, "%.*s%.31s\\%s\\%s.png", BaseFolderLength(base), base, name, styleFolder, expression);
}

void Export_MacroPathText(const char *base, const char *name, char *text, size_t size)
{
    snprintf(text, size, "%.*s%.31s\\macro.txt", BaseFolderLength(base), base, name);
}

int Export_MacroPath(const char *base, const char *name, char *path)
{
    char relative[VOR_MAX_PATH];
    snprintf(relative, sizeof relative, "%.31s\\macro.txt", name);
    return JoinBelow(base, relative, path);
}

char *Export_MacroText(const char *name, const PtrList *expressions, size_t *outSize)
{
    std::string text = "; macro.txt\r\n\r\n";
    for (int i = 0; i < PtrList_Count(expressions); i++) {
        const PartEntry *e = (const PartEntry *)PtrList_Get(expressions, i);
        text += "macro ";
        text += name;
        text += "_";
        text += e->folder;
        text += " = &CHAR ";
        text += name;
        text += " ";
        text += e->folder;
        text += "\r\n";
    }
    text += "\r\n; eof";
    char *out = (char *)malloc(text.size() + 1);
    if (!out)
        return nullptr;
    memcpy(out, text.c_str(), text.size() + 1);
    *outSize = text.size();
    return out;
}
