// Smoke check of the preset library on the running OS (natively, or the
// Windows build under wine): loads <data folder>/Presets/Factory and User as
// the plug-in does, lists the categories, checks that every program writes
// back to the text of its file, saves two new user presets with a name that
// holds reserved characters, reads them again and removes them. Exit 0 when
// all is well.
//
//   ondrel-presetcheck <data folder>      (the folder gains Presets/User)
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "source/ParameterTable.h"

#include <cstdio>
#include <vector>
#include <fstream>
#include <sstream>

namespace {

std::string withoutCarriageReturns(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    Platform::setDataFolderOverride(argv[1]);
    Parameters parameters;
    fillParameterTable(parameters);
    ProgramFactory factory(parameters, "Ondrel", "0.9.8");
    PresetManager manager(factory);
    manager.loadAllPresets();
    manager.selectProgram(0, 0);

    int failures = 0;
    for (const std::string& category : manager.getCategoryNames())
        std::printf("%-22s %zu\n", category.c_str(), manager.getProgramsOfCategory(category).size());
    std::printf("current: %s\n", manager.getCurrentProgramName().c_str());
    for (const auto& program : manager.getAllPrograms()) {
        if (program->filePath.empty()) continue;
        if (withoutCarriageReturns(readFile(program->filePath)) != manager.programToYaml(program.get())) {
            std::printf("differs when written again: %s\n", program->filePath.c_str());
            ++failures;
        }
    }
    const std::string name = "Pad/Lead: 2 <new>";
    std::vector<std::string> savedFiles;
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<Program> copy = manager.duplicateCurrentProgram(name);
        if (!manager.saveProgramToNewFile(copy.get(), "")) {
            std::printf("saving a new preset failed\n");
            ++failures;
            continue;
        }
        std::printf("saved %s\n", copy->filePath.c_str());
        savedFiles.push_back(copy->filePath);
        std::unique_ptr<Program> back = factory.loadProgramFile(copy->filePath);
        if (!back || back->name != name) {
            std::printf("the saved preset does not read back\n");
            ++failures;
        }
        manager.addProgram(std::move(copy), true);
    }
    Program* saved = manager.getCurrentProgram();
    saved->setValue(0, 0.75f);
    if (!manager.saveProgram(saved)) {
        std::printf("overwriting a user preset failed\n");
        ++failures;
    }
    std::printf("Bass < leads < pads: %d %d\n", Platform::compareNames("Bass", "leads"),
                Platform::compareNames("leads", "pads"));
    if (Platform::compareNames("Bass", "leads") != -1 || Platform::compareNames("PADS", "pads") != 0) ++failures;
    // The check leaves the user folder as it found it.
    for (const std::string& path : savedFiles) std::remove(path.c_str());
    std::printf("%s\n", failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}
