// A project over the fixture tree for the engine exports' command-line
// tests: named `name`, two checked styles writing to "school" and `second`
// (the second in another dress), saved in `dir` as "<second>.vor".
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include "output/fixture_tree.h"
#include "output/headless.h"
#include "project/project_model.h"
#include "test_support.h"

inline std::string WriteTwoStyleProject(const ScratchFolder &dir, const char *name, const char *second)
{
    std::string data = Fixture_BuildTree(dir.path);
    Headless h;
    REQUIRE(Headless_Open(&h, data.c_str()));
    Project *p = Project_MakeDefault(&h.catalog, "C:\\out\\");
    free(p->name);
    p->name = strdup(name);
    DressStyle *first = (DressStyle *)PtrList_Get(p->styles, 0);
    Style_SetText(&first->outputFolder, "school");
    DressStyle *copy = CopyStyle(first);
    copy->dress = 1;
    Style_SetText(&copy->outputFolder, second);
    PtrList_Add(p->styles, copy);
    std::string path = dir / (std::string(second) + ".vor");
    ProjectKeySource keys = Project_CatalogKeys(&h.catalog);
    REQUIRE(Project_WriteFile(path.c_str(), p, &keys));
    Project_Free(p);
    Headless_Close(&h);
    return path;
}
