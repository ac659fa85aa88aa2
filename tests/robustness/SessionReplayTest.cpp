// The host fuzzer's committed corpus and every session that once failed
// (fuzz/host/regressions), played on fresh instances in the normal build.
#include "RobustnessSupport.h"
#include "tools/host/HostSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace robustness;

TEST(HostSessions, CorpusAndRegressionsPlayClean)
{
    namespace fs = std::filesystem;
    int played = 0;
    for (const char* folder : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(ONDREL_HOST_FUZZ_DIR) / folder;
        if (!fs::is_directory(dir)) continue;
        for (const fs::directory_entry& file : fs::directory_iterator(dir)) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            auto host = newInstance();
            ASSERT_TRUE(host);
            HostSession session(*host);
            EXPECT_EQ(session.play(bytes.data(), bytes.size()), "") << file.path();
            ++played;
        }
    }
    EXPECT_GE(played, 10);
}
