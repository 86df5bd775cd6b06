// Running a program built beside the test (vor-cli) as a shell would: its
// standard output, its standard error and its exit status.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <doctest.h>

#include "core/services/filesys.h"
#include "test_support.h"

namespace clirun {

// build/tools/NAME, found from this test program's own path (build/tests/).
inline std::string ToolPath(const char *name = "vor-cli")
{
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "";
    self[n] = 0;
    std::string path = self;
    path = path.substr(0, path.rfind('/'));  // .../tests
    path = path.substr(0, path.rfind('/'));  // the build root
    return path + "/tools/" + name;
}

struct CliRun {
    std::string out, err;
    int status;  // -1 when it did not exit normally
};

// vor-cli with `arguments`; `prefix` stands before it on the command line
// ("env LC_ALL=C.UTF-8 "). Its standard error goes through a file in `dir`.
inline CliRun Run(const ScratchFolder &dir, const std::string &arguments, const std::string &prefix = "")
{
    CliRun r = {"", "", -1};
    std::string errPath = ScratchFolder::Native(dir / "stderr.txt");
    std::string command = prefix + "'" + ToolPath() + "' " + arguments + " 2>'" + errPath + "'";
    FILE *p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
        r.out.append(buffer, n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::vector<unsigned char> err = ScratchFolder::ReadBytes(dir / "stderr.txt");
    r.err.assign(err.begin(), err.end());
    return r;
}

// vor-cli over the fixture tree in `dir` (its data/ folder).
inline CliRun RunOverTree(const ScratchFolder &dir, const std::string &arguments)
{
    return Run(dir, "--data '" + dir / "data" + "' " + arguments);
}

// A command vor-cli must refuse: its exit status and a piece of its message.
struct Refusal {
    std::string arguments, said;
    int status;
};

// Each refused as it says, printing nothing on standard output and making
// no `folder` below `dir`.
inline void CheckRefusals(const ScratchFolder &dir, const std::vector<Refusal> &refused, const char *folder)
{
    for (const Refusal &c : refused) {
        CAPTURE(c.arguments);
        CliRun r = RunOverTree(dir, c.arguments);
        CHECK(r.status == c.status);
        CHECK(r.out.empty());
        CHECK_MESSAGE(r.err.find(c.said) != std::string::npos, r.err);
        CHECK_FALSE(FileSys_FolderExists((dir / folder).c_str()));
    }
}

}  // namespace clirun
