// What `vor-cli help COMMAND` and `COMMAND --help` print: one paragraph per
// command after its usage line, in the words of the README's table. A
// command's own options are listed here when they are added to it.
#include <cstring>

#include "cli_help.h"

namespace {

struct CommandHelp {
    const char *name;
    const char *text;
};

const CommandHelp HELP[] = {
    {"tokens",
     "Shows a definition file as the preprocessor hands it out: KIND<TAB>TEXT per token,\n"
     "then error<TAB>LINE<TAB>MESSAGE for every error it recorded.\n"},
    {"inf",
     "Shows what the definition reader takes from a vor.inf: name, folder and\n"
     "color (H,L,S); an absent name or folder prints as -.\n"},
    {"catalog",
     "Lists every catalogue entry of the data tree, the eight lists in order:\n"
     "LIST<TAB>INDEX<TAB>FOLDER<TAB>NAME<TAB>H,L,S<TAB>PATH.\n"
     "--json: {\"hair\": [{\"index\", \"folder\", \"name\", \"colour\", \"path\"}, ...], \"dress\": ...}.\n"},
    {"project",
     "Shows a project file's fields in file order as KEY<TAB>VALUE (styles and their\n"
     "accessories indexed: style.0.name, style.0.accessory.0.kind). A damaged file exits 1.\n"
     "--json: the same fields as one object, styles and accessories as arrays.\n"},
    {"render",
     "Writes one 32-bit picture of style I (checked or not) in expression J.\n"},
    {"export",
     "Writes what the program's export writes, with DIR as the free folder: every\n"
     "checked style x every expression as PNG, then macro.txt; one line per file\n"
     "written. -j N decodes and encodes on N threads. A file that cannot be written is\n"
     "named on stderr and the command exits 1 after the rest.\n"
     "--renpy DIR [--tag TAG] writes the character as a Ren'Py layered image instead:\n"
     "DIR/TAG.rpy and its layer images below DIR/images/TAG/ (TAG defaults to the\n"
     "character's name when that is a valid Ren'Py name).\n"
     "--json: {\"written\": [PATH, ...], \"failed\": [{\"path\", \"reason\"}, ...]}.\n"},
    {"sheet",
     "Writes a contact sheet: the checked styles (rows) x the expressions (columns),\n"
     "each cell the exported picture. -j N composes on N threads.\n"},
    {"lint",
     "Checks the data tree as the program reads it, decoding the images on every\n"
     "core: error|warning<TAB>PATH[:LINE]<TAB>MESSAGE per finding, then the totals.\n"
     "Exits 1 on errors, or on warnings too with --strict.\n"
     "--json: {\"findings\": [{\"severity\", \"path\", \"line\", \"message\"}, ...],\n"
     "\"errors\": N, \"warnings\": N}.\n"},
    {"random",
     "Writes a seeded random character over the data tree as a project: the same\n"
     "seed and tree give the same bytes.\n"},
};

}  // namespace

const char *CliHelp_Text(const char *command)
{
    for (const CommandHelp &h : HELP)
        if (strcmp(h.name, command) == 0)
            return h.text;
    return nullptr;
}

const char *CliHelp_Common()
{
    return "Options for every command, anywhere on the line:\n"
           "  --data DIR          the data tree (default: data below the current folder)\n"
           "  --encoding cp949|utf-8\n"
           "                      names and messages in that encoding instead of the\n"
           "                      terminal's (cp949: the stored bytes)\n"
           "  --json              one JSON document (UTF-8) instead of the text records\n"
           "                      (catalog, project, lint, export). A path in it opens\n"
           "                      the same file: on Linux a name that is not UTF-8\n"
           "                      (CP949, or a stray byte) keeps its ASCII and gives\n"
           "                      each byte from 0x80 up as \\xHH; \\ is never part\n"
           "                      of a name there, so replacing each \\xHH by its\n"
           "                      byte and the rest by its UTF-8 gives the bytes back\n"
           "  --help              this command's help\n"
           "Exit status: 0 done, 1 an input was refused or a file not written (stderr\n"
           "says why), 2 usage error.\n";
}
