// The tokenizer: raw tokens, classification into operators and keywords,
// numbers, strings and their values, comments, line counting and push-back.
#include <doctest.h>

#include <cstring>

#include "catalog/string_value.h"
#include "catalog_test_support.h"

struct TokenCase {
    const char *input;
    TokenList expected;
};

TEST_CASE("TokenIn_Read cuts and classifies tokens")
{
    const TokenCase cases[] = {
        // longest operator match
        {"x<<=1", {{1, "x"}, {47, "<<="}, {2, "1"}}},
        {"a->b", {{1, "a"}, {17, "->"}, {1, "b"}}},
        {"a - -b", {{1, "a"}, {27, "-"}, {27, "-"}, {1, "b"}}},
        {"a-->b", {{1, "a"}, {22, "--"}, {32, ">"}, {1, "b"}}},
        {">>=>=!=", {{48, ">>="}, {33, ">="}, {35, "!="}}},
        {"a/=b|=c&&d||e", {{1, "a"}, {43, "/="}, {1, "b"}, {51, "|="}, {1, "c"}, {39, "&&"}, {1, "d"}, {40, "||"}, {1, "e"}}},
        {"(){}[],;:.!~%*&|", {{8, "("}, {9, ")"}, {12, "{"}, {13, "}"}, {10, "["}, {11, "]"}, {14, ","}, {15, ";"},
                               {16, ":"}, {18, "."}, {19, "!"}, {20, "~"}, {25, "%"}, {23, "*"}, {36, "&"}, {38, "|"}}},
        // numbers
        {"0x10", {{2, "16"}}},
        {"0x1F 0XfF", {{2, "31"}, {2, "255"}}},
        {"0xFFFFFFFF", {{2, "-1"}}},
        {"0x123456789", {{2, "591751049"}}},  // wraps at 32 bits
        {"1.2.3", {{2, "1.2"}, {18, "."}, {2, "3"}}},
        {"007 2. 1.5", {{2, "007"}, {2, "2."}, {2, "1.5"}}},
        {"0xg", {{2, "0"}, {1, "g"}}},
        // comments, blanks, single quotes, other characters
        {"a//note\nb", {{1, "a"}, {4, "\n"}, {1, "b"}}},
        {"a/*x*/b", {{1, "a"}, {1, "b"}}},
        {"a/*\n*\n*/b", {{1, "a"}, {1, "b"}}},
        {"'x'", {{4, "'"}, {1, "x"}, {4, "'"}}},
        {"? ^ @", {{4, "?"}, {4, "^"}, {4, "@"}}},
        {"# define", {{6, "#"}, {1, "define"}}},
        // keywords and near-keywords
        {"while auto int unsigned", {{80, "while"}, {52, "auto"}, {66, "int"}, {78, "unsigned"}}},
        {"While const enum ints _int", {{1, "While"}, {1, "const"}, {1, "enum"}, {1, "ints"}, {1, "_int"}}},
        {"break case char continue default do double else extern float for goto if long register return",
         {{53, "break"}, {54, "case"}, {55, "char"}, {56, "continue"}, {57, "default"}, {58, "do"}, {59, "double"},
          {60, "else"}, {61, "extern"}, {62, "float"}, {63, "for"}, {64, "goto"}, {65, "if"}, {67, "long"},
          {68, "register"}, {69, "return"}}},
        {"short signed sizeof static struct switch typedef union void",
         {{70, "short"}, {71, "signed"}, {72, "sizeof"}, {73, "static"}, {74, "struct"}, {75, "switch"},
          {76, "typedef"}, {77, "union"}, {79, "void"}}},
        // line continuation joins between tokens, not inside one
        {"Na\\\nme", {{1, "Na"}, {1, "me"}}},
        {"Na\\\r\nme", {{1, "Na"}, {1, "me"}}},
        {"a \\ b", {{1, "a"}, {7, "\\"}, {1, "b"}}},
        {"\\\"s\"", {{7, "\\"}, {3, "s"}}},
        // adjacent strings join on one line, not across lines
        {"\"a\" \"b\"\t\"c\";", {{3, "abc"}, {15, ";"}}},
        {"\"a\"\n\"b\"", {{3, "a"}, {4, "\n"}, {3, "b"}}},
        {"\"a\\\"b\"", {{3, "a\\\"b"}}},
        // CRLF counts like LF, and carriage returns never show
        {"a\r\nb\r\n", {{1, "a"}, {4, "\n"}, {1, "b"}, {4, "\n"}}},
        // broken strings give the error token and leave the line break
        {"\"abc\nx", {{-1, ""}, {4, "\n"}, {1, "x"}}},
        {"\"abc", {{-1, ""}}},
        // double-byte characters stay together, even with a trail byte that
        // looks like a backslash or a quote
        {"\xB0\xA1\xB0\xA2", {{5, "\xB0\xA1"}, {5, "\xB0\xA2"}}},
        {"\"\x83\\\"", {{3, "\x83\\"}}},
        // the byte 0xFF reads as an end token, and reading goes on after it
        {"a\xFF" "b", {{1, "a"}, {0, ""}, {1, "b"}}},
    };
    for (const TokenCase &c : cases) {
        std::string input = c.input;
        CAPTURE(input);
        CHECK(ReadTokens(c.input) == c.expected);
    }
}

