// vor-cli export --renpy from outside: what it prints and writes, refusals
// with their message and nothing written, a folder that cannot be written.
#include <doctest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/services/filesys.h"
#include "output/fixture_tree.h"
#include "output/headless.h"
#include "project/project_model.h"
#include "cli_run_posix.h"
#include "two_style_project.h"
#include "test_support.h"

namespace {

using clirun::CliRun;

CliRun Cli(const ScratchFolder &dir, const std::string &arguments)
{
    return clirun::RunOverTree(dir, arguments);
}

}  // namespace

TEST_CASE("vor-cli export --renpy: the files it names; a refusal writes nothing; a folder it cannot write")
{
    ScratchFolder dir;
    std::string project = WriteTwoStyleProject(dir, "Abc", "outing");
    std::string named = WriteTwoStyleProject(dir, "유나", "niko");
    std::string game = " --renpy '" + dir / "game" + "'";
    std::vector<clirun::Refusal> refused = {
        // The messages in the stored bytes, which the test's literals are.
        {"--encoding cp949 export '" + named + "'" + game, "태그를 입력해 주세요", 1},
        {"--encoding cp949 export '" + named + "'" + game + " --tag yuna", "표정 \"niko\"", 1},  // the style clashes
        {"export '" + project + "' --renpy", "usage:", 2},
        {"export '" + project + "'" + game + " --out", "--out needs a value", 2},
        {"export '" + project + "'" + game + " --layered psd", "--layered goes with --out", 2},
    };
    clirun::CheckRefusals(dir, refused, "game");

    // One line per file written, the script last.
    CliRun ok = Cli(dir, "export '" + project + "'" + game);
    CHECK(ok.status == 0);
    size_t lines = 0;
    for (size_t at = 0, end; (end = ok.out.find('\n', at)) != std::string::npos; at = end + 1, lines++)
        CHECK(File_Exists(ok.out.substr(at, end - at).c_str()));
    CHECK(lines >= 3);
    CHECK(ok.out.substr(ok.out.rfind('\n', ok.out.size() - 2) + 1) == ScratchFolder::Native(dir / "game\\abc.rpy") + "\n");

    // A file where the images folder belongs: only the script is written.
    FileSys_MakeFolder((dir / "blocked").c_str());
    ScratchFolder::WriteBytes(dir / "blocked\\images", {'x'});
    CliRun r = Cli(dir, "export '" + project + "' --renpy '" + dir / "blocked" + "'");
    CHECK(r.status == 1);
    CHECK(r.out == ScratchFolder::Native(dir / "blocked\\abc.rpy") + "\n");
    CHECK(r.err.find("images/abc/abc_") != std::string::npos);
    CHECK(r.err.find("cannot be created") != std::string::npos);
    CHECK(r.err.find(" files not written") != std::string::npos);
}
