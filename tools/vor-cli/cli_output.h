// Shared by the vor-cli subcommands: exit codes, the options every command
// sees, and the byte-exact output of text fields.
//
// Output is bytes, one record per line. A text field prints its bytes as
// they are, except that bytes below 0x20, `\` and 0x7F print as `\n`, `\t`,
// `\\` or `\xHH`, so every record stays on one line whatever the data holds.
#pragma once

#include <cstdio>
#include <string>

enum {
    CLI_EXIT_OK = 0,
    CLI_EXIT_REFUSED = 1,  // an input was refused; one line on stderr says why
    CLI_EXIT_USAGE = 2,
};

struct CliContext {
    const char *dataFolder;  // the data tree, ending with a separator
    FILE *out;
};

// A subcommand: `argc`/`argv` are the arguments after its name, with the
// common options already taken out.
typedef int (*CliCommandFn)(const CliContext *context, int argc, char **argv);

// Writes `text` escaped as above.
void CliOut_Text(FILE *out, const char *text);
// Writes CP949 `text` for a person reading a terminal: control bytes escaped
// as above but `\` kept, and the text converted to the terminal's encoding
// (UTF-8 on the host; a Korean Windows console reads CP949 as it is).
void CliOut_Readable(FILE *out, const char *text);
// Prints "vor-cli: <message>" on stderr and returns CLI_EXIT_REFUSED.
int CliOut_Refuse(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Prints "usage: vor-cli <usage>" on stderr and returns CLI_EXIT_USAGE.
int CliOut_Usage(const char *usage);
// A path typed on the command line as a program path: `/` becomes `\`, so
// the folder of a definition file (and its includes' folder) is found, and
// the paths printed back come out in one form, whichever separator was
// typed.
std::string CliOut_ProgramPath(const char *typed);
// A program path (separator `\`) in the system's own form: `/` on the
// host, `\` on Windows, each printed once; control bytes are escaped as in
// a text field.
std::string CliOut_SystemPath(const char *programPath);
// `text` with control bytes escaped as in text fields and every `\` replaced
// by `backslash` (kept as it is when that is `\`).
std::string CliOut_EscapeControls(const char *text, char backslash);
// Writes `programPath` in the system's form as above.
void CliOut_Path(FILE *out, const char *programPath);
// Makes stdout write bytes unchanged (no CR added before LF on Windows).
void CliOut_UseBinaryStdout();
