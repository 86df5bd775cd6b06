// The macro table and macro expansion: argument collection, substitution
// into the encoded body, and the push-back of the result.
//
// An expansion is refused for a macro whose name comes from that macro's own
// body (directly or through the expansions it started; text that came in as
// an argument keeps the origin it had), and once the reading has pushed
// back PP_EXPANSION_BUDGET bytes of expansions or tried PP_EXPANSION_TRIES
// of them; both keep a definition file from expanding for ever, and the
// hide sets keep the work of each try independent of the history before it.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/preprocessor_state.h"
#include "core/util.h"

static const char kPreprocessorError[] = "프리 프로세서 에러";
static const char kArgumentCountError[] = "매크로 인수의 갯수가 다릅니다.";

const Macro *Macro_Find(const Preprocessor *pp, const char *name)
{
    auto found = pp->macros.find(name);
    return found == pp->macros.end() ? nullptr : &found->second;
}

void Macro_Remove(Preprocessor *pp, const char *name)
{
    pp->macros.erase(name);
}

void Macro_Define(Preprocessor *pp, const char *name, int parameterCount, const unsigned char *body,
                  int length)
{
    Macro &m = pp->macros[name];
    m.parameterCount = parameterCount;
    m.bodyLength = length;
    m.body.assign(body, body + length);
    m.body.push_back(0x00);
    m.body.push_back(0xFF);
}

// The number of a macro name in the hide sets, -1 when none is left.
static int NameNumber(Preprocessor *pp, const char *name)
{
    auto found = pp->nameNumbers.find(name);
    if (found != pp->nameNumbers.end())
        return found->second;
    int number = (int)pp->nameNumbers.size();
    if (number >= (1 << PP_HIDE_BITS))
        return -1;
    pp->nameNumbers.emplace(name, number);
    return number;
}

static int HideSet_Contains(const Preprocessor *pp, int set, int number)
{
    for (int bit = PP_HIDE_BITS - 1; bit >= 0 && set != 0; bit--)
        set = pp->hideNodes[(size_t)set].child[(number >> bit) & 1];
    return set != 0;
}

// `set` with `number` added, sharing every node off the new path.
static int HideSet_With(Preprocessor *pp, int set, int number)
{
    if (pp->hideNodes.empty())
        pp->hideNodes.push_back(HideNode{{0, 0}});  // the empty set
    int top = (int)pp->hideNodes.size();
    for (int bit = PP_HIDE_BITS - 1; bit >= 0; bit--) {
        HideNode copy = pp->hideNodes[(size_t)set];
        int side = (number >> bit) & 1;
        int next = (int)pp->hideNodes.size() + 1;
        set = copy.child[side];
        copy.child[side] = next;
        pp->hideNodes.push_back(copy);
    }
    pp->hideNodes.push_back(HideNode{{1, 1}});  // the leaf: present
    return top;
}

// 1 when `name` is being expanded where a byte of `expansion` was read.
static int Expansion_Hides(const Preprocessor *pp, int expansion, const char *name)
{
    if (expansion <= 0)
        return 0;
    auto found = pp->nameNumbers.find(name);
    return found != pp->nameNumbers.end() &&
           HideSet_Contains(pp, pp->expansions[(size_t)expansion - 1].hideSet, found->second);
}

// Text with the expansion it came from: a macro's body is marked as that
// macro's expansion, an argument keeps the marks it was read with, so a call
// inside the arguments of the same macro (`F(F(1))`) still expands.
struct Piece {
    std::string text;
    int expansion;
};

struct Argument {
    std::vector<Piece> pieces;
    size_t size;  // bytes in all pieces
};

static void Argument_Add(Argument *a, const std::string &text, int expansion)
{
    if (!a->pieces.empty() && a->pieces.back().expansion == expansion)
        a->pieces.back().text += text;
    else
        a->pieces.push_back(Piece{text, expansion});
    a->size += text.size();
}

