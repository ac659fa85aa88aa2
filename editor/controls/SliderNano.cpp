#include "editor/controls/SliderNano.h"

#include <algorithm>
#include <cmath>

CSliderNano::CSliderNano(const CRect& size, IControlListener* listener, int32_t tag, int32_t minPos,
                         int32_t travelLength, int32_t style)
    : CSlider(size, listener, tag, minPos, travelLength, style)
{}

void CSliderNano::setActive(bool state)
{
    m_active = state;
    setMouseEnabled(state);
    setDirty();
}

void CSliderNano::setColours(const NanoColours& colours)
{
    m_colours = colours;
    setDirty();
}

CRect CSliderNano::getHandleSquare() const
{
    const float v = getValueNormalized();
    if (isVertical()) {
        const CCoord side = getWidth();
        const CCoord offset = std::floor((1 - v) * m_travel);
        return CRect(m_size.left, m_size.top + offset, m_size.right, m_size.top + offset + side);
    }
    const CCoord side = getHeight();
    const CCoord offset = std::floor(v * m_travel);
    return CRect(m_size.left + offset, m_size.top, m_size.left + offset + side, m_size.bottom);
}

void CSliderNano::draw(CDrawContext* context)
{
    const bool vertical = isVertical();
    const CCoord thickness = vertical ? getWidth() : getHeight();
    // Groove: 1/8 of the thickness, at least one pixel, and two below three.
    CCoord groove = std::max<CCoord>(1, std::floor(thickness / 8));
    if (groove < 3) groove = 2;
    const CRect handle = getHandleSquare();
    context->setDrawMode(kAliasing);
    context->setFillColor(m_colours.groove);
    CRect grooveRect;
    CRect barRect;
    if (vertical) {
        const CCoord left = m_size.left + std::floor((getWidth() - groove) / 2);
        grooveRect = CRect(left, m_size.top, left + groove, m_size.bottom);
        // From the maximum's end down to the handle's lower edge: the groove
        // below the handle stays lit.
        barRect = CRect(left, m_size.top, left + groove, handle.bottom);
    } else {
        const CCoord top = m_size.top + std::floor((getHeight() - groove) / 2);
        grooveRect = CRect(m_size.left, top, m_size.right, top + groove);
        barRect = CRect(handle.left, top, m_size.right, top + groove);
    }
    context->drawRect(grooveRect, kDrawFilled);
    barRect.bound(grooveRect);
    context->setFillColor(m_colours.bar);
    context->drawRect(barRect, kDrawFilled);
    context->setDrawMode(kAntiAliasing);
    context->setFillColor(m_active ? m_colours.handle : kInactiveColour);
    context->drawEllipse(handle, kDrawFilled);
    setDirty(false);
}
