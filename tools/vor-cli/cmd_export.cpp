// vor-cli export: the formats of the format table (output/export_format.h),
// each asked for by its folder option, run without a window as the
// program's export runs them. The usage, the help and the parsing of the
// options all come from the table.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "cli_json.h"
#include "cli_output.h"
#include "cli_progress.h"
#include "cli_session.h"
#include "core/services/filesys.h"
#include "output/export_format.h"

namespace {

// The value an option's usage shows: the beside formats' words for the
// layered file.
std::string OptionValueText(const ExportFormatOption *o)
{
    if (strcmp(o->key, EXPORT_SETTING_LAYERED) != 0)
        return o->value;
    std::string words;
    for (const ExportFormat *f : ExportFormat_BesideFormats())
        words += (words.empty() ? "" : "|") + std::string(f->word);
    return words;
}

std::vector<const ExportFormat *> FolderFormats()
{
    std::vector<const ExportFormat *> folders;
    for (int i = 0; i < ExportFormat_Count(); i++)
        if (ExportFormat_At(i)->kind == EXPORT_FORMAT_FOLDER)
            folders.push_back(ExportFormat_At(i));
    return folders;
}

// "--out DIR or --x DIR" for the folder formats (commas before the last "or").
std::string FolderFlagsText()
{
    std::vector<const ExportFormat *> folders = FolderFormats();
    std::string text;
    for (size_t i = 0; i < folders.size(); i++) {
        if (i > 0)
            text += i + 1 == folders.size() ? " or " : ", ";
        text += std::string(folders[i]->folderFlag) + " DIR";
    }
    return text;
}

// Lines of `text` with `indent` before each.
std::string Indented(const char *text, const char *indent)
{
    std::string out, line;
    for (const char *p = text; *p; p++) {
        line += *p;
        if (*p == '\n') {
            out += indent + line;
            line.clear();
        }
    }
    if (!line.empty())
        out += indent + line + "\n";
    return out;
}

std::string Padded(std::string text, size_t width)
{
    if (text.size() < width)
        text.resize(width, ' ');
    else
        text += "  ";
    return text;
}

}  // namespace

std::string CmdExport_Usage()
{
    std::string usage = "export FILE";
    for (const ExportFormat *f : FolderFormats()) {
        usage += std::string(" [") + f->folderFlag + " DIR";
        for (const ExportFormatOption *o = f->options; o->flag; o++)
            usage += std::string(" [") + o->flag + (o->value ? " " + OptionValueText(o) : "") + "]";
        usage += "]";
    }
    return usage + " [-j N]";
}

std::string CmdExport_Help()
{
    std::string help = "Writes what the program's export writes, with DIR as the free folder, for\n"
                       "every format asked for by its folder option (" + FolderFlagsText() + ";\n"
                       "at least one). One line per file written. -j N decodes and encodes on N threads.\n"
                       "A file that cannot be written is named on stderr and the command exits 1 after\n"
                       "the rest; names a format refuses are refused before anything is written.\n\n";
    for (const ExportFormat *f : FolderFormats()) {
        help += "  " + Padded(std::string(f->folderFlag) + " DIR", 22) + f->folderHelp + "\n";
        help += Indented(f->help, "      ");
        for (const ExportFormatOption *o = f->options; o->flag; o++) {
            std::string flag = std::string(o->flag) + (o->value ? " " + OptionValueText(o) : "");
            help += "    " + Padded(flag, 20) + o->help + "\n";
            if (strcmp(o->key, EXPORT_SETTING_LAYERED) != 0)
                continue;
            for (const ExportFormat *b : ExportFormat_BesideFormats())
                help += std::string("      ") + b->word + "\n" + Indented(b->help, "        ");
        }
    }
    return help + "\n--json: {\"written\": [PATH, ...], \"failed\": [{\"path\", \"reason\"}, ...]}, with\n"
                  "\"error\" saying why when the export was refused.\n";
}

// ---- the command ---------------------------------------------------------------

