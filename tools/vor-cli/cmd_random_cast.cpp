// `vor-cli random --seed N --count K --out DIR`: a cast of K characters
// (project/random_cast.h) written as DIR\char-001.vor ... and DIR\cast.png,
// their first pictures with their names. Every file is written whole or
// not at all; the same seed, tree and base give the same bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_output.h"
#include "core/services/filesys.h"
#include "output/cast_sheet.h"
#include "output/export.h"
#include "project/project_model.h"
#include "project/random_cast.h"

static void PrintPath(const CliContext *context, const char *path)
{
    CliOut_Path(context->out, path);
    fputc('\n', context->out);
}

int RandomCast_Write(const CliContext *context, const PartCatalog *catalog, uint64_t seed, int count,
                     const Project *base, RandomKeep keep, const char *outFolder)
{
    std::string folder = outFolder;
    if (folder.empty())
        return CliOut_Refuse("--out: empty path");
    if (folder.back() == '\\')
        folder.pop_back();
    if (!FileSys_FolderExists(folder.c_str()) && !FileSys_MakeFolder(folder.c_str()))
        return CliOut_Refuse("%s: cannot make the folder", CliOut_SystemPath(folder.c_str()).c_str());
    RandomCast cast;
    int made = RandomCast_Make(catalog, seed, count, base, keep, &cast);
    if (made == CAST_TOO_FEW_LOOKS)
        return CliOut_Refuse("the data tree and the kept traits give fewer than %d different looks", count);
    if (made != CAST_OK)
        return CliOut_Refuse("out of memory");

    std::vector<std::string> paths;
    ProjectKeySource keys = Project_CatalogKeys(catalog);
    for (size_t i = 0; i < cast.members.size(); i++) {
        char name[32];
        snprintf(name, sizeof name, "\\char-%03d.vor", (int)i + 1);
        paths.push_back(folder + name);
        if (!Project_WriteFile(paths.back().c_str(), cast.members[i].project, &keys)) {
            RandomCast_Free(&cast);
            return CliOut_Refuse("cannot write %s", CliOut_SystemPath(paths.back().c_str()).c_str());
        }
        PrintPath(context, paths.back().c_str());
    }
    RandomCast_Free(&cast);

    Headless h;
    if (!Headless_Open(&h, context->dataFolder))
        return CliOut_Refuse("out of memory");
    std::vector<const char *> list;
    for (const std::string &p : paths)
        list.push_back(p.c_str());
    DIB *sheet = CastSheet_Compose(&h, list.data(), (int)list.size());
    Headless_Close(&h);
    std::string sheetPath = folder + "\\cast.png";
    if (!sheet)
        return CliOut_Refuse("%s: out of memory composing the sheet", CliOut_SystemPath(sheetPath.c_str()).c_str());
    int failure = Export_WriteImageFile(sheet, sheetPath.c_str());
    DIB_Delete_(sheet);
    if (failure != EXPORT_WRITTEN)
        return CliOut_Refuse("%s: cannot be written", CliOut_SystemPath(sheetPath.c_str()).c_str());
    PrintPath(context, sheetPath.c_str());
    return CLI_EXIT_OK;
}
