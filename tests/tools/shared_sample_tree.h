// The sample data tree and sample.vor, written once for every test of the
// tools suite that only reads them (writing the tree takes a while).
#pragma once

#include <string>

#include "test_support.h"
#include "tools/gen-sample/sample_tree.h"

inline const ScratchFolder &SharedSampleTree()
{
    static ScratchFolder scratch;
    static int written = 0;
    if (!written) {
        WriteLog log = {};
        std::string root = scratch.path.substr(0, scratch.path.size() - 1);
        written = SampleTree_Write(root.c_str(), &log) && SampleProject_Write(root.c_str(), &log) ? 1 : -1;
    }
    REQUIRE(written == 1);
    return scratch;
}
