#include "toolkit/DrawContext.h"

#include "toolkit/Bitmap.h"

CDrawContext::CDrawContext(IPlatformGraphics* graphics, const CRect& surface)
    : m_graphics(graphics), m_surface(surface), m_clip(surface)
{
    m_graphics->setClip(m_clip);
}

void CDrawContext::setFont(const CFontDesc& font, CCoord size, int32_t style)
{
    m_state.font = font;
    if (size > 0) m_state.font.setSize(size);
    if (style >= 0) m_state.font.setStyle(style);
}

void CDrawContext::setClipRect(const CRect& clip)
{
    m_clip = toDevice(clip);
    m_clip.bound(m_surface);
    m_graphics->setClip(m_clip);
}

CRect& CDrawContext::getClipRect(CRect& clip) const
{
    clip = m_clip;
    clip.offset(-m_offset.x, -m_offset.y);
    return clip;
}

void CDrawContext::resetClipRect()
{
    m_clip = m_surface;
    m_graphics->setClip(m_clip);
}

void CDrawContext::lineTo(const CPoint& point)
{
    drawLine(m_penPosition, point);
    m_penPosition = point;
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to)
{
    const CPoint points[2] = {toDevice(from), toDevice(to)};
    m_graphics->drawPolyline(points, 2, m_state);
}

void CDrawContext::drawLines(const std::vector<CPoint>& points)
{
    if (points.size() < 2) return;
    std::vector<CPoint> device;
    device.reserve(points.size());
    for (const CPoint& p : points) device.push_back(toDevice(p));
    m_graphics->drawPolyline(device.data(), device.size(), m_state);
}

void CDrawContext::drawPolygon(const std::vector<CPoint>& points, CDrawStyle style)
{
    if (points.size() < 2) return;
    std::vector<CPoint> device;
    device.reserve(points.size());
    for (const CPoint& p : points) device.push_back(toDevice(p));
    m_graphics->drawPolygon(device.data(), device.size(), style, m_state);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style)
{
    m_graphics->drawRect(toDevice(rect), style, m_state);
}

void CDrawContext::drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style)
{
    m_graphics->drawRoundRect(toDevice(rect), radius, style, m_state);
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style)
{
    m_graphics->drawEllipse(toDevice(rect), style, m_state);
}

void CDrawContext::drawArc(const CRect& rect, double startDeg, double endDeg, CDrawStyle style)
{
    m_graphics->drawArc(toDevice(rect), startDeg, endDeg, style, m_state);
}

TextMetrics CDrawContext::getTextMetrics(const char* text)
{
    return m_graphics->measureText(text ? text : "", m_state.font);
}

CCoord CDrawContext::getStringWidth(const char* text) { return getTextMetrics(text).width; }

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align, bool antialias)
{
    if (!text || !*text) return;
    const TextMetrics m = getTextMetrics(text);
    CCoord x = rect.left;
    if (align == kCenterText)
        x = rect.left + (rect.getWidth() - m.width) / 2;
    else if (align == kRightText)
        x = rect.right - m.width;
    const CCoord baseline = rect.top + (rect.getHeight() + m.ascent - m.descent) / 2;
    drawString(text, CPoint(x, baseline), antialias);
}

void CDrawContext::drawString(const char* text, const CPoint& baselineLeft, bool antialias)
{
    if (!text || !*text) return;
    PaintState state = m_state;
    state.antialias = antialias;
    m_graphics->drawText(text, toDevice(baselineLeft), state);
}

void CDrawContext::drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset, float alpha)
{
    if (IPlatformBitmap* pixels = bitmap.getPlatformBitmap())
        m_graphics->drawBitmap(*pixels, toDevice(dest), sourceOffset, alpha);
}

COffscreenContext::COffscreenContext(SharedPointer<CBitmap> bitmap, std::unique_ptr<IPlatformGraphics> graphics,
                                     const CRect& size)
    : CDrawContext(graphics.get(), size), m_bitmap(std::move(bitmap)), m_graphics(std::move(graphics))
{}

SharedPointer<COffscreenContext> COffscreenContext::create(CFrame* frame, CCoord width, CCoord height)
{
    (void)frame;
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    if (w <= 0 || h <= 0) return {};
    auto pixels = backend::createBitmap(w, h);
    if (!pixels) return {};
    IPlatformBitmap& target = *pixels;
    SharedPointer<CBitmap> bitmap(new CBitmap(std::move(pixels)), true);
    auto graphics = backend::createGraphics(target);
    if (!graphics) return {};
    return SharedPointer<COffscreenContext>(
        new COffscreenContext(std::move(bitmap), std::move(graphics), CRect(0, 0, w, h)), true);
}

void COffscreenContext::endDraw() { m_graphics->flush(); }
