// Runs a program of the build as a subprocess and collects what it printed;
// songs written for it into scratch folders (Files.h).
#pragma once

#include "tests/support/Files.h"

#include <string>
#include <vector>

struct ToolResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out, err;
};

ToolResult runTool(const std::vector<std::string>& command, const std::vector<std::string>& environment = {});

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes);
