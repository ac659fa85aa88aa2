// The plug-in module's editor in a real X11 window: a virtual display, a
// plain top-level window standing in for the host's, the editor opened as
// its child through effEditOpen, idled while audio runs on another thread,
// and opened and closed a hundred times. Any X error is counted. (Real
// pointer events on the same editor and back-end are the LV2 UI test's,
// Lv2Ui.MouseEditsReachThePlugInWithOrWithoutTheInstance.)
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/HostWindow.h"  // after gtest: Xlib defines None and Bool
#include "source/engine/ParameterIndex.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace {

int& g_xErrors = testing_support::EditorWindowDisplay::xErrors();

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new testing_support::EditorWindowDisplay);

TEST(EditorWindow, OpensAsAChildIdlesWithAudioRunningDrawsAndCloses100Times)
{
    testing_support::HostWindow parent;
    ASSERT_NE(parent.display, nullptr);
    std::unique_ptr<PluginHost> host = testing_support::startedHost();
    ASSERT_TRUE(host);
    g_xErrors = 0;
    ERect* rect = nullptr;
    ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, parent.handle()), 1);
    auto children = parent.children();
    ASSERT_EQ(children.size(), 1u);
    XWindowAttributes attributes{};
    XGetWindowAttributes(parent.display, children[0], &attributes);
    EXPECT_EQ(attributes.width, rect->right);
    EXPECT_EQ(attributes.height, rect->bottom);

    // The audio thread renders notes and automates a knob while the host's
    // user-interface thread idles the editor.
    std::atomic<bool> running{true};
    std::thread audio([&] {
        std::vector<float> l(256), r(256);
        for (int block = 0; running; ++block) {
            if (block % 50 == 0) host->queueMidi(0, 0x90, (uint8_t)(48 + block / 50 % 24), 100);
            host->setParameter(kRange2, (block % 100) / 100.0f);
            host->process(l.data(), r.data(), 256);
        }
    });
    for (int i = 0; i < 60; ++i) {
        host->dispatch(effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    running = false;
    audio.join();
    host->dispatch(effEditIdle);
    XSync(parent.display, False);

    // The window shows the panel: its colour in an empty place.
    XImage* image = XGetImage(parent.display, children[0], 530, 470, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    EXPECT_EQ(p & 0xffffff, 0x181a1du) << std::hex << p;

    host->dispatch(effEditClose);
    EXPECT_TRUE(parent.children().empty());

    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, parent.handle()), 1);
        ASSERT_EQ(parent.children().size(), 1u);
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
        ASSERT_TRUE(parent.children().empty());
    }
    // Closing twice and idling while closed are harmless.
    host->dispatch(effEditClose);
    host->dispatch(effEditIdle);
    XSync(parent.display, False);
    EXPECT_EQ(g_xErrors, 0);
}

}  // namespace
