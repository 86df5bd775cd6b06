// vor-cli's text on Windows. A console is handed UTF-16 through
// WriteConsoleW, converted with code page 949 named explicitly, so Hangul
// shows under any system code page; a redirected stream (file, pipe, NUL)
// gets UTF-8, which scripts and editors read everywhere. The command line is
// read again as UTF-16 and converted to CP949 the same way, so a Hangul file
// name reaches the program whatever the system code page.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "cli_output.h"
#include "core/text_cp949.h"
#include "core/services/ui_text_win32.h"

static_assert(CLI_HANDLE_DISK == FILE_TYPE_DISK && CLI_HANDLE_CHAR == FILE_TYPE_CHAR &&
                  CLI_HANDLE_PIPE == FILE_TYPE_PIPE && CLI_HANDLE_UNKNOWN == FILE_TYPE_UNKNOWN,
              "handle types are Windows' own");

namespace {

const char HEX[] = "0123456789ABCDEF";

int g_sink[2] = {CLI_SINK_CP949, CLI_SINK_CP949};  // stdout, stderr

int SlotOf(FILE *stream)
{
    return stream == stdout ? 0 : stream == stderr ? 1 : -1;
}

HANDLE HandleOf(FILE *stream)
{
    return GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

int SinkFor(int encoding, HANDLE handle)
{
    DWORD mode = 0;
    int type = handle && handle != INVALID_HANDLE_VALUE ? (int)GetFileType(handle) : CLI_HANDLE_UNKNOWN;
    return CliOut_ChooseWindowsSink(encoding, type, type == CLI_HANDLE_CHAR && GetConsoleMode(handle, &mode));
}

// The length of a whole CP949 character at p that code page 949 maps;
// 0 when the bytes are none.
size_t Cp949Length(const char *p, size_t left)
{
    if ((unsigned char)*p < 0x80)
        return 1;
    if (left < 2)
        return 0;
    wchar_t w;
    return MultiByteToWideChar(UI_CODE_PAGE, MB_ERR_INVALID_CHARS, p, 2, &w, 1) == 1 ? 2 : 0;
}

// CP949 `text` as UTF-16 for the console or the terminal's code page; a
// byte that is not CP949 is shown as the text `\xHH`.
std::wstring Wide(const std::string &text)
{
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        // The longest run of whole characters goes in one call.
        size_t run = i, n;
        while (run < text.size() && (n = Cp949Length(text.data() + run, text.size() - run)) > 0)
            run += n;
        if (run > i) {
            int count = MultiByteToWideChar(UI_CODE_PAGE, 0, text.data() + i, (int)(run - i), nullptr, 0);
            std::wstring part((size_t)count, L'\0');
            MultiByteToWideChar(UI_CODE_PAGE, 0, text.data() + i, (int)(run - i), &part[0], count);
            out += part;
            i = run;
        }
        if (i < text.size()) {
            unsigned char c = (unsigned char)text[i++];
            out += std::wstring(L"\\x") + (wchar_t)HEX[c >> 4] + (wchar_t)HEX[c & 15];
        }
    }
    return out;
}

std::string Utf8(const std::wstring &wide)
{
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &out[0], n, nullptr, nullptr);
    return out;
}

void ToConsole(FILE *stream, const std::wstring &wide)
{
    // What the C library holds for this stream goes first, in order.
    fflush(stream);
    HANDLE h = HandleOf(stream);
    for (size_t at = 0; at < wide.size();) {
        DWORD chunk = (DWORD)(wide.size() - at < 8192 ? wide.size() - at : 8192), written = 0;
        if (!WriteConsoleW(h, wide.data() + at, chunk, &written, nullptr) || written == 0)
            return;
        at += written;
    }
}

}  // namespace

void CliText_Init(int encoding)
{
    g_sink[0] = SinkFor(encoding, GetStdHandle(STD_OUTPUT_HANDLE));
    g_sink[1] = SinkFor(encoding, GetStdHandle(STD_ERROR_HANDLE));
}

int CliText_SinkOf(FILE *stream)
{
    int slot = SlotOf(stream);
    return slot < 0 ? CLI_SINK_CP949 : g_sink[slot];
}

int CliText_IsTerminal(FILE *stream)
{
    DWORD mode;
    HANDLE h = SlotOf(stream) < 0 ? nullptr : HandleOf(stream);
    return h && GetFileType(h) == FILE_TYPE_CHAR && GetConsoleMode(h, &mode);
}

void CliText_Write(FILE *stream, const std::string &text)
{
    switch (CliText_SinkOf(stream)) {
    case CLI_SINK_CONSOLE: ToConsole(stream, Wide(text)); return;
    case CLI_SINK_UTF8: {
        std::string utf8 = Utf8(Wide(text));
        fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    default: fwrite(text.data(), 1, text.size(), stream); return;
    }
}

void CliText_WriteUtf8(FILE *stream, const std::string &text)
{
    if (CliText_SinkOf(stream) != CLI_SINK_CONSOLE) {
        fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring wide((size_t)(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], n);
    ToConsole(stream, wide);
}

std::string CliText_ToUtf8(const std::string &text)
{
    return Cp949_ToUtf8(text.c_str());
}

std::string CliText_PathText(FILE *stream, const std::string &systemPath)
{
    return systemPath;
}

std::string CliText_PathUtf8(const std::string &systemPath)
{
    return CliText_ToUtf8(systemPath);
}

std::string CliText_PathJson(const std::string &systemPath)
{
    return CliText_ToUtf8(systemPath);
}

int CliText_Arguments(int argc, char **argv, std::vector<std::string> *out, std::string *problem)
{
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        out->assign(argv, argv + argc);
        return 1;
    }
    out->clear();
    int ok = 1;
    for (int i = 0; i < count && ok; i++) {
        std::vector<char> narrow(wcslen(wide[i]) * 2 + 1);
        UiTextStatus status = UiText_FromWide(wide[i], narrow.data(), narrow.size());
        if (status != UITEXT_OK) {
            *problem = "argument " + std::to_string(i) + ": " + UiText_Problem(status);
            ok = 0;
        }
        out->push_back(narrow.data());
    }
    LocalFree(wide);
    return ok;
}
