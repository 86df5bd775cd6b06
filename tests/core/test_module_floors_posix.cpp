// The modules are floors: core at the bottom, then layers, catalog, canvas,
// editor, project, output, app and tools, and the web page's module (web/) on top. A source file includes headers of its own
// floor or of the floors below it, never above: this is what lets each
// module's library be linked after the ones it uses, with no cycle.
#include <doctest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Lowest first; the same order the build links them in.
const char *const FLOORS[] = {"core", "layers", "catalog", "canvas", "editor", "project", "output", "app", "tools",
                              "web"};
const int FLOOR_COUNT = (int)(sizeof FLOORS / sizeof FLOORS[0]);

int FloorOf(const std::string &module)
{
    for (int i = 0; i < FLOOR_COUNT; i++)
        if (module == FLOORS[i])
            return i;
    return -1;
}

// The folder named by a project include line (`#include "layers/hls.h"` gives
// "layers"), or "" for any other line.
std::string IncludedModule(const std::string &line)
{
    const std::string directive = "#include \"";
    if (line.compare(0, directive.size(), directive) != 0)
        return "";
    size_t slash = line.find('/', directive.size());
    size_t quote = line.find('"', directive.size());
    if (slash == std::string::npos || slash > quote)
        return "";
    return line.substr(directive.size(), slash - directive.size());
}

// Folders that a top floor builds without, though they are below it: the
// web build compiles only the platform-neutral floors, so it can use neither
// the Windows-only preview, nor the program, nor the tools' executables.
struct Unusable {
    const char *folder;
    const char *const *without;
};
const char *const WEB_WITHOUT[] = {"canvas", "app", "tools", nullptr};
const Unusable UNUSABLE[] = {{"web", WEB_WITHOUT}};

}  // namespace

TEST_CASE("the include line parser names the module folder")
{
    CHECK(IncludedModule("#include \"layers/hls.h\"") == "layers");
    CHECK(IncludedModule("#include \"core/services/filesys.h\"") == "core");
    CHECK(IncludedModule("#include \"gui_test_support.h\"") == "");
    CHECK(IncludedModule("#include <windows.h>") == "");
    CHECK(IncludedModule("// #include \"app/x.h\"") == "");
}

TEST_CASE("every include of a module points to its own floor or below")
{
    fs::path root = fs::path(VOR_TEST_DATA).parent_path().parent_path();
    REQUIRE(fs::is_directory(root / "core"));
    std::vector<std::string> upward;
    int files = 0;
    for (int floor = 0; floor < FLOOR_COUNT; floor++) {
        fs::path dir = root / FLOORS[floor];
        if (!fs::is_directory(dir))
            continue;
        for (const auto &entry : fs::recursive_directory_iterator(dir)) {
            std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h")
                continue;
            files++;
            std::ifstream in(entry.path());
            std::string line;
            while (std::getline(in, line)) {
                int target = FloorOf(IncludedModule(line));
                if (target > floor)
                    upward.push_back(fs::relative(entry.path(), root).string() + ": " + line);
            }
        }
    }
    CHECK(files > 50);
    std::string listed;
    for (const std::string &u : upward)
        listed += u + "\n";
    CHECK_MESSAGE(upward.empty(), "includes pointing up:\n" << listed);
}

TEST_CASE("the web module includes only the floors its build compiles")
{
    fs::path root = fs::path(VOR_TEST_DATA).parent_path().parent_path();
    for (const Unusable &u : UNUSABLE) {
        fs::path dir = root / u.folder;
        REQUIRE(fs::is_directory(dir));
        std::vector<std::string> found;
        int files = 0;
        for (const auto &entry : fs::recursive_directory_iterator(dir)) {
            std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h")
                continue;
            files++;
            std::ifstream in(entry.path());
            std::string line;
            while (std::getline(in, line)) {
                std::string module = IncludedModule(line);
                for (const char *const *w = u.without; *w; w++)
                    if (module == *w)
                        found.push_back(fs::relative(entry.path(), root).string() + ": " + line);
            }
        }
        CHECK(files > 0);
        std::string listed;
        for (const std::string &f : found)
            listed += f + "\n";
        CHECK_MESSAGE(found.empty(), u.folder << " includes what its build lacks:\n" << listed);
    }
}
