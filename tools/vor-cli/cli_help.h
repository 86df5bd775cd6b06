// The help texts of vor-cli.
#pragma once

// The paragraph that follows COMMAND's usage line in its help; nullptr for
// an unknown command.
const char *CliHelp_Text(const char *command);
// The options every command takes and the exit codes.
const char *CliHelp_Common();
