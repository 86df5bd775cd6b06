// vor-cli project, render and sheet: a project file read and drawn exactly
// as the program does it, without a window (the export: cmd_export.cpp).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "cli_json.h"
#include "cli_commands.h"
#include "cli_numbers.h"
#include "cli_output.h"
#include "cli_progress.h"
#include "cli_session.h"
#include "core/imaging/dib.h"
#include "core/services/filesys.h"
#include "layers/render.h"
#include "output/contact_sheet.h"
#include "output/export.h"
#include "output/headless.h"
#include "project/project.h"

static void PrintText(FILE *out, const std::string &key, const char *text)
{
    fprintf(out, "%s\t", key.c_str());
    CliOut_Text(out, text ? text : "");
    fputc('\n', out);
}

static void PrintInt(FILE *out, const std::string &key, long value)
{
    fprintf(out, "%s\t%ld\n", key.c_str(), value);
}

static void PrintColour(FILE *out, const std::string &key, HlsColour c)
{
    fprintf(out, "%s\t%d,%d,%d\n", key.c_str(), c.hue, c.luminance, c.saturation);
}

// Paths below are program paths (CliOut_ProgramPath); messages print them in
// the system's form.
static std::string Shown(const char *path)
{
    return CliOut_SystemPath(path);
}

static int RefuseProject(const char *path, int result)
{
    switch (result) {
    case PROJECT_CANNOT_OPEN:
        return CliOut_Refuse("%s: cannot be read: %s", Shown(path).c_str(),
                             CliOut_ReadReason(Project_ReadProblem(path)));
    case PROJECT_BAD_HEADER:
        return CliOut_Refuse("%s: not a project file of version 100 or lower", Shown(path).c_str());
    default:
        return CliOut_Refuse("%s: damaged project file", Shown(path).c_str());
    }
}

CliJson Cmd_ProjectJson(const Project *p);  // cmd_project_json.cpp

int Cmd_Project(const CliContext *context, int argc, char **argv)
{
    if (argc != 1)
        return CliCommand_UsageError("project");
    Project *p = nullptr;
    std::string file = CliOut_ProgramPath(argv[0]);
    int result = Project_ReadFile(file.c_str(), &p);
    if (result != PROJECT_OK)
        return RefuseProject(file.c_str(), result);
    FILE *out = context->out;
    if (context->json) {
        CliJson_Print(out, Cmd_ProjectJson(p));
        Project_Free(p);
        return CLI_EXIT_OK;
    }
    PrintText(out, "name", p->name);
    PrintText(out, "free_folder", p->freeFolder);
    PrintInt(out, "free_folder_flag", p->freeFolderFlag);
    PrintText(out, "brow", p->brow.key);
    PrintColour(out, "brow_colour", p->browColour);
    PrintText(out, "eye", p->eye.key);
    PrintColour(out, "eye_colour", p->eyeColour);
    PrintText(out, "mouth", p->mouth.key);
    PrintColour(out, "mouth_colour", p->mouthColour);
    PrintText(out, "hair", p->hair.key);
    PrintColour(out, "hair_colour", p->hairColour);
    PrintText(out, "back_hair", p->backHair.key);
    PrintInt(out, "separate_back_hair", p->separateBackHair);
    PrintInt(out, "hair_default_colour", p->hairDefaultColour);
    PrintText(out, "expression", p->expression.key);
    PrintInt(out, "styles", PtrList_Count(p->styles));
    for (int i = 0; i < PtrList_Count(p->styles); i++) {
        const DressStyle *s = (const DressStyle *)PtrList_Get(p->styles, i);
        std::string k = "style." + std::to_string(i) + ".";
        PrintText(out, k + "name", s->name);
        PrintText(out, k + "output_folder", s->outputFolder);
        PrintText(out, k + "dress", s->dressKey);
        PrintColour(out, k + "colour", s->colour);
        PrintInt(out, k + "selection", s->accessories->selection);
        PrintInt(out, k + "accessories", AccessorySet_Count(s->accessories));
        for (int j = 0; j < AccessorySet_Count(s->accessories); j++) {
            const AccessoryPlacement *a = AccessorySet_Get(s->accessories, j);
            std::string ak = k + "accessory." + std::to_string(j) + ".";
            PrintText(out, ak + "kind", a->key);
            PrintInt(out, ak + "depth", a->depth);
            PrintInt(out, ak + "x", a->position.x);
            PrintInt(out, ak + "y", a->position.y);
            PrintColour(out, ak + "colour", a->colour);
        }
        PrintInt(out, k + "check_state", s->checkState);
    }
    Project_Free(p);
    return CLI_EXIT_OK;
}

