// Saving presets: new files with unique names, overwriting a preset's own
// file, and nothing lost on the way (a full disk is ToolBarTest's, through
// the tool bar's save flows).
#include "PresetTestSupport.h"

#include <unistd.h>

using namespace presets_test;

namespace {

class presets_Saving : public LibraryTest {
protected:
    std::string userFolder;

    presets_Saving()
    {
        data.write("Presets/Factory/Pads/Pad.yaml", initDocument(f.table.parameters, "Pad"));
        start();
        userFolder = Platform::presetFolder(true);
    }

    Program* saveNew(const std::string& name)
    {
        auto copy = manager.duplicateCurrentProgram(name);
        Program* raw = copy.get();
        if (!manager.saveProgramToNewFile(raw, userFolder)) return nullptr;
        return manager.addProgram(std::move(copy), true);
    }
};

}  // namespace

// A user folder removed meanwhile is made again. (The file read back in a
// fresh instance is ToolBarTest.SavingANewPresetFilesItAndItLoadsInAFreshInstance's.)
TEST_F(presets_Saving, NewPresetGoesToTheUserFolderAndIsOverwritten)
{
    ::rmdir(userFolder.c_str());
    ASSERT_FALSE(Platform::fileExists(userFolder));
    manager.getCurrentProgram()->setValue(kWave, 0.8f);
    Program* saved = saveNew("Pad user edit");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->filePath, userFolder + "Pad user edit.yaml");
    EXPECT_FALSE(saved->modified);
    EXPECT_FLOAT_EQ(saved->initialValue(kWave), 0.8f);
    EXPECT_EQ(listFolder(userFolder), (std::vector<std::string>{"Pad user edit.yaml"})) << "no temporary file left";

    // Saving again replaces only the program's own file.
    saved->setValue(kNoise, 0.7f);
    ASSERT_TRUE(manager.saveProgram(saved));
    EXPECT_FALSE(saved->modified);
    EXPECT_FLOAT_EQ(f.factory.loadProgramFile(saved->filePath)->getValue(kNoise), 0.7f);
    EXPECT_EQ(listFolder(userFolder).size(), 1u);
}

// Names of saved presets count up where a file exists, map the characters a
// file name cannot hold, and never leave the user folder.
TEST_F(presets_Saving, NamesCountUpMapReservedCharactersAndNeverLeaveTheUserFolder)
{
    data.write("Presets/User/Pad%Lead; 2.yaml", "taken");
    Program* a = saveNew("Pad/Lead: 2");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->filePath, userFolder + "Pad%Lead; 21.yaml");
    EXPECT_EQ(readFile(userFolder + "Pad%Lead; 2.yaml"), "taken");
    Program* b = saveNew("Pad/Lead: 2");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->filePath, userFolder + "Pad%Lead; 22.yaml");
    EXPECT_EQ(b->name, "Pad/Lead: 2") << "the name inside the file keeps every character";

    Program* c = saveNew(
        "Gr\xC3\xBC\xC3\x9F"
        "e <*?|\"\\>\x01");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->filePath, userFolder + "Gr@@@@e [x!!'%]^.yaml");
    EXPECT_EQ(f.factory.loadProgramFile(c->filePath)->name,
              "Gr\xC3\xBC\xC3\x9F"
              "e <*?|\"\\>\x01");

    const std::string hostile[] = {
        "../../escape",         "..",   ".", "", "/etc/passwd", "..\\..\\x", "C:\\x", "CON", "nul.txt", "Lpt1",
        std::string(5000, 'n'), "a\nb", " "};
    for (const std::string& name : hostile) {
        Program* p = saveNew(name);
        ASSERT_TRUE(p) << name;
        const std::string& path = p->filePath;
        ASSERT_EQ(path.compare(0, userFolder.size(), userFolder), 0) << path;
        const std::string file = path.substr(userFolder.size());
        EXPECT_EQ(file.find('/'), std::string::npos) << file;
        EXPECT_EQ(file.find('\\'), std::string::npos) << file;
        EXPECT_LT(file.size(), 120u);
        EXPECT_EQ(f.factory.loadProgramFile(path)->name, name);
    }
    EXPECT_EQ(listFolder(data.path()), (std::vector<std::string>{"Presets"}));
    EXPECT_EQ(listFolder(data.path() + "Presets"), (std::vector<std::string>{"Factory", "User"}));
    EXPECT_EQ(listFolder(userFolder).size(), 4 + sizeof hostile / sizeof hostile[0]);
}

TEST_F(presets_Saving, OnlyAProgramsOwnWritableFileIsOverwritten)
{
    Program* factoryPad = manager.getCurrentProgram();
    const std::string factoryText = readFile(factoryPad->filePath);
    auto factoryCopy = manager.duplicateCurrentProgram("Edit");
    factoryPad->setValue(kWave, 0.1f);
    EXPECT_FALSE(manager.saveProgram(factoryPad));
    EXPECT_FALSE(manager.saveProgram(factoryCopy.get()));
    EXPECT_EQ(readFile(factoryPad->filePath), factoryText);

    std::string chunk = f.factory.programToYaml(factoryPad);
    Program* project = manager.loadProgramsFromChunk(chunk.data(), chunk.size());
    ASSERT_TRUE(project);
    EXPECT_FALSE(manager.saveProgram(project));

    auto fresh = f.factory.createProgram();
    fresh->name = "Init";
    Program* init = manager.addProgram(std::move(fresh), false);
    log.clear();
    EXPECT_FALSE(manager.saveProgram(init));
    EXPECT_EQ(log.text(), "Failed to create preset file \n");
    EXPECT_FALSE(manager.saveProgram(nullptr));
    EXPECT_FALSE(manager.saveProgramToNewFile(nullptr, ""));

    Program* mine = saveNew("Mine");
    ASSERT_TRUE(mine);
    const std::string before = readFile(mine->filePath);
    auto copy = manager.duplicateCurrentProgram("Other");
    copy->setValue(kWave, 0.0f);
    EXPECT_FALSE(manager.saveProgram(copy.get()));
    EXPECT_EQ(readFile(mine->filePath), before);
}
