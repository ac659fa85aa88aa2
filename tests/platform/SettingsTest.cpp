// Per-user settings on Linux: one small file under $XDG_CONFIG_HOME (or
// ~/.config), values kept exactly, and every failure silent.
#include "platform/Settings.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

TEST(Settings, ValuesLiveInOneFileUnderTheConfigFolderAndFailuresLeaveTheDefaults)
{
    testing_support::ScratchFolder scratch;
    const std::string root = std::filesystem::path(scratch.path()).parent_path(),
                      savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    Platform::SettingsStore store{"Software\\Zentorial\\Ondrel"};
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    EXPECT_EQ(store.filePath(), root + "/config/Ondrel/settings");
    float f = 9;
    uint32_t n = 9;
    EXPECT_FALSE(store.readFloat("skin", f));
    EXPECT_FALSE(store.readNumber("colourscheme", n));
    EXPECT_EQ(f, 9);
    EXPECT_EQ(n, 9u);
    // Values written over and numbers read back are ToolBarTest.ZoomAndColourMenuChangeTheEditorAndPersist's.
    EXPECT_TRUE(store.writeFloat("skin", 0.1f));  // creates both folders
    EXPECT_TRUE(store.readFloat("skin", f));
    EXPECT_EQ(f, 0.1f);

    // A relative XDG_CONFIG_HOME counts as unset: ~/.config.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", root.c_str(), 1);
    EXPECT_EQ(store.filePath(), root + "/.config/Ondrel/settings");

    // A folder where the file should be: nothing reads, nothing writes.
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    EXPECT_EQ(mkdir((root + "/Ondrel").c_str(), 0755), 0);
    EXPECT_EQ(mkdir((root + "/Ondrel/settings").c_str(), 0755), 0);
    f = 1;
    EXPECT_FALSE(store.readFloat("skin", f));
    EXPECT_FALSE(store.writeFloat("skin", 3));
    EXPECT_EQ(f, 1);
    // No home at all.
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(store.filePath(), "");
    EXPECT_FALSE(store.writeNumber("colourscheme", 1));
    n = 5;
    EXPECT_FALSE(store.readNumber("colourscheme", n));
    EXPECT_EQ(n, 5u);

    setenv("HOME", savedHome.c_str(), 1);
}
