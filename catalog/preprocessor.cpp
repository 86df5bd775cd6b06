// The reading loop of the preprocessor: the lookahead token, the end of
// included files, string values, double-byte runs and the error records.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/preprocessor_state.h"
#include "catalog/string_value.h"
#include "core/imaging/file.h"
#include "core/services/filesys.h"
#include "core/util.h"

TokenIn *Preprocessor_OpenSource(Preprocessor *pp, const char *path)
{
    auto found = pp->files.find(path);
    if (found == pp->files.end()) {
        SourceFile file = {0, 0, std::string()};
        unsigned char *data = FILE_ReadAll(path, PP_FILE_MAX, &file.size);
        file.readable = data != nullptr;
        // Kept only when taken: what the budget refuses now it refuses later.
        if (data && file.size <= pp->bytesLeft)
            file.bytes.assign((const char *)data, file.size);
        free(data);
        found = pp->files.emplace(path, std::move(file)).first;
    }
    const SourceFile &file = found->second;
    if (!file.readable || file.size > pp->bytesLeft)
        return nullptr;
    TokenIn *source = TokenIn_OpenMemory(file.bytes.data(), (unsigned)file.size);
    if (source)
        pp->bytesLeft -= file.size;
    return source;
}

static Preprocessor *Preprocessor_Start(Preprocessor *pp, TokenIn *source, const char *name, PtrList *errors)
{
    if (!source) {
        delete pp;
        return nullptr;
    }
    pp->source = source;
    pp->fileName = Str_Dup(name);
    pp->errors = errors;
    pp->expansionBytesLeft = PP_EXPANSION_BUDGET;
    pp->expansionTriesLeft = PP_EXPANSION_TRIES;
    if (!pp->fileName) {
        Preprocessor_Close(pp);
        return nullptr;
    }
    Preprocessor_Advance(pp);
    return pp;
}

Preprocessor *Preprocessor_OpenIn(const char *path, const char *root, PtrList *errors)
{
    Preprocessor *pp = new Preprocessor();
    pp->bytesLeft = PP_READ_BUDGET;
    char folder[VOR_MAX_PATH];
    if (root)
        pp->root = root;
    else if (path && FilePath_CopyFolder(path, folder))
        pp->root = folder;
    return Preprocessor_Start(pp, path ? Preprocessor_OpenSource(pp, path) : nullptr, path, errors);
}

Preprocessor *Preprocessor_Open(const char *path, PtrList *errors)
{
    return Preprocessor_OpenIn(path, nullptr, errors);
}

Preprocessor *Preprocessor_OpenMemory(const char *name, const void *data, unsigned size, PtrList *errors)
{
    Preprocessor *pp = new Preprocessor();
    pp->bytesLeft = size < PP_READ_BUDGET ? PP_READ_BUDGET - size : 0;
    char folder[VOR_MAX_PATH];
    if (name && FilePath_CopyFolder(name, folder))
        pp->root = folder;
    return Preprocessor_Start(pp, TokenIn_OpenMemory(data, size), name, errors);
}

void Preprocessor_Close(Preprocessor *pp)
{
    if (!pp)
        return;
    TokenIn_Close(pp->source);
    free(pp->fileName);
    for (int i = pp->includeDepth - 1; i >= 0; i--) {
        TokenIn_Close(pp->includes[i].source);
        free(pp->includes[i].fileName);
    }
    delete pp;
}

void PreprocessorError_Free(void *item)
{
    PreprocessorError *error = (PreprocessorError *)item;
    if (!error)
        return;
    free(error->fileName);
    free(error->message);
    free(error);
}

void Preprocessor_Advance(Preprocessor *pp)
{
    TokenIn_Read(pp->source, &pp->lookahead);
}

int Preprocessor_Line(const Preprocessor *pp)
{
    const TokenIn *t = pp->source;
    return t->current == '\n' ? t->line - 1 : t->line;
}

const char *Preprocessor_FileName(const Preprocessor *pp)
{
    return pp->fileName;
}

int Preprocessor_ReadingLine(const Preprocessor *pp)
{
    return Preprocessor_Line(pp);
}

void Preprocessor_RecordError(Preprocessor *pp, int line, const char *format, ...)
{
    if (!pp->errors || pp->errorsRecorded > PP_MAX_ERRORS)
        return;
    char message[512];
    if (pp->errorsRecorded++ == PP_MAX_ERRORS) {
        snprintf(message, sizeof message, "오류가 %d건을 넘어 나머지는 적지 않습니다", (int)PP_MAX_ERRORS);
    } else {
        va_list args;
        va_start(args, format);
        vsnprintf(message, sizeof message, format, args);
        va_end(args);
    }
    PreprocessorError *error = (PreprocessorError *)calloc(1, sizeof(PreprocessorError));
    if (!error)
        return;
    error->fileName = Str_Dup(pp->fileName);
    error->line = line;
    error->message = Str_Dup(message);
    if (!error->fileName || !error->message || PtrList_Add(pp->errors, error) < 0) {
        PreprocessorError_Free(error);
        return;
    }
    Debug_Print("%s(%d):%s\n", error->fileName, error->line, error->message);
}

