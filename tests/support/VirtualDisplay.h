// A virtual X display (Xvfb on a free display number) for the whole test
// program: DISPLAY points at it from the environment's set-up on.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

namespace testing_support {

class VirtualDisplay : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    pid_t m_pid = -1;
};

}  // namespace testing_support
