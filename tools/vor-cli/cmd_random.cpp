// `vor-cli random --seed N --out FILE.vor`: a seeded random character over
// the data tree, written as a project. The same seed and tree give the same
// bytes, so a seed is a name for a character that can be passed around.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalog/part_catalog.h"
#include "cli_output.h"
#include "core/services/filesys.h"
#include "project/project.h"
#include "project/project_model.h"
#include "project/random_character.h"

static const char *RandomOption(int argc, char **argv, const char *name)
{
    for (int i = 0; i + 1 < argc; i++)
        if (strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

int Cmd_Random(const CliContext *context, int argc, char **argv)
{
    const char *usage = "random --seed N --out FILE.vor";
    const char *seedText = RandomOption(argc, argv, "--seed");
    const char *typedOut = RandomOption(argc, argv, "--out");
    if (!seedText || !typedOut || argc != 4)
        return CliOut_Usage(usage);
    std::string outFile = CliOut_ProgramPath(typedOut);
    const char *outPath = outFile.c_str();
    char *end = nullptr;
    errno = 0;
    unsigned long long seed = strtoull(seedText, &end, 10);
    // Digits only: strtoull would skip leading blanks and take " -1" as 2^64 - 1.
    if (seedText[0] < '0' || seedText[0] > '9' || *end || errno == ERANGE)
        return CliOut_Usage(usage);

    std::string folder = context->dataFolder;
    folder.pop_back();
    if (!folder.empty() && !FileSys_FolderExists(folder.c_str()))
        return CliOut_Refuse("no data folder %s", CliOut_SystemPath(folder.c_str()).c_str());
    PartCatalog catalog = {};
    if (!PartCatalog_Load(&catalog, context->dataFolder)) {
        PartCatalog_Free(&catalog);
        return CliOut_Refuse("out of memory reading the catalogue");
    }
    RandomLook look;
    RandomLook_Roll(&catalog, seed, &look);
    Project *project = RandomLook_ToProject(&look, seed);
    ProjectKeySource keys = Project_CatalogKeys(&catalog);
    int result = project ? Project_WriteFileResult(outPath, project, &keys) : FILEWRITE_NO_DATA;
    Project_Free(project);
    PartCatalog_Free(&catalog);
    if (result == FILEWRITE_NOT_A_FILE)
        return CliOut_Refuse("%s: not a regular file (a device, pipe, socket, link or folder); left as it is",
                             CliOut_SystemPath(outPath).c_str());
    if (result != FILEWRITE_OK)
        return CliOut_Refuse("cannot write %s", CliOut_SystemPath(outPath).c_str());
    CliOut_Path(context->out, outPath);
    fputc('\n', context->out);
    return CLI_EXIT_OK;
}
