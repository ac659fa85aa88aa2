// The preset library: start-up scan, categories, selection, names.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/PresetManager.h"
#include "platform/Assert.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace presets_test;

namespace {

std::vector<std::string> names(const std::vector<Program*>& programs)
{
    std::vector<std::string> out;
    for (const Program* p : programs) out.push_back(p->name);
    return out;
}

class presets_Manager : public ::testing::Test {
protected:
    ScratchFolder data;
    FactoryFixture f;
    LogCapture log;
    PresetManager manager{f.factory};

    presets_Manager() { Platform::setDataFolderOverride(data.path()); }
    ~presets_Manager() override { Platform::setDataFolderOverride(""); }

    void factoryFile(const std::string& relative, const std::string& name)
    {
        data.write("Presets/Factory/" + relative, document("  Wave: 0.5\n", name));
    }
    void userFile(const std::string& relative, const std::string& name)
    {
        data.write("Presets/User/" + relative, document("  Wave: 0.5\n", name));
    }
    void start()
    {
        manager.loadAllPresets();
        manager.selectProgram(0, 0);
    }
};

}  // namespace

TEST_F(presets_Manager, FoldersBecomeCategoriesInOrder)
{
    factoryFile("A.yaml", "A");
    factoryFile("Bass/B.yaml", "B");
    userFile("C.yaml", "C");
    start();
    EXPECT_EQ(manager.getCategoryNames(), (std::vector<std::string>{"Bass", kFactory, kUser}));
    EXPECT_EQ(manager.getCurrentProgramName(), "B");
    EXPECT_EQ(manager.getCurrentProgram()->category, "Bass");
    EXPECT_TRUE(manager.getCurrentProgram()->readOnly);
    EXPECT_FALSE(manager.getProgramsOfCategory(kUser)[0]->readOnly);
    EXPECT_TRUE(manager.getProgramsOfCategory("Nothing").empty());
}

TEST_F(presets_Manager, CategoriesAndProgramsSortIgnoringCase)
{
    factoryFile("pads/p.yaml", "p");
    factoryFile("Bass/b3.yaml", "bravo");
    factoryFile("Bass/b1.yaml", "Charlie");
    factoryFile("Bass/b2.yaml", "alpha");
    userFile("leads/l.yaml", "l");
    userFile("Bass/u.yaml", "Delta");  // shares the factory's Bass category
    start();
    EXPECT_EQ(manager.getCategoryNames(), (std::vector<std::string>{"Bass", "leads", "pads"}));
    EXPECT_EQ(names(manager.getProgramsOfCategory("Bass")),
              (std::vector<std::string>{"alpha", "bravo", "Charlie", "Delta"}));
}

TEST_F(presets_Manager, OnlyYamlFilesOutsideDotFoldersLoad)
{
    factoryFile("x.YAML", "upper");
    factoryFile("x.yaml.bak", "backup");
    factoryFile(".hidden/x.yaml", "hidden");
    factoryFile("Deep/er/still/x.yaml", "deep");
    factoryFile("Bad/broken.yaml", "[");
    start();
    EXPECT_EQ(manager.getAllPrograms().size(), 1u);
    EXPECT_EQ(manager.getCategoryNames(), (std::vector<std::string>{"still"}));
    EXPECT_NE(log.text().find("broken.yaml"), std::string::npos) << "a broken file is reported and skipped";
}

TEST_F(presets_Manager, NothingToLoadMakesInit)
{
    start();
    ASSERT_EQ(manager.getAllPrograms().size(), 1u);
    Program* init = manager.getCurrentProgram();
    EXPECT_EQ(init->name, "Init");
    EXPECT_EQ(init->category, kInit);
    EXPECT_TRUE(init->modified);
    EXPECT_EQ(manager.getCurrentProgramName(), "Init");
    EXPECT_FLOAT_EQ(init->getValue(kWave), 0.5f);
    EXPECT_TRUE(Platform::fileExists(data.path() + "Presets/User/")) << "the user folder is created";
    // Renaming while only the default program exists changes nothing.
    manager.renameCurrentProgram("Evening Drone");
    EXPECT_EQ(manager.getCurrentProgramName(), "Init");
    EXPECT_EQ(init->name, "Init");
}

TEST_F(presets_Manager, MissingDataFolderStillGivesInit)
{
    std::vector<std::string> shown;
    static std::vector<std::string>* messages;
    messages = &shown;
    Platform::setMessageRecorder(
        [](const char* text, const char* title) { messages->push_back(std::string(title) + "|" + text); });
    Platform::setDataFolderOverride("/nonexistent-ondrel-folder/deeper/");
    start();
    Platform::setMessageRecorder(nullptr);
    EXPECT_EQ(manager.getCurrentProgramName(), "Init");
    EXPECT_TRUE(shown.empty());
}

TEST_F(presets_Manager, UnreadableFolderIsSkipped)
{
    factoryFile("Bass/b.yaml", "B");
    factoryFile("Locked/l.yaml", "L");
    ::chmod((data.path() + "Presets/Factory/Locked").c_str(), 0);
    start();
    ::chmod((data.path() + "Presets/Factory/Locked").c_str(), 0700);
    EXPECT_EQ(manager.getCurrentProgramName(), "B");
}

