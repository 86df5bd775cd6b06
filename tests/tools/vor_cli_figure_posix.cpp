// vor-cli export --webgal and --atlas from outside: the files each names,
// refusals (device names, clashes, usage) with their message and nothing
// written, and the same bytes as the exports' own functions write.
#include <doctest.h>

#include <cstring>
#include <string>

#include "core/services/filesys.h"
#include "output/figure_export.h"
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

// The lines of vor-cli's output, each a file that exists.
size_t CountWrittenFiles(const std::string &out)
{
    size_t lines = 0;
    for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1, lines++)
        CHECK_MESSAGE(File_Exists(out.substr(at, end - at).c_str()), out.substr(at, end - at));
    return lines;
}

}  // namespace

TEST_CASE("vor-cli export --webgal and --atlas: refusals write nothing, each file is named once")
{
    ScratchFolder dir;
    std::string project = WriteTwoStyleProject(dir, "Abc", "outing");
    std::string clash = WriteTwoStyleProject(dir, "Abc", "School");
    std::string device = WriteTwoStyleProject(dir, "Con", "trip");
    for (const char *option : {"--webgal", "--atlas"}) {
        CAPTURE(option);
        std::string out = std::string(" ") + option + " '" + dir / "out" + "'";
        std::vector<clirun::Refusal> refused = {
            {"--encoding cp949 export '" + device + "'" + out, "장치 이름", 1},
            {"--encoding cp949 export '" + project + "'" + out + " --tag lpt3", "\"lpt3\"", 1},
            {"--encoding cp949 export '" + project + "'" + out + " --tag 'a b'", "ASCII", 1},
            {"--encoding cp949 export '" + clash + "'" + out, "School_sumashi.png", 1},
            {"export '" + project + "' " + option, "usage:", 2},
            {"export '" + project + "'" + out + out, "given twice", 2},
            {"export '" + project + "'" + out + " --no-character", "goes with --renpy", 2},
        };
        clirun::CheckRefusals(dir, refused, "out");
        // A figure set's refusal also stops the PNG export asked for beside it.
        CliRun both = Cli(dir, "export '" + project + "' --out '" + dir / "png" + "'" + out + " --tag con");
        CHECK(both.status == 1);
        CHECK(both.out.empty());
        CHECK_FALSE(FileSys_FolderExists((dir / "png").c_str()));
        CHECK_FALSE(FileSys_FolderExists((dir / "out").c_str()));
    }

    // WebGAL: sixteen figures, CREDITS.txt, the scene and README.txt, the
    // README last.
    CliRun webgal = Cli(dir, "export '" + project + "' --webgal '" + dir / "wg" + "'");
    CHECK(webgal.status == 0);
    CHECK(CountWrittenFiles(webgal.out) == 19);
    CHECK(webgal.out.find(ScratchFolder::Native(dir / "wg\\game\\figure\\abc\\outing_niko.png") + "\n") !=
          std::string::npos);
    CHECK(webgal.out.find(ScratchFolder::Native(dir / "wg\\game\\scene\\abc.txt") + "\n") != std::string::npos);
    // The atlas: one page and its JSON, the Godot resource, CREDITS.txt.
    CliRun atlas = Cli(dir, "export '" + project + "' --atlas '" + dir / "at" + "' --tag hero");
    CHECK(atlas.status == 0);
    CHECK(CountWrittenFiles(atlas.out) == 4);
    CHECK(atlas.out.find(ScratchFolder::Native(dir / "at\\hero.json") + "\n") != std::string::npos);
    CHECK(atlas.out.find(ScratchFolder::Native(dir / "at\\hero.tres") + "\n") != std::string::npos);

    // The same bytes as the exports' own functions write.
    Headless h;
    REQUIRE(Headless_Open(&h, (dir / "data\\").c_str()));
    REQUIRE(Headless_LoadProject(&h, project.c_str()) == PROJECT_OK);
    FigureNames names;
    char message[512];
    REQUIRE(FigureNames_Gather(&h.ch, &h.w, "hero", "test", 0, &names, message, sizeof message));
    AtlasExportOptions options;
    Atlas_RunHeadless(&h.ch, &h.w, &names, (dir / "direct\\").c_str(), &options, nullptr, nullptr);
    for (const char *file : {"hero.png", "hero.json", "hero.tres", "CREDITS.txt"})
        CHECK_MESSAGE(ScratchFolder::ReadBytes(dir / ("at\\" + std::string(file))) ==
                          ScratchFolder::ReadBytes(dir / ("direct\\" + std::string(file))),
                      file);
    Headless_Close(&h);

    // A file where the figure folder belongs: the pictures fail, the rest is
    // written, and the count says so.
    FileSys_MakeFolder((dir / "blocked").c_str());
    FileSys_MakeFolder((dir / "blocked\\game").c_str());
    ScratchFolder::WriteBytes(dir / "blocked\\game\\figure", {'x'});
    CliRun blocked = Cli(dir, "export '" + project + "' --webgal '" + dir / "blocked" + "'");
    CHECK(blocked.status == 1);
    CHECK(blocked.err.find("17 of 19 files not written") != std::string::npos);
}
