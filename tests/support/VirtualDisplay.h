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

// The virtual display of the tests that open the editor's window: every X
// error is counted, the editor's settings go to a fresh folder, and the
// plug-in shows no dialogs.
class EditorWindowDisplay : public VirtualDisplay {
public:
    void SetUp() override;
    // X errors since the start or the last reset.
    static int& xErrors();
};

}  // namespace testing_support
