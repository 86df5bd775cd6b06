// The help texts of vor-cli.
#pragma once

// The options every command takes and the exit codes.
const char *CliHelp_Common();
