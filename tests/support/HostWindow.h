// The host's side of a window test: its own connection to the virtual
// display, a top-level window that the editor opens its child in, and events
// sent to a window as the X server would deliver them.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace testing_support {

class HostWindow {
public:
    HostWindow(unsigned int width = 1000, unsigned int height = 600)
    {
        // A server still busy with the previous test's hundreds of
        // disconnections may refuse a moment.
        for (int attempt = 0; attempt < 100 && !display; ++attempt) {
            display = XOpenDisplay(nullptr);
            if (!display) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow()
    {
        if (!display) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    std::vector<Window> children()
    {
        Window root = 0, parent = 0, *list = nullptr;
        unsigned int count = 0;
        XQueryTree(display, window, &root, &parent, &list, &count);
        std::vector<Window> result(list, list + count);
        if (list) XFree(list);
        return result;
    }
    void* handle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

    Display* display = nullptr;
    Window window = 0;
};

// Sends `event` to `target` and waits until the server has it.
inline void sendEvent(Display* display, Window target, XEvent event, long mask)
{
    event.xany.window = target;
    event.xany.display = display;
    XSendEvent(display, target, False, mask, &event);
    XSync(display, False);
}

// A click of the left button at (x, y): its press, then its release.
inline void sendClick(Display* display, Window target, int x, int y)
{
    XEvent event{};
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    event.xbutton.type = ButtonPress;
    sendEvent(display, target, event, ButtonPressMask);
    event.xbutton.type = ButtonRelease;
    event.xbutton.state = Button1Mask;
    sendEvent(display, target, event, ButtonReleaseMask);
}

inline void sendKey(Display* display, Window target, KeySym key, unsigned int state = 0)
{
    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.keycode = XKeysymToKeycode(display, key);
    event.xkey.state = state;
    event.xkey.same_screen = True;
    sendEvent(display, target, event, KeyPressMask);
}

}  // namespace testing_support
