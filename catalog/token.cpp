// Small helpers on the token record shared by the tokenizer and its users.
#include "catalog/token.h"

#include <cstring>

void Token_Set(Token *token, int kind, const char *text)
{
    token->kind = kind;
    size_t n = strlen(text);
    if (n > TOKEN_TEXT_MAX)
        n = TOKEN_TEXT_MAX;
    memcpy(token->text, text, n);
    token->text[n] = 0;
}

int Token_IsEnd(const Token *token)
{
    return token->kind == TOKEN_END && token->text[0] == 0;
}

// Definition files are read as code page 949 in both builds, whatever the
// machine's own code page, so that every platform cuts the same tokens.
int Token_IsLeadByte(int c)
{
    return c >= 0x81 && c <= 0xFE;
}
