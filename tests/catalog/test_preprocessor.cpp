// The preprocessor: directives, macro expansion and its limits, string
// values, double-byte runs, includes and the recorded errors.
#include <doctest.h>

#include "catalog_test_support.h"
#include "core/services/filesys.h"
#include "test_support.h"

static const std::string kCountError = "매크로 인수의 갯수가 다릅니다.";
static const std::string kPreprocessorError = "프리 프로세서 에러";

struct PreprocessCase {
    const char *input;
    TokenList expected;
    int errorCount;
};

TEST_CASE("macros, directives and strings through the preprocessor")
{
    const PreprocessCase cases[] = {
        {"#define N 10\nN", {{2, "10"}}, 0},
        {"#define F(a,b) a+b\nF(1,2)", {{2, "1"}, {26, "+"}, {2, "2"}}, 0},
        {"#define F(a,b) a+b\nF(1)", {}, 1},
        {"#define F(a,b) a+b\nF(1,2,3);", {{15, ";"}}, 1},
        {"#define G() 7\nG", {{2, "7"}}, 0},
        {"#define G() 7\nG()", {{2, "7"}}, 0},
        {"#define G() 7\nG(x)", {}, 1},
        {"#define H(x) x\nH;", {{15, ";"}}, 1},
        {"#define H(x) x\nH()", {}, 1},  // an empty argument is not counted
        {"#define F(a,b) a\nF((1,2),3)", {{8, "("}, {2, "1"}, {14, ","}, {2, "2"}, {9, ")"}}, 0},
        {"#define F(a,b) b\nF(,3)", {{2, "3"}}, 0},
        {"#define F(a,b) a b\nF(\"x\" , 'y')", {{3, "x"}, {4, "'"}, {1, "y"}, {4, "'"}}, 0},
        {"#define F (x)\nF", {{8, "("}, {1, "x"}, {9, ")"}}, 0},
        {"#define F(x) [x]\nF\n(1)", {{8, "("}, {2, "1"}, {9, ")"}}, 1},
        {"#define S(x) #x\nS(a)", {{6, "#"}, {1, "a"}}, 0},
        {"#undef N\nN", {{1, "N"}}, 0},
        {"#define N 1\n#undef N\nN", {{1, "N"}}, 0},
        {"#define N 1\n#define N 2\nN", {{2, "2"}}, 0},
        {"#define A B\n#define B 3\nA", {{2, "3"}}, 0},
        {"#define int 5\nint", {{2, "5"}, {66, "int"}}, 0},
        {"#pragma once", {{6, "#"}, {1, "pragma"}, {1, "once"}}, 0},
        {"# define X 1\nX", {{2, "1"}}, 0},
        {"#include <a.inf>", {{30, "<"}, {1, "a"}, {18, "."}, {1, "inf"}, {32, ">"}}, 0},
        {"#include \"broken\nx", {{1, "x"}}, 0},
        {"\"a\" \"b\";", {{3, "ab"}, {15, ";"}}, 0},
        {"\"tab\\there\\x41\"", {{3, "tab\there" "A"}}, 0},
        {"a\n\n\nb", {{1, "a"}, {1, "b"}}, 0},
        {"#define E\nE E x", {{1, "x"}}, 0},
        {"#define C /* c */ 1 // rest\nC", {{2, "1"}}, 0},
        {"#define L 1 \\\n2\nL", {{2, "2"}, {2, "1"}, {7, "\\"}}, 0},
        {"#define Q(s) s\nQ(\"a,b\")", {{3, "a,b"}}, 0},
        {"a\xFF" "b c", {{1, "a"}, {0, ""}, {1, "b"}, {1, "c"}}, 0},
    };
    for (const PreprocessCase &c : cases) {
        std::string input = c.input;
        CAPTURE(input);
        PreprocessorRun run = Preprocess(c.input);
        CHECK(run.tokens == c.expected);
        CHECK(run.errors.size() == (size_t)c.errorCount);
    }
}

