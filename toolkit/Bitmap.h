#pragma once
// A picture: pixels loaded from a PNG file or drawn offscreen, or (for
// subclasses that draw themselves) only a size.

#include "toolkit/Base.h"
#include "toolkit/Geometry.h"

#include <memory>

class CDrawContext;
class IPlatformBitmap;

class CBitmap : public CBaseObject {
public:
    // Loads a PNG file; isLoaded() tells whether that worked.
    explicit CBitmap(const char* pngPath);
    // A size without pixels.
    CBitmap(CCoord width, CCoord height);
    explicit CBitmap(std::unique_ptr<IPlatformBitmap> pixels);
    ~CBitmap() override;

    CCoord getWidth() const { return m_width; }
    CCoord getHeight() const { return m_height; }
    bool isLoaded() const { return m_pixels != nullptr; }
    IPlatformBitmap* getPlatformBitmap() const { return m_pixels.get(); }

    // Draws the part of the bitmap from `offset` into `rect`.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(), float alpha = 1.f);

private:
    std::unique_ptr<IPlatformBitmap> m_pixels;
    CCoord m_width = 0;
    CCoord m_height = 0;
};
