// The command table of vor-cli (cli_commands.h).
#include "cli_commands.h"

#include <cstring>

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
std::string Cmd_RandomUsage();
std::string Cmd_RandomHelp();

namespace {

#define TEXT(name, text) \
    std::string name() { return text; }

TEXT(TokensUsage, "tokens FILE")
TEXT(TokensHelp,
     "Shows a definition file as the preprocessor hands it out: KIND<TAB>TEXT per token,\n"
     "then error<TAB>LINE<TAB>MESSAGE for every error it recorded.\n")
TEXT(InfUsage, "inf FILE")
TEXT(InfHelp,
     "Shows what the definition reader takes from a vor.inf: name, folder and\n"
     "color (H,L,S); an absent name or folder prints as -.\n")
TEXT(CatalogUsage, "catalog")
TEXT(CatalogHelp,
     "Lists every catalogue entry of the data tree, the eight lists in order:\n"
     "LIST<TAB>INDEX<TAB>FOLDER<TAB>NAME<TAB>H,L,S<TAB>PATH.\n"
     "--json: {\"hair\": [{\"index\", \"folder\", \"name\", \"colour\", \"path\"}, ...], \"dress\": ...}.\n")
TEXT(ProjectUsage, "project FILE")
TEXT(ProjectHelp,
     "Shows a project file's fields in file order as KEY<TAB>VALUE (styles and their\n"
     "accessories indexed: style.0.name, style.0.accessory.0.kind). A damaged file exits 1.\n"
     "--json: the same fields as one object, styles and accessories as arrays.\n")
TEXT(RenderUsage, "render FILE --style I --expression J --out PNG")
TEXT(RenderHelp, "Writes one 32-bit picture of style I (checked or not) in expression J.\n")
TEXT(SheetUsage, "sheet FILE --out PNG [-j N]")
TEXT(SheetHelp,
     "Writes a contact sheet: the checked styles (rows) x the expressions (columns),\n"
     "each cell the exported picture. -j N composes on N threads.\n")
TEXT(LintUsage, "lint [--strict]")
TEXT(LintHelp,
     "Checks the data tree as the program reads it, decoding the images on every\n"
     "core: error|warning<TAB>PATH[:LINE]<TAB>MESSAGE per finding, then the totals.\n"
     "Exits 1 on errors, or on warnings too with --strict.\n"
     "--json: {\"findings\": [{\"severity\", \"path\", \"line\", \"message\"}, ...],\n"
     "\"errors\": N, \"warnings\": N}.\n")

#undef TEXT

const CliCommand COMMANDS[] = {
    {"tokens", TokensUsage, TokensHelp, Cmd_Tokens, false},
    {"inf", InfUsage, InfHelp, Cmd_Inf, false},
    {"catalog", CatalogUsage, CatalogHelp, Cmd_Catalog, true},
    {"project", ProjectUsage, ProjectHelp, Cmd_Project, true},
    {"render", RenderUsage, RenderHelp, Cmd_Render, false},
    {"export", CmdExport_Usage, CmdExport_Help, Cmd_Export, true},
    {"sheet", SheetUsage, SheetHelp, Cmd_Sheet, false},
    {"lint", LintUsage, LintHelp, Cmd_Lint, true},
    {"random", Cmd_RandomUsage, Cmd_RandomHelp, Cmd_Random, false},
};

}  // namespace

int CliCommand_Count()
{
    return (int)(sizeof COMMANDS / sizeof COMMANDS[0]);
}

const CliCommand *CliCommand_At(int index)
{
    return index >= 0 && index < CliCommand_Count() ? &COMMANDS[index] : nullptr;
}

const CliCommand *CliCommand_Find(const char *name)
{
    for (const CliCommand &c : COMMANDS)
        if (strcmp(c.name, name) == 0)
            return &c;
    return nullptr;
}

std::string CliCommand_Usage(const char *name)
{
    const CliCommand *c = CliCommand_Find(name);
    return c ? c->usage() : std::string(name);
}

int CliCommand_UsageError(const char *name, const char *problem)
{
    if (problem)
        fprintf(stderr, "vor-cli: %s: %s\n", name, problem);
    return CliOut_Usage(CliCommand_Usage(name).c_str());
}