namespace {

// Where the export's files are reported: one line each on stdout, or the
// JSON document's lists; the progress line beside them.
struct ExportReport {
    FILE *out;
    const CliContext *context;
    CliJson written, failed;
    CliProgress progress;
    int done, total;
};

void PrintWritten(void *user, const char *path, int failure)
{
    ExportReport *r = (ExportReport *)user;
    CliProgress_Clear(&r->progress);
    if (r->context->json && failure == EXPORT_WRITTEN) {
        r->written.push_back(CliJson_Path(path));
    } else if (r->context->json) {
        r->failed.push_back({{"path", CliJson_Path(path)}, {"reason", FailureReason(failure)}});
    } else if (failure == EXPORT_WRITTEN) {
        CliOut_Path(r->out, path);
        fputc('\n', r->out);
    }
    if (failure != EXPORT_WRITTEN)
        CliOut_Note("%s: cannot be written: %s", CliOut_SystemPath(path).c_str(), FailureReason(failure));
    CliProgress_Step(&r->progress, ++r->done, r->total);
}

void NotePlanned(void *user, int files)
{
    ((ExportReport *)user)->total = files < 0 ? 0 : files;
}

// A message for one line of stderr: line breaks and other control bytes
// become spaces.
std::string OneLine(const std::string &message)
{
    std::string line = message;
    for (char &c : line)
        if ((unsigned char)c < 0x20)
            c = ' ';
    return line;
}

// A refusal before anything was written: on stderr, and as the JSON
// document's "error" when one is asked for.
int RefuseExport(const CliContext *context, const std::string &message)
{
    int status = CliOut_Refuse("%s", message.c_str());
    if (context->json)
        CliJson_Print(context->out, {{"written", CliJson::array()}, {"failed", CliJson::array()},
                                     {"error", CliJson_Text(message.c_str())}});
    return status;
}

// What the command line asks for: the choices and the threads. Returns
// CLI_EXIT_OK or a usage error (printed).
int ReadChoices(int argc, char **argv, std::vector<ExportChoice> *choices, std::vector<std::string> *folders,
                int *threads)
{
    std::map<std::string, std::string> options;  // flag -> value, for the formats' own options
    bool haveThreads = false;
    for (int i = 1; i < argc; i++) {
        const char *flag = argv[i];
        const ExportFormat *format = nullptr;
        for (int f = 0; f < ExportFormat_Count() && !format; f++)
            if (ExportFormat_At(f)->folderFlag && strcmp(ExportFormat_At(f)->folderFlag, flag) == 0)
                format = ExportFormat_At(f);
        const ExportFormatOption *option = nullptr;
        for (int f = 0; f < ExportFormat_Count() && !option && !format; f++)
            option = ExportFormat_Option(ExportFormat_At(f), flag);
        bool isThreads = strcmp(flag, "-j") == 0;
        if (!format && !option && !isThreads)
            return CliCommand_UsageError("export", ("unknown option " + std::string(flag)).c_str());
        bool takesValue = format || isThreads || option->value;
        if (takesValue && i + 1 >= argc)
            return CliCommand_UsageError("export", (std::string(flag) + " needs a value").c_str());
        const char *value = takesValue ? argv[++i] : "1";
        bool repeated = false;
        for (const ExportChoice &c : *choices)
            repeated = repeated || c.format == format;
        if ((isThreads && haveThreads) || (option && options.count(flag)) || (format && repeated))
            return CliCommand_UsageError("export", (std::string(flag) + " given twice").c_str());
        if (isThreads) {
            haveThreads = true;
            if (!ParseIndex(value, threads) || *threads < 1 || *threads > 64)
                return CliCommand_UsageError("export", "-j takes a number from 1 to 64");
        } else if (format) {
            choices->push_back(ExportChoice{format, "", {}});
            folders->push_back(value);
        } else {
            options[flag] = value;
        }
    }
    if (choices->empty())
        return CliCommand_UsageError("export", ("give " + FolderFlagsText()).c_str());
    for (const auto &o : options) {
        bool taken = false;
        for (ExportChoice &c : *choices)
            if (const ExportFormatOption *option = ExportFormat_Option(c.format, o.first.c_str())) {
                c.settings[option->key] = o.second;
                taken = true;
            }
        if (!taken) {
            std::string with;
            for (int f = 0; f < ExportFormat_Count(); f++)
                if (ExportFormat_Option(ExportFormat_At(f), o.first.c_str()) && ExportFormat_At(f)->folderFlag)
                    with += (with.empty() ? "" : " or ") + std::string(ExportFormat_At(f)->folderFlag);
            return CliCommand_UsageError("export", (o.first + " goes with " + with).c_str());
        }
    }
    for (const ExportChoice &c : *choices) {
        auto layered = c.settings.find(EXPORT_SETTING_LAYERED);
        if (layered == c.settings.end())
            continue;
        const ExportFormat *beside = ExportFormat_FromWord(layered->second.c_str());
        if (!beside || beside->kind != EXPORT_FORMAT_BESIDE) {
            std::string words;
            for (const ExportFormat *b : ExportFormat_BesideFormats())
                words += (words.empty() ? "" : " or ") + std::string(b->word);
            return CliCommand_UsageError("export", ("--layered takes " + words).c_str());
        }
    }
    return CLI_EXIT_OK;
}

}  // namespace

