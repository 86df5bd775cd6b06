// `vor-cli random --seed N [--from FILE.vor] [--keep TRAITS] [--count K] --out PATH`:
// a seeded random character over the data tree, written as a project. The
// same seed and tree give the same bytes, so a seed is a name for a
// character that can be passed around. With --from the look is given to that
// project, keeping the traits --keep names, as the program's "random
// character" dialog does; with --count a whole cast is written into the
// folder PATH (cmd_random_cast.cpp).
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalog/part_catalog.h"
#include "cli_commands.h"
#include "cli_numbers.h"
#include "cli_output.h"
#include "core/services/filesys.h"
#include "project/project.h"
#include "project/project_model.h"
#include "project/random_character.h"
#include "project/random_locks.h"

int RandomCast_Write(const CliContext *context, const PartCatalog *catalog, uint64_t seed, int count,
                     const Project *base, RandomKeep keep, const char *outFolder);

std::string Cmd_RandomUsage()
{
    return "random --seed N [--from FILE.vor] [--keep TRAIT,...] [--count K] --out FILE.vor|DIR";
}

static const char *const RANDOM_OPTIONS[] = {"--seed", "--out", "--from", "--keep", "--count"};
enum { OPT_SEED, OPT_OUT, OPT_FROM, OPT_KEEP, OPT_COUNT, OPT_COUNT_ALL };

// Each option once, each with a value; nullptr in `values` when absent.
static int ParseOptions(int argc, char **argv, const char *values[OPT_COUNT_ALL])
{
    for (int k = 0; k < OPT_COUNT_ALL; k++)
        values[k] = nullptr;
    for (int i = 0; i < argc; i += 2) {
        int k = 0;
        while (k < OPT_COUNT_ALL && strcmp(argv[i], RANDOM_OPTIONS[k]) != 0)
            k++;
        if (k == OPT_COUNT_ALL || i + 1 >= argc || values[k])
            return 0;
        values[k] = argv[i + 1];
    }
    return 1;
}

// What `random --help` says: the options and the trait names.
std::string Cmd_RandomHelp()
{
    std::string help = "Writes a seeded random character over the data tree as a project: the same\n"
                       "seed and tree give the same bytes.\n\n"
                       "  --seed N      the look's seed (0 .. 18446744073709551615)\n"
                       "  --from FILE   give this project the look instead of making a new character\n"
                       "  --keep LIST   with --from: the traits to keep, separated by commas:\n";
    for (int t = 0; t < RANDOM_TRAIT_COUNT; t++)
        help += std::string("                  ") + RandomTrait_Name(t) +
                (RandomTrait_IsFixed(t) ? "  (always kept: projects do not store the cheek shape)" : "") + "\n";
    return help + "  --count K     a cast of K characters (1 .. 999): --out names a folder that receives\n"
                  "                char-001.vor ... and cast.png, their first pictures with their names\n\n";
}

int Cmd_Random(const CliContext *context, int argc, char **argv)
{
    const char *opt[OPT_COUNT_ALL];
    if (!ParseOptions(argc, argv, opt) || !opt[OPT_SEED] || !opt[OPT_OUT] || (opt[OPT_KEEP] && !opt[OPT_FROM]))
        return CliCommand_UsageError("random");
    uint64_t seed = 0;
    if (!RandomSeed_Parse(opt[OPT_SEED], &seed))
        return CliCommand_UsageError("random");
    int count = 0;
    if (opt[OPT_COUNT] && !CliNumber_ParseInt(opt[OPT_COUNT], 1, 999, &count))
        return CliCommand_UsageError("random");
    RandomKeep keep = 0;
    char badTrait[64];
    if (opt[OPT_KEEP] && !RandomKeep_Parse(opt[OPT_KEEP], &keep, badTrait, sizeof badTrait)) {
        CliOut_Refuse("--keep: no trait \"%s\" (vor-cli random --help lists them)", badTrait);
        return CLI_EXIT_USAGE;
    }
    std::string outFile = CliOut_ProgramPath(opt[OPT_OUT]);
    const char *outPath = outFile.c_str();

    std::string folder = context->dataFolder;
    folder.pop_back();
    if (!folder.empty() && !FileSys_FolderExists(folder.c_str()))
        return CliOut_Refuse("no data folder %s", CliOut_SystemPath(folder.c_str()).c_str());
    Project *base = nullptr;
    if (opt[OPT_FROM]) {
        std::string fromFile = CliOut_ProgramPath(opt[OPT_FROM]);
        int read = Project_ReadFile(fromFile.c_str(), &base);
        if (read == PROJECT_CANNOT_OPEN)
            return CliOut_Refuse("%s: cannot be read: %s", CliOut_SystemPath(fromFile.c_str()).c_str(),
                                 CliOut_ReadReason(Project_ReadProblem(fromFile.c_str())));
        if (read != PROJECT_OK || !base)
            return CliOut_Refuse("%s: not a project file that can be read",
                                 CliOut_SystemPath(fromFile.c_str()).c_str());
    }
    PartCatalog catalog = {};
    if (!PartCatalog_Load(&catalog, context->dataFolder)) {
        PartCatalog_Free(&catalog);
        Project_Free(base);
        return CliOut_Refuse("out of memory reading the catalogue");
    }
    if (base)
        Project_ResolveKeys(base, &catalog);
    if (count > 0) {
        int status = RandomCast_Write(context, &catalog, seed, count, base, keep, outPath);
        Project_Free(base);
        PartCatalog_Free(&catalog);
        return status;
    }
    Project *project = base;
    if (base) {
        if (!RandomLook_ApplyLocked(&catalog, seed, keep, base)) {
            Project_Free(base);
            project = nullptr;
        }
    } else {
        RandomLook look;
        RandomLook_Roll(&catalog, seed, &look);
        project = RandomLook_ToProject(&look, seed);
    }
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
