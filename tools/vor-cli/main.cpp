// vor-cli: the command-line tool for part-pack authors and batch pipelines.
//
// `vor-cli [--data DIR] COMMAND ARGS...`: the table below maps each command
// to the function that runs it; `--data` (default: `data` below the current
// folder, as the program reads it) may stand anywhere on the line. Paths
// are typed with either separator and printed in the system's own form. Exit 0 on
// success, 1 when an input is refused, 2 for a usage error.
#include <cstring>
#include <string>
#include <vector>

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

struct CliCommand {
    const char *name;
    const char *usage;
    CliCommandFn run;
};

static const CliCommand kCommands[] = {
    {"tokens", "tokens FILE", Cmd_Tokens},
    {"inf", "inf FILE", Cmd_Inf},
    {"catalog", "catalog", Cmd_Catalog},
    {"project", "project FILE", Cmd_Project},
    {"render", "render FILE --style I --expression J --out PNG", Cmd_Render},
    {"export", "export FILE --out DIR [-j N]", Cmd_Export},
    {"sheet", "sheet FILE --out PNG [-j N]", Cmd_Sheet},
    {"lint", "lint [--strict]", Cmd_Lint},
    {"random", "random --seed N [--from FILE.vor] [--keep TRAIT,...] [--count K] --out FILE.vor|DIR", Cmd_Random},
};

// A part image too large to decode is left out of every picture; the author
// hears which one. Decoding threads call this too: one fprintf is one line.
static void ReportRefusedImage(const char *path)
{
    fprintf(stderr, "vor-cli: %s: image refused, larger than %d x %d\n", CliOut_SystemPath(path).c_str(),
            (int)DIB_MAX_PART_SIDE,
            (int)DIB_MAX_PART_SIDE);
}

static int PrintUsage()
{
    fputs("usage: vor-cli [--data DIR] COMMAND ...\ncommands:\n", stderr);
    for (const CliCommand &c : kCommands)
        fprintf(stderr, "  %s\n", c.usage);
    return CLI_EXIT_USAGE;
}

int main(int argc, char **argv)
{
    CliOut_UseBinaryStdout();
    ImageCache_SetRefusedHook(ReportRefusedImage);
    std::string dataFolder = ".\\data\\";
    std::vector<char *> rest;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--data") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == 0)
                return PrintUsage();
            dataFolder = CliOut_ProgramPath(argv[++i]);
            if (dataFolder.back() != '\\')
                dataFolder += '\\';
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (rest.empty())
        return PrintUsage();
    CliContext context = {dataFolder.c_str(), stdout};
    for (const CliCommand &c : kCommands) {
        if (strcmp(c.name, rest[0]) != 0)
            continue;
        int status = c.run(&context, (int)rest.size() - 1, rest.data() + 1);
        if (fflush(stdout) != 0 && status == CLI_EXIT_OK)
            return CliOut_Refuse("cannot write the output");
        return status;
    }
    return PrintUsage();
}
