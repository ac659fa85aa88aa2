// A user's preset folders as they really look: malformed, empty, binary,
// oversized and unreadable files, a pipe, links to an upper folder, to
// themselves and to nowhere, names with spaces, quotes, non-ASCII letters and
// great length, and 10,000 presets in one category. The instance starts in a bounded time, lists
// every preset it can read, reports the others on the standard error
// stream, and leaves every file as it was.
#include "RobustnessSupport.h"

#include "Frameworks/PresetManager/PresetLog.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "source/OndrelPlugin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace robustness;
namespace fs = std::filesystem;

namespace {

std::string g_log;

std::string preset(const std::string& name, float wave)
{
    return "---\nPreset:\n  product: Ondrel\n  version: 0.9.8\n  format: 1\n  name: \"" + name +
           "\"\nParams:\n  Wave: " + std::to_string(wave) + "\n";
}

void write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Every file below the folder with its size and content.
std::map<std::string, std::string> snapshot(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::error_code ec;
        if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
        std::string content;
        if (it->file_size(ec) < (1u << 20)) {
            std::ifstream in(it->path(), std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        files[it->path().string()] = std::to_string(it->file_size(ec)) + ":" + content;
    }
    return files;
}

TEST(UserPresetFolders, TheInstanceListsWhatReadsAndReportsTheRest)
{
    const fs::path data = fs::temp_directory_path() / ("ondrel-folders-" + std::to_string((long)getpid()));
    const fs::path factory = data / "Presets" / "Factory", user = data / "Presets" / "User";
    fs::create_directories(factory / "Bass");
    fs::create_directories(user / "Many");
    write(factory / "Bass" / "Deep.yaml", preset("Deep", 0.25f));
    write(user / "with spaces in it.yaml", preset("Spaces", 0.5f));
    write(user / "it's \"quoted\".yaml", preset("Quoted", 0.5f));
    write(user / "Glöckchen \xE2\x98\x83 \xE6\x97\xA5.yaml", preset("Gl\xC3\xB6"
                                                                    "ckchen",
                                                                    0.5f));
    write(user / (std::string(200, 'L') + ".yaml"), preset("Long", 0.5f));
    const fs::path unreadable = user / "unreadable.yaml";
    write(unreadable, preset("Unreadable", 0.5f));
    ::chmod(unreadable.c_str(), 0);
    const bool rootReads = ::access(unreadable.c_str(), R_OK) == 0;  // the super-user reads it all the same
    const std::vector<std::string> bad = {"malformed.yaml", "empty.yaml", "binary.yaml", "huge.yaml"};
    write(user / "malformed.yaml", "---\nPreset: [unclosed\nParams:\n  Wave: {\n");
    write(user / "empty.yaml", "");
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i) binary[i] = (char)(i * 131 + 7);
    write(user / "binary.yaml", binary);
    write(user / "huge.yaml", preset("Huge", 0.5f));
    fs::resize_file(user / "huge.yaml", (64u << 20) + 1);  // beyond the reader's limit, sparse on disk
    ASSERT_EQ(::mkfifo((user / "pipe.yaml").c_str(), 0600), 0);
    fs::create_directory_symlink("..", user / "Many" / "up");
    fs::create_symlink("self.yaml", user / "self.yaml");
    fs::create_symlink("nowhere.yaml", user / "gone.yaml");
    const int kMany = 10000;
    for (int i = 0; i < kMany; ++i)
        write(user / "Many" / ("p" + std::to_string(i) + ".yaml"), preset("P" + std::to_string(i), 0.75f));
    const auto before = snapshot(data);

    g_log.clear();
    PresetLog::setRecorder([](const char* text) { g_log += text; });
    PresetLog::setEcho(false);
    const auto start = std::chrono::steady_clock::now();
    auto host = newInstance(data.string());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(host);
    RecordProperty("startSeconds", std::to_string(seconds));
    EXPECT_LT(seconds, 60.0) << "start with 10,000 presets (sanitizer build)";

    host->start(44100.0f, 512);
    auto* plugin = static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(host->effect()->object));
    PresetManager& presets = plugin->getPresetManager();
    EXPECT_EQ(presets.getProgramsOfCategory("Bass").size(), 1u);
    EXPECT_EQ(presets.getProgramsOfCategory("Many").size(), (size_t)kMany) << "each once, the link up not followed";
    EXPECT_EQ(presets.getProgramsOfCategory("\xC2\xABUser presets\xC2\xBB").size(), rootReads ? 5u : 4u);
    for (const std::string& name : bad) EXPECT_NE(g_log.find(name), std::string::npos) << name << " is reported";
    if (!rootReads) {
        EXPECT_NE(g_log.find("unreadable.yaml"), std::string::npos);
    }

    const std::vector<uint8_t> chunk = host->getChunk();
    EXPECT_EQ(host->setChunk(chunk.data(), chunk.size()), 1);
    host.reset();
    PresetLog::setRecorder(nullptr);
    PresetLog::setEcho(true);
    EXPECT_TRUE(snapshot(data) == before) << "no preset file changed, appeared or disappeared";
    ::chmod(unreadable.c_str(), 0600);
    fs::remove_all(data);
}

}  // namespace
