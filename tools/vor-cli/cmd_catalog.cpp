// vor-cli commands for part-pack authors: `tokens FILE` shows a definition
// file as the preprocessor hands it out, `inf FILE` what the definition
// reader makes of it, and `catalog` the whole part catalogue of the data tree.
// A definition file is read only when it is a regular file (a folder, a
// device or a pipe is refused like a missing file).
#include <string>

#include "catalog/part_catalog.h"
#include "catalog/part_definition.h"
#include "catalog/preprocessor.h"
#include "cli_json.h"
#include "cli_commands.h"
#include "cli_output.h"
#include "core/services/filesys.h"

// Includes stay in the data folder when the file is one of its own, else in
// the file's own folder.
static const char *IncludeRoot(const CliContext *context, const std::string &path)
{
    return FilePath_IsWithin(context->dataFolder, path.c_str()) ? context->dataFolder : nullptr;
}

int Cmd_Tokens(const CliContext *context, int argc, char **argv)
{
    if (argc != 1)
        return CliCommand_UsageError("tokens");
    PtrList *errors = PtrList_Create(8, 8);
    std::string path = CliOut_ProgramPath(argv[0]);
    Preprocessor *pp = errors ? Preprocessor_OpenIn(path.c_str(), IncludeRoot(context, path), errors) : nullptr;
    if (!pp) {
        PtrList_Destroy(errors, PreprocessorError_Free);
        return CliOut_Refuse("cannot open %s", CliOut_SystemPath(path.c_str()).c_str());
    }
    FILE *out = context->out;
    Token token;
    for (;;) {
        Preprocessor_Next(pp, &token);
        // A 0xFF byte inside the file also reads as an end token; only the
        // one at the end of the outermost file ends the list.
        if (token.kind == TOKEN_END && Preprocessor_AtEnd(pp))
            break;
        fprintf(out, "%d\t", token.kind);
        CliOut_Text(out, token.text);
        fputc('\n', out);
    }
    Preprocessor_Close(pp);
    for (int i = 0; i < PtrList_Count(errors); i++) {
        const PreprocessorError *e = (const PreprocessorError *)PtrList_Get(errors, i);
        fprintf(out, "error\t%d\t", e->line);
        CliOut_Text(out, e->message);
        fputc('\n', out);
    }
    PtrList_Destroy(errors, PreprocessorError_Free);
    return CLI_EXIT_OK;
}

static void PrintField(FILE *out, const char *key, const char *value)
{
    fprintf(out, "%s\t", key);
    if (value)
        CliOut_Text(out, value);
    else
        fputc('-', out);
    fputc('\n', out);
}

int Cmd_Inf(const CliContext *context, int argc, char **argv)
{
    if (argc != 1)
        return CliCommand_UsageError("inf");
    std::string path = CliOut_ProgramPath(argv[0]);
    Preprocessor *pp = Preprocessor_OpenIn(path.c_str(), IncludeRoot(context, path), nullptr);
    if (!pp)
        return CliOut_Refuse("cannot open %s", CliOut_SystemPath(path.c_str()).c_str());
    PartDefinition *def = ReadPartDefinition(pp);
    Preprocessor_Close(pp);
    if (!def)
        return CliOut_Refuse("out of memory reading %s", CliOut_SystemPath(path.c_str()).c_str());
    FILE *out = context->out;
    PrintField(out, "name", def->name);
    PrintField(out, "folder", def->folder);
    fprintf(out, "color\t%d,%d,%d\n", def->color.hue, def->color.luminance, def->color.saturation);
    PartDefinition_Free(def);
    return CLI_EXIT_OK;
}

int Cmd_Catalog(const CliContext *context, int argc, char **argv)
{
    if (argc != 0)
        return CliCommand_UsageError("catalog");
    std::string folder = context->dataFolder;
    folder.pop_back();  // FileSys_FolderExists wants no trailing separator
    if (!folder.empty() && !FileSys_FolderExists(folder.c_str()))
        return CliOut_Refuse("no data folder %s", CliOut_SystemPath(folder.c_str()).c_str());
    PartCatalog catalog = {};
    if (!PartCatalog_Load(&catalog, context->dataFolder)) {
        PartCatalog_Free(&catalog);
        return CliOut_Refuse("out of memory reading the catalogue");
    }
    if (catalog.longPaths > 0)
        fprintf(stderr, "vor-cli: %d part folders left out: a path in them is %d bytes or longer\n", catalog.longPaths,
                (int)VOR_MAX_PATH);
    FILE *out = context->out;
    CliJson document = CliJson::object();
    for (int id = 0; id < PART_LIST_COUNT; id++) {
        const PtrList *list = PartCatalog_List(&catalog, id);
        CliJson &entries = document[PartCatalog_ListName(id)] = CliJson::array();
        for (int i = 0; i < PtrList_Count(list); i++) {
            const PartEntry *e = (const PartEntry *)PtrList_Get(list, i);
            if (context->json) {
                entries.push_back({{"index", i},
                                   {"folder", CliJson_Text(e->folder)},
                                   {"name", CliJson_Text(e->name)},
                                   {"colour", CliJson_Colour(e->color)},
                                   {"path", CliJson_Path(e->path)}});
                continue;
            }
            fprintf(out, "%s\t%d\t", PartCatalog_ListName(id), i);
            CliOut_Text(out, e->folder);
            fputc('\t', out);
            CliOut_Text(out, e->name);
            fprintf(out, "\t%d,%d,%d\t", e->color.hue, e->color.luminance, e->color.saturation);
            CliOut_Path(out, e->path);
            fputc('\n', out);
        }
    }
    if (context->json)
        CliJson_Print(out, document);
    PartCatalog_Free(&catalog);
    return CLI_EXIT_OK;
}
