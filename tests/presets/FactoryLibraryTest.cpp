// The factory preset library that ships in data/Presets/Factory: complete,
// loadable, written exactly as the writer writes, and what the generator's
// table describes.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/PresetManager.h"
#include "tools/presetgen/FactoryPresets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace presets_test;

namespace {

const std::string kFolder = std::string(ONDREL_FACTORY_PRESETS) + "/";

class Collect : public Platform::DirTreeCallback {
public:
    std::vector<std::pair<std::string, std::string>> files;  // category, path
    void onFile(const std::string& path) override { files.emplace_back(m_category, path); }
    std::string enterDirectory(const std::string& name) override
    {
        std::string previous = m_category;
        m_category = name;
        return previous;
    }
    void leaveDirectory(const std::string& token) override { m_category = token; }

private:
    std::string m_category;
};

std::vector<std::pair<std::string, std::string>> factoryFiles()
{
    Collect c;
    Platform::walkDirectoryTree(kFolder, c, ".yaml", 0);
    return c.files;
}

}  // namespace

TEST(presets_FactoryLibrary, EveryFileLoadsCleanlyAndWritesBackToTheSameBytes)
{
    FactoryFixture f;
    LogCapture log;
    ScratchFolder scratch;
    const auto files = factoryFiles();
    std::set<std::string> categories, names;
    for (const auto& file : files) {
        auto program = f.factory.loadProgramFile(file.second);
        ASSERT_TRUE(program) << file.second;
        // Equal to what the writer writes, which is every parameter's line
        // (presets_Document.WriterWritesTheActiveSetLineByLine).
        const std::string text = readFile(file.second);
        EXPECT_EQ(f.factory.programToYaml(program.get()), text) << file.second;
        const std::string copy = scratch.path() + "copy.yaml";
        ASSERT_TRUE(f.factory.saveProgramFile(program.get(), copy));
        EXPECT_EQ(readFile(copy), text) << file.second;
        EXPECT_TRUE(names.insert(program->name).second) << "name used twice: " << program->name;
        EXPECT_FALSE(file.first.empty()) << file.second << " should be in a category folder";
        categories.insert(file.first);
    }
    EXPECT_GE(files.size(), 32u);
    EXPECT_GE(categories.size(), 5u);
    EXPECT_EQ(log.text(), "") << "no diagnostics: every value is a number inside 0..1";
}

TEST(presets_FactoryLibrary, CommittedFilesAreWhatTheGeneratorWrites)
{
    FactoryFixture f;
    std::set<std::string> expected;
    for (const FactoryPreset& preset : factoryPresets()) {
        auto program = f.factory.createProgram();
        program->name = preset.name;
        for (const auto& value : preset.values) ASSERT_TRUE(f.factory.setParameterByName(value.first, value.second));
        const std::string path = kFolder + preset.category + "/" + Platform::presetFileBaseName(preset.name) + ".yaml";
        EXPECT_EQ(readFile(path), f.factory.programToYaml(program.get()))
            << path << ": run the presets_generate target and commit the result";
        expected.insert(path);
    }
    for (const auto& file : factoryFiles()) EXPECT_TRUE(expected.count(file.second)) << "stale file " << file.second;
}

TEST(presets_FactoryLibrary, LibraryStartsWithTheFirstPresetOfTheFirstCategory)
{
    ScratchFolder data;
    data.make("Presets/Factory");
    std::filesystem::copy(kFolder, data.path() + "Presets/Factory", std::filesystem::copy_options::recursive);
    Platform::setDataFolderOverride(data.path());
    FactoryFixture f;
    PresetManager manager(f.factory);
    manager.loadAllPresets();
    manager.selectProgram(0, 0);
    Platform::setDataFolderOverride("");
    const auto categories = manager.getCategoryNames();
    ASSERT_GE(categories.size(), 5u);
    for (size_t i = 1; i < categories.size(); ++i)
        EXPECT_LT(Platform::compareNames(categories[i - 1], categories[i]), 0) << "sorted";
    const auto first = manager.getProgramsOfCategory(categories[0]);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(manager.getCurrentProgram(), first[0]);
    EXPECT_TRUE(manager.getCurrentProgram()->readOnly);
    EXPECT_FALSE(manager.getCurrentProgram()->modified);
}