static int CurrentFileFinished(const Preprocessor *pp)
{
    return TokenIn_IsEof(pp->source) && Token_IsEnd(&pp->lookahead);
}

int Preprocessor_AtEnd(const Preprocessor *pp)
{
    return pp->includeDepth == 0 && CurrentFileFinished(pp);
}

// Back to the including file, which goes on after the include directive.
static void PopInclude(Preprocessor *pp)
{
    TokenIn_Close(pp->source);
    free(pp->fileName);
    pp->includeDepth--;
    pp->source = pp->includes[pp->includeDepth].source;
    pp->fileName = pp->includes[pp->includeDepth].fileName;
    Preprocessor_Advance(pp);
}

static void DeliverLookahead(Preprocessor *pp, Token *out)
{
    *out = pp->lookahead;
    Preprocessor_Advance(pp);
}

static int IsLineBreak(const Token *token)
{
    return token->kind == TOKEN_CHARACTER && token->text[0] == '\n';
}

// Appends `text` to the run when it fits; 0 when it does not.
static int Run_Append(Token *run, size_t *length, const char *text)
{
    size_t n = strlen(text);
    if (*length + n > TOKEN_TEXT_MAX)
        return 0;
    memcpy(run->text + *length, text, n + 1);
    *length += n;
    return 1;
}

// Joins double-byte characters, and single line breaks between them, into
// one text token. A blank line ends the run with both of its breaks; any
// other token ends it and is put back. A run that reaches the size of a
// token's text ends there and the rest starts the next run.
static void ReadMultibyteRun(Preprocessor *pp, Token *out)
{
    TokenIn *t = pp->source;
    *out = pp->lookahead;
    out->kind = TOKEN_MULTIBYTE;
    size_t length = strlen(out->text);
    Token next;
    for (;;) {
        TokenIn_ReadRaw(t, &next);
        if (next.kind == TOKEN_MULTIBYTE) {
            if (Run_Append(out, &length, next.text))
                continue;
            TokenIn_PutToken(t, &next);
            break;
        }
        if (!IsLineBreak(&next)) {
            TokenIn_PutToken(t, &next);
            break;
        }
        Token after;
        TokenIn_ReadRaw(t, &after);
        if (IsLineBreak(&after)) {
            if (!Run_Append(out, &length, "\n\n")) {
                TokenIn_PutToken(t, &after);
                TokenIn_PutToken(t, &next);
            }
            break;
        }
        if (after.kind == TOKEN_MULTIBYTE && length + 1 + strlen(after.text) <= TOKEN_TEXT_MAX) {
            Run_Append(out, &length, "\n");
            Run_Append(out, &length, after.text);
            continue;
        }
        TokenIn_PutToken(t, &after);
        if (after.kind == TOKEN_MULTIBYTE || !Run_Append(out, &length, "\n"))
            TokenIn_PutToken(t, &next);
        break;
    }
    Preprocessor_Advance(pp);
}

void Preprocessor_Next(Preprocessor *pp, Token *out)
{
    for (;;) {
        if (CurrentFileFinished(pp)) {
            if (pp->includeDepth == 0) {
                Token_Set(out, TOKEN_END, "");
                out->expansion = 0;
                return;
            }
            PopInclude(pp);
            continue;
        }
        Token *look = &pp->lookahead;
        switch (look->kind) {
        case TOKEN_IDENTIFIER:
            if (Macro_TryExpand(pp)) {
                Preprocessor_Advance(pp);
                continue;
            }
            DeliverLookahead(pp, out);
            return;
        case TOKEN_STRING:
            out->kind = TOKEN_STRING;
            out->expansion = look->expansion;
            StringValue_Decode(look->text, out->text, sizeof out->text);
            Preprocessor_Advance(pp);
            return;
        case TOKEN_CHARACTER:
            if (IsLineBreak(look)) {
                Preprocessor_Advance(pp);
                continue;
            }
            DeliverLookahead(pp, out);
            return;
        case TOKEN_MULTIBYTE:
            ReadMultibyteRun(pp, out);
            return;
        case TOKEN_HASH:
            if (Directive_Run(pp, out))
                return;
            continue;
        default:
            DeliverLookahead(pp, out);
            return;
        }
    }
}
