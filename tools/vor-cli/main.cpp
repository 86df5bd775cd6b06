// vor-cli: the command-line tool for part-pack authors and batch pipelines.
//
// `vor-cli [--data DIR] COMMAND ARGS...`: the command table (cli_commands.h)
// maps each command to the function that runs it; the common options (`--data`, default `data`
// below the current folder as the program reads it; `--encoding`; `--json`;
// `--help`) may stand anywhere on the line. Paths are typed with either
// separator and printed in the system's own form. Exit 0 on success, 1 when
// an input is refused, 2 for a usage error.
#include <cstring>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "cli_help.h"
#include "cli_json.h"
#include "cli_output.h"
#include "layers/image_cache.h"

// A part image too large to decode is left out of every picture; the author
// hears which one. Decoding threads call this too: one write is one line.
static void ReportRefusedImage(const char *path)
{
    CliOut_Note("%s: image refused, larger than %d x %d", CliOut_SystemPath(path).c_str(), (int)DIB_MAX_PART_SIDE,
                (int)DIB_MAX_PART_SIDE);
}

static int PrintUsage(FILE *to, int status)
{
    fputs("usage: vor-cli [--data DIR] [--encoding cp949|utf-8] [--json] COMMAND ...\n"
          "       vor-cli help [COMMAND] | --version\ncommands:\n",
          to);
    for (int i = 0; i < CliCommand_Count(); i++)
        fprintf(to, "  %s\n", CliCommand_At(i)->usage().c_str());
    fputs(CliHelp_Common(), to);
    return status;
}

// `help COMMAND` and `COMMAND --help`: on stdout, exit 0.
static int PrintHelp(const CliCommand *c)
{
    fprintf(stdout, "usage: vor-cli [--data DIR] %s%s\n\n%s\n", c->usage().c_str(), c->json ? " [--json]" : "",
            c->help().c_str());
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
    const char *name = o.rest[helpCommand ? 1 : 0];
    const CliCommand *c = CliCommand_Find(name);
    if (!c) {
        fprintf(stderr, "vor-cli: unknown command \"%s\"\n", name);
        return PrintUsage(stderr, CLI_EXIT_USAGE);
    }
    if (helpCommand && o.rest.size() > 2)
        return PrintUsage(stderr, CLI_EXIT_USAGE);
    if (helpCommand || o.help)
        return PrintHelp(c);
    if (o.json && !c->json) {
        fprintf(stderr, "vor-cli: %s has no --json output\n", c->name);
        return CliOut_Usage(c->usage().c_str());
    }
    CliContext context = {o.dataFolder.c_str(), stdout, o.json};
    int status = c->run(&context, (int)o.rest.size() - 1, o.rest.data() + 1);
    // Under --json every exit but a usage error prints one document.
    if (o.json && status == CLI_EXIT_REFUSED && CliJson_Documents() == 0)
        CliJson_Print(stdout, {{"error", CliJson_Text(CliOut_LastRefusal().c_str())}});
    if (fflush(stdout) != 0 && status == CLI_EXIT_OK)
        return CliOut_Refuse("cannot write the output");
    return status;
}
