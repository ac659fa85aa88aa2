// Linux: the message goes to the standard error stream, and, when an X
// display is reachable, into a small modal window with an OK button that
// the calling thread waits on (as a message box does on Windows).
#include "MessageBox.h"
#include "MessageBoxCommon.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Platform {
namespace detail {

namespace {

struct Layout {
    int width = 0;
    int height = 0;
    int buttonX = 0;
    int buttonY = 0;
    static constexpr int kButtonWidth = 80;
    static constexpr int kButtonHeight = 26;

    bool insideButton(int x, int y) const
    {
        return x >= buttonX && x < buttonX + kButtonWidth && y >= buttonY && y < buttonY + kButtonHeight;
    }
};

void draw(Display* display, Window window, GC gc, XFontStruct* font, const Layout& layout, const char* text)
{
    XClearWindow(display, window);
    int ascent = font ? font->ascent : 10;
    XDrawString(display, window, gc, 20, 24 + ascent, text, (int)std::strlen(text));
    XDrawRectangle(display, window, gc, layout.buttonX, layout.buttonY, Layout::kButtonWidth, Layout::kButtonHeight);
    int okWidth = font ? XTextWidth(font, "OK", 2) : 12;
    XDrawString(display, window, gc, layout.buttonX + (Layout::kButtonWidth - okWidth) / 2,
                layout.buttonY + (Layout::kButtonHeight + ascent) / 2 - 1, "OK", 2);
    XFlush(display);
}

}  // namespace

bool showMessageWindow(const char* text, const char* title, int autoCloseMs)
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;

    int screen = DefaultScreen(display);
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    Layout layout;
    int textWidth = font ? XTextWidth(font, text, (int)std::strlen(text)) : 7 * (int)std::strlen(text);
    layout.width = std::max(260, textWidth + 40);
    layout.height = 110;
    layout.buttonX = (layout.width - Layout::kButtonWidth) / 2;
    layout.buttonY = layout.height - Layout::kButtonHeight - 16;

    int x = (DisplayWidth(display, screen) - layout.width) / 2;
    int y = (DisplayHeight(display, screen) - layout.height) / 2;
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), std::max(0, x), std::max(0, y),
                                        (unsigned)layout.width, (unsigned)layout.height, 1, BlackPixel(display, screen),
                                        WhitePixel(display, screen));
    XSelectInput(display, window, ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask);
    XStoreName(display, window, title);
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = layout.width;
    hints.min_height = hints.max_height = layout.height;
    XSetWMNormalHints(display, window, &hints);
    Atom deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteAtom, 1);
    GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, BlackPixel(display, screen));
    if (font) XSetFont(display, gc, font->fid);
    XMapRaised(display, window);
    XFlush(display);

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(autoCloseMs);
    bool pressedOnButton = false;
    for (bool done = false; !done;) {
        if (!XPending(display)) {
            int wait = -1;
            if (autoCloseMs > 0) {
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
                if (left <= 0) break;
                wait = (int)left;
            }
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            if (poll(&fd, 1, wait) < 0) break;
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) draw(display, window, gc, font, layout, text);
            break;
        case ButtonPress:
            pressedOnButton = layout.insideButton(event.xbutton.x, event.xbutton.y);
            break;
        case ButtonRelease:
            done = pressedOnButton && layout.insideButton(event.xbutton.x, event.xbutton.y);
            break;
        case KeyPress: {
            KeySym key = XLookupKeysym(&event.xkey, 0);
            done = key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space;
            break;
        }
        case ClientMessage:
            done = (Atom)event.xclient.data.l[0] == deleteAtom;
            break;
        default:
            break;
        }
    }

    XFreeGC(display, gc);
    if (font) XFreeFont(display, font);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return true;
}

}  // namespace detail

void showMessageBox(const char* text, const char* title)
{
    if (!text) text = "";
    if (!title) title = "";
    if (detail::recordMessage(text, title)) return;
    std::fprintf(stderr, "%s: %s\n", title, text);
    detail::showMessageWindow(text, title, 0);
}

}  // namespace Platform
