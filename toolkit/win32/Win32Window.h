#pragma once
// The frame's window on Windows: a child window of the host's window,
// painted from a GDI+ back buffer (double-buffered). The host's message loop
// delivers its messages; the frame's idle paints what became invalid.

#include "toolkit/Frame.h"
#include "toolkit/Platform.h"

#include <windows.h>

#include <memory>

class Win32Window : public IPlatformWindow {
public:
    Win32Window(CFrame& frame, HWND parent);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    bool isValid() const { return m_hwnd != nullptr; }

    void invalidRect(const CRect& rect) override;
    void idle() override;
    bool setSize(const CPoint& size) override;
    void setCursor(CCursorType cursor) override;
    bool getCurrentMousePosition(CPoint& where) override;
    CButtonState getCurrentMouseButtons() override;
    void* getNativeHandle() override { return m_hwnd; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void allocateBuffer();
    CButtonState buttonsFrom(WPARAM wParam) const;

    CFrame& m_frame;
    HWND m_hwnd = nullptr;
    HCURSOR m_cursor = nullptr;
    std::unique_ptr<IPlatformBitmap> m_buffer;
    std::unique_ptr<IPlatformGraphics> m_graphics;
    int m_width = 0;
    int m_height = 0;
    bool m_trackingLeave = false;
};
