// The fuzzers' seed corpus and every input that once made a fuzzer fail,
// replayed with the fuzzers' own checks in the normal build.
#include "PresetTestSupport.h"

#include "fuzz/presets/PresetFuzzChecks.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<std::string> inputs(const std::string& kind)
{
    std::vector<std::string> paths;
    for (const char* set : {"/corpus/", "/regressions/"}) {
        const std::string folder = std::string(ONDREL_FUZZ_CORPUS) + "/.." + set + kind;
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file()) paths.push_back(entry.path().string());
    }
    return paths;
}

}  // namespace

TEST(presets_FuzzRegression, DocumentInputs)
{
    presets_test::LogCapture quiet;
    const auto paths = inputs("document");
    EXPECT_GE(paths.size(), 5u);
    for (const std::string& path : paths) {
        const std::string bytes = presets_test::readFile(path);
        EXPECT_EQ(PresetFuzz::checkDocument(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "") << path;
    }
}

TEST(presets_FuzzRegression, HostChunkInputs)
{
    presets_test::LogCapture quiet;
    const auto paths = inputs("host_chunk");
    EXPECT_GE(paths.size(), 5u);
    for (const std::string& path : paths) {
        const std::string bytes = presets_test::readFile(path);
        EXPECT_EQ(PresetFuzz::checkHostChunk(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "") << path;
    }
}
