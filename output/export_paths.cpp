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

std::string Export_FolderName(const char *name)
{
    return std::string(name ? name : "").substr(0, EXPORT_NAME_MAX);
}

std::string Export_PictureName(const char *name, const char *styleFolder, const char *expression,
                               const char *extension)
{
    return Export_FolderName(name) + "\\" + styleFolder + "\\" + expression + extension;
}

std::string Export_CharacterFileName(const char *name, const char *file)
{
    return Export_FolderName(name) + "\\" + file;
}

// Bytes of the base that stay when FilePath_SetName joins below it: up to
// its last `\`.
static size_t BaseFolderLength(const char *base)
{
    const char *slash = strrchr(base, '\\');
    return slash ? (size_t)(slash - base) + 1 : 0;
}

ExportPath ExportPath_Below(const char *base, const std::string &relative)
{
    ExportPath p;
    std::string native = relative;
    for (char &c : native)
        if (c == '/')
            c = '\\';
    p.path[0] = 0;
    p.fits = strlen(base) < VOR_MAX_PATH;
    if (p.fits) {
        strcpy(p.path, base);
        p.fits = FilePath_SetName(p.path, native.c_str());
    }
    if (p.fits) {
        p.shown = p.path;
    } else {
        p.path[0] = 0;
        p.shown = std::string(base, BaseFolderLength(base)) + native;
    }
    return p;
}

int Export_ImagePath(const char *base, const char *name, const char *styleFolder, const char *expression,
                     char *path)
{
    ExportPath p = ExportPath_Below(base, Export_PictureName(name, styleFolder, expression, ".png"));
    memcpy(path, p.path, sizeof p.path);
    return p.fits;
}

void Export_ImagePathText(const char *base, const char *name, const char *styleFolder, const char *expression,
                          char *text, size_t size)
{
    ExportPath p = ExportPath_Below(base, Export_PictureName(name, styleFolder, expression, ".png"));
    snprintf(text, size, "%s", p.shown.c_str());
}

int Export_MacroPath(const char *base, const char *name, char *path)
{
    ExportPath p = ExportPath_Below(base, Export_CharacterFileName(name, "macro.txt"));
    memcpy(path, p.path, sizeof p.path);
    return p.fits;
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