TEST_CASE("errors carry their line and message")
{
    PreprocessorRun run = Preprocess("#define F(a,b) a\n\nF(1)\nF(1,\"x\n");
    REQUIRE(run.errors.size() == 3);
    CHECK(run.errors[0] == std::make_pair(2, kCountError));
    CHECK(run.errors[1] == std::make_pair(3, kPreprocessorError));  // the broken string
    CHECK(run.errors[2] == std::make_pair(3, kCountError));
}

TEST_CASE("an argument list still open at the end of the file ends there")
{
    // The arguments collected before the end still count.
    PreprocessorRun run = Preprocess("#define F(a) a\nF(1, (2");
    REQUIRE(run.errors.size() == 1);
    CHECK(run.errors[0] == std::make_pair(1, kPreprocessorError));
    CHECK(run.tokens == TokenList{{2, "1"}});
    run = Preprocess("#define F(a) a\nF(1");
    REQUIRE(run.errors.size() == 2);
    CHECK(run.errors[0].second == kPreprocessorError);
    CHECK(run.errors[1].second == kCountError);
    CHECK(run.tokens.empty());
}

TEST_CASE("an argument of 1024 bytes is refused at the line of the macro name")
{
    std::string longArgument;
    for (int i = 0; i < 300; i++)
        longArgument += "zzzz ";
    PreprocessorRun run = Preprocess("#define F(a) a\nF(\n" + longArgument + ") x");
    REQUIRE(run.errors.size() == 2);
    CHECK(run.errors[0] == std::make_pair(1, kPreprocessorError));
    CHECK(run.errors[1].second == kCountError);
    std::string fits;
    for (int i = 0; i < 341; i++)
        fits += "zz ";
    run = Preprocess("#define F(a) a\nF(" + fits + ")");
    CHECK(run.errors.empty());
    CHECK(run.tokens.size() == 341);
}

TEST_CASE("a macro's name inside its own expansion stays a word")
{
    const PreprocessCase cases[] = {
        {"#define A A+1\nA", {{1, "A"}, {26, "+"}, {2, "1"}}, 0},
        {"#define A B\n#define B A\nA;B", {{1, "A"}, {15, ";"}, {1, "B"}}, 0},
        {"#define F(x) F(x)\nF(1)", {{1, "F"}, {8, "("}, {2, "1"}, {9, ")"}}, 0},
        {"#define A \"s\" A\nA", {{3, "s"}, {1, "A"}}, 0},
        {"#define A A\nA A", {{1, "A"}, {1, "A"}}, 0},
    };
    for (const PreprocessCase &c : cases) {
        std::string input = c.input;
        CAPTURE(input);
        PreprocessorRun run = Preprocess(c.input);
        CHECK(run.tokens == c.expected);
        CHECK(run.errors.size() == (size_t)c.errorCount);
    }
}

TEST_CASE("macros that multiply each other stop at the expansion budget")
{
    // Each level doubles the one below: 2^40 tokens if nothing stopped it.
    std::string text;
    for (int i = 0; i < 40; i++)
        text += "#define M" + std::to_string(i) + " M" + std::to_string(i + 1) + " M" + std::to_string(i + 1) + "\n";
    text += "M0";
    PreprocessorRun run = Preprocess(text);
    REQUIRE(run.errors.size() == 1);
    CHECK(run.errors[0].second == kPreprocessorError);
    CHECK(run.tokens.size() > 1000);
}

TEST_CASE("long bodies and expansions are cut, never overrun")
{
    std::string longBody;
    for (int i = 0; i < 600; i++)
        longBody += "x ";
    PreprocessorRun run = Preprocess("#define L " + longBody + "\n#define S 1 2\nL S");
    // The body keeps 1022 bytes: the space after the name and 511 "x ".
    REQUIRE(run.tokens.size() == 513);
    CHECK(run.tokens[510] == std::make_pair(1, std::string("x")));
    CHECK(run.tokens[511] == std::make_pair(2, std::string("1")));

    std::string words;
    for (int i = 0; i < 200; i++)
        words += " abcd";
    run = Preprocess("#define W(a) a a a a a a\nW(" + words + ")");
    CHECK(run.tokens.size() > 0);
    CHECK(run.tokens.size() <= 1023 / 5 + 1);
}

