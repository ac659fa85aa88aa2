// The fuzzers' seed corpus and every input that once made a fuzzer fail,
// replayed with the fuzzers' own checks in the normal build.
#include "PresetTestSupport.h"

#include "fuzz/presets/PresetFuzzChecks.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(presets_FuzzRegression, CorpusAndRegressionsPassTheFuzzersChecks)
{
    presets_test::LogCapture quiet;
    for (const auto& [kind, check] :
         {std::pair{"document", &PresetFuzz::checkDocument}, std::pair{"host_chunk", &PresetFuzz::checkHostChunk}}) {
        size_t inputs = 0;
        for (const char* set : {"/corpus/", "/regressions/"}) {
            const std::string folder = std::string(ONDREL_FUZZ_CORPUS) + "/.." + set + kind;
            if (!std::filesystem::is_directory(folder)) continue;
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                const std::string bytes = presets_test::readFile(entry.path().string());
                EXPECT_EQ(check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "") << entry.path();
                ++inputs;
            }
        }
        EXPECT_GE(inputs, 5u) << kind;
    }
}
