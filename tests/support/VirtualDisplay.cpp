#include "VirtualDisplay.h"

#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

void VirtualDisplay::SetUp()
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    m_pid = fork();
    ASSERT_GE(m_pid, 0);
    if (m_pid == 0) {
        // Xvfb ends with the test program, even one that crashes before the
        // environment's tear-down: left running, it would hold the test
        // runner's output pipe open and the run would wait for its timeout.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-maxclients", "512", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    setenv("DISPLAY", (":" + number).c_str(), 1);
}

void VirtualDisplay::TearDown()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

int& EditorWindowDisplay::xErrors()
{
    static int errors = 0;
    return errors;
}

void EditorWindowDisplay::SetUp()
{
    VirtualDisplay::SetUp();
    XSetErrorHandler([](Display*, XErrorEvent*) {
        ++xErrors();
        return 0;
    });
    static char folder[] = "/tmp/ondrel-window-test-XXXXXX";
    if (mkdtemp(folder)) setenv("XDG_CONFIG_HOME", folder, 1);
    setenv("ONDREL_NO_DIALOGS", "1", 1);
}

}  // namespace testing_support
