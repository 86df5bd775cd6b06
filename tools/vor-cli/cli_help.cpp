// The part of vor-cli's help that every command shares; each command's own
// paragraph is in the command table (cli_commands.cpp).
#include "cli_help.h"

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
