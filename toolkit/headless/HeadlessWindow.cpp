#include "toolkit/headless/HeadlessWindow.h"

#include <cmath>

HeadlessWindow::HeadlessWindow(CFrame& frame) : m_frame(frame)
{
    allocate(static_cast<int>(frame.getWidth()), static_cast<int>(frame.getHeight()));
}

HeadlessWindow::~HeadlessWindow() = default;

HeadlessWindow* HeadlessWindow::of(const CFrame* frame)
{
    return frame ? dynamic_cast<HeadlessWindow*>(frame->getPlatformWindow()) : nullptr;
}

void HeadlessWindow::allocate(int width, int height)
{
    m_graphics.reset();
    m_bitmap = backend::createBitmap(std::max(1, width), std::max(1, height));
    if (m_bitmap) m_graphics = backend::createGraphics(*m_bitmap);
    m_invalid = CRect(0, 0, width, height);
}

void HeadlessWindow::invalidRect(const CRect& rect)
{
    CRect r(std::floor(rect.left), std::floor(rect.top), std::ceil(rect.right), std::ceil(rect.bottom));
    m_invalid.unite(r);
}

void HeadlessWindow::idle() { drawInvalid(); }

void HeadlessWindow::drawInvalid()
{
    if (!m_graphics || m_invalid.isEmpty()) return;
    CRect area = m_invalid;
    m_invalid = CRect();
    CDrawContext context(m_graphics.get(), CRect(0, 0, m_bitmap->width(), m_bitmap->height()));
    area.bound(context.getSurfaceRect());
    if (area.isEmpty()) return;
    m_frame.platformDrawOpaque(&context, area);
    m_graphics->flush();
    ++m_drawCount;
}

void HeadlessWindow::redraw()
{
    m_invalid = CRect(0, 0, m_bitmap ? m_bitmap->width() : 0, m_bitmap ? m_bitmap->height() : 0);
    drawInvalid();
}

bool HeadlessWindow::setSize(const CPoint& size)
{
    allocate(static_cast<int>(size.x), static_cast<int>(size.y));
    return m_bitmap != nullptr;
}

bool HeadlessWindow::getCurrentMousePosition(CPoint& where) { return m_frame.lastMouseLocation(where); }

CButtonState HeadlessWindow::getCurrentMouseButtons()
{
    return CButtonState(m_frame.lastMouseButtons().getButtonState());
}

CColor HeadlessWindow::getPixel(int x, int y) const { return m_bitmap ? m_bitmap->getPixel(x, y) : CColor(); }

bool HeadlessWindow::savePng(const char* path) const { return m_bitmap && m_bitmap->savePng(path); }
