#pragma once
// The drawing interface every view draws through: colours, line width,
// anti-aliasing, font, clipping and an origin offset kept here; shapes,
// text and bitmaps handed to the back-end's painter in device pixels.

#include "toolkit/Base.h"
#include "toolkit/Platform.h"

#include <memory>
#include <vector>

class CBitmap;
class CFrame;

enum CDrawMode { kAliasing = 0, kAntiAliasing = 1 };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext : public CBaseObject {
public:
    // `surface` is the drawable area in device pixels.
    CDrawContext(IPlatformGraphics* graphics, const CRect& surface);

    void setLineWidth(CCoord width) { m_state.lineWidth = width; }
    CCoord getLineWidth() const { return m_state.lineWidth; }
    void setDrawMode(CDrawMode mode) { m_state.antialias = mode == kAntiAliasing; }
    CDrawMode getDrawMode() const { return m_state.antialias ? kAntiAliasing : kAliasing; }
    void setFrameColor(const CColor& color) { m_state.frameColor = color; }
    const CColor& getFrameColor() const { return m_state.frameColor; }
    void setFillColor(const CColor& color) { m_state.fillColor = color; }
    const CColor& getFillColor() const { return m_state.fillColor; }
    void setFontColor(const CColor& color) { m_state.fontColor = color; }
    const CColor& getFontColor() const { return m_state.fontColor; }
    // A size of 0 or a style of −1 keep those of `font`.
    void setFont(const CFontDesc& font, CCoord size = 0, int32_t style = -1);
    const CFontDesc& getFont() const { return m_state.font; }

    // Origin of the coordinates given to the drawing operations, in device pixels.
    void setOffset(const CPoint& offset) { m_offset = offset; }
    const CPoint& getOffset() const { return m_offset; }
    // Clip rectangle in the current coordinates (offset applied).
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;
    void resetClipRect();

    void moveTo(const CPoint& point) { m_penPosition = point; }
    // Draws a line from the pen position and moves the pen there.
    void lineTo(const CPoint& point);
    void drawLine(const CPoint& from, const CPoint& to);
    // An open line through all points, joined.
    void drawLines(const std::vector<CPoint>& points);
    void drawPolygon(const std::vector<CPoint>& points, CDrawStyle style = kDrawStroked);
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style = kDrawStroked);
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    // Degrees, 0 at three o'clock, clockwise on screen.
    void drawArc(const CRect& rect, double startDeg, double endDeg, CDrawStyle style = kDrawStroked);

    // Text in the font colour, vertically centred in `rect` on the font's
    // ascent and descent, aligned horizontally.
    void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText, bool antialias = true);
    // Text whose baseline starts at `baselineLeft`.
    void drawString(const char* text, const CPoint& baselineLeft, bool antialias = true);
    CCoord getStringWidth(const char* text);
    TextMetrics getTextMetrics(const char* text);

    void drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset = CPoint(), float alpha = 1.f);

    // The whole drawable area in device pixels.
    const CRect& getSurfaceRect() const { return m_surface; }
    IPlatformGraphics* getPlatformGraphics() const { return m_graphics; }

private:
    CPoint toDevice(const CPoint& p) const { return {p.x + m_offset.x, p.y + m_offset.y}; }
    CRect toDevice(const CRect& r) const
    {
        CRect d = r;
        return d.offset(m_offset);
    }

    IPlatformGraphics* m_graphics;
    CRect m_surface;
    CRect m_clip;  // device pixels
    CPoint m_offset;
    CPoint m_penPosition;
    PaintState m_state;
};

// A drawing context whose target is a bitmap, for drawing once and copying
// many times (the editor's background).
class COffscreenContext : public CDrawContext {
public:
    // Null when the back-end cannot make a bitmap of that size.
    static SharedPointer<COffscreenContext> create(CFrame* frame, CCoord width, CCoord height);

    void beginDraw() {}
    void endDraw();
    CBitmap* getBitmap() const { return m_bitmap.get(); }
    CCoord getWidth() const { return getSurfaceRect().getWidth(); }
    CCoord getHeight() const { return getSurfaceRect().getHeight(); }

private:
    COffscreenContext(SharedPointer<CBitmap> bitmap, std::unique_ptr<IPlatformGraphics> graphics, const CRect& size);

    SharedPointer<CBitmap> m_bitmap;
    std::unique_ptr<IPlatformGraphics> m_graphics;
};
