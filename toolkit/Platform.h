#pragma once
// The interface between the toolkit and its back-ends. A graphics back-end
// (Cairo on Linux, GDI+ on Windows) supplies bitmaps, painters and fonts; a
// window back-end (X11, Win32, headless) supplies the frame's window.
// Only back-end code and CDrawContext use these types.

#include "toolkit/Events.h"
#include "toolkit/Font.h"
#include "toolkit/Geometry.h"

#include <cstddef>
#include <memory>

class CFrame;

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

// Everything a painter needs besides the shape.
struct PaintState {
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kWhiteCColor;
    CCoord lineWidth = 1;
    bool antialias = true;
    CFontDesc font;
};

struct TextMetrics {
    CCoord width = 0;
    CCoord ascent = 0;
    CCoord descent = 0;
};

// Pixels: premultiplied or not is the back-end's business; getPixel answers
// straight (not premultiplied) RGBA.
class IPlatformBitmap {
public:
    virtual ~IPlatformBitmap() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual CColor getPixel(int x, int y) const = 0;
    virtual bool savePng(const char* path) const = 0;
};

// Draws in device pixels. Strokes of odd whole line widths along whole
// coordinates are moved by half a pixel so that they cover whole pixels.
class IPlatformGraphics {
public:
    virtual ~IPlatformGraphics() = default;
    virtual void setClip(const CRect& clip) = 0;
    virtual void drawPolyline(const CPoint* points, size_t count, const PaintState& state) = 0;
    virtual void drawPolygon(const CPoint* points, size_t count, CDrawStyle style, const PaintState& state) = 0;
    // Stroked rectangles lie inside the rectangle: a line of width w is drawn
    // along the rectangle inset by w / 2.
    virtual void drawRect(const CRect& rect, CDrawStyle style, const PaintState& state) = 0;
    virtual void drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style, const PaintState& state) = 0;
    virtual void drawEllipse(const CRect& rect, CDrawStyle style, const PaintState& state) = 0;
    // Degrees, 0 at three o'clock, clockwise on screen; a filled arc is a pie.
    virtual void drawArc(const CRect& rect, double startDeg, double endDeg, CDrawStyle style,
                         const PaintState& state) = 0;
    virtual void drawText(const char* utf8, const CPoint& baselineLeft, const PaintState& state) = 0;
    virtual TextMetrics measureText(const char* utf8, const CFontDesc& font) = 0;
    virtual void drawBitmap(const IPlatformBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset,
                            float alpha) = 0;
    virtual void flush() {}
};

// Which native window a frame opens in.
enum class PlatformType {
    kDefault,    // the OS's own kind: an X11 window id on Linux, an HWND on Windows
    kX11Window,  // parent is an X11 Window id
    kHWND,       // parent is an HWND
    kHeadless,   // no window: the frame is drawn into an image
};

class IPlatformWindow {
public:
    virtual ~IPlatformWindow() = default;
    // Marks a part of the frame (frame coordinates) for redrawing.
    virtual void invalidRect(const CRect& rect) = 0;
    // Handles pending native events and draws what is invalid. Runs on the
    // host's user-interface thread, from the frame's idle.
    virtual void idle() = 0;
    virtual bool setSize(const CPoint& size) = 0;
    virtual void setCursor(CCursorType cursor) = 0;
    // False when the pointer is outside the window or unknown.
    virtual bool getCurrentMousePosition(CPoint& where) = 0;
    virtual CButtonState getCurrentMouseButtons() = 0;
    virtual void* getNativeHandle() = 0;
};

namespace backend {
std::unique_ptr<IPlatformBitmap> createBitmap(int width, int height);
std::unique_ptr<IPlatformBitmap> loadPng(const char* path);
std::unique_ptr<IPlatformGraphics> createGraphics(IPlatformBitmap& target);
bool registerFont(const char* path, const char* familyName);
bool isRegisteredFont(const char* familyName);
// Null when the window cannot be created.
std::unique_ptr<IPlatformWindow> createWindow(PlatformType type, void* parent, CFrame& frame);
}  // namespace backend
