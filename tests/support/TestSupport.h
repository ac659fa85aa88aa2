// Helpers shared by the plug-in tests: the module's path, a host started on
// it, messages the plug-in would have shown; the signal measurements come
// with them (Signals.h).
#pragma once

#include "tests/support/Signals.h"
#include "tools/host/PluginHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// The plug-in module built by this tree (Ondrel.so in the bundle folder).
std::string modulePath();

// A host with the module loaded and started (44.1 kHz unless given, block 512).
std::unique_ptr<PluginHost> startedHost(float sampleRate = 44100.0f, int blockSize = 512);

// Tests on a host started as startedHost() starts it.
class StartedHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = startedHost();
        ASSERT_TRUE(host);
    }
    std::unique_ptr<PluginHost> host;
};

// Collects the messages the plug-in shows while it lives: the plug-in appends
// them to the file named by ONDREL_MESSAGE_LOG (with ONDREL_NO_DIALOGS set).
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    // Lines "title|text" written since construction.
    std::vector<std::string> lines() const;

private:
    std::string path;
};

}  // namespace testing_support
