// Output helpers of vor-cli: escaped text fields, paths in the system's
// form, the one-line messages for refused input and usage errors, and the
// choice of how text reaches each stream (the platform files do the rest).
#include "cli_output.h"

#include <cstdarg>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

static const char HEX[] = "0123456789ABCDEF";

static bool SameName(const char *a, const char *b)
{
    for (; *a && *b; a++, b++) {
        char x = *a >= 'A' && *a <= 'Z' ? (char)(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? (char)(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

int CliOut_ParseEncoding(const char *name, int *encoding)
{
    if (SameName(name, "cp949"))
        *encoding = CLI_ENCODING_CP949;
    else if (SameName(name, "utf-8") || SameName(name, "utf8"))
        *encoding = CLI_ENCODING_UTF8;
    else
        return 0;
    return 1;
}

int CliOut_ChooseWindowsSink(int encoding, int handleType, int hasConsoleMode)
{
    if (encoding == CLI_ENCODING_CP949)
        return CLI_SINK_CP949;
    if (encoding == CLI_ENCODING_UTF8)
        return CLI_SINK_UTF8;
    return handleType == CLI_HANDLE_CHAR && hasConsoleMode ? CLI_SINK_CONSOLE : CLI_SINK_UTF8;
}

int CliOut_ChooseHostSink(int encoding, const char *codeset)
{
    if (encoding == CLI_ENCODING_CP949)
        return CLI_SINK_CP949;
    if (encoding == CLI_ENCODING_UTF8 || !codeset || !*codeset)
        return CLI_SINK_UTF8;
    static const char *const ascii[] = {"ANSI_X3.4-1968", "ASCII", "US-ASCII", "646"};
    for (const char *name : ascii)
        if (SameName(codeset, name))
            return CLI_SINK_UTF8;
    if (SameName(codeset, "utf-8") || SameName(codeset, "utf8"))
        return CLI_SINK_UTF8;
    // CP949 is its own Korean locale's character set; EUC-KR is a subset.
    if (SameName(codeset, "cp949") || SameName(codeset, "uhc"))
        return CLI_SINK_CP949;
    return CLI_SINK_CHARSET;
}

void CliOut_Text(FILE *out, const char *text)
{
    std::string escaped;
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        unsigned char c = *p;
        if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (c == '\\') {
            escaped += "\\\\";
        } else if (c < 0x20 || c == 0x7F) {
            char e[5] = {'\\', 'x', HEX[c >> 4], HEX[c & 15], 0};
            escaped += e;
        } else {
            escaped += (char)c;
        }
    }
    CliText_Write(out, escaped);
}

void CliOut_Readable(FILE *out, const char *text)
{
    CliText_Write(out, CliOut_EscapeControls(text, '\\'));
}

static void WriteMessage(const char *format, va_list args)
{
    char buffer[2048];
    vsnprintf(buffer, sizeof buffer, format, args);
    CliText_Write(stderr, std::string("vor-cli: ") + buffer + "\n");
}

// The last refusal's message, for a JSON document that must say why.
static std::string lastRefusal;

const std::string &CliOut_LastRefusal()
{
    return lastRefusal;
}

int CliOut_Refuse(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    char buffer[2048];
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    lastRefusal = buffer;
    CliText_Write(stderr, std::string("vor-cli: ") + buffer + "\n");
    return CLI_EXIT_REFUSED;
}

void CliOut_Note(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteMessage(format, args);
    va_end(args);
}

int CliOut_Usage(const char *usage)
{
    fprintf(stderr, "usage: vor-cli [--data DIR] %s\n(vor-cli help for every command)\n", usage);
    return CLI_EXIT_USAGE;
}

void CliOut_UseBinaryStdout()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

std::string CliOut_ProgramPath(const char *typed)
{
    std::string path = typed;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string CliOut_EscapeControls(const char *text, char backslash)
{
    std::string out;
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        unsigned char c = *p;
        if (c == '\\')
            out += backslash;
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7F)
            out += std::string("\\x") + HEX[c >> 4] + HEX[c & 15];
        else
            out += (char)c;
    }
    return out;
}

// The system's form of a program path, escaped, before any conversion.
static std::string SystemForm(const char *programPath)
{
#ifdef _WIN32
    return CliOut_EscapeControls(programPath, '\\');
#else
    return CliOut_EscapeControls(programPath, '/');
#endif
}

std::string CliOut_PlainSystemPath(const char *programPath)
{
    std::string path = programPath;
#ifndef _WIN32
    for (char &c : path)
        if (c == '\\')
            c = '/';
#endif
    return path;
}

std::string CliOut_SystemPath(const char *programPath)
{
    return CliText_PathText(stderr, SystemForm(programPath));
}

void CliOut_Path(FILE *out, const char *programPath)
{
    CliText_Write(out, CliText_PathText(out, SystemForm(programPath)));
}
