// The preset library: start-up scan, categories, selection, names.
#include "PresetTestSupport.h"

#include "platform/Assert.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <filesystem>
#include <map>
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

// Preset files stay lenient (host chunks are refused without every
// parameter): each of these holds one entry.
class presets_Manager : public LibraryTest {
protected:
    void factoryFile(const std::string& relative, const std::string& name)
    {
        data.write("Presets/Factory/" + relative, presetDocument("  Wave: 0.5\n", name));
    }
    void userFile(const std::string& relative, const std::string& name)
    {
        data.write("Presets/User/" + relative, presetDocument("  Wave: 0.5\n", name));
    }
};

}  // namespace

// Sub-folders of both folders become categories (one category of a name for
// both), sorted ignoring case as their programs are; files outside them go to
// the factory's and the user's own category. The first program of the first
// category starts.
TEST_F(presets_Manager, FoldersBecomeCategoriesSortedIgnoringCase)
{
    factoryFile("A.yaml", "A");
    factoryFile("pads/p.yaml", "p");
    factoryFile("Bass/b3.yaml", "bravo");
    factoryFile("Bass/b1.yaml", "Charlie");
    factoryFile("Bass/b2.yaml", "alpha");
    userFile("C.yaml", "C");
    userFile("leads/l.yaml", "l");
    userFile("Bass/u.yaml", "Delta");
    start();
    EXPECT_EQ(manager.getCategoryNames(), (std::vector<std::string>{"Bass", "leads", "pads", kFactory, kUser}));
    EXPECT_EQ(names(manager.getProgramsOfCategory("Bass")),
              (std::vector<std::string>{"alpha", "bravo", "Charlie", "Delta"}));
    EXPECT_EQ(manager.getCurrentProgramName(), "alpha");
    EXPECT_EQ(manager.getCurrentProgram()->category, "Bass");
    EXPECT_TRUE(manager.getCurrentProgram()->readOnly);
    EXPECT_FALSE(manager.getProgramsOfCategory(kUser)[0]->readOnly);
    EXPECT_FALSE(manager.getProgramsOfCategory("Bass")[3]->readOnly);
    EXPECT_TRUE(manager.getProgramsOfCategory("Nothing").empty());
}

// Nothing to load makes the default program Init, which keeps its name; a
// data folder that does not exist gives Init as well, without a message.
TEST_F(presets_Manager, NothingToLoadMakesInit)
{
    static std::vector<std::string> shown;
    Platform::setMessageRecorder([](const char* text, const char*) { shown.push_back(text); });
    Platform::setDataFolderOverride("/nonexistent-ondrel-folder/deeper/");
    PresetManager missing(f.factory);
    missing.loadAllPresets();
    missing.selectProgram(0, 0);
    Platform::setMessageRecorder(nullptr);
    EXPECT_EQ(missing.getCurrentProgramName(), "Init");
    EXPECT_TRUE(shown.empty());

    Platform::setDataFolderOverride(data.path());
    start();
    ASSERT_EQ(manager.getAllPrograms().size(), 1u);
    Program* init = manager.getCurrentProgram();
    EXPECT_EQ(init->name, "Init");
    EXPECT_EQ(init->category, kInit);
    EXPECT_TRUE(init->modified);
    EXPECT_EQ(manager.getCurrentProgramName(), "Init");
    EXPECT_FLOAT_EQ(init->getValue(kWave), 0.5f);
    EXPECT_TRUE(Platform::fileExists(data.path() + "Presets/User/")) << "the user folder is created";
    manager.renameCurrentProgram("Evening Drone");
    EXPECT_EQ(manager.getCurrentProgramName(), "Init");
    EXPECT_EQ(init->name, "Init");
}

