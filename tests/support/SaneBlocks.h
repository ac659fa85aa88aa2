// The check every rendered sample must pass, blocks rendered into buffers
// filled with NaN beforehand, so that a frame the plug-in leaves unwritten
// fails it, and the host fuzzer's sessions replayed. Header only: the
// Windows test programs use it too.
#pragma once

#include "tools/host/HostSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace testing_support {

// Every sample finite and within the plug-in's output bound.
inline bool sane(const std::vector<float>& samples)
{
    for (float x : samples)
        if (!std::isfinite(x) || std::fabs(x) > HostSession::kOutputBound) return false;
    return true;
}

// `frames` frames in blocks of `block`, each block's left then right channel.
inline std::vector<float> renderOverNaN(PluginHost& host, int frames, int block)
{
    std::vector<float> out, l((size_t)block), r((size_t)block);
    for (int done = 0; done < frames; done += block) {
        std::fill(l.begin(), l.end(), std::nanf(""));
        std::fill(r.begin(), r.end(), std::nanf(""));
        host.process(l.data(), r.data(), block);
        out.insert(out.end(), l.begin(), l.end());
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

// Every committed session of the host fuzzer below `folder` (its corpus and
// the sessions that once failed), each played on an instance from `newHost`.
template <class NewHost>
void replayCommittedSessions(const std::string& folder, NewHost newHost)
{
    const auto sessions = HostSession::committedSessions(folder);
    for (const HostSession::SessionFile& file : sessions) {
        auto host = newHost();
        ASSERT_TRUE(host);
        HostSession session(*host);
        EXPECT_EQ(session.play(file.bytes.data(), file.bytes.size()), "") << file.path;
    }
    EXPECT_GE(sessions.size(), 10u);
}

}  // namespace testing_support
