// Writes the factory preset library: one YAML file per preset of the table in
// FactoryPresets.cpp, through the product's own preset writer, into
// <factory folder>/<category>/<name>.yaml. Files of presets no longer in the
// table are removed.
//
//   ondrel-presetgen data/Presets/Factory
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/ParameterTable.h"
#include "tools/presetgen/FactoryPresets.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

class YamlFiles : public Platform::DirTreeCallback {
public:
    std::vector<std::string> paths;
    void onFile(const std::string& path) override { paths.push_back(path); }
    std::string enterDirectory(const std::string&) override { return std::string(); }
    void leaveDirectory(const std::string&) override {}
};

// Creates a folder and every missing folder above it.
void createFolders(const std::string& path)
{
    for (size_t cut = path.find('/', 1); cut != std::string::npos; cut = path.find('/', cut + 1))
        Platform::createFolder(path.substr(0, cut));
    Platform::createFolder(path);
}

// One spelling per path, whatever separators the parts came with.
std::string normalised(std::string path)
{
    for (char& c : path)
        if (c == '/') c = Platform::pathSeparator();
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <factory preset folder>\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') folder += '/';
    Parameters parameters;
    fillParameterTable(parameters);
    ProgramFactory factory(parameters, "Ondrel", "0.9.8");
    factory.setReadOnlyMode(true);

    int errors = 0;
    std::set<std::string> written, names;
    createFolders(folder);
    for (const FactoryPreset& preset : factoryPresets()) {
        if (!names.insert(preset.name).second) {
            std::fprintf(stderr, "%s: name used twice\n", preset.name.c_str());
            ++errors;
        }
        std::unique_ptr<Program> program = factory.createProgram();
        program->name = preset.name;
        std::set<int> seen;
        for (const auto& value : preset.values) {
            const int index = factory.indexOfKey(value.first);
            if (index < 0 || !seen.insert(index).second) {
                std::fprintf(stderr, "%s: bad or repeated key %s\n", preset.name.c_str(), value.first.c_str());
                ++errors;
                continue;
            }
            program->setStoredValue(index, value.second);
        }
        if (seen.size() != parameters.count()) {
            std::fprintf(stderr, "%s: %zu of %zu parameters set\n", preset.name.c_str(), seen.size(),
                         parameters.count());
            ++errors;
        }
        const std::string categoryFolder = folder + preset.category + "/";
        createFolders(categoryFolder);
        const std::string path = categoryFolder + Platform::presetFileBaseName(preset.name) + ".yaml";
        if (!factory.saveProgramFile(program.get(), path)) {
            std::fprintf(stderr, "%s: cannot write %s\n", preset.name.c_str(), path.c_str());
            ++errors;
        }
        written.insert(normalised(path));
    }

    YamlFiles existing;
    Platform::walkDirectoryTree(folder, existing, ".yaml", 0);
    for (const std::string& path : existing.paths) {
        if (written.count(normalised(path))) continue;
        std::printf("removed %s\n", path.c_str());
        std::remove(path.c_str());
    }
    std::printf("%zu presets written to %s\n", written.size(), folder.c_str());
    return errors ? 1 : 0;
}