// Options of the form `--name VALUE` and `-j N` after the file argument.
static const char *OptionValue(int argc, char **argv, const char *name)
{
    for (int i = 1; i + 1 < argc; i++)
        if (strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

int ParseIndex(const char *text, int *value)
{
    return CliNumber_ParseInt(text, 0, 1000000, value);
}

// Why a file was not written, for stderr.
const char *FailureReason(int failure)
{
    switch (failure) {
    case FILEWRITE_PATH_TOO_LONG: return "path too long";
    case FILEWRITE_CANNOT_CREATE: return "cannot be created (folder missing or not writable)";
    case FILEWRITE_WRITE_FAILED: return "write failed (disk full?)";
    case FILEWRITE_CANNOT_REPLACE: return "cannot replace the file there";
    case FILEWRITE_NOT_A_FILE: return "not a regular file (a device, pipe, socket, link or folder); left as it is";
    default: return "out of memory";
    }
}

// An output file path: not empty and no folder. Returns CLI_EXIT_OK or the
// refusal.
static int CheckOutputFile(const char *path)
{
    if (!path[0])
        return CliOut_Refuse("--out: empty path");
    if (FileSys_FolderExists(path))
        return CliOut_Refuse("%s: is a folder, not a file", Shown(path).c_str());
    // Refused before the project is read and drawn; the write says it again.
    if (File_IsOtherThanFile(path))
        return CliOut_Refuse("%s: cannot be written: %s", Shown(path).c_str(), FailureReason(FILEWRITE_NOT_A_FILE));
    return CLI_EXIT_OK;
}

// Writes one picture; on failure the reason on stderr and exit 1.
static int WriteOutputImage(const DIB *image, const char *path)
{
    int failure = Export_WriteImageFile(image, path);
    if (failure != EXPORT_WRITTEN)
        return CliOut_Refuse("%s: cannot be written: %s", Shown(path).c_str(), FailureReason(failure));
    return CLI_EXIT_OK;
}

int OpenSession(Headless *h, const CliContext *context, const char *path)
{
    if (!Headless_Open(h, context->dataFolder))
        return CliOut_Refuse("out of memory");
    int result = Headless_LoadProject(h, path);
    if (result != PROJECT_OK) {
        Headless_Close(h);
        return RefuseProject(path, result);
    }
    return CLI_EXIT_OK;
}

// Which of render's indices is out of range and what the range is, or an
// empty text when both are in range.
static std::string RenderRangeProblem(int style, int styles, int expression, int expressions)
{
    auto one = [](const char *what, int index, int count, const char *where) {
        if (index < count)
            return std::string();
        std::string range = count > 0 ? "0 .. " + std::to_string(count - 1) : std::string("none");
        return "--" + std::string(what) + " " + std::to_string(index) + " is out of range: " + where + " has " +
               std::to_string(count) + " " + what + (count == 1 ? "" : "s") + " (" + range + ")";
    };
    std::string a = one("style", style, styles, "the project"), b = one("expression", expression, expressions, "the data tree");
    return a.empty() || b.empty() ? a + b : a + "; " + b;
}

int Cmd_Render(const CliContext *context, int argc, char **argv)
{
    int style, expression;
    const char *typedOut = OptionValue(argc, argv, "--out");
    if (argc != 7 || !ParseIndex(OptionValue(argc, argv, "--style"), &style) ||
        !ParseIndex(OptionValue(argc, argv, "--expression"), &expression) || !typedOut)
        return CliCommand_UsageError("render");
    std::string outFile = CliOut_ProgramPath(typedOut), file = CliOut_ProgramPath(argv[0]);
    const char *outPath = outFile.c_str();
    int status = CheckOutputFile(outPath);
    if (status != CLI_EXIT_OK)
        return status;
    Headless h;
    status = OpenSession(&h, context, file.c_str());
    if (status != CLI_EXIT_OK)
        return status;
    std::string outOfRange = RenderRangeProblem(style, PtrList_Count(h.w.styles), expression,
                                                PtrList_Count(h.catalog.expressions));
    if (!outOfRange.empty()) {
        Headless_Close(&h);
        return CliOut_Refuse("%s: %s", Shown(file.c_str()).c_str(), outOfRange.c_str());
    }
    if (h.w.selected != style)
        Wardrobe_ShowStyle(&h.ch, &h.w, style);
    Character_ChooseExpression(&h.ch, expression);
    Headless_LoadNow(&h);
    DIB *image = Canvas_ComposeExport(h.doc);
    status = WriteOutputImage(image, outPath);
    DIB_Delete_(image);
    Headless_Close(&h);
    return status;
}

int Cmd_Sheet(const CliContext *context, int argc, char **argv)
{
    const char *typedOut = OptionValue(argc, argv, "--out");
    int threads = 1;
    const char *j = OptionValue(argc, argv, "-j");
    if (!typedOut || (argc != 3 && argc != 5) || (j && (!ParseIndex(j, &threads) || threads < 1 || threads > 64)))
        return CliCommand_UsageError("sheet");
    std::string outFile = CliOut_ProgramPath(typedOut), file = CliOut_ProgramPath(argv[0]);
    const char *outPath = outFile.c_str();
    int status = CheckOutputFile(outPath);
    if (status != CLI_EXIT_OK)
        return status;
    Headless h;
    status = OpenSession(&h, context, file.c_str());
    if (status != CLI_EXIT_OK)
        return status;
    int rows = CountExportStyles(h.w.styles), columns = PtrList_Count(h.catalog.expressions);
    CliProgress progress;
    CliProgress_Begin(&progress, "pictures composed");
    DIB *sheet = ContactSheet_ComposeWith(&h.ch, &h.w, threads, CliProgress_Step, &progress);
    CliProgress_End(&progress);
    Headless_Close(&h);
    if (!sheet && rows > 0 && columns > 0 && rows > ContactSheet_MaxRows(columns))
        return CliOut_Refuse("%s: %d checked styles make too large a sheet: at most %d styles of %d expressions fit",
                             Shown(file.c_str()).c_str(), rows, ContactSheet_MaxRows(columns), columns);
    if (!sheet && rows > 0 && columns > 0)
        return CliOut_Refuse("%s: out of memory for the sheet", Shown(file.c_str()).c_str());
    if (!sheet)
        return CliOut_Refuse("%s: no checked style to show", Shown(file.c_str()).c_str());
    status = WriteOutputImage(sheet, outPath);
    DIB_Delete_(sheet);
    return status;
}
