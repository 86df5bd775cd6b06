// vor-cli's text on the host: CP949 converted with iconv to the locale's
// character set (UTF-8 in practice), or left as it is under
// `--encoding cp949`. File names on the host are the file system's own
// bytes (UTF-8 where a Korean user typed them, CP949 where the program
// wrote a project's name into them), so paths are judged per component.
#include <iconv.h>
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <mutex>
#include <string>

#include "cli_output.h"
#include "core/text_cp949.h"

namespace {

const char HEX[] = "0123456789ABCDEF";

int g_sink[2] = {CLI_SINK_CP949, CLI_SINK_CP949};  // stdout, stderr
std::mutex g_lock;                                 // the converters below
std::string g_charset = "UTF-8";                   // the target of CLI_SINK_CHARSET

// One converter per direction, opened on first use and kept: a lint of a
// large pack prints many thousands of fields. Decoding threads report
// refused images too, so every use holds g_lock.
struct Converter {
    const char *to, *from;
    iconv_t cd;
};

iconv_t Open(Converter *c, const char *to)
{
    if (c->cd == (iconv_t)-1 || !c->to || strcmp(c->to, to) != 0) {
        if (c->cd != (iconv_t)-1)
            iconv_close(c->cd);
        c->to = to;
        c->cd = iconv_open(to, c->from);
    }
    return c->cd;
}

Converter g_shown = {nullptr, "CP949", (iconv_t)-1};     // CP949 -> what a sink shows
Converter g_toCp949 = {nullptr, "UTF-8", (iconv_t)-1};

// A whole CP949 character at p (1 or 2 bytes); 0 when the bytes are none.
size_t Cp949Length(const unsigned char *p, size_t left)
{
    if (*p < 0x80)
        return 1;
    if (*p == 0x80 || *p == 0xFF || left < 2)
        return 0;
    unsigned char t = p[1];
    bool trail = (t >= 0x41 && t <= 0x5A) || (t >= 0x61 && t <= 0x7A) || (t >= 0x81 && t <= 0xFE);
    return trail ? 2 : 0;
}

// Converts `in` with `cd`; a piece that cannot be converted (not CP949, or
// not in the target) is replaced by `bad(bytes)` and the rest goes on.
template <typename Bad>
std::string Convert(iconv_t cd, const std::string &in, size_t (*unit)(const unsigned char *, size_t), Bad bad)
{
    if (cd == (iconv_t)-1)
        return in;
    std::string out;
    std::string buffer(in.size() * 4 + 16, '\0');
    char *src = const_cast<char *>(in.data());
    size_t left = in.size();
    while (left > 0) {
        char *dst = &buffer[0];
        size_t room = buffer.size();
        size_t done = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer.data(), (size_t)(dst - buffer.data()));
        if (done == (size_t)-1 && left > 0) {
            size_t n = unit((const unsigned char *)src, left);
            n = n ? n : 1;
            out += bad((const unsigned char *)src, n);
            src += n;
            left -= n;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::string Escaped(const unsigned char *p, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; i++)
        out += std::string("\\x") + HEX[p[i] >> 4] + HEX[p[i] & 15];
    return out;
}

// The length of the UTF-8 character at p, 0 when it is none.
size_t Utf8Length(const unsigned char *p, size_t left)
{
    unsigned char c = *p;
    size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || n > left)
        return 0;
    for (size_t i = 1; i < n; i++)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    // Overlong forms and surrogates are not UTF-8.
    if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] > 0x9F) || (c == 0xF0 && p[1] < 0x90) ||
        (c == 0xF4 && p[1] > 0x8F))
        return 0;
    return n;
}

bool IsUtf8(const std::string &text)
{
    const unsigned char *p = (const unsigned char *)text.data();
    size_t left = text.size();
    while (left > 0) {
        size_t n = Utf8Length(p, left);
        if (!n)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

bool IsAscii(const std::string &text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// Calls `each` for every component of a path and joins the results with
// the same separators again. Both `/` and `\` separate: neither is ever a
// byte of a CP949 or UTF-8 character.
template <typename Each>
std::string PerComponent(const std::string &path, Each each)
{
    std::string out;
    size_t start = 0;
    for (;;) {
        size_t slash = path.find_first_of("/\\", start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        out += IsAscii(part) ? part : each(part);
        if (slash == std::string::npos)
            return out;
        out += path[slash];
        start = slash + 1;
    }
}

int SlotOf(FILE *stream)
{
    return stream == stdout ? 0 : stream == stderr ? 1 : -1;
}

}  // namespace

void CliText_Init(int encoding)
{
    setlocale(LC_CTYPE, "");
    const char *codeset = nl_langinfo(CODESET);
    g_charset = codeset && *codeset ? codeset : "UTF-8";
    g_sink[0] = g_sink[1] = CliOut_ChooseHostSink(encoding, codeset);
}

int CliText_SinkOf(FILE *stream)
{
    int slot = SlotOf(stream);
    return slot < 0 ? CLI_SINK_CP949 : g_sink[slot];
}

int CliText_IsTerminal(FILE *stream)
{
    return isatty(fileno(stream));
}

void CliText_Write(FILE *stream, const std::string &text)
{
    int sink = CliText_SinkOf(stream);
    if (sink == CLI_SINK_CP949 || IsAscii(text)) {
        fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    const char *to = sink == CLI_SINK_UTF8 ? "UTF-8" : g_charset.c_str();
    std::lock_guard<std::mutex> hold(g_lock);
    std::string shown = Convert(Open(&g_shown, to), text, Cp949Length, Escaped);
    fwrite(shown.data(), 1, shown.size(), stream);
}

void CliText_WriteUtf8(FILE *stream, const std::string &text)
{
    fwrite(text.data(), 1, text.size(), stream);
}

std::string CliText_ToUtf8(const std::string &text)
{
    return IsAscii(text) ? text : Cp949_ToUtf8(text.c_str());
}

std::string CliText_PathText(FILE *stream, const std::string &systemPath)
{
    if (CliText_SinkOf(stream) == CLI_SINK_CP949)
        return systemPath;
    return PerComponent(systemPath, [](const std::string &part) {
        if (!IsUtf8(part))
            return part;  // CP949 already: a name the program wrote
        std::lock_guard<std::mutex> hold(g_lock);
        return Convert(Open(&g_toCp949, "CP949"), part, Utf8Length, Escaped);
    });
}

std::string CliText_PathUtf8(const std::string &systemPath)
{
    return PerComponent(systemPath, [](const std::string &part) { return IsUtf8(part) ? part : CliText_ToUtf8(part); });
}

std::string CliText_PathJson(const std::string &systemPath)
{
    return PerComponent(systemPath, [](const std::string &part) {
        if (IsUtf8(part))
            return part;
        std::string out;
        for (unsigned char c : part)
            out += c < 0x80 ? std::string(1, (char)c) : Escaped(&c, 1);
        return out;
    });
}

int CliText_Arguments(int argc, char **argv, std::vector<std::string> *out, std::string *problem)
{
    out->assign(argv, argv + argc);
    return 1;
}
