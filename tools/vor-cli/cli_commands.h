// vor-cli's command table: each command's name, usage, help paragraph,
// whether it takes --json, and the function that runs it. Dispatch, the
// usage lines, `help` and the errors of a command's own arguments all read
// it, so they cannot disagree.
#pragma once

#include <cstdio>
#include <string>

#include "cli_output.h"

struct CliCommand {
    const char *name;
    std::string (*usage)();          // the usage line after "vor-cli [--data DIR] "
    std::string (*help)();           // the paragraph after it in `help COMMAND`
    CliCommandFn run;
    bool json;                       // takes --json
};

int CliCommand_Count();
const CliCommand *CliCommand_At(int index);
const CliCommand *CliCommand_Find(const char *name);
// The usage line of a command of the table.
std::string CliCommand_Usage(const char *name);
// Prints "vor-cli: <command>: <problem>" (when `problem` is given) and the
// command's usage on stderr; returns CLI_EXIT_USAGE.
int CliCommand_UsageError(const char *name, const char *problem = nullptr);

// The export command's usage and help, from the format table (cmd_export.cpp).
std::string CmdExport_Usage();
std::string CmdExport_Help();
