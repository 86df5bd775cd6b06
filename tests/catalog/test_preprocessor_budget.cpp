// Macro calls inside their own arguments, and the include budget: long
// files of many sequential includes read whole, while huge files and
// readings past the byte budget are refused like missing ones.
#include <doctest.h>

#include "catalog_test_support.h"
#include "core/services/filesys.h"
#include "test_support.h"

static const std::string kPreprocessorError = "프리 프로세서 에러";

TEST_CASE("a macro call inside the arguments of the same macro expands")
{
    struct Case {
        const char *input;
        TokenList expected;
        size_t errors;
    } cases[] = {
        {"#define F(x) x\nF(F(1))", {{2, "1"}}, 0},
        {"#define F(x) x\nF(F(F(2)))", {{2, "2"}}, 0},
        {"#define P(a,b) a b\nP(P(1,2),3)", {{2, "1"}, {2, "2"}, {2, "3"}}, 0},
        {"#define G(x) [x]\n#define F(x) G(x)\nF(F(1))",
         {{10, "["}, {10, "["}, {2, "1"}, {11, "]"}, {11, "]"}}, 0},
        // The body's own name still stays a word, argument or not.
        {"#define F(x) F(x)\nF(F(1))",
         {{1, "F"}, {8, "("}, {1, "F"}, {8, "("}, {2, "1"}, {9, ")"}, {9, ")"}}, 0},
        // A name that came from B's body is still B's, even as A's argument.
        {"#define A(x) x\n#define B A(B)\nB", {{1, "B"}}, 0},
    };
    for (const Case &c : cases) {
        std::string input = c.input;
        CAPTURE(input);
        PreprocessorRun run = Preprocess(c.input);
        CHECK(run.tokens == c.expected);
        CHECK(run.errors.size() == c.errors);
    }
}

TEST_CASE("a macro that feeds itself through its argument stops at the budget")
{
    PreprocessorRun run = Preprocess("#define F(x) x(x)\nF(F) z");
    REQUIRE(run.errors.size() == 1);
    CHECK(run.errors[0].second == kPreprocessorError);
}

TEST_CASE("seventy sequential includes of one file all read")
{
    ScratchFolder dir;
    ScratchFolder::WriteBytes(dir / "one.inf", {'t', '\n'});
    std::string top;
    for (int i = 0; i < 70; i++)
        top += "#include \"one.inf\"\n";
    ScratchFolder::WriteBytes(dir / "vor.inf", std::vector<unsigned char>(top.begin(), top.end()));
    PreprocessorRun run = PreprocessFile(dir / "vor.inf");
    CHECK(run.tokens.size() == 70);
    CHECK(run.errors.empty());
}

TEST_CASE("files over 1 MiB and readings over 4 MiB are refused as unopenable")
{
    ScratchFolder dir;
    auto padded = [](size_t size, char word) {
        std::vector<unsigned char> bytes(size, ' ');
        bytes[0] = (unsigned char)word;
        return bytes;
    };
    ScratchFolder::WriteBytes(dir / "huge.inf", padded(1024 * 1024 + 1, 'h'));
    ScratchFolder::WriteBytes(dir / "big.inf", padded(900 * 1024, 'b'));
    std::string top = "#include \"huge.inf\"\n";
    for (int i = 0; i < 5; i++)
        top += "#include \"big.inf\"\n";
    ScratchFolder::WriteBytes(dir / "vor.inf", std::vector<unsigned char>(top.begin(), top.end()));
    PreprocessorRun run = PreprocessFile(dir / "vor.inf");
    // Four of 900 KiB fit in the 4 MiB with the including file; the fifth not.
    CHECK(run.tokens == TokenList{{1, "b"}, {1, "b"}, {1, "b"}, {1, "b"}});
    REQUIRE(run.errors.size() == 2);
    CHECK(run.errors[0] == std::make_pair(0, dir / "huge.inf" + " 열 수 없음"));
    CHECK(run.errors[1] == std::make_pair(5, dir / "big.inf" + " 열 수 없음"));
    // Read on its own, an oversized file opens no preprocessor.
    CHECK(Preprocessor_Open((dir / "huge.inf").c_str(), nullptr) == nullptr);
    CHECK(Preprocessor_Open(dir.path.c_str(), nullptr) == nullptr);  // a folder
}

TEST_CASE("runaway: 45,000 chained defines read in linear time and stop at the budget")
{
    // M44999 -> M44998 -> ... -> M0: every expansion's hide set holds the
    // whole chain behind it; asking it once cost a walk of that chain.
    std::string text = "#define M0 x\n";
    const int chain = 45000;
    for (int i = 1; i < chain; i++)
        text += "#define M" + std::to_string(i) + " M" + std::to_string(i - 1) + "\n";
    text += "M" + std::to_string(chain - 1) + "\n";
    // Three readings, as three part folders including it: each took about
    // nine seconds in the sanitised build, now a fraction of one.
    for (int reading = 0; reading < 3; reading++) {
        PreprocessorRun run = Preprocess(text);
        REQUIRE(run.tokens.size() == 1);
        CHECK(run.tokens[0].second.compare(0, 1, "M") == 0);  // the budget stopped the chain
        REQUIRE(run.errors.size() == 1);
        CHECK(run.errors[0].second == kPreprocessorError);
    }
}

TEST_CASE("a macro named more often than the budget of tries stops with the existing message")
{
    // Every name that finds a macro is work, whether it expands or not.
    std::string text = "#define A x\n";
    for (int i = 0; i < 70000; i++)
        text += "A ";
    PreprocessorRun run = Preprocess(text);
    REQUIRE(run.tokens.size() == 70000);
    size_t expanded = 0;
    for (const auto &t : run.tokens)
        expanded += t.second == "x";
    CHECK(expanded == 65536);
    REQUIRE(run.errors.size() == 1);
    CHECK(run.errors[0].second == kPreprocessorError);
}
