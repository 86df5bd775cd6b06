// Helpers shared by the tests: a scratch folder per test, named relative to
// the current folder so that the same program path works natively and under
// Wine, and removed with everything in it at the end.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define SCRATCH_PROCESS_ID() ((long)_getpid())
#else
#include <unistd.h>
#define SCRATCH_PROCESS_ID() ((long)getpid())
#endif

struct ScratchFolder {
    std::string path;  // program form, ending with `\`

    ScratchFolder()
    {
        static int serial = 0;
        char name[64];
        // The process id keeps test programs run side by side (ctest -j) apart.
        snprintf(name, sizeof name, "scratch_%ld_%ld_%d_%d", SCRATCH_PROCESS_ID(), (long)time(nullptr),
                 rand() % 100000, ++serial);
        std::filesystem::create_directories(name);
        root = name;
        path = std::string(name) + "\\";
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    // A program path inside the folder (`\`-separated).
    std::string operator/(const std::string &rel) const { return path + rel; }
    // The same path as the host file system wants it (for checks through std).
    static std::string Native(const std::string &programPath)
    {
#ifdef _WIN32
        return programPath;
#else
        std::string s = programPath;
        for (char &c : s)
            if (c == '\\')
                c = '/';
        return s;
#endif
    }
    static void WriteBytes(const std::string &programPath, const std::vector<unsigned char> &bytes)
    {
        FILE *f = fopen(Native(programPath).c_str(), "wb");
        if (f) {
            if (!bytes.empty())
                fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
    }
    static std::vector<unsigned char> ReadBytes(const std::string &programPath)
    {
        std::vector<unsigned char> out;
        FILE *f = fopen(Native(programPath).c_str(), "rb");
        if (!f)
            return out;
        int c;
        while ((c = fgetc(f)) != EOF)
            out.push_back((unsigned char)c);
        fclose(f);
        return out;
    }

private:
    std::string root;
};