int Cmd_Export(const CliContext *context, int argc, char **argv)
{
    if (argc < 1 || argv[0][0] == '-')
        return CliCommand_UsageError("export", "give the project FILE first");
    std::vector<ExportChoice> choices;
    std::vector<std::string> folders;
    int threads = 1;
    int status = ReadChoices(argc, argv, &choices, &folders, &threads);
    if (status != CLI_EXIT_OK)
        return status;
    for (size_t i = 0; i < choices.size(); i++) {
        std::string folder = CliOut_ProgramPath(folders[i].c_str());
        std::string shown = CliOut_SystemPath(folder.c_str());
        char base[VOR_MAX_PATH];
        if (folder.empty())
            return RefuseExport(context, std::string(choices[i].format->folderFlag) + ": empty folder name");
        if (File_Exists(folder.c_str()))
            return RefuseExport(context, shown + ": is a file, not a folder");
        if (!Export_FreeFolderBase(folder.c_str(), base))
            return RefuseExport(context, shown + ": folder name too long");
        choices[i].base = base;
    }

    std::string file = CliOut_ProgramPath(argv[0]);
    Headless h;
    status = OpenSession(&h, context, file.c_str());
    if (status != CLI_EXIT_OK) {
        if (context->json)
            CliJson_Print(context->out, {{"written", CliJson::array()}, {"failed", CliJson::array()},
                                         {"error", CliJson_Text(CliOut_LastRefusal().c_str())}});
        return status;
    }
    ExportReport report = {context->out, context, CliJson::array(), CliJson::array(), {}, 0, 0};
    ExportOptions options = {threads, &report, PrintWritten};
    options.planned = NotePlanned;
    ExportStats stats;
    std::string problem;
    CliProgress_Begin(&report.progress, "files written");
    int ran = Export_RunChoicesHeadless(&h.ch, &h.w, choices, &options, &stats, &problem);
    CliProgress_End(&report.progress);
    Headless_Close(&h);
    if (!ran)
        return RefuseExport(context, CliOut_SystemPath(file.c_str()) + ": " + OneLine(problem));
    if (context->json)
        CliJson_Print(context->out, {{"written", report.written}, {"failed", report.failed}});
    if (getenv("VOR_EXPORT_STATS"))
        fprintf(stderr, "images %d, load %.1f ms, compose %.1f ms, encode %.1f ms (all threads)\n", stats.images,
                stats.loadMs, stats.composeMs, stats.encodeMs);
    if (stats.tally.failed > 0)
        return CliOut_Refuse("%d of %d files not written", stats.tally.failed,
                             stats.tally.failed + stats.tally.written);
    return CLI_EXIT_OK;
}