TEST_CASE("runs of double-byte characters join into one text token")
{
    const std::string ga = "가", na = "나", da = "다";
    const PreprocessCase cases[] = {
        {"가나다", {{5, ga + na + da}}, 0},
        {"가\n나", {{5, ga + "\n" + na}}, 0},
        {"가\n\n나", {{5, ga + "\n\n"}, {5, na}}, 0},
        {"가\nx", {{5, ga + "\n"}, {1, "x"}}, 0},
        {"가 나", {{5, ga}, {5, na}}, 0},
        {"가;", {{5, ga}, {15, ";"}}, 0},
        {"x가", {{1, "x"}, {5, ga}}, 0},
    };
    for (const PreprocessCase &c : cases) {
        std::string input = c.input;
        CAPTURE(input);
        CHECK(Preprocess(c.input).tokens == c.expected);
    }
    std::string many;
    for (int i = 0; i < 600; i++)
        many += ga;
    TokenList tokens = Preprocess(many).tokens;
    REQUIRE(tokens.size() == 2);
    CHECK(tokens[0].second.size() == 1022);
    CHECK(tokens[1].second.size() == 1200 - 1022);
}

TEST_CASE("directives print their debug lines")
{
    DebugCapture capture;
    Preprocess("#define N 1\n#undef N\n#undef Z\n");
    CHECK(capture.Has("[define N]\n"));
    CHECK(capture.Has("[undef N]\n"));
    CHECK(capture.Has("[undef Z]\n"));
}

TEST_CASE("quoted includes read relative to the including file")
{
    ScratchFolder dir;
    FileSys_MakeFolder((dir / "sub").c_str());
    ScratchFolder::WriteBytes(dir / "sub\\part.inf", {'#', 'd', 'e', 'f', 'i', 'n', 'e', ' ', 'K', ' ', '9', '\n',
                                                      'i', 'n', 'n', 'e', 'r'});
    std::string top = "a\n#include \"sub\\part.inf\"\nK b\n#include \"missing.inf\"\nc";
    ScratchFolder::WriteBytes(dir / "vor.inf", std::vector<unsigned char>(top.begin(), top.end()));
    DebugCapture capture;
    PreprocessorRun run = PreprocessFile(dir / "vor.inf");
    CHECK(run.tokens == TokenList{{1, "a"}, {1, "inner"}, {2, "9"}, {1, "b"}, {1, "c"}});
    REQUIRE(run.errors.size() == 1);
    CHECK(run.errors[0] == std::make_pair(3, dir / "missing.inf" + " 열 수 없음"));
    CHECK(capture.Has("[include " + (dir / "sub\\part.inf") + "]\n"));
    CHECK(capture.Has(dir / "vor.inf" + "(3):" + dir / "missing.inf" + " 열 수 없음\n"));
}

TEST_CASE("a file that includes itself stops at the nesting limit")
{
    ScratchFolder dir;
    std::string self = "x\n#include \"vor.inf\"\n#include \"vor.inf\"\ny\n";
    ScratchFolder::WriteBytes(dir / "vor.inf", std::vector<unsigned char>(self.begin(), self.end()));
    PreprocessorRun run = PreprocessFile(dir / "vor.inf");
    REQUIRE(!run.errors.empty());
    for (const auto &e : run.errors)
        CHECK((e.first == 1 || e.first == 2));  // at one of the two directive lines
    CHECK(run.errors[0].second == dir / "vor.inf" + " 포함 한도 초과");
    // Every opened file gives its x and y, and nothing else comes out.
    size_t xs = 0, ys = 0;
    for (const auto &t : run.tokens) {
        xs += t.second == "x";
        ys += t.second == "y";
    }
    CHECK(xs == ys);
    CHECK(xs + ys == run.tokens.size());
    CHECK(xs >= 32);
}

TEST_CASE("a missing file opens no preprocessor")
{
    CHECK(Preprocessor_Open("no\\such\\vor.inf", nullptr) == nullptr);
}
