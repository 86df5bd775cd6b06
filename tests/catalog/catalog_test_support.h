// Helpers for the catalogue tests: token streams as (kind, text) lists read
// from texts in memory, and a capture of the debug lines printed meanwhile.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <doctest.h>

#include "catalog/preprocessor.h"
#include "catalog/token_in.h"
#include "core/util.h"

typedef std::vector<std::pair<int, std::string>> TokenList;

// Failed checks print token lists as kind:text pairs.
namespace doctest {
template <> struct StringMaker<TokenList> {
    static String convert(const TokenList &list)
    {
        std::string s = "{";
        for (const auto &t : list)
            s += " " + std::to_string(t.first) + ":'" + t.second + "'";
        return String((s + " }").c_str());
    }
};
}  // namespace doctest

inline TokenList ReadTokensWith(const std::string &text, void (*read)(TokenIn *, Token *))
{
    TokenList out;
    TokenIn *t = TokenIn_OpenMemory(text.data(), (unsigned)text.size());
    Token token;
    for (int guard = 0; guard < 10000; guard++) {
        read(t, &token);
        if (token.kind == TOKEN_END && token.text[0] == 0 && TokenIn_IsEof(t) && t->current == 0)
            break;
        out.push_back({token.kind, token.text});
    }
    TokenIn_Close(t);
    return out;
}

inline TokenList ReadTokens(const std::string &text) { return ReadTokensWith(text, TokenIn_Read); }
inline TokenList ReadRawTokens(const std::string &text) { return ReadTokensWith(text, TokenIn_ReadRaw); }

struct PreprocessorRun {
    TokenList tokens;
    std::vector<std::pair<int, std::string>> errors;  // line, message
};

// Reads every token of `pp` up to the final end token, then closes it.
inline void DrainPreprocessor(Preprocessor *pp, PtrList *errors, PreprocessorRun *run)
{
    Token token;
    for (int guard = 0; guard < 100000; guard++) {
        Preprocessor_Next(pp, &token);
        if (token.kind == TOKEN_END && Preprocessor_AtEnd(pp))
            break;
        run->tokens.push_back({token.kind, token.text});
    }
    Preprocessor_Close(pp);
    for (int i = 0; i < PtrList_Count(errors); i++) {
        PreprocessorError *e = (PreprocessorError *)PtrList_Get(errors, i);
        run->errors.push_back({e->line, e->message});
    }
    PtrList_Destroy(errors, PreprocessorError_Free);
}

inline PreprocessorRun Preprocess(const std::string &text, const char *name = "vor.inf")
{
    PreprocessorRun run;
    PtrList *errors = PtrList_Create(8, 8);
    Preprocessor *pp = Preprocessor_OpenMemory(name, text.data(), (unsigned)text.size(), errors);
    DrainPreprocessor(pp, errors, &run);
    return run;
}

inline PreprocessorRun PreprocessFile(const std::string &path)
{
    PreprocessorRun run;
    PtrList *errors = PtrList_Create(8, 8);
    Preprocessor *pp = Preprocessor_Open(path.c_str(), errors);
    if (pp)
        DrainPreprocessor(pp, errors, &run);
    else
        PtrList_Destroy(errors, PreprocessorError_Free);
    return run;
}

// Collects the debug lines printed while it lives.
struct DebugCapture {
    static std::vector<std::string> &Lines()
    {
        static std::vector<std::string> lines;
        return lines;
    }
    static void Sink(const char *line) { Lines().push_back(line); }
    DebugSink previous;
    DebugCapture() : previous(Debug_SetSink(Sink)) { Lines().clear(); }
    ~DebugCapture() { Debug_SetSink(previous); }
    bool Has(const std::string &line) const
    {
        for (const std::string &l : Lines())
            if (l == line)
                return true;
        return false;
    }
};
