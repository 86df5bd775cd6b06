// What vor-cli's drawing commands share (cmd_project.cpp): the project
// opened without a window, and why a file was not written.
#pragma once

#include "cli_output.h"
#include "output/headless.h"

// Opens the data tree and the project; on a refusal the reason is on stderr
// and the session is closed. Returns CLI_EXIT_OK or the refusal.
int OpenSession(Headless *h, const CliContext *context, const char *path);
// Why a file was not written (an EXPORT_* or FILEWRITE_* reason), for stderr
// and JSON.
const char *FailureReason(int failure);
// A number of ASCII digits in 0 .. 1000000. Returns 0 when `text` is none.
int ParseIndex(const char *text, int *value);
