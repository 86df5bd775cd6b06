// Saving never writes through a link that was already standing next to the
// project, where the temporary file of an earlier version used to be made.
#include <doctest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "project/project.h"
#include "test_support.h"

TEST_CASE("a link at <project>.vor.tmp is neither followed nor needed")
{
    ScratchFolder dir;
    std::string path = dir / "kim.vor";
    ScratchFolder::WriteBytes(dir / "victim", {'v'});
    REQUIRE(symlink("victim", ScratchFolder::Native(path + ".tmp").c_str()) == 0);
    Project *p = Project_Create();
    REQUIRE(Project_WriteFile(path.c_str(), p, nullptr) == 1);
    Project_Free(p);
    CHECK(ScratchFolder::ReadBytes(dir / "victim") == std::vector<unsigned char>{'v'});
    Project *q = nullptr;
    CHECK(Project_ReadFile(path.c_str(), &q) == PROJECT_OK);
    Project_Free(q);
    char target[64] = {0};
    CHECK(readlink(ScratchFolder::Native(path + ".tmp").c_str(), target, sizeof target - 1) > 0);
    CHECK(std::string(target) == "victim");
}
