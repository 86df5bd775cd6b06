// vor-cli export FILE --webgal DIR [--tag TAG] and export FILE --atlas DIR
// [--tag TAG] [--pot]: the character as a WebGAL figure set or a sprite
// atlas (output/figure_export.h), written below DIR.
#include <cstring>
#include <functional>
#include <string>

#include "cli_output.h"
#include "core/services/filesys.h"
#include "output/figure_export.h"
#include "output/headless.h"

// From cmd_project.cpp: the project opened without a window, and an export
// reported as the export command reports it (lines or JSON, progress, the
// closing count); it closes the session.
int OpenSession(Headless *h, const CliContext *context, const char *path);
int RunReportedExport(const CliContext *context, Headless *h, int total,
                      const std::function<void(const ExportOptions *, ExportStats *)> &run);

// A message for one line of stderr: line breaks become spaces.
static std::string OneLine(const char *message)
{
    std::string line = message;
    for (char &c : line)
        if ((unsigned char)c < 0x20)
            c = ' ';
    return line;
}

enum FigureKind { FIGURE_WEBGAL, FIGURE_ATLAS };

static int Cmd_ExportFigureSet(const CliContext *context, int argc, char **argv, int kind)
{
    const char *option = kind == FIGURE_WEBGAL ? "--webgal" : "--atlas";
    const char *usage = kind == FIGURE_WEBGAL ? "export FILE --webgal DIR [--tag TAG]"
                                              : "export FILE --atlas DIR [--tag TAG] [--pot]";
    const char *typedDir = nullptr, *tag = "";
    AtlasExportOptions atlas;
    for (int i = 1; i < argc; i++) {
        if (kind == FIGURE_ATLAS && strcmp(argv[i], "--pot") == 0 && !atlas.powerOfTwo)
            atlas.powerOfTwo = 1;
        else if (i + 1 < argc && strcmp(argv[i], option) == 0 && !typedDir)
            typedDir = argv[++i];
        else if (i + 1 < argc && strcmp(argv[i], "--tag") == 0 && !tag[0])
            tag = argv[++i];
        else
            return CliOut_Usage(usage);
    }
    if (!typedDir)
        return CliOut_Usage(usage);
    std::string folder = CliOut_ProgramPath(typedDir), file = CliOut_ProgramPath(argv[0]);
    char base[VOR_MAX_PATH];
    if (folder.empty())
        return CliOut_Refuse("%s: empty folder name", option);
    if (File_Exists(folder.c_str()))
        return CliOut_Refuse("%s: is a file, not a folder", CliOut_SystemPath(folder.c_str()).c_str());
    if (!Export_FreeFolderBase(folder.c_str(), base))
        return CliOut_Refuse("%s: folder name too long", CliOut_SystemPath(folder.c_str()).c_str());

    Headless h;
    int status = OpenSession(&h, context, file.c_str());
    if (status != CLI_EXIT_OK)
        return status;
    FigureNames names;
    char problem[1024];
    if (!FigureNames_Gather(&h.ch, &h.w, tag, kind == FIGURE_WEBGAL ? "WebGAL" : "아틀라스", 0, &names, problem,
                            sizeof problem)) {
        Headless_Close(&h);
        return CliOut_Refuse("%s: %s", CliOut_SystemPath(file.c_str()).c_str(), OneLine(problem).c_str());
    }
    int pairs = (int)(names.styles.size() * names.expressions.size());
    if (kind == FIGURE_WEBGAL)  // the pictures, CREDITS.txt, the scene and README.txt
        return RunReportedExport(context, &h, pairs + 3, [&](const ExportOptions *options, ExportStats *stats) {
            WebGal_RunHeadless(&h.ch, &h.w, &names, base, options, stats);
        });
    // The pages are known only once the frames are packed.
    return RunReportedExport(context, &h, 0, [&](const ExportOptions *options, ExportStats *stats) {
        Atlas_RunHeadless(&h.ch, &h.w, &names, base, &atlas, options, stats);
    });
}

int Cmd_ExportWebGal(const CliContext *context, int argc, char **argv)
{
    return Cmd_ExportFigureSet(context, argc, argv, FIGURE_WEBGAL);
}

int Cmd_ExportAtlas(const CliContext *context, int argc, char **argv)
{
    return Cmd_ExportFigureSet(context, argc, argv, FIGURE_ATLAS);
}
