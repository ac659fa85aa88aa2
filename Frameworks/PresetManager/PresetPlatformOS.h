// What each OS source file provides to the shared part of the preset
// platform layer.
#pragma once

#include "Frameworks/PresetManager/PresetPlatform.h"

#include <string>
#include <vector>

namespace Platform {
namespace os {

struct DirEntry {
    std::string name;
    bool isFile = false;
    bool isDirectory = false;
};

// Full path of the plug-in's module file; empty when it cannot be found.
std::string moduleFilePath();
// Longest folder path that can be listed.
size_t maxListedFolderLength();
// The entries of a folder in the order the file system lists them; false
// when it cannot be listed.
bool listFolder(const std::string& folder, std::vector<DirEntry>& entries);
bool fileExists(const std::string& path);
bool createFolder(const std::string& path);
WriteResult writeTextFile(const std::string& path, const std::string& text, bool replaceExisting);
int compareNames(const std::string& a, const std::string& b);
bool shellExecute(const char* verb, const std::string& target);

}  // namespace os
}  // namespace Platform
