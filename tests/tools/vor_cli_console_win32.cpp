// vor-cli.exe with its output redirected, as a build script runs it: the
// names arrive as UTF-8 whatever the system code page, or as the stored
// CP949 bytes under --encoding cp949; a Hangul file name typed on the
// command line reaches the program.
#include <doctest.h>

#include <windows.h>

#include <string>

#include "output/fixture_tree.h"
#include "test_support.h"

namespace {

// vor-cli.exe built beside this test (<build>/tools/vor-cli.exe).
std::wstring VorCliExe()
{
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    path = path.substr(0, path.rfind(L'\\'));
    path = path.substr(0, path.rfind(L'\\'));
    return path + L"\\tools\\vor-cli.exe";
}

struct Run {
    std::string out;
    DWORD status;
};

// Runs vor-cli.exe with `arguments` (UTF-16), its stdout a pipe read here.
Run RunRedirected(const std::wstring &arguments)
{
    Run r = {"", (DWORD)-1};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    REQUIRE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::wstring line = L"\"" + VorCliExe() + L"\" " + arguments;
    BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD n;
        while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
            r.out.append(buffer, n);
        WaitForSingleObject(pi.hProcess, 30000);
        GetExitCodeProcess(pi.hProcess, &r.status);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(readEnd);
    REQUIRE(started);
    return r;
}

std::wstring Wide(const std::string &cp949)
{
    int n = MultiByteToWideChar(949, 0, cp949.c_str(), -1, nullptr, 0);
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(949, 0, cp949.c_str(), -1, &w[0], n);
    w.resize((size_t)n - 1);
    return w;
}

bool Has(const std::string &text, const char *part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_CASE("vor-cli.exe redirected writes UTF-8, or the stored bytes under --encoding cp949")
{
    ScratchFolder dir;
    Fixture_WriteInf(dir / "data\\hair\\w\\", "머리", "wave", nullptr);
    std::wstring data = L"--data \"" + Wide(dir / "data") + L"\" ";
    Run utf8 = RunRedirected(data + L"catalog");
    CHECK(utf8.status == 0);
    CHECK(Has(utf8.out, u8"hair\t0\twave\t머리\t"));
    Run raw = RunRedirected(data + L"--encoding cp949 catalog");
    CHECK(raw.status == 0);
    CHECK(Has(raw.out, "hair\t0\twave\t머리\t"));  // this literal is CP949
    // The JSON document is UTF-8 under either encoding.
    Run json = RunRedirected(data + L"--encoding cp949 --json catalog");
    CHECK(Has(json.out, u8"\"name\": \"머리\""));
}

TEST_CASE("vor-cli.exe reads a Hangul file name from the command line as CP949")
{
    ScratchFolder dir;
    std::string inf = dir / "머리.inf";  // a CP949 path, as the program keeps them
    FILE *f = _wfopen(Wide(inf).c_str(), L"wb");  // whatever the system code page
    REQUIRE(f);
    fputs("Name = \"x\";", f);
    fclose(f);
    Run found = RunRedirected(L"inf \"" + Wide(inf) + L"\"");
    CHECK(found.status == 0);
    CHECK(Has(found.out, "name\tx\n"));
    // A name CP949 cannot hold is refused with a message, not guessed at.
    Run refused = RunRedirected(L"inf \"" + Wide(dir.path) + L"\u0E01.inf\"");
    CHECK(refused.status == 1);
    CHECK(Has(refused.out, "argument 2"));
}