// A user's folder as users leave it: odd names, malformed, empty, binary,
// oversized and unreadable files, an unreadable folder, files that are no
// YAML and a dot folder, a pipe, links to the folder itself, above it and to
// the root, two to one folder outside, a link to itself and one to nowhere,
// and 10,000 presets in one category. Every readable preset is listed once (a
// link to an upper folder once listed each again at every level of the
// walk's depth; a deep one's category is its own folder), each bad file is
// reported by name, nothing waits on the pipe, and no file changes.
TEST_F(presets_Manager, UserFolderAsUsersLeaveIt)
{
    namespace fs = std::filesystem;
    const std::string user = data.path() + "Presets/User/";
    factoryFile("Bass/b.yaml", "B");
    userFile("Mine/m.yaml", "M");
    for (const std::string& name : {std::string("with spaces in it"), std::string("it's \"quoted\""),
                                    std::string("Gl\xC3\xB6"
                                                "ckchen \xE2\x98\x83 \xE6\x97\xA5"),
                                    std::string(200, 'L'), std::string("unreadable")})
        userFile(name + ".yaml", "Odd");
    ::chmod((user + "unreadable.yaml").c_str(), 0);
    const bool rootReads = ::access((user + "unreadable.yaml").c_str(), R_OK) == 0;  // the super-user reads it
    const std::string bad[] = {"malformed.yaml", "empty.yaml", "binary.yaml", "huge.yaml"};
    data.write("Presets/User/malformed.yaml", "---\nPreset: [unclosed\nParams:\n  Wave: {\n");
    data.write("Presets/User/empty.yaml", "");
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = (char)(i * 131 + 7);
    data.write("Presets/User/binary.yaml", binary);
    userFile("huge.yaml", "Huge");
    fs::resize_file(user + "huge.yaml", (64u << 20) + 1);  // beyond the reader's limit, sparse on disk
    ASSERT_EQ(::mkfifo((user + "pipe.yaml").c_str(), 0600), 0);
    const std::pair<const char*, const char*> links[] = {{"self", "."},
                                                         {"again", "."},
                                                         {"up", ".."},
                                                         {"root", "/"},
                                                         {"Mine/loop", "../.."},
                                                         {"loop.yaml", "loop.yaml"},
                                                         {"gone.yaml", "nowhere.yaml"}};
    for (const auto& [link, target] : links) ASSERT_EQ(::symlink(target, (user + link).c_str()), 0) << link;
    for (const char* name : {"x.YAML", "x.yaml.bak", ".hidden/x.yaml", "Deep/er/still/x.yaml", "Locked/l.yaml"})
        userFile(name, name);
    ::chmod((user + "Locked").c_str(), 0);
    const std::string outside = data.make("Outside");
    data.write("Outside/o.yaml", presetDocument("  Wave: 0.5\n", "O"));
    ASSERT_EQ(::symlink(outside.c_str(), (user + "a").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (user + "b").c_str()), 0);
    const int kMany = 10000;
    for (int i = 0; i < kMany; ++i) userFile("Many/p" + std::to_string(i) + ".yaml", "P" + std::to_string(i));
    auto snapshot = [&] {
        std::map<std::string, std::string> files;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(data.path()); it != fs::recursive_directory_iterator(); ++it)
            if (!it->is_symlink(ec) && it->is_regular_file(ec))
                files[it->path().string()] = std::to_string(it->file_size(ec)) + ":" +
                                             (it->file_size(ec) < (1u << 20) ? readFile(it->path().string()) : "");
        return files;
    };
    const auto before = snapshot();

    ::alarm(60);  // a scan that does not end, or waits on the pipe, fails here
    start();
    ::alarm(0);
    ::chmod((user + "Locked").c_str(), 0700);
    std::vector<std::string> categories = manager.getCategoryNames(),
                             expected = {"Bass", "Many", "Mine", "still", kUser};
    if (rootReads) expected.insert(expected.begin() + 1, "Locked");
    const auto link = std::find_if(categories.begin(), categories.end(), [](auto& c) { return c == "a" || c == "b"; });
    ASSERT_NE(link, categories.end()) << "the folder outside is listed through one of its links";
    EXPECT_EQ(names(manager.getProgramsOfCategory(*link)), std::vector<std::string>{"O"});
    categories.erase(link);
    EXPECT_EQ(categories, expected);
    EXPECT_EQ(names(manager.getProgramsOfCategory("Mine")), std::vector<std::string>{"M"});
    EXPECT_EQ(manager.getProgramsOfCategory("Many").size(), (size_t)kMany);
    EXPECT_EQ(manager.getAllPrograms().size(), kMany + (rootReads ? 10u : 8u));
    for (const std::string& name : bad) EXPECT_TRUE(log.contains(name)) << name << " is reported";
    EXPECT_TRUE(rootReads || log.contains("unreadable.yaml"));
    ::chmod((user + "unreadable.yaml").c_str(), 0600);
    EXPECT_TRUE(snapshot() == before) << "no preset file changed, appeared or disappeared";
}

// Selections out of range change nothing (a program index out of range keeps
// the program and takes the category); added programs take their sorted
// place and are selected; only the user category's own names are user preset
// names; renaming marks a program modified, and its duplicate is a writable
// user copy, not listed yet.
TEST_F(presets_Manager, SelectingAddingRenamingAndDuplicating)
{
    factoryFile("Bass/a.yaml", "a");
    factoryFile("Bass/b.yaml", "b");
    factoryFile("Keys/c.yaml", "c");
    userFile("Mine.yaml", "Mine");
    userFile("Leads/Sub.yaml", "Sub");
    start();
    manager.selectProgram(0, 1);
    EXPECT_EQ(manager.getCurrentProgramName(), "b");
    manager.selectProgram(1, 5);
    EXPECT_EQ(manager.getCurrentCategoryIndex(), 1);
    EXPECT_EQ(manager.getCurrentProgramName(), "b");
    manager.selectProgram(4, 0);
    manager.selectProgram(-1, 0);
    manager.selectProgram(0, -1);
    EXPECT_EQ(manager.getCurrentCategoryIndex(), 0);
    EXPECT_EQ(manager.getCurrentProgramName(), "b");

    EXPECT_TRUE(manager.isUserPresetName("Mine"));
    for (const char* other : {"mine", "Sub", "a"}) EXPECT_FALSE(manager.isUserPresetName(other)) << other;

    auto p = f.factory.createProgram();
    p->name = "0";
    p->category = "Bass";
    manager.addProgram(std::move(p), true);
    EXPECT_EQ(manager.getCurrentProgramName(), "0");
    EXPECT_EQ(manager.getCurrentProgramIndex(), 0);
    auto q = f.factory.createProgram();
    q->name = "new";
    q->category = kUser;
    manager.addProgram(std::move(q), true);
    EXPECT_EQ(manager.getCategoryNames().back(), kUser);
    EXPECT_EQ(manager.getCurrentCategoryIndex(), 3);
    EXPECT_EQ(manager.addProgram(nullptr, true), nullptr);

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
    EXPECT_EQ(manager.getAllPrograms().size(), 7u) << "not listed yet";
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
