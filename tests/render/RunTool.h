// Runs a program of the build as a subprocess and collects what it printed.
#pragma once

#include <string>
#include <vector>

struct ToolResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out, err;
};

ToolResult runTool(const std::vector<std::string>& command, const std::vector<std::string>& environment = {});

// A fresh empty folder under the system's temporary folder.
std::string makeTempDir(const std::string& tag);
void writeText(const std::string& path, const std::string& text);
void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes);
