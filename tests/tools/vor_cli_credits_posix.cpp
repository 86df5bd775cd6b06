// Credits in the part packs as `vor-cli lint` checks them: a part without
// an author or a licence is a warning (so --strict fails), a credit that is
// not a string is an error at its file, an old definition without any
// credits gives both warnings and nothing else; and `vor-cli random --count`
// as a separate program: the same seed writes the same bytes, and bad
// options are usage errors. (--from and --keep are compared with the
// program's dialog in tests/app.)
#include <doctest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>

#include "catalog/part_lint.h"
#include "lint_tree.h"
#include "cli_run_posix.h"
#include "test_support.h"

namespace {

using Ran = clirun::CliRun;

Ran Cli(const std::string &arguments)
{
    static ScratchFolder errors;
    return clirun::Run(errors, arguments);
}

void Write(const std::string &path, const std::string &text)
{
    ScratchFolder::WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

}  // namespace

TEST_CASE("lint: missing credits are warnings, credits that are not strings are errors")
{
    ScratchFolder scratch;
    std::string data = linttree::CleanTree(scratch.path);
    std::string option = "--data '" + ScratchFolder::Native(data) + "' lint";
    CHECK(Cli(option + " --strict").status == 0);

    // An old definition without any credits; one without a licence; one
    // whose author is a number and whose address is an identifier.
    Write(data + "eye\\e1\\vor.inf", "Name = \"e1\";\nFolder = \"e1\";\n");
    Write(data + "braw\\b1\\vor.inf", "Name = \"b1\";\nFolder = \"b1\";\nAuthor = \"Tester\";\n");
    Write(data + "mouth\\m1\\vor.inf",
          "Name = \"m1\";\nFolder = \"m1\";\nAuthor = 3;\nLicense = \"CC0-1.0\";\nUrl = somewhere;\n");
    LintReport report;
    REQUIRE(PartLint_Run(data.c_str(), &report));
    std::string seen;
    for (const LintFinding &f : report.findings)
        seen += std::string(f.severity == LINT_ERROR ? "error " : "warning ") + f.path + " " +
                f.message.substr(0, f.message.find(' ')) + "\n";
    CHECK(seen == "warning braw\\b1\\vor.inf License\n"
                  "warning eye\\e1\\vor.inf Author\n"
                  "warning eye\\e1\\vor.inf License\n"
                  "error mouth\\m1\\vor.inf Author\n"
                  "error mouth\\m1\\vor.inf Url\n");
    CHECK(report.errors == 2);
    CHECK(report.warnings == 3);

    // Warnings alone pass, and fail under --strict.
    Write(data + "mouth\\m1\\vor.inf", "Name = \"m1\";\nFolder = \"m1\";\nAuthor = \"T\";\nLicense = \"L\";\n");
    Ran plain = Cli(option);
    CHECK(plain.status == 0);
    CHECK(plain.out.find("0 errors, 3 warnings\n") != std::string::npos);
    CHECK(Cli(option + " --strict").status == 1);
}

TEST_CASE("vor-cli random --count writes a cast, the same bytes twice; bad options are usage errors")
{
    ScratchFolder dir;
    std::string data = ScratchFolder::Native(linttree::CleanTree(dir.path));
    std::string base = ScratchFolder::Native(dir / "base.vor");
    std::string pre = "--data '" + data + "' random ";
    REQUIRE(Cli(pre + "--seed 1 --out '" + base + "'").status == 0);
    std::string kept = ScratchFolder::Native(dir / "kept.vor");

    std::string cast = ScratchFolder::Native(dir / "cast"), again = ScratchFolder::Native(dir / "again");
    Ran first = Cli(pre + "--seed 5 --count 3 --out '" + cast + "'");
    CHECK(first.status == 0);
    CHECK(first.out == cast + "/char-001.vor\n" + cast + "/char-002.vor\n" + cast + "/char-003.vor\n" + cast +
                           "/cast.png\n");
    REQUIRE(Cli(pre + "--seed 5 --count 3 --out '" + again + "'").status == 0);
    for (const char *f : {"/char-001.vor", "/char-002.vor", "/char-003.vor", "/cast.png"})
        CHECK(ScratchFolder::ReadBytes(cast + f) == ScratchFolder::ReadBytes(again + f));

    CHECK(Cli(pre + "--help").status == 0);
    CHECK(Cli(pre + "--help").out.find("\n                  dress-colours\n") != std::string::npos);
    CHECK(Cli(pre + "--seed 1 --keep hair --out '" + kept + "'").status == 2);
    CHECK(Cli(pre + "--seed 1 --from '" + base + "' --keep hare --out '" + kept + "'").status == 2);
    CHECK(Cli(pre + "--seed 1 --count 0 --out '" + cast + "'").status == 2);
    CHECK(Cli(pre + "--seed 1 --seed 2 --out '" + kept + "'").status == 2);
    CHECK(Cli(pre + "--seed 1 --from '" + kept + "x' --out '" + kept + "'").status == 1);
}