TEST_CASE("TokenIn_ReadRaw keeps blanks, comments and operators as single characters")
{
    const TokenCase cases[] = {
        {"a /*x*/\tb", {{1, "a"}, {4, " "}, {4, " "}, {4, "\t"}, {1, "b"}}},
        {"x<<=1", {{1, "x"}, {4, "<"}, {4, "<"}, {4, "="}, {2, "1"}}},
        {"a//c\n", {{1, "a"}, {4, "\n"}}},
        {"a/b", {{1, "a"}, {4, "/"}, {1, "b"}}},
        {"\"a\\nb\"", {{3, "a\\nb"}}},
        {"/* never closed", {{4, " "}}},
        {"// only a comment", {}},
    };
    for (const TokenCase &c : cases) {
        std::string input = c.input;
        CAPTURE(input);
        CHECK(ReadRawTokens(c.input) == c.expected);
    }
}

TEST_CASE("words, numbers and strings are limited to 1022 bytes")
{
    std::string word1022(1022, 'a'), word1023(1023, 'a');
    CHECK(ReadTokens(word1022 + " b") == TokenList{{1, word1022}, {1, "b"}});
    CHECK(ReadTokens(word1023 + " b") == TokenList{{-1, ""}, {1, "b"}});
    std::string digits(1023, '1');
    CHECK(ReadTokens(digits + " b") == TokenList{{-1, ""}, {1, "b"}});
    std::string s1022(1022, 's'), s1023(1023, 's');
    CHECK(ReadTokens("\"" + s1022 + "\" b") == TokenList{{3, s1022}, {1, "b"}});
    CHECK(ReadTokens("\"" + s1023 + "\" b") == TokenList{{-1, ""}, {1, "b"}});
}

TEST_CASE("joined strings are cut at 1023 bytes")
{
    std::string part(1000, 'x');
    TokenList tokens = ReadTokens("\"" + part + "\" \"" + part + "\";");
    REQUIRE(tokens.size() == 2);
    CHECK(tokens[0].first == 3);
    CHECK(tokens[0].second == std::string(1023, 'x'));
    CHECK(tokens[1] == std::make_pair(15, std::string(";")));
}

TEST_CASE("the line counter follows line breaks read and pushed back")
{
    const char text[] = "a\r\nb\n\"broken\nc";
    TokenIn *t = TokenIn_OpenMemory(text, sizeof text - 1);
    Token token;
    TokenIn_Read(t, &token);  // a; the line break after it is current
    CHECK(t->line == 1);
    TokenIn_Read(t, &token);  // the line break
    TokenIn_Read(t, &token);  // b
    CHECK(t->line == 2);
    TokenIn_Read(t, &token);
    TokenIn_Read(t, &token);  // the broken string stops at its line break
    CHECK(token.kind == TOKEN_ERROR);
    CHECK(t->line == 3);
    TokenIn_Read(t, &token);
    CHECK(std::string(token.text) == "\n");
    CHECK(t->current == 'c');
    CHECK(t->line == 3);
    TokenIn_PutString(t, "x\n", 0);
    CHECK(t->line == 2);  // the pushed line break went onto the stack
    TokenIn_Read(t, &token);
    CHECK(std::string(token.text) == "x");
    CHECK(t->line == 3);  // and counted again when read again
    TokenIn_Read(t, &token);
    TokenIn_Read(t, &token);
    CHECK(std::string(token.text) == "c");
    CHECK(t->line == 3);
    TokenIn_Close(t);
}

TEST_CASE("push-back is read before the file and never overflows")
{
    const char text[] = "rest";
    TokenIn *t = TokenIn_OpenMemory(text, sizeof text - 1);
    TokenIn_PutString(t, "pushed ", 0);
    Token token;
    TokenIn_Read(t, &token);
    CHECK(std::string(token.text) == "pushed");
    TokenIn_Read(t, &token);
    CHECK(std::string(token.text) == "rest");
    CHECK(TokenIn_IsEof(t));

    DebugCapture capture;
    std::string big(2000, 'q');
    TokenIn_PutString(t, big.c_str(), 0);
    CHECK(capture.Has("TokenIn_PutChar : stack err\n"));
    CHECK(t->stackTop == 0);
    TokenIn_PutChar(t, 'z', 0);  // full: dropped, the current character stays
    CHECK(t->current == 'q');
    TokenIn_Read(t, &token);
    CHECK(token.kind == TOKEN_ERROR);  // 1024 q's: longer than a word may be
    CHECK(TokenIn_IsEof(t));
    TokenIn_Close(t);
}

TEST_CASE("string values decode every escape")
{
    struct ValueCase {
        const char *raw;
        std::string value;
    };
    const ValueCase cases[] = {
        {"a\\\"b", "a\"b"},
        {"\\'\\\\", "'\\"},
        {"\\a\\n\\r\\t", "\x07\n\r\t"},
        {"\\x41\\x4a\\x4Bz", "AJKz"},
        {"\\x414", "A4"},
        {"\\101\\60\\0619", "A019"},
        {"\\777", "\xFF"},
        {"\\q\\?", "q?"},
        {"x\\xg", "x"},   // \x without a digit is the byte 0, which ends the value
        {"ab\\0cd", "ab"},
        {"\xB0\\x", "\xB0\\x"},  // a trail byte is never an escape
        {"", ""},
    };
    for (const ValueCase &c : cases) {
        CAPTURE(c.raw);
        char value[TOKEN_TEXT_SIZE];
        StringValue_Decode(c.raw, value, sizeof value);
        CHECK(std::string(value) == c.value);
    }
}

TEST_CASE("string escapes print their values as debug lines")
{
    DebugCapture capture;
    char value[16];
    StringValue_Decode("\\x4a\\101", value, sizeof value);
    CHECK(capture.Has("[\\x4a]\n"));
    CHECK(capture.Has("[65]\n"));
}
