#include "editor/controls/SliderFlat.h"

#include "editor/controls/TextFit.h"

#include "toolkit/Frame.h"

#include <cmath>
#include <cstdio>

CSliderFlat::CSliderFlat(const CRect& size, IControlListener* listener, int32_t tag, int32_t minPos,
                         int32_t travelLength, int32_t style)
    : CSlider(size, listener, tag, minPos, travelLength, style)
{}

void CSliderFlat::setText(const char* text)
{
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
    setDirty();
}

void CSliderFlat::setActive(bool state)
{
    m_active = state;
    setMouseEnabled(state);
    setDirty();
}

void CSliderFlat::setFont(const char* family)
{
    m_font = family && *family ? family : "Arial";
    setDirty();
}

void CSliderFlat::setColours(const CColor& sliderColour)
{
    m_sliderColour = sliderColour;
    setDirty();
}

void CSliderFlat::setCursor(CCursorType cursor)
{
    if (CFrame* frame = getFrame()) frame->setCursor(cursor);
}

void CSliderFlat::draw(CDrawContext* context)
{
    if (!isBox()) {
        CSlider::draw(context);
        return;
    }
    const CCoord h = getHeight();
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFillColor(kBoxFill);
    context->setFrameColor(kBoxFrame);
    context->drawRect(m_size, kDrawFilledAndStroked);
    const CRect strip(m_size.left, m_size.top + 0.19 * h, m_size.right, m_size.bottom - 0.14 * h);
    setFontToFit(context, CFontDesc(m_font, 0.67 * h, kBoldFace), m_text, getWidth() - 4);
    context->setFontColor(m_active ? kWhiteCColor : kInactiveText);
    context->drawString(m_text, strip, kCenterText, true);
    setDirty(false);
}

CMouseEventResult CSliderFlat::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!isBox()) return CSlider::onMouseDown(where, buttons);
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    beginEdit();
    setCursor(kCursorVSize);
    m_pressComplement = 1.f - m_value;
    m_pressPoint = where;
    if (buttons & kControl) {
        const float before = m_value;
        m_value = m_defaultValue;
        bounceValue();
        if (m_value != before) valueChanged();
        setDirty();
        // No release follows: the cursor goes back now.
        setCursor(kCursorDefault);
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    m_dragging = true;
    return kMouseEventHandled;
}

CMouseEventResult CSliderFlat::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!isBox()) return CSlider::onMouseMoved(where, buttons);
    if (!m_dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    const CCoord top = m_size.top;
    const CCoord bottom = m_size.bottom;
    const CCoord h = getHeight();
    const CCoord dx = std::fabs(where.x - m_pressPoint.x);
    double u;
    if (where.y > m_pressPoint.y) {
        const double k = where.y < bottom + 1.4 * h ? 0.0001 : 0.001;
        u = m_pressComplement + (where.y - bottom) * k + 0.005 * dx;
    } else {
        const double k = where.y > top - 1.4 * h ? 0.0001 : 0.001;
        u = m_pressComplement + (where.y - top) * k - 0.005 * dx;
    }
    const float current = m_value;
    float value = static_cast<float>(1.0 - u);
    if (buttons & kShift) value = static_cast<float>(current + (value - current) / kFineDivisor);
    m_value = value;
    bounceValue();
    if (m_value != current) {
        valueChanged();
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult CSliderFlat::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    if (!isBox()) return CSlider::onMouseUp(where, buttons);
    m_dragging = false;
    setCursor(kCursorDefault);
    endEdit();
    return kMouseEventHandled;
}
