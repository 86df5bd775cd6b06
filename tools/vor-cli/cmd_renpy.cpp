// vor-cli export FILE --renpy DIR [--tag TAG]: the character as a Ren'Py
// layered image (output/renpy_export.h), written below DIR.
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "cli_output.h"
#include "core/services/filesys.h"
#include "output/headless.h"
#include "output/renpy_export.h"

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

int Cmd_ExportRenPy(const CliContext *context, int argc, char **argv)
{
    const char *usage = "export FILE --renpy DIR [--tag TAG]";
    const char *typedDir = nullptr, *tag = "";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--renpy") == 0 && !typedDir)
            typedDir = argv[i + 1];
        else if (strcmp(argv[i], "--tag") == 0 && !tag[0])
            tag = argv[i + 1];
        else
            return CliOut_Usage(usage);
    }
    if (!typedDir || (argc != 3 && argc != 5))
        return CliOut_Usage(usage);
    std::string folder = CliOut_ProgramPath(typedDir), file = CliOut_ProgramPath(argv[0]);
    char base[VOR_MAX_PATH];
    if (folder.empty())
        return CliOut_Refuse("--renpy: empty folder name");
    if (File_Exists(folder.c_str()))
        return CliOut_Refuse("%s: is a file, not a folder", CliOut_SystemPath(folder.c_str()).c_str());
    if (!Export_FreeFolderBase(folder.c_str(), base))
        return CliOut_Refuse("%s: folder name too long", CliOut_SystemPath(folder.c_str()).c_str());

    Headless h;
    int status = OpenSession(&h, context, file.c_str());
    if (status != CLI_EXIT_OK)
        return status;
    RenPyNames names;
    char problem[1024];
    if (!RenPy_Validate(&h.ch, &h.w, tag, &names, problem, sizeof problem)) {
        Headless_Close(&h);
        return CliOut_Refuse("%s: %s", CliOut_SystemPath(file.c_str()).c_str(), OneLine(problem).c_str());
    }
    // The number of files is known only once the layers are planned.
    return RunReportedExport(context, &h, 0, [&](const ExportOptions *options, ExportStats *stats) {
        RenPy_RunHeadless(&h.ch, &h.w, &names, base, options, stats);
    });
}
