// What each OS source file provides to the shared part of the preset
// platform layer.
#pragma once

#include "Frameworks/PresetManager/PresetPlatform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {
namespace os {

struct DirEntry {
    std::string name;
    bool isFile = false;
    bool isDirectory = false;
    bool isLink = false;  // a symbolic link, junction or other reparse point
};

// What a folder is, whatever path reaches it (through links or junctions):
// device and inode, or volume serial number and file index.
struct FolderId {
    uint64_t device = 0;
    uint64_t index = 0;
    bool operator<(const FolderId& other) const
    {
        return device != other.device ? device < other.device : index < other.index;
    }
};

// Full path of the plug-in's module file; empty when it cannot be found.
std::string moduleFilePath();
// Longest folder path that can be listed.
size_t maxListedFolderLength();
// The entries of a folder in the order the file system lists them; false
// when it cannot be listed.
bool listFolder(const std::string& folder, std::vector<DirEntry>& entries);
// The identity of the folder at `path`, links followed; false when it
// cannot be read.
bool folderIdentity(const std::string& path, FolderId& id);
bool fileExists(const std::string& path);
bool createFolder(const std::string& path);
WriteResult writeTextFile(const std::string& path, const std::string& text, bool replaceExisting);
int compareNames(const std::string& a, const std::string& b);
bool shellExecute(const char* verb, const std::string& target);

}  // namespace os
}  // namespace Platform
