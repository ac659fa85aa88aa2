// Per-user settings on Linux: one small file under $XDG_CONFIG_HOME (or
// ~/.config), values kept exactly, and every failure silent.
#include "platform/Settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/ondrel-settings-XXXXXX";
        ASSERT_TRUE(mkdtemp(name));
        root = name;
        savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    }
    void TearDown() override
    {
        setenv("HOME", savedHome.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        std::system(("rm -rf '" + root + "'").c_str());
    }
    std::string root, savedHome;
    Platform::SettingsStore store{"Software\\Zentorial\\Ondrel"};
};

TEST_F(Settings, ValuesLiveInOneFileUnderTheConfigFolder)
{
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    EXPECT_EQ(store.filePath(), root + "/config/Ondrel/settings");
    float f = 9;
    uint32_t n = 9;
    EXPECT_FALSE(store.readFloat("skin", f));
    EXPECT_FALSE(store.readNumber("colourscheme", n));
    EXPECT_EQ(f, 9);
    ASSERT_TRUE(store.writeFloat("skin", 0.1f));  // creates both folders
    ASSERT_TRUE(store.writeNumber("colourscheme", 7));
    ASSERT_TRUE(store.writeFloat("skin", 2.9f));
    ASSERT_TRUE(store.readFloat("skin", f));
    EXPECT_EQ(f, 2.9f);
    ASSERT_TRUE(store.readNumber("colourscheme", n));
    EXPECT_EQ(n, 7u);

    // A relative XDG_CONFIG_HOME counts as unset: ~/.config.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", root.c_str(), 1);
    EXPECT_EQ(store.filePath(), root + "/.config/Ondrel/settings");
}

TEST_F(Settings, FailuresLeaveTheDefaults)
{
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    // A folder where the file should be: nothing reads, nothing writes.
    ASSERT_EQ(mkdir((root + "/Ondrel").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root + "/Ondrel/settings").c_str(), 0755), 0);
    float f = 1;
    EXPECT_FALSE(store.readFloat("skin", f));
    EXPECT_FALSE(store.writeFloat("skin", 3));
    EXPECT_EQ(f, 1);
    // No home at all.
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(store.filePath(), "");
    EXPECT_FALSE(store.writeNumber("colourscheme", 1));
    uint32_t n = 5;
    EXPECT_FALSE(store.readNumber("colourscheme", n));
    EXPECT_EQ(n, 5u);
}

}  // namespace
