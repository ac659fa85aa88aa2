#pragma once
// The frame's window on Linux: an X11 child window of the host's window,
// with a connection of its own to the display. Events are read and the
// window drawn only from the frame's idle, on the host's user-interface
// thread; nothing of ours runs on any other thread.

#include "toolkit/Frame.h"
#include "toolkit/Platform.h"

#include <X11/Xlib.h>
#include <cairo.h>

#include <memory>

class X11Window : public IPlatformWindow {
public:
    // `parent` is an X11 Window id; 0 makes a top-level window.
    X11Window(CFrame& frame, unsigned long parent);
    ~X11Window() override;
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    bool isValid() const { return m_window != 0; }

    void invalidRect(const CRect& rect) override;
    void idle() override;
    bool setSize(const CPoint& size) override;
    void setCursor(CCursorType cursor) override;
    bool getCurrentMousePosition(CPoint& where) override;
    CButtonState getCurrentMouseButtons() override;
    void* getNativeHandle() override;

    Display* getDisplay() const { return m_display; }

private:
    void handleEvent(XEvent& event);
    void allocateBuffer(int width, int height);
    void drawInvalid();
    CButtonState buttonState(unsigned int state) const;
    // The pointer in window coordinates and the button/modifier mask.
    bool queryPointer(int& x, int& y, unsigned int& mask) const;

    CFrame& m_frame;
    Display* m_display = nullptr;
    Window m_window = 0;
    Cursor m_cursor = 0;
    GC m_gc = nullptr;
    Visual* m_visual = nullptr;
    int m_depth = 0;
    // The back buffer's pixels go straight to the window when the visual is
    // 24-bit true colour; other visuals go through a Cairo surface of the window.
    bool m_directCopy = false;
    cairo_surface_t* m_windowSurface = nullptr;
    std::unique_ptr<IPlatformBitmap> m_buffer;
    std::unique_ptr<IPlatformGraphics> m_graphics;
    CRect m_invalid;
    int m_width = 0;
    int m_height = 0;
};
