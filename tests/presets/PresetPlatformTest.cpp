// The platform layer of the preset library: folders, walks, names, shell.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace presets_test;

namespace {

// Records what a walk reports, as one line per call.
class Recorder : public Platform::DirTreeCallback {
public:
    std::vector<std::string> calls;
    void onFile(const std::string& path) override { calls.push_back("file " + path); }
    std::string enterDirectory(const std::string& name) override
    {
        calls.push_back("enter " + name);
        return "token-" + name;
    }
    void leaveDirectory(const std::string& token) override { calls.push_back("leave " + token); }
};

std::vector<std::string> g_messages;
void recordMessage(const char* text, const char* title) { g_messages.push_back(std::string(title) + "|" + text); }

std::vector<std::string> g_shell;
bool recordShell(const char* verb, const char* target)
{
    g_shell.push_back(std::string(verb) + "|" + target);
    return true;
}

}  // namespace

// The order of the calls, which gives each file its category, is the preset
// library's tests' (presets_Manager.*).
TEST(presets_Platform, WalkReportsFilesAndFoldersWithDepthLimits)
{
    ScratchFolder root;
    root.write("a.yaml", "");
    root.write("b.txt", "");
    root.write("Sub/c.yaml", "");
    root.write("Sub/Inner/d.yaml", "");
    root.write(".git/e.yaml", "");
    Recorder all;
    Platform::walkDirectoryTree(root.path(), all, ".yaml", 0);
    std::vector<std::string> sorted = all.calls;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"enter Inner", "enter Sub", "file " + root.path() + "Sub/Inner/d.yaml",
                                                "file " + root.path() + "Sub/c.yaml", "file " + root.path() + "a.yaml",
                                                "leave token-Inner", "leave token-Sub"}))
        << "the token of enterDirectory comes back";

    Recorder flat;
    Platform::walkDirectoryTree(root.path(), flat, ".yaml", 1);
    EXPECT_EQ(flat.calls, (std::vector<std::string>{"file " + root.path() + "a.yaml"}));
    Recorder two;
    Platform::walkDirectoryTree(root.path(), two, ".yaml", 2);
    EXPECT_EQ(std::count_if(two.calls.begin(), two.calls.end(), [](const std::string& s) { return s[0] == 'f'; }), 2);

    Recorder none;
    Platform::walkDirectoryTree(root.path() + "missing", none, ".yaml", 0);
    Platform::walkDirectoryTree(std::string(5000, 'x'), none, ".yaml", 0);
    EXPECT_TRUE(none.calls.empty());
}

TEST(presets_Platform, NamesCompareIgnoringCaseAndBecomeSafeFileNames)
{
    // Mixed cases in order are presets_Manager.FoldersBecomeCategoriesSortedIgnoringCase's.
    EXPECT_EQ(Platform::compareNames("Bass", "bass"), 0);
    EXPECT_EQ(Platform::compareNames("", "a"), -1);
    EXPECT_EQ(Platform::compareNames("a", "ab"), -1);
    EXPECT_EQ(Platform::compareNames("\xFF\xFE", "\xFF\xFE"), 0) << "broken UTF-8 compares without harm";
}

// The data folder is the module's (here the test program's); the preset
// folders lie below it (asking for the user folder creates it:
// presets_Manager.NothingToLoadMakesInit).
TEST(presets_Platform, DataAndPresetFolders)
{
    Platform::setDataFolderOverride("");
    std::string folder = Platform::dataFolder();
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    std::string exe(self, (size_t)n);
    EXPECT_EQ(folder, exe.substr(0, exe.find_last_of('/') + 1));
    EXPECT_EQ(Platform::pluginDataPath("Fonts/Tahoma_Small.ttf"), folder + "Fonts/Tahoma_Small.ttf");

    ScratchFolder data;
    Platform::setDataFolderOverride(data.path());
    EXPECT_EQ(Platform::presetFolder(false), data.path() + "Presets/Factory/");
    EXPECT_EQ(Platform::presetFolder(true), data.path() + "Presets/User/");
    EXPECT_FALSE(Platform::fileExists(data.path() + "Presets/Factory"));

    // A data folder too short to be one is shown to the user.
    g_messages.clear();
    Platform::setMessageRecorder(recordMessage);
    Platform::setDataFolderOverride("/q");
    EXPECT_EQ(Platform::pluginDataPath("x"), "/q/x");
    Platform::presetFolder(false);
    Platform::presetFolder(true);
    Platform::setMessageRecorder(nullptr);
    Platform::setDataFolderOverride("");
    EXPECT_EQ(g_messages, std::vector<std::string>(3, "Hu?|Plugin Data not found!"));
}

