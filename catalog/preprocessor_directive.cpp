// The directives `#define`, `#undef` and `#include "..."`, and the encoding
// of a macro body from the rest of its line. Any other word after `#` leaves
// the `#` to be delivered as a token of its own.
#include <cstring>
#include <string>
#include <vector>

#include "catalog/preprocessor_state.h"
#include "core/services/filesys.h"
#include "core/util.h"

// Encoded body under construction. Whole tokens only: a token that does not
// fit ends what is stored, the rest of the line is still read.
struct BodyBuilder {
    unsigned char bytes[PP_BODY_MAX];
    int length;
    int full;
};

static void Body_Add(BodyBuilder *b, const unsigned char *bytes, size_t n)
{
    if (b->full || b->length + n > PP_BODY_MAX) {
        b->full = 1;
        return;
    }
    memcpy(b->bytes + b->length, bytes, n);
    b->length += (int)n;
}

static void Body_AddText(BodyBuilder *b, const char *text)
{
    Body_Add(b, (const unsigned char *)text, strlen(text));
}

static int ParameterIndex(const std::vector<std::string> &parameters, const char *name)
{
    for (size_t i = 0; i < parameters.size(); i++)
        if (parameters[i] == name)
            return (int)i;
    return -1;
}

// Reads raw tokens up to the end of the line (the line break is consumed)
// or of the input. White space and comments stay, a comment as one space;
// a backslash before the line break does not continue the body.
static void EncodeBody(TokenIn *t, const std::vector<std::string> &parameters, BodyBuilder *b)
{
    Token token;
    for (;;) {
        TokenIn_ReadRaw(t, &token);
        if (token.text[0] == '\n' || token.text[0] == 0)
            return;
        if (token.kind == TOKEN_IDENTIFIER) {
            int index = ParameterIndex(parameters, token.text);
            if (index >= 0) {
                unsigned char reference[2] = {0x00, (unsigned char)index};
                Body_Add(b, reference, 2);
                continue;
            }
        }
        if (token.kind == TOKEN_STRING) {
            std::string quoted = std::string("\"") + token.text + "\"";
            Body_AddText(b, quoted.c_str());
            continue;
        }
        Body_AddText(b, token.text);
    }
}

static void RunDefine(Preprocessor *pp)
{
    TokenIn *t = pp->source;
    Token name;
    TokenIn_Read(t, &name);
    if (name.kind != TOKEN_IDENTIFIER) {
        Preprocessor_Advance(pp);
        return;
    }
    Debug_Print("[define %s]\n", name.text);
    int parameterCount = -1;
    std::vector<std::string> parameters;
    if (t->current == '(') {
        TokenIn_GetChar(t);
        Token token;
        for (;;) {
            TokenIn_Read(t, &token);
            if (token.kind != TOKEN_IDENTIFIER)
                break;
            if (parameters.size() < PP_MAX_PARAMETERS)
                parameters.push_back(token.text);
            TokenIn_Read(t, &token);
            if (token.kind != TOKEN_COMMA)
                break;
        }
        parameterCount = (int)parameters.size();
    }
    BodyBuilder body;
    body.length = 0;
    body.full = 0;
    EncodeBody(t, parameters, &body);
    Macro_Define(pp, name.text, parameterCount, body.bytes, body.length);
    Preprocessor_Advance(pp);
}

static void RunUndef(Preprocessor *pp)
{
    Token name;
    TokenIn_Read(pp->source, &name);
    if (name.kind == TOKEN_IDENTIFIER)
        Macro_Remove(pp, name.text);
    Debug_Print("[undef %s]\n", name.text);
    Preprocessor_Advance(pp);
}

static void PushInclude(Preprocessor *pp, const char *path)
{
    int line = Preprocessor_Line(pp);
    if (pp->includeDepth >= PP_MAX_INCLUDE_DEPTH || pp->includesOpened >= PP_MAX_INCLUDES) {
        Preprocessor_RecordError(pp, line, "%s 포함 한도 초과", path);
        return;
    }
    // A part pack reads its own files only: `..` or a link out of the data
    // folder would let it read (and lint print) any file of the system.
    auto known = pp->withinRoot.find(path);
    if (known == pp->withinRoot.end())
        known = pp->withinRoot.emplace(path, FileSys_IsWithin(pp->root.c_str(), path)).first;
    if (!known->second) {
        Preprocessor_RecordError(pp, line, "%s 데이터 폴더 밖의 파일은 포함할 수 없음", path);
        return;
    }
    TokenIn *included = Preprocessor_OpenSource(pp, path);
    if (!included) {
        Preprocessor_RecordError(pp, line, "%s 열 수 없음", path);
        return;
    }
    char *name = Str_Dup(path);
    if (!name) {
        TokenIn_Close(included);
        return;
    }
    pp->includes[pp->includeDepth].source = pp->source;
    pp->includes[pp->includeDepth].fileName = pp->fileName;
    pp->includeDepth++;
    pp->includesOpened++;
    pp->source = included;
    pp->fileName = name;
}

// Only the quoted form includes; the path is relative to the folder of the
// file being read. A path broken by a line break, or too long, is given up
// silently and what follows is read as ordinary tokens.
static void RunInclude(Preprocessor *pp)
{
    TokenIn *t = pp->source;
    TokenIn_SkipBlanks(t);
    if (t->current != '"') {
        Preprocessor_Advance(pp);
        return;
    }
    char path[PP_INCLUDE_PATH_MAX + 1];
    if (!FilePath_CopyFolder(pp->fileName, path))
        path[0] = 0;
    size_t length = strlen(path);
    TokenIn_GetChar(t);
    for (;;) {
        int c = t->current;
        if (c == '"')
            break;
        if (c == '\n' || c == 0 || length >= PP_INCLUDE_PATH_MAX) {
            Preprocessor_Advance(pp);
            return;
        }
        path[length++] = (char)c;
        path[length] = 0;
        TokenIn_GetChar(t);
    }
    TokenIn_GetChar(t);
    Debug_Print("[include %s]\n", path);
    PushInclude(pp, path);
    Preprocessor_Advance(pp);
}

int Directive_Run(Preprocessor *pp, Token *out)
{
    Token word;
    TokenIn_Read(pp->source, &word);
    if (word.kind == TOKEN_IDENTIFIER) {
        if (strcmp(word.text, "define") == 0) {
            RunDefine(pp);
            return 0;
        }
        if (strcmp(word.text, "undef") == 0) {
            RunUndef(pp);
            return 0;
        }
        if (strcmp(word.text, "include") == 0) {
            RunInclude(pp);
            return 0;
        }
    }
    Token_Set(out, TOKEN_HASH, "#");
    out->expansion = pp->lookahead.expansion;
    pp->lookahead = word;
    return 1;
}
