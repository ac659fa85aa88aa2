#pragma once
// Drawing with Cairo into image surfaces; text through FreeType and
// fontconfig. Shared by the headless and the X11 back-ends.

#include "toolkit/Platform.h"

#include <cairo.h>

class CairoBitmap : public IPlatformBitmap {
public:
    CairoBitmap(int width, int height);
    // Takes over the caller's reference to `surface` (an ARGB32 image).
    explicit CairoBitmap(cairo_surface_t* surface);
    ~CairoBitmap() override;
    CairoBitmap(const CairoBitmap&) = delete;
    CairoBitmap& operator=(const CairoBitmap&) = delete;

    int width() const override;
    int height() const override;
    CColor getPixel(int x, int y) const override;
    bool savePng(const char* path) const override;
    cairo_surface_t* surface() const { return m_surface; }
    bool isValid() const;

private:
    cairo_surface_t* m_surface;
};

class CairoGraphics : public IPlatformGraphics {
public:
    explicit CairoGraphics(cairo_surface_t* target);
    ~CairoGraphics() override;
    CairoGraphics(const CairoGraphics&) = delete;
    CairoGraphics& operator=(const CairoGraphics&) = delete;

    void setClip(const CRect& clip) override;
    void drawPolyline(const CPoint* points, size_t count, const PaintState& state) override;
    void drawPolygon(const CPoint* points, size_t count, CDrawStyle style, const PaintState& state) override;
    void drawRect(const CRect& rect, CDrawStyle style, const PaintState& state) override;
    void drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style, const PaintState& state) override;
    void drawEllipse(const CRect& rect, CDrawStyle style, const PaintState& state) override;
    void drawArc(const CRect& rect, double startDeg, double endDeg, CDrawStyle style, const PaintState& state) override;
    void drawText(const char* utf8, const CPoint& baselineLeft, const PaintState& state) override;
    TextMetrics measureText(const char* utf8, const CFontDesc& font) override;
    void drawBitmap(const IPlatformBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset, float alpha) override;
    void flush() override;

private:
    void fillAndStroke(CDrawStyle style, const PaintState& state);
    void setColor(const CColor& color);
    void setFont(const CFontDesc& font, bool antialias);

    cairo_t* m_cr;
    cairo_surface_t* m_target;
};
