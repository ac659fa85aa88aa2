// The X11 back-end in a real X server: a virtual display (Xvfb) started by
// this test, a parent window standing in for the host's, and the editor's
// child window in it taking X events, drawing and resizing. Any X error is
// counted. The whole editor drawn, opened and closed a hundred times is
// EditorWindow's (the plug-in's editor on the same back-end).

#include "ToolkitTestSupport.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/HostWindow.h"  // after gtest: Xlib defines None and Bool

#include "editor/controls/SimpleOnOff.h"
#include "toolkit/ParamDisplay.h"
#include "toolkit/x11/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace {

int& g_xErrors = testing_support::EditorWindowDisplay::xErrors();

const auto* g_display = ::testing::AddGlobalTestEnvironment(new testing_support::EditorWindowDisplay);

using testing_support::HostWindow;

void idleUntil(GUIEditor& editor, const std::function<bool()>& done)
{
    for (int i = 0; i < 200 && !done(); ++i) {
        editor.idleFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

TEST(ToolkitX11, EventsReachTheViewsAndTheWindowShowsTheDrawing)
{
    HostWindow host(900, 300);
    ASSERT_NE(host.display, nullptr);
    g_xErrors = 0;
    RecordingHost recorder;
    GUIEditor editor(&recorder);
    auto* frame = new CFrame(CRect(0, 0, 893, 200), &editor);
    frame->setBackgroundColor(CColor(24, 26, 29));
    auto* onOff = new CSimpleOnOff(CRect(10, 10, 30, 30), nullptr, 10);
    auto* edit = new CTextEdit(CRect(500, 10, 700, 30), nullptr, -1, "");
    frame->addView(onOff);
    frame->addView(edit);
    ASSERT_TRUE(editor.openFrame(frame, host.handle(), PlatformType::kX11Window));
    const auto child = static_cast<Window>(reinterpret_cast<uintptr_t>(frame->getPlatformWindow()->getNativeHandle()));

    testing_support::sendClick(host.display, child, 20, 20);
    idleUntil(editor, [&] { return onOff->getValue() == 1.f; });
    EXPECT_EQ(onOff->getValue(), 1.f);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"begin 10", "end 10"}));

    // Keys typed into the text edit after a click on it.
    testing_support::sendClick(host.display, child, 600, 20);
    idleUntil(editor, [&] { return frame->getFocusView() == edit; });
    ASSERT_EQ(frame->getFocusView(), edit);
    testing_support::sendKey(host.display, child, XK_O, ShiftMask);
    testing_support::sendKey(host.display, child, XK_k);
    idleUntil(editor, [&] { return std::string(edit->getText()) == "Ok"; });
    EXPECT_STREQ(edit->getText(), "Ok");

    // The window holds what was drawn: the switch's "on" colour (default block).
    // The editor's connection is synchronised first: the server may otherwise
    // answer the host's connection before it has done the editor's drawing.
    editor.idleFrame();
    Display* editorDisplay = dynamic_cast<X11Window*>(frame->getPlatformWindow())->getDisplay();
    XSync(editorDisplay, False);
    XImage* image = XGetImage(host.display, child, 20, 20, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    EXPECT_EQ((pixel >> 16) & 0xFF, 201u);
    EXPECT_EQ((pixel >> 8) & 0xFF, 201u);
    EXPECT_EQ(pixel & 0xFF, 201u);

    // Cursor changes and resizing talk to the server without errors.
    frame->setCursor(kCursorVSize);
    frame->setCursor(kCursorDefault);
    EXPECT_TRUE(frame->setSize(1060, 240));
    editor.idleFrame();
    XSync(editorDisplay, False);
    XWindowAttributes attributes;
    XGetWindowAttributes(host.display, child, &attributes);
    EXPECT_EQ(attributes.width, 1060);
    editor.closeFrame();
    XSync(host.display, False);
    EXPECT_EQ(g_xErrors, 0);
}

}  // namespace
