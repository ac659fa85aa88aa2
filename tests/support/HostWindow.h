// The host's side of a window test: its own connection to the virtual
// display and a top-level window that the editor opens its child in.
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

}  // namespace testing_support
