// Name and folder-name validation.
#include "editor/name_rules.h"

#include <cstring>

#include "core/services/filesys.h"
#include "editor/dress_style.h"

static const char FORBIDDEN_FOLDER_CHARS[] = "\t\\/:;*?\"<>|";

// In code page 949 a double-byte character starts with 0x81..0xFE.
static int IsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

int Name_IsBlank(const char *text)
{
    for (const char *p = text; *p; p++)
        if (*p != ' ' && *p != '\t' && *p != '\n')
            return 0;
    return 1;
}

int Name_HasNoWideOrSpace(const char *text)
{
    for (const unsigned char *p = (const unsigned char *)text; *p; p++)
        if (*p == ' ' || *p == '_' || IsLeadByte(*p))
            return 0;
    return 1;
}

int Name_HasNoForbiddenChars(const char *text)
{
    return strpbrk(text, FORBIDDEN_FOLDER_CHARS) == nullptr;
}

int Name_HasNoControlChars(const char *text)
{
    for (const unsigned char *p = (const unsigned char *)text; *p; p++)
        if (*p < 0x20)
            return 0;
    return 1;
}

const char *Name_StyleNameProblem(const char *text)
{
    if (Name_IsBlank(text))
        return "이름을 입력해 주세요.";
    if (!Name_HasNoControlChars(text))
        return "이름에 줄바꿈 등의 제어 문자는 사용할 수 없습니다.";
    return nullptr;
}

static int EqualIgnoringAsciiCase(const char *a, const char *b)
{
    for (;; a++, b++) {
        unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return 0;
        if (!x)
            return 1;
    }
}

int Name_IsOutputFolderUsed(const PtrList *styles, const char *text, const DressStyle *except)
{
    for (int i = 0; i < PtrList_Count(styles); i++) {
        const DressStyle *s = (const DressStyle *)PtrList_Get(styles, i);
        if (s && s != except && s->outputFolder && EqualIgnoringAsciiCase(s->outputFolder, text))
            return 1;
    }
    return 0;
}

int Name_IsDeviceName(const char *text)
{
    return FilePath_IsDeviceName(text);
}

int Name_IsDotName(const char *text)
{
    return strcmp(text, ".") == 0 || strcmp(text, "..") == 0;
}

const char *Name_FolderProblem(const char *text, const PtrList *styles, const DressStyle *except)
{
    if (!Name_HasNoWideOrSpace(text))
        return "다음 문자는 사용 불가 \n\n전각문자 반각 스페이스";
    if (!Name_HasNoForbiddenChars(text))
        return "폴더 명에는 다음 문자를 사용 불가\n\n\tTAB \\ / : ; * ? \" < > |";
    if (!Name_HasNoControlChars(text))
        return "폴더 명에 줄바꿈 등의 제어 문자는 사용할 수 없습니다";
    if (Name_IsBlank(text))
        return "폴더 명을 입력해 주세요";
    if (Name_IsDotName(text))
        return "폴더 명으로 . 이나 .. 은 사용할 수 없습니다";
    if (Name_IsDeviceName(text))
        return "폴더 명으로 con, nul, aux, prn, com1, lpt1 등 Windows 장치 이름은 사용할 수 없습니다";
    if (styles && Name_IsOutputFolderUsed(styles, text, except))
        return "폴더 명이 중복 되었습니다";
    return nullptr;
}
