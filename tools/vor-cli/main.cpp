// vor-cli: the command-line tool for part-pack authors and batch pipelines.
//
// `vor-cli [--data DIR] COMMAND ARGS...`: the table below maps each command
// to the function that runs it; the common options (`--data`, default `data`
// below the current folder as the program reads it; `--encoding`; `--json`;
// `--help`) may stand anywhere on the line. Paths are typed with either
// separator and printed in the system's own form. Exit 0 on success, 1 when
// an input is refused, 2 for a usage error.
#include <cstring>
#include <string>
#include <vector>

#include "cli_help.h"
#include "cli_output.h"
#include "layers/image_cache.h"

// Commands, one file each (cmd_<area>.cpp).
int Cmd_Tokens(const CliContext *context, int argc, char **argv);
int Cmd_Inf(const CliContext *context, int argc, char **argv);
int Cmd_Catalog(const CliContext *context, int argc, char **argv);
int Cmd_Project(const CliContext *context, int argc, char **argv);
int Cmd_Render(const CliContext *context, int argc, char **argv);
int Cmd_Export(const CliContext *context, int argc, char **argv);
int Cmd_Sheet(const CliContext *context, int argc, char **argv);
int Cmd_Lint(const CliContext *context, int argc, char **argv);
int Cmd_Random(const CliContext *context, int argc, char **argv);
void Cmd_RandomHelp(FILE *out);

struct CliCommand {
    const char *name;
    const char *usage;
    CliCommandFn run;
    bool json;  // takes --json
    void (*moreHelp)(FILE *out);  // what the command's help adds, or nullptr
};

static const CliCommand kCommands[] = {
    {"tokens", "tokens FILE", Cmd_Tokens, false, nullptr},
    {"inf", "inf FILE", Cmd_Inf, false, nullptr},
    {"catalog", "catalog", Cmd_Catalog, true, nullptr},
    {"project", "project FILE", Cmd_Project, true, nullptr},
    {"render", "render FILE --style I --expression J --out PNG", Cmd_Render, false, nullptr},
    {"export", "export FILE --out DIR [-j N] [--layered psd|ora] | export FILE --renpy DIR [--tag TAG]", Cmd_Export, true, nullptr},
    {"sheet", "sheet FILE --out PNG [-j N]", Cmd_Sheet, false, nullptr},
    {"lint", "lint [--strict]", Cmd_Lint, true, nullptr},
    {"random", "random --seed N [--from FILE.vor] [--keep TRAIT,...] [--count K] --out FILE.vor|DIR", Cmd_Random, false, Cmd_RandomHelp},
};

// A part image too large to decode is left out of every picture; the author
// hears which one. Decoding threads call this too: one write is one line.
static void ReportRefusedImage(const char *path)
{
    CliOut_Note("%s: image refused, larger than %d x %d", CliOut_SystemPath(path).c_str(), (int)DIB_MAX_PART_SIDE,
                (int)DIB_MAX_PART_SIDE);
}

static const CliCommand *FindCommand(const char *name)
{
    for (const CliCommand &c : kCommands)
        if (strcmp(c.name, name) == 0)
            return &c;
    return nullptr;
}

static int PrintUsage(FILE *to, int status)
{
    fputs("usage: vor-cli [--data DIR] [--encoding cp949|utf-8] [--json] COMMAND ...\n"
          "       vor-cli help [COMMAND] | --version\ncommands:\n",
          to);
    for (const CliCommand &c : kCommands)
        fprintf(to, "  %s\n", c.usage);
    fputs(CliHelp_Common(), to);
    return status;
}

// `help COMMAND` and `COMMAND --help`: on stdout, exit 0.
static int PrintHelp(const CliCommand *c)
{
    const char *text = CliHelp_Text(c->name);
    fprintf(stdout, "usage: vor-cli [--data DIR] %s%s\n\n%s\n", c->usage, c->json ? " [--json]" : "",
            text ? text : "");
    if (c->moreHelp)
        c->moreHelp(stdout);
    fputs(CliHelp_Common(), stdout);
    return CLI_EXIT_OK;
}

// The options every command takes, found anywhere on the line.
struct CommonOptions {
    std::string dataFolder = ".\\data\\";
    int encoding = CLI_ENCODING_TERMINAL;
    int json = 0, help = 0, version = 0;
    std::vector<char *> rest;  // the command and its own arguments
};

// Returns CLI_EXIT_OK or the usage status.
static int ReadOptions(std::vector<std::string> &args, CommonOptions *o)
{
    for (size_t i = 1; i < args.size(); i++) {
        const std::string &a = args[i];
        if (a == "--data" || a == "--encoding") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return CLI_EXIT_USAGE;
            const char *value = args[++i].c_str();
            if (a == "--encoding") {
                if (!CliOut_ParseEncoding(value, &o->encoding))
                    return CLI_EXIT_USAGE;
                continue;
            }
            o->dataFolder = CliOut_ProgramPath(value);
            if (o->dataFolder.back() != '\\')
                o->dataFolder += '\\';
        } else if (a == "--json") {
            o->json = 1;
        } else if (a == "--help" || a == "-h") {
            o->help = 1;
        } else if (a == "--version" && o->rest.empty()) {
            o->version = 1;
        } else {
            o->rest.push_back(&args[i][0]);
        }
    }
    return CLI_EXIT_OK;
}

// The value of `--encoding`, read before anything is printed (the text of
// the command line itself may need it to be reported).
static int EncodingOf(int argc, char **argv)
{
    int encoding = CLI_ENCODING_TERMINAL;
    for (int i = 1; i + 1 < argc; i++)
        if (strcmp(argv[i], "--encoding") == 0)
            CliOut_ParseEncoding(argv[i + 1], &encoding);
    return encoding;
}

int main(int argc, char **argv)
{
    CliOut_UseBinaryStdout();
    CliText_Init(EncodingOf(argc, argv));
    ImageCache_SetRefusedHook(ReportRefusedImage);
    std::vector<std::string> args;
    std::string problem;
    if (!CliText_Arguments(argc, argv, &args, &problem))
        return CliOut_Refuse("%s", problem.c_str());
    CommonOptions o;
    if (ReadOptions(args, &o) != CLI_EXIT_OK)
        return PrintUsage(stderr, CLI_EXIT_USAGE);
    if (o.version) {
        printf("vor-cli %s\n", VOR_VERSION);
        return CLI_EXIT_OK;
    }
    bool helpCommand = !o.rest.empty() && strcmp(o.rest[0], "help") == 0;
    if (o.rest.empty() || (helpCommand && o.rest.size() == 1))
        return o.help || helpCommand ? PrintUsage(stdout, CLI_EXIT_OK) : PrintUsage(stderr, CLI_EXIT_USAGE);
    const CliCommand *c = FindCommand(o.rest[helpCommand ? 1 : 0]);
    if (!c || (helpCommand && o.rest.size() > 2))
        return PrintUsage(stderr, CLI_EXIT_USAGE);
    if (helpCommand || o.help)
        return PrintHelp(c);
    if (o.json && !c->json) {
        fprintf(stderr, "vor-cli: %s has no --json output\n", c->name);
        return CliOut_Usage(c->usage);
    }
    CliContext context = {o.dataFolder.c_str(), stdout, o.json};
    int status = c->run(&context, (int)o.rest.size() - 1, o.rest.data() + 1);
    if (fflush(stdout) != 0 && status == CLI_EXIT_OK)
        return CliOut_Refuse("cannot write the output");
    return status;
}
