// The macro table and macro expansion: argument collection, substitution
// into the encoded body, and the push-back of the result.
//
// An expansion is refused for a macro whose name comes from that macro's own
// expansion (directly or through the expansions it started), and once the
// reading has pushed back PP_EXPANSION_BUDGET bytes of expansions; both
// keep a definition file from expanding for ever.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/preprocessor_state.h"
#include "core/util.h"

static const char kPreprocessorError[] = "프리 프로세서 에러";
static const char kArgumentCountError[] = "매크로 인수의 갯수가 다릅니다.";

void Macro_FreeSlot(void *slot)
{
    Macro *m = (Macro *)slot;
    free(m->name);
    free(m->body);
}

int Macro_Find(const Preprocessor *pp, const char *name)
{
    int count = Array_Count(pp->macros);
    for (int i = 0; i < count; i++) {
        const Macro *m = (const Macro *)Array_ItemAt(pp->macros, i);
        if (strcmp(m->name, name) == 0)
            return i;
    }
    return -1;
}

void Macro_Remove(Preprocessor *pp, const char *name)
{
    int index = Macro_Find(pp, name);
    if (index >= 0)
        Array_RemoveAt(pp->macros, index, Macro_FreeSlot);
}

void Macro_Define(Preprocessor *pp, const char *name, int parameterCount, const unsigned char *body,
                  int length)
{
    Macro_Remove(pp, name);
    Macro m;
    m.name = Str_Dup(name);
    m.parameterCount = parameterCount;
    m.bodyLength = length;
    m.body = (unsigned char *)malloc((size_t)length + 2);
    if (m.name && m.body) {
        memcpy(m.body, body, (size_t)length);
        m.body[length] = 0x00;
        m.body[length + 1] = 0xFF;
        if (Array_Append(pp->macros, &m) >= 0)
            return;
    }
    Macro_FreeSlot(&m);
}

// 1 when `name` is being expanded where a byte of `expansion` was read.
static int Expansion_Hides(const Preprocessor *pp, int expansion, const char *name)
{
    while (expansion > 0) {
        const Expansion &e = pp->expansions[(size_t)expansion - 1];
        if (e.macroName == name)
            return 1;
        expansion = e.parent;
    }
    return 0;
}

// Arguments of one call. More than PP_MAX_PARAMETERS + 1 are counted but
// not kept: no macro can take them.
struct ArgumentList {
    std::vector<std::string> texts;
    int count;
};

static void Arguments_Add(ArgumentList *args, const std::string &text)
{
    if (args->count <= PP_MAX_PARAMETERS)
        args->texts.push_back(text);
    args->count++;
}

// Reads raw tokens after the `(` up to the matching `)`. Nested parentheses
// and the commas inside them belong to the argument; white space stays.
static void CollectArguments(Preprocessor *pp, int nameLine, ArgumentList *args)
{
    TokenIn *t = pp->source;
    std::string current;
    int depth = 0;
    Token token;
    for (;;) {
        TokenIn_ReadRaw(t, &token);
        if (token.kind == TOKEN_ERROR || token.kind == TOKEN_END) {
            Preprocessor_RecordError(pp, Preprocessor_Line(pp), "%s", kPreprocessorError);
            return;
        }
        std::string piece;
        if (token.kind == TOKEN_CHARACTER && strcmp(token.text, "(") == 0) {
            depth++;
            piece = "(";
        } else if (token.kind == TOKEN_CHARACTER && strcmp(token.text, ")") == 0) {
            if (depth == 0) {
                if (!current.empty())
                    Arguments_Add(args, current);
                return;
            }
            depth--;
            piece = ")";
        } else if (token.kind == TOKEN_CHARACTER && strcmp(token.text, ",") == 0 && depth == 0) {
            Arguments_Add(args, current);
            current.clear();
            continue;
        } else if (token.kind == TOKEN_STRING) {
            piece = std::string("\"") + token.text + "\"";
        } else {
            piece = token.text;
        }
        if (current.size() + piece.size() > PP_ARGUMENT_MAX) {
            Preprocessor_RecordError(pp, nameLine, "%s", kPreprocessorError);
            return;
        }
        current += piece;
    }
}

// The body with every parameter reference replaced, cut to PP_EXPANSION_MAX.
static std::string Substitute(const Macro *m, const ArgumentList &args)
{
    std::string text;
    for (int i = 0; i < m->bodyLength; i++) {
        unsigned char c = m->body[i];
        if (c != 0x00) {
            text += (char)c;
            continue;
        }
        unsigned index = m->body[++i];
        if (index < args.texts.size())
            text += args.texts[index];
    }
    if (text.size() > PP_EXPANSION_MAX)
        text.resize(PP_EXPANSION_MAX);
    return text;
}

static int Budget_Allows(Preprocessor *pp)
{
    if (pp->expansionBytesLeft > 0)
        return 1;
    if (!pp->budgetReported) {
        pp->budgetReported = 1;
        Preprocessor_RecordError(pp, Preprocessor_Line(pp), "%s", kPreprocessorError);
    }
    return 0;
}

int Macro_TryExpand(Preprocessor *pp)
{
    const Token *name = &pp->lookahead;
    int index = Macro_Find(pp, name->text);
    if (index < 0 || Expansion_Hides(pp, name->expansion, name->text) || !Budget_Allows(pp))
        return 0;
    // Reading the arguments never changes the macro table, so `m` stays valid.
    const Macro *m = (const Macro *)Array_ItemAt(pp->macros, index);
    TokenIn *t = pp->source;
    int nameLine = Preprocessor_Line(pp);
    ArgumentList args;
    args.count = 0;
    if (m->parameterCount >= 0) {
        Token next;
        TokenIn_Read(t, &next);
        if (next.kind == TOKEN_LPAREN)
            CollectArguments(pp, nameLine, &args);
        else
            TokenIn_PutToken(t, &next);
        if (args.count != m->parameterCount) {
            Preprocessor_RecordError(pp, Preprocessor_Line(pp), "%s", kArgumentCountError);
            return 1;
        }
    }
    std::string text = Substitute(m, args);
    Expansion record;
    record.macroName = name->text;
    record.parent = name->expansion;
    pp->expansions.push_back(record);
    pp->expansionBytesLeft -= (long)text.size() + 1;
    TokenIn_PutString(t, text.c_str(), (int)pp->expansions.size());
    return 1;
}
