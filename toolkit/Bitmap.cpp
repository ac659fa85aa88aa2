#include "toolkit/Bitmap.h"

#include "toolkit/DrawContext.h"
#include "toolkit/Platform.h"

CBitmap::CBitmap(const char* pngPath) : m_pixels(pngPath ? backend::loadPng(pngPath) : nullptr)
{
    if (m_pixels) {
        m_width = m_pixels->width();
        m_height = m_pixels->height();
    }
}

CBitmap::CBitmap(CCoord width, CCoord height) : m_width(width), m_height(height) {}

CBitmap::CBitmap(std::unique_ptr<IPlatformBitmap> pixels) : m_pixels(std::move(pixels))
{
    if (m_pixels) {
        m_width = m_pixels->width();
        m_height = m_pixels->height();
    }
}

CBitmap::~CBitmap() = default;

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha)
{
    if (context) context->drawBitmap(*this, rect, offset, alpha);
}
