#include "output/export_tag.h"

#include <cctype>
#include <cstdio>
#include <cstring>

int ExportTag_Choose(const Character *ch, const char *typedTag, const char *(*problem)(const char *),
                     const char *engine, const char *hint, std::string *tag, char *message, size_t size)
{
    if (typedTag && typedTag[0]) {
        if (const char *why = problem(typedTag)) {
            snprintf(message, size, "%s 태그 \"%s\" 는 쓸 수 없습니다:\n\n%s", engine, typedTag, why);
            return 0;
        }
        *tag = typedTag;
        return 1;
    }
    std::string lower = ch->name ? ch->name : "";
    for (char &c : lower)
        if ((unsigned char)c < 0x80)
            c = (char)tolower((unsigned char)c);
    if (const char *why = problem(lower.c_str())) {
        snprintf(message, size, "캐릭터 이름 \"%s\" 은(는) %s 태그가 될 수 없습니다. 태그를 입력해 주세요.\n\n%s%s%s",
                 ch->name ? ch->name : "", engine, why, hint ? "\n" : "", hint ? hint : "");
        return 0;
    }
    *tag = lower;
    return 1;
}

const char *ExportTag_WordProblem(const char *name, size_t max, int dash)
{
    if (!name || !name[0])
        return "비어 있습니다.";
    if (strlen(name) > max)
        return "너무 깁니다. (최대 64 바이트)";
    for (const char *p = name; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (!(c < 0x80 && (isalnum(c) || c == '_' || (dash && c == '-'))))
            return dash ? "ASCII 영문자, 숫자, _, - 만 쓸 수 있습니다. (공백, 한글 등은 사용 불가)"
                        : "ASCII 영문자, 숫자, _ 만 쓸 수 있습니다. (공백, 한글 등은 사용 불가)";
    }
    return nullptr;
}
