// Shared by the vor-cli subcommands: exit codes, the options every command
// sees, and how text reaches the terminal or the pipe.
//
// Output is one record per line. A text field prints its bytes escaped:
// bytes below 0x20, `\` and 0x7F print as `\n`, `\t`, `\\` or `\xHH`, so
// every record stays on one line whatever the data holds.
//
// The program's texts are CP949. On their way out they are converted once,
// here, for the stream they go to (see CliSink): to the locale's character
// set on the host, through WriteConsoleW to a Windows console, to UTF-8 when
// a Windows stream is redirected, or left as the stored bytes under
// `--encoding cp949`. The commands print with the helpers below (and plain
// fprintf for ASCII) and never convert themselves.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum {
    CLI_EXIT_OK = 0,
    CLI_EXIT_REFUSED = 1,  // an input was refused; one line on stderr says why
    CLI_EXIT_USAGE = 2,
};

struct CliContext {
    const char *dataFolder;  // the data tree, ending with a separator
    FILE *out;
    int json;                // --json: one JSON document on `out` instead of records
};

// A subcommand: `argc`/`argv` are the arguments after its name, with the
// common options already taken out.
typedef int (*CliCommandFn)(const CliContext *context, int argc, char **argv);

// ---- encodings ----------------------------------------------------------

// What `--encoding` asked for.
enum CliEncoding {
    CLI_ENCODING_TERMINAL = 0,  // no option: whatever the stream is
    CLI_ENCODING_CP949,         // the stored bytes, as every version before wrote them
    CLI_ENCODING_UTF8,
};

// How text reaches one stream.
enum CliSink {
    CLI_SINK_CP949 = 0,  // the CP949 bytes unchanged
    CLI_SINK_UTF8,       // converted to UTF-8
    CLI_SINK_CHARSET,    // host: converted to the locale's character set (iconv)
    CLI_SINK_CONSOLE,    // Windows console: UTF-16 through WriteConsoleW
};

// The kinds of handle GetFileType tells apart (the values are Windows' own).
enum CliHandleType {
    CLI_HANDLE_UNKNOWN = 0,
    CLI_HANDLE_DISK = 1,
    CLI_HANDLE_CHAR = 2,  // a console, or a device such as NUL
    CLI_HANDLE_PIPE = 3,
};

// Reads an `--encoding` value ("cp949" or "utf-8", any case, "utf8" too).
int CliOut_ParseEncoding(const char *name, int *encoding);
// The sink of a Windows stream: a character device that answers
// GetConsoleMode is a console; anything else (a file, a pipe, NUL) is
// redirected and gets UTF-8. `--encoding` wins over both.
int CliOut_ChooseWindowsSink(int encoding, int handleType, int hasConsoleMode);
// The sink of a host stream for the locale's `codeset`
// (nl_langinfo(CODESET)). The plain C locale names ASCII, which cannot hold
// a Hangul name: it gets UTF-8, as almost every terminal reads today.
int CliOut_ChooseHostSink(int encoding, const char *codeset);

// Platform half (cli_text_posix.cpp, cli_text_win32.cpp).
// Chooses the sinks of stdout and stderr; called once, before any output.
void CliText_Init(int encoding);
// The sink chosen for `stream` (stdout or stderr; any other stream keeps
// the bytes).
int CliText_SinkOf(FILE *stream);
// 1 when `stream` is a terminal a person watches (for the progress line).
int CliText_IsTerminal(FILE *stream);
// Writes CP949 `text` to `stream` in its sink's form. A byte that is not
// CP949 prints as `\xHH`, so nothing is lost.
void CliText_Write(FILE *stream, const std::string &text);
// Writes UTF-8 `text` (a JSON document) to `stream`: to a console as text,
// elsewhere as the bytes themselves whatever `--encoding` says.
void CliText_WriteUtf8(FILE *stream, const std::string &text);
// CP949 `text` as UTF-8; a byte that is not CP949 becomes U+FFFD.
std::string CliText_ToUtf8(const std::string &text);
// A path in the system's form (CliOut_SystemPath) as the CP949 text that
// CliText_Write shows: on the host a file name is the file system's own
// bytes, so a component that reads as UTF-8 is brought to CP949 first (a
// component CP949 cannot spell shows its bytes as `\xHH`); on Windows paths
// are CP949 already. Unchanged under the CP949 sink.
std::string CliText_PathText(FILE *stream, const std::string &systemPath);
// A path in the system's form as UTF-8, for JSON.
std::string CliText_PathUtf8(const std::string &systemPath);
// A path in the system's form as a JSON string that gives the same file
// back. On Windows that is its UTF-8 (names are Unicode). On other systems
// a name (between two `/`) that is UTF-8 stays as it is; any other name
// (CP949 bytes the program wrote, a stray byte such as 0xFF) keeps its ASCII
// bytes and writes each byte from 0x80 up as the four characters \xHH.
// A `\` never stands in a file name there (the program takes it for a
// separator), so replacing every \xHH by its byte and the rest by its UTF-8
// gives the path's bytes exactly.
std::string CliText_PathJson(const std::string &systemPath);
// The command line as the program's strings: on Windows read again as
// UTF-16 and converted to CP949 (an argument CP949 cannot hold gives 0 and
// `problem` names it); on the host, where arguments are paths in the file
// system's own bytes, as they came.
int CliText_Arguments(int argc, char **argv, std::vector<std::string> *out, std::string *problem);

// ---- printing -----------------------------------------------------------

// Writes `text` escaped as above.
void CliOut_Text(FILE *out, const char *text);
// Writes CP949 `text` for a person reading a terminal: control bytes escaped
// as above but `\` kept.
void CliOut_Readable(FILE *out, const char *text);
// Prints "vor-cli: <message>" on stderr and returns CLI_EXIT_REFUSED. The
// message is CP949 (paths in it from CliOut_SystemPath).
int CliOut_Refuse(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// The message of the last CliOut_Refuse (CP949), empty before one.
const std::string &CliOut_LastRefusal();
// Prints "vor-cli: <message>" on stderr, nothing returned: a warning.
void CliOut_Note(const char *format, ...)
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
// a text field. In messages it shows as the stderr sink reads it.
std::string CliOut_SystemPath(const char *programPath);
// `text` with control bytes escaped as in text fields and every `\` replaced
// by `backslash` (kept as it is when that is `\`).
std::string CliOut_EscapeControls(const char *text, char backslash);
// A program path in the system's form with nothing escaped (for JSON).
std::string CliOut_PlainSystemPath(const char *programPath);
// Writes `programPath` in the system's form as above.
void CliOut_Path(FILE *out, const char *programPath);
// Makes stdout write bytes unchanged (no CR added before LF on Windows).
void CliOut_UseBinaryStdout();

// Why a file could not be read (a FileReadProblem, core/imaging/file.h):
// "no such file", "permission denied", ...
const char *CliOut_ReadReason(int problem);
