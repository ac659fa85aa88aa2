// The host fuzzer's committed corpus and every session that once failed
// (fuzz/host/regressions), played on fresh instances in the normal build.
#include "RobustnessSupport.h"
#include "tools/host/HostSession.h"

#include <gtest/gtest.h>

using namespace robustness;

TEST(HostSessions, CorpusAndRegressionsPlayClean)
{
    const auto sessions = HostSession::committedSessions(ONDREL_HOST_FUZZ_DIR);
    for (const HostSession::SessionFile& file : sessions) {
        auto host = newInstance();
        ASSERT_TRUE(host);
        HostSession session(*host);
        EXPECT_EQ(session.play(file.bytes.data(), file.bytes.size()), "") << file.path;
    }
    EXPECT_GE(sessions.size(), 10u);
}
