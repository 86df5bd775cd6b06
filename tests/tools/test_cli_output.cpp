// vor-cli's choice of how text reaches a stream, decided from what the
// stream is and what --encoding asked for; the same table holds on the host
// and on Windows, where vor-cli.exe asks GetFileType and GetConsoleMode.
#include <doctest.h>

#include "tools/vor-cli/cli_output.h"

TEST_CASE("a Windows stream: console text for a console, UTF-8 when redirected, --encoding first")
{
    struct Case {
        int encoding, handleType, hasConsoleMode, sink;
    } cases[] = {
        {CLI_ENCODING_TERMINAL, CLI_HANDLE_CHAR, 1, CLI_SINK_CONSOLE},
        // NUL and serial ports are character devices too, but no console.
        {CLI_ENCODING_TERMINAL, CLI_HANDLE_CHAR, 0, CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, CLI_HANDLE_DISK, 0, CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, CLI_HANDLE_PIPE, 0, CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, CLI_HANDLE_UNKNOWN, 0, CLI_SINK_UTF8},
        {CLI_ENCODING_CP949, CLI_HANDLE_CHAR, 1, CLI_SINK_CP949},
        {CLI_ENCODING_CP949, CLI_HANDLE_PIPE, 0, CLI_SINK_CP949},
        {CLI_ENCODING_UTF8, CLI_HANDLE_CHAR, 1, CLI_SINK_UTF8},
        {CLI_ENCODING_UTF8, CLI_HANDLE_DISK, 0, CLI_SINK_UTF8},
    };
    for (const Case &c : cases) {
        CAPTURE(c.encoding);
        CAPTURE(c.handleType);
        CAPTURE(c.hasConsoleMode);
        CHECK(CliOut_ChooseWindowsSink(c.encoding, c.handleType, c.hasConsoleMode) == c.sink);
    }
}

TEST_CASE("a host stream follows the locale's character set; plain C gets UTF-8")
{
    struct Case {
        int encoding;
        const char *codeset;
        int sink;
    } cases[] = {
        {CLI_ENCODING_TERMINAL, "UTF-8", CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, "utf8", CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, "ANSI_X3.4-1968", CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, "", CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, nullptr, CLI_SINK_UTF8},
        {CLI_ENCODING_TERMINAL, "CP949", CLI_SINK_CP949},
        {CLI_ENCODING_TERMINAL, "EUC-KR", CLI_SINK_CHARSET},
        {CLI_ENCODING_TERMINAL, "ISO-8859-1", CLI_SINK_CHARSET},
        {CLI_ENCODING_CP949, "UTF-8", CLI_SINK_CP949},
        {CLI_ENCODING_UTF8, "EUC-KR", CLI_SINK_UTF8},
    };
    for (const Case &c : cases) {
        CAPTURE(c.codeset ? c.codeset : "(none)");
        CHECK(CliOut_ChooseHostSink(c.encoding, c.codeset) == c.sink);
    }
}

TEST_CASE("--encoding names")
{
    struct Case {
        const char *name;
        int ok, encoding;
    } cases[] = {
        {"cp949", 1, CLI_ENCODING_CP949}, {"CP949", 1, CLI_ENCODING_CP949}, {"utf-8", 1, CLI_ENCODING_UTF8},
        {"UTF8", 1, CLI_ENCODING_UTF8},   {"euc-kr", 0, 0},                 {"", 0, 0},
        {"utf-16", 0, 0},
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        int encoding = -1;
        CHECK(CliOut_ParseEncoding(c.name, &encoding) == c.ok);
        if (c.ok)
            CHECK(encoding == c.encoding);
    }
}
