// Messages to the user: recorded for tests and headless hosts, and on Linux
// shown in a modal X11 window that OK, Return or the window manager closes.
#include "platform/MessageBox.h"
#include "platform/MessageBoxCommon.h"
#include "tests/support/VirtualDisplay.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "tests/support/HostWindow.h"  // after gtest: Xlib defines None and Bool

#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

const auto* g_display = ::testing::AddGlobalTestEnvironment(new testing_support::VirtualDisplay);

std::vector<std::string> g_recorded;
void record(const char* text, const char* title) { g_recorded.push_back(std::string(title) + "|" + text); }

// A recorder takes the message instead of the user (missing texts as empty
// ones). Without one, the no-dialog mode's log file is what the plug-in
// tests read (testing_support::MessageLog, SampleRate.*).
TEST(MessageBox, RecorderTakesTheMessageInsteadOfTheUser)
{
    g_recorded.clear();
    Platform::setMessageRecorder(record);
    Platform::showMessageBox("Minimum supported SampleRate exceeded", "Warning!");
    Platform::showMessageBox(nullptr, nullptr);
    Platform::setMessageRecorder(nullptr);
    EXPECT_EQ(g_recorded, (std::vector<std::string>{"Warning!|Minimum supported SampleRate exceeded", "|"}));
}

// Finds a top-level window by its title.
Window findWindow(Display* display, const char* title)
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(display, children[i], &name) && name) {
                if (std::string(name) == title) found = children[i];
                XFree(name);
            }
        }
        if (children) XFree(children);
    }
    return found;
}

// Shows the window on another thread, lets `answer` close it through the
// test's own connection, and says whether it was shown and closed by the
// answer, well before its timeout of 10 s.
using Answer = std::function<void(Display*, Window, const XWindowAttributes&)>;
bool showAndAnswer(Display* display, const char* title, const Answer& answer)
{
    auto start = std::chrono::steady_clock::now();
    auto result = std::async(std::launch::async, [title] {
        return Platform::detail::showMessageWindow("Minimum supported SampleRate exceeded", title, 10000);
    });
    // Answer once the window is on screen (and so listens to its events).
    Window window = 0;
    XWindowAttributes attributes{};
    for (int tries = 0; tries < 500; ++tries) {
        window = findWindow(display, title);
        if (window && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(attributes.map_state, IsViewable) << "the window appears";
    if (window) {
        answer(display, window, attributes);
        XFlush(display);
    }
    return result.get() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5);
}

// The OK button (a click away from it leaves the window open) and the Return
// key close the window, well before its timeout. The test's connection stays
// open throughout: the server resets when its last client leaves.
TEST(MessageWindow, OkButtonOrReturnClosesIt)
{
    const std::pair<const char*, Answer> answers[] = {
        {"Warning!",
         [](Display* d, Window w, const XWindowAttributes& a) {
             testing_support::sendClick(d, w, 5, 5);
             testing_support::sendClick(d, w, a.width / 2, a.height - 16 - 13);
         }},
        {"Hu?", [](Display* d, Window w, const XWindowAttributes&) { testing_support::sendKey(d, w, XK_Return); }}};
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    for (const auto& [title, answer] : answers)
        EXPECT_TRUE(showAndAnswer(display, title, answer)) << title << ": closed by the answer, not by the timeout";
    XCloseDisplay(display);
}

TEST(MessageWindow, WithoutADisplayOnlyTheLineIsWritten)
{
    std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    EXPECT_FALSE(Platform::detail::showMessageWindow("text", "title", 10000));
    setenv("DISPLAY", saved.c_str(), 1);
}

}  // namespace
