#pragma once
// Drawing with GDI+ into 32-bit bitmaps; fonts from the system or from
// files registered in a private font collection; PNG through GDI+'s codecs.

#include "toolkit/Platform.h"

#include <windows.h>
// GDI+ needs the COM property types that a lean windows.h leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

// Starts GDI+ once for the process (it stays started until the process ends:
// shutting it down from a module being unloaded is not allowed).
bool ensureGdiplus();

class GdiplusBitmap : public IPlatformBitmap {
public:
    GdiplusBitmap(int width, int height);
    explicit GdiplusBitmap(std::unique_ptr<Gdiplus::Bitmap> bitmap);
    ~GdiplusBitmap() override;

    int width() const override;
    int height() const override;
    CColor getPixel(int x, int y) const override;
    bool savePng(const char* path) const override;
    Gdiplus::Bitmap* bitmap() const { return m_bitmap.get(); }
    bool isValid() const;

private:
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
};

class GdiplusGraphics : public IPlatformGraphics {
public:
    explicit GdiplusGraphics(Gdiplus::Bitmap* target);
    ~GdiplusGraphics() override;

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
    void prepare(const PaintState& state, bool stroke);

    Gdiplus::Graphics m_graphics;
    Gdiplus::REAL m_shift = 0;
};

// UTF-8 to UTF-16 for the Windows interfaces.
std::wstring widen(const char* utf8);