// Arguments of one call. More than PP_MAX_PARAMETERS + 1 are counted but
// not kept: no macro can take them.
struct ArgumentList {
    std::vector<Argument> items;
    int count;
};

static void Arguments_Add(ArgumentList *args, const Argument &argument)
{
    if (args->count <= PP_MAX_PARAMETERS)
        args->items.push_back(argument);
    args->count++;
}

// Reads raw tokens after the `(` up to the matching `)`. Nested parentheses
// and the commas inside them belong to the argument; white space stays.
static void CollectArguments(Preprocessor *pp, int nameLine, ArgumentList *args)
{
    TokenIn *t = pp->source;
    Argument current = {};
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
                if (current.size != 0)
                    Arguments_Add(args, current);
                return;
            }
            depth--;
            piece = ")";
        } else if (token.kind == TOKEN_CHARACTER && strcmp(token.text, ",") == 0 && depth == 0) {
            Arguments_Add(args, current);
            current = Argument{};
            continue;
        } else if (token.kind == TOKEN_STRING) {
            piece = std::string("\"") + token.text + "\"";
        } else {
            piece = token.text;
        }
        if (current.size + piece.size() > PP_ARGUMENT_MAX) {
            Preprocessor_RecordError(pp, nameLine, "%s", kPreprocessorError);
            return;
        }
        Argument_Add(&current, piece, token.expansion);
    }
}

// The body with every parameter reference replaced, cut to `limit` bytes;
// body text is marked with `expansion`.
static Argument Substitute(const Macro *m, const ArgumentList &args, int expansion, size_t limit)
{
    Argument text = {};
    std::string run;
    auto flushRun = [&] {
        if (!run.empty())
            Argument_Add(&text, run, expansion);
        run.clear();
    };
    for (int i = 0; i < m->bodyLength; i++) {
        unsigned char c = m->body[(size_t)i];
        if (c != 0x00) {
            run += (char)c;
            continue;
        }
        unsigned index = m->body[(size_t)++i];
        if (index < args.items.size()) {
            flushRun();
            for (const Piece &p : args.items[index].pieces)
                Argument_Add(&text, p.text, p.expansion);
        }
    }
    flushRun();
    // Keep the beginning.
    size_t kept = 0;
    for (size_t i = 0; i < text.pieces.size(); i++) {
        if (kept + text.pieces[i].text.size() > limit) {
            text.pieces[i].text.resize(limit - kept);
            text.pieces.resize(i + 1);
            break;
        }
        kept += text.pieces[i].text.size();
    }
    text.size = text.size < limit ? text.size : limit;
    return text;
}

// Every try counts against the budget, whether it expands or not.
static int Budget_Allows(Preprocessor *pp)
{
    if (pp->expansionBytesLeft > 0 && pp->expansionTriesLeft-- > 0)
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
    const Macro *m = Macro_Find(pp, name->text);
    if (!m || Expansion_Hides(pp, name->expansion, name->text) || !Budget_Allows(pp))
        return 0;
    // Reading the arguments never changes the macro table, so `m` stays valid.
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
    int number = NameNumber(pp, name->text);
    if (number < 0)
        return 1;  // cannot be: at most one new name per try
    Expansion record;
    record.parent = name->expansion;
    record.hideSet = HideSet_With(pp, name->expansion > 0 ? pp->expansions[(size_t)name->expansion - 1].hideSet : 0,
                                  number);
    pp->expansions.push_back(record);
    int expansion = (int)pp->expansions.size();
    Argument text = Substitute(m, args, expansion, PP_EXPANSION_MAX);
    if (text.size > (size_t)t->stackTop) {
        // What does not fit on the push-back stack is dropped from the end.
        Debug_Print("TokenIn_PutChar : stack err\n");
        text = Substitute(m, args, expansion, (size_t)t->stackTop);
    }
    pp->expansionBytesLeft -= (long)text.size + 1;
    for (size_t i = text.pieces.size(); i-- > 0;)
        TokenIn_PutString(t, text.pieces[i].text.c_str(), text.pieces[i].expansion);
    return 1;
}
