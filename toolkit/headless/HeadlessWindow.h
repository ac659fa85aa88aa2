#pragma once
// A frame's "window" without a display: the frame is drawn into a bitmap of
// the graphics back-end, and events come from whoever calls the frame's
// platform entry points (tests, the render tool).

#include "toolkit/Frame.h"
#include "toolkit/Platform.h"

#include <memory>

class HeadlessWindow : public IPlatformWindow {
public:
    explicit HeadlessWindow(CFrame& frame);
    ~HeadlessWindow() override;

    // The headless window of a frame opened with PlatformType::kHeadless, or null.
    static HeadlessWindow* of(const CFrame* frame);

    void invalidRect(const CRect& rect) override;
    void idle() override;
    bool setSize(const CPoint& size) override;
    void setCursor(CCursorType cursor) override { m_cursor = cursor; }
    bool getCurrentMousePosition(CPoint& where) override;
    CButtonState getCurrentMouseButtons() override;
    void* getNativeHandle() override { return this; }

    // Draws the whole frame now.
    void redraw();
    CColor getPixel(int x, int y) const;
    bool savePng(const char* path) const;
    IPlatformBitmap* getBitmap() const { return m_bitmap.get(); }
    CCursorType getCursor() const { return m_cursor; }
    // How many times anything was drawn (tests of dirty handling).
    int getDrawCount() const { return m_drawCount; }

private:
    void allocate(int width, int height);
    void drawInvalid();

    CFrame& m_frame;
    std::unique_ptr<IPlatformBitmap> m_bitmap;
    std::unique_ptr<IPlatformGraphics> m_graphics;
    CRect m_invalid;
    CCursorType m_cursor = kCursorDefault;
    int m_drawCount = 0;
};