TEST_F(presets_Manager, LinksInTheUserFolderListEachPresetOnce)
{
    factoryFile("Bass/b.yaml", "B");
    userFile("Mine/m.yaml", "M");
    const std::string user = data.path() + "Presets/User/";
    for (const char* link : {"self", "again"}) ASSERT_EQ(::symlink(".", (user + link).c_str()), 0);
    ASSERT_EQ(::symlink("..", (user + "up").c_str()), 0);
    ASSERT_EQ(::symlink("/", (user + "root").c_str()), 0);
    ASSERT_EQ(::symlink("../..", (user + "Mine/loop").c_str()), 0);
    ::alarm(60);  // a scan that does not end fails here
    start();
    ::alarm(0);
    EXPECT_EQ(manager.getCategoryNames(), (std::vector<std::string>{"Bass", "Mine"}));
    EXPECT_EQ(names(manager.getProgramsOfCategory("Mine")), std::vector<std::string>{"M"});
    EXPECT_EQ(manager.getAllPrograms().size(), 2u);
}

TEST_F(presets_Manager, SelectionOutOfRange)
{
    factoryFile("Bass/a.yaml", "a");
    factoryFile("Bass/b.yaml", "b");
    factoryFile("Keys/c.yaml", "c");
    start();
    manager.selectProgram(0, 1);
    EXPECT_EQ(manager.getCurrentProgramName(), "b");
    manager.selectProgram(1, 5);  // category changes, program stays
    EXPECT_EQ(manager.getCurrentCategoryIndex(), 1);
    EXPECT_EQ(manager.getCurrentProgramName(), "b");
    manager.selectProgram(2, 0);
    manager.selectProgram(-1, 0);
    manager.selectProgram(0, -1);
    EXPECT_EQ(manager.getCurrentCategoryIndex(), 0);
    EXPECT_EQ(manager.getCurrentProgramName(), "b");
}

TEST_F(presets_Manager, UserPresetNamesAreThoseOfTheUserCategoryOnly)
{
    factoryFile("Pad.yaml", "Pad");
    userFile("Mine.yaml", "Mine");
    userFile("Leads/Sub.yaml", "Sub");
    start();
    EXPECT_TRUE(manager.isUserPresetName("Mine"));
    EXPECT_FALSE(manager.isUserPresetName("mine"));
    EXPECT_FALSE(manager.isUserPresetName("Sub"));
    EXPECT_FALSE(manager.isUserPresetName("Pad"));
}

TEST_F(presets_Manager, AddingSelectsAndKeepsOrder)
{
    factoryFile("Bass/b.yaml", "m");
    factoryFile("Bass/c.yaml", "z");
    start();
    auto p = f.factory.createProgram();
    p->name = "a";
    p->category = "Bass";
    manager.addProgram(std::move(p), true);
    EXPECT_EQ(manager.getCurrentProgramName(), "a");
    EXPECT_EQ(manager.getCurrentProgramIndex(), 0);
    auto q = f.factory.createProgram();
    q->name = "new";
    q->category = kUser;
    manager.addProgram(std::move(q), true);
    EXPECT_EQ(manager.getCategoryNames().back(), kUser);
    EXPECT_EQ(manager.getCurrentCategoryIndex(), 1);
    EXPECT_EQ(manager.addProgram(nullptr, true), nullptr);
}

// Renaming marks the program modified; its duplicate is a writable user copy.
TEST_F(presets_Manager, RenamingAndDuplicating)
{
    factoryFile("Pad.yaml", "Pad");
    start();
    manager.renameCurrentProgram("z");
    EXPECT_EQ(manager.getCurrentProgramName(), "z");
    EXPECT_TRUE(manager.getCurrentProgram()->modified);
    manager.getCurrentProgram()->setValue(kWave, 0.9f);
    auto copy = manager.duplicateCurrentProgram("Pad user edit");
    EXPECT_EQ(copy->name, "Pad user edit");
    EXPECT_FALSE(copy->readOnly);
    EXPECT_TRUE(copy->modified);
    EXPECT_EQ(copy->category, kUser);
    EXPECT_FLOAT_EQ(copy->getValue(kWave), 0.9f);
    EXPECT_EQ(manager.getAllPrograms().size(), 1u) << "not listed yet";
}

TEST_F(presets_Manager, NoCurrentProgramIsAnAssertion)
{
    static std::vector<std::string> failures;
    failures.clear();
    Platform::setAssertionRecorder([](const char* source, int, const char* expression) {
        failures.push_back(std::string(source) + ": " + expression);
    });
    EXPECT_EQ(manager.getCurrentProgram(), nullptr);
    EXPECT_EQ(manager.getCurrentProgramName(), "Init");
    Platform::setAssertionRecorder(nullptr);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "..\\..\\Frameworks\\PresetManager\\PresetManager: m_currentProgram || m_defaultProgram");
}