// Shell requests go to a recorder, or with ONDREL_NO_DIALOGS (set for every
// test) to a log; otherwise the opener gets the target as one argument, no
// shell reads it, and it is not waited for.
TEST(presets_Platform, ShellRequestsAreRecordedOrGoToTheOpener)
{
    g_shell.clear();
    Platform::setShellRecorder(recordShell);
    EXPECT_TRUE(Platform::exploreFolder("/some/folder/"));
    EXPECT_TRUE(Platform::openInShell("https://example.com/"));
    Platform::setShellRecorder(nullptr);
    EXPECT_EQ(g_shell, (std::vector<std::string>{"explore|/some/folder/", "open|https://example.com/"}));

    ScratchFolder bin;
    const std::string logPath = bin.path() + "shell.log";
    ::setenv("ONDREL_NO_DIALOGS", "1", 1);
    ::setenv("ONDREL_SHELL_LOG", logPath.c_str(), 1);
    EXPECT_TRUE(Platform::openInShell("https://example.com/"));
    ::unsetenv("ONDREL_SHELL_LOG");
    EXPECT_EQ(readFile(logPath), "open|https://example.com/\n");

    // A stand-in opener that writes how many arguments it got and the first,
    // then keeps running for a while.
    const std::string script = bin.write("xdg-open",
                                         "#!/bin/sh\n"
                                         "printf '%s|%s' \"$#\" \"$1\" > \"${0%/*}/args.tmp\"\n"
                                         "/bin/mv \"${0%/*}/args.tmp\" \"${0%/*}/args\"\n"
                                         "exec /bin/sleep 2\n");
    ::chmod(script.c_str(), 0755);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    const char* noDialogs = std::getenv("ONDREL_NO_DIALOGS");
    const std::string keepNoDialogs = noDialogs ? noDialogs : "";
    ::unsetenv("ONDREL_NO_DIALOGS");
    ::setenv("PATH", bin.path().c_str(), 1);
    const std::string target = bin.path() + "My \"odd\" folder's $(touch " + bin.path() + "x); `id`/";
    const auto start = std::chrono::steady_clock::now();
    const bool accepted = Platform::exploreFolder(target);
    const auto took = std::chrono::steady_clock::now() - start;
    ::setenv("PATH", (bin.path() + "none").c_str(), 1);
    const bool withoutOpener = Platform::openInShell("https://example.com/");
    ::setenv("PATH", path.c_str(), 1);
    if (noDialogs) ::setenv("ONDREL_NO_DIALOGS", keepNoDialogs.c_str(), 1);

    EXPECT_TRUE(accepted);
    EXPECT_LT(took, std::chrono::milliseconds(1500)) << "the opener is not waited for";
    for (int i = 0; i < 500 && !Platform::fileExists(bin.path() + "args"); ++i) ::usleep(10000);
    EXPECT_EQ(readFile(bin.path() + "args"), "1|" + target);
    EXPECT_FALSE(Platform::fileExists(bin.path() + "x")) << "no shell read the target";
    EXPECT_FALSE(withoutOpener);
}

TEST(presets_Platform, FileBaseNames)
{
    EXPECT_EQ(Platform::presetFileBaseName("Pad/Lead: 2"), "Pad%Lead; 2");
    EXPECT_EQ(Platform::presetFileBaseName("\xC3\xA4"), "@@");
    EXPECT_EQ(Platform::presetFileBaseName(""), "Preset");
    for (const std::string reserved : {"con", "CON", "nul.txt", "Lpt1"})
        EXPECT_EQ(Platform::presetFileBaseName(reserved), "_" + reserved);
    EXPECT_EQ(Platform::presetFileBaseName("COM7.old"), "_COM7.old");
    EXPECT_EQ(Platform::presetFileBaseName("Console"), "Console");
    EXPECT_EQ(Platform::presetFileBaseName(std::string(300, 'y')).size(), 100u);
}

TEST(presets_Platform, WriteTextFileReplacesWholeFiles)
{
    ScratchFolder folder;
    const std::string path = folder.path() + "f.yaml";
    EXPECT_EQ(Platform::writeTextFile(path, "one\n", false), Platform::WriteResult::Written);
    EXPECT_EQ(Platform::writeTextFile(path, "two\n", false), Platform::WriteResult::Exists);
    EXPECT_EQ(readFile(path), "one\n");
    folder.write("f.yaml.tmp", "a stale temporary file");
    EXPECT_EQ(Platform::writeTextFile(path, "three\n", true), Platform::WriteResult::Written);
    EXPECT_EQ(readFile(path), "three\n");
    EXPECT_EQ(readFile(path + ".tmp"), "a stale temporary file");
    EXPECT_EQ(Platform::writeTextFile(folder.path() + "no/such/folder.yaml", "x", true), Platform::WriteResult::Failed);
    EXPECT_EQ(Platform::writeTextFile("", "x", true), Platform::WriteResult::Failed);
    EXPECT_EQ(listFolder(folder.path()), (std::vector<std::string>{"f.yaml", "f.yaml.tmp"}));
}
