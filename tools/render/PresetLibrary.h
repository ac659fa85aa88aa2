// The preset files of a plug-in's own library: YAML files in the data folder
// beside the module, "Presets/Factory/**" and "Presets/User/**".
#pragma once

#include <string>
#include <vector>

struct PresetFile {
    std::string id;    // "Factory/Category/Name" (folder, sub-folders, name without ".yaml")
    std::string name;  // "Name"
    std::string path;  // the file
};

class PresetLibrary {
public:
    // Lists the library beside `modulePath`: factory presets first, each
    // folder sorted by path. Empty when there is no such folder.
    explicit PresetLibrary(const std::string& modulePath);
    PresetLibrary() = default;  // no library (an LV2 plug-in's presets are its own)

    const std::vector<PresetFile>& presets() const { return files; }
    const std::string& folder() const { return root; }

    // Presets whose name, or the tail of whose id ("Category/Name"), equals
    // `wanted`; exact matches win over matches that ignore case.
    std::vector<PresetFile> find(const std::string& wanted) const;

private:
    std::string root;
    std::vector<PresetFile> files;
};

// Equal texts when ASCII letters' case is ignored.
bool sameIgnoringCase(const std::string& a, const std::string& b);

// The bytes of a file; false with a message when it cannot be read.
bool readFileBytes(const std::string& path, std::vector<unsigned char>& bytes, std::string& error);
