// Output helpers of vor-cli: escaped text fields and the one-line messages
// for refused input and usage errors.
#include "cli_output.h"

#include <cstdarg>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

void CliOut_Text(FILE *out, const char *text)
{
    static const char hex[] = "0123456789ABCDEF";
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        unsigned char c = *p;
        if (c == '\n') {
            fputs("\\n", out);
        } else if (c == '\t') {
            fputs("\\t", out);
        } else if (c == '\\') {
            fputs("\\\\", out);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[5] = {'\\', 'x', hex[c >> 4], hex[c & 15], 0};
            fputs(escaped, out);
        } else {
            fputc(c, out);
        }
    }
}

int CliOut_Refuse(const char *format, ...)
{
    fputs("vor-cli: ", stderr);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    return CLI_EXIT_REFUSED;
}

int CliOut_Usage(const char *usage)
{
    fprintf(stderr, "usage: vor-cli [--data DIR] %s\n", usage);
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
    static const char hex[] = "0123456789ABCDEF";
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
            out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        else
            out += (char)c;
    }
    return out;
}

std::string CliOut_SystemPath(const char *programPath)
{
#ifdef _WIN32
    return CliOut_EscapeControls(programPath, '\\');
#else
    return CliOut_EscapeControls(programPath, '/');
#endif
}

void CliOut_Path(FILE *out, const char *programPath)
{
    fputs(CliOut_SystemPath(programPath).c_str(), out);
}
