#include "toolkit/Slider.h"

#include <algorithm>
#include <cmath>

CSlider::CSlider(const CRect& size, IControlListener* listener, int32_t tag, int32_t minPos, int32_t travelLength,
                 int32_t style)
    : CControl(size, listener, tag), m_style(style), m_minPos(minPos), m_travel(std::max(1, travelLength))
{}

bool CSlider::isMaxAtStart() const
{
    if (isVertical()) return (m_style & kTop) != 0;
    return (m_style & kLeft) == 0;
}

CPoint CSlider::getHandleSize() const
{
    if (m_handleSize.x > 0 && m_handleSize.y > 0) return m_handleSize;
    const CCoord thickness = isVertical() ? getWidth() : getHeight();
    return {thickness, thickness};
}

CCoord CSlider::offsetForValue(float normalized) const
{
    // Vertical sliders with the maximum at the top count from the top down;
    // horizontal ones with the maximum at the right count from the left.
    const bool reversed = isVertical() ? isMaxAtStart() : !isMaxAtStart();
    const float v = reversed ? 1.f - normalized : normalized;
    return m_minPos + static_cast<CCoord>(v) * m_travel;
}

float CSlider::valueForOffset(CCoord offset) const
{
    const bool reversed = isVertical() ? isMaxAtStart() : !isMaxAtStart();
    float v = static_cast<float>((offset - m_minPos) / m_travel);
    v = std::clamp(v, 0.f, 1.f);
    return reversed ? 1.f - v : v;
}

CCoord CSlider::along(const CPoint& where) const { return isVertical() ? where.y - m_size.top : where.x - m_size.left; }

CRect CSlider::getHandleRect() const
{
    const CPoint handle = getHandleSize();
    const CCoord offset = std::floor(offsetForValue(getValueNormalized()));
    if (isVertical())
        return CRect(m_size.left, m_size.top + offset, m_size.left + handle.x, m_size.top + offset + handle.x);
    return CRect(m_size.left + offset, m_size.top, m_size.left + offset + handle.y, m_size.top + handle.y);
}

void CSlider::draw(CDrawContext* context)
{
    context->setDrawMode(kAliasing);
    context->setFillColor(CColor(64, 64, 64));
    context->drawRect(m_size, kDrawFilled);
    context->setFillColor(CColor(200, 200, 200));
    context->drawRect(getHandleRect(), kDrawFilled);
    setDirty(false);
}

CMouseEventResult CSlider::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    const CPoint handleSize = getHandleSize();
    const CCoord handleLength = isVertical() ? handleSize.x : handleSize.y;
    const CCoord handleStart = offsetForValue(getValueNormalized());
    const CCoord pos = along(where);
    m_fine = (buttons & kShift);
    m_fineStart = pos;
    m_fineStartValue = getValueNormalized();
    // Grab the handle where it was pressed; a plain press beside it brings
    // the handle's middle under the mouse.
    if (pos >= handleStart && pos < handleStart + handleLength) {
        m_grabOffset = pos - handleStart;
    } else {
        m_grabOffset = handleLength / 2;
        if (!m_fine) onMouseMoved(where, buttons);
    }
    return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!(buttons & kLButton) || !isEditing()) return kMouseEventNotHandled;
    const CCoord pos = along(where);
    const bool fine = (buttons & kShift);
    if (fine != m_fine) {
        // Re-anchor so that pressing or releasing Shift does not jump.
        m_fine = fine;
        m_fineStart = pos;
        m_fineStartValue = getValueNormalized();
        if (!fine) m_grabOffset = pos - offsetForValue(m_fineStartValue);
    }
    float normalized;
    if (m_fine) {
        const bool reversed = isVertical() ? isMaxAtStart() : !isMaxAtStart();
        float delta = static_cast<float>((pos - m_fineStart) / m_travel / m_zoomFactor);
        normalized = m_fineStartValue + (reversed ? -delta : delta);
    } else {
        normalized = valueForOffset(pos - m_grabOffset);
    }
    const float before = getValue();
    setValueNormalized(std::clamp(normalized, 0.f, 1.f));
    bounceValue();
    if (getValue() != before) {
        valueChanged();
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseUp(CPoint&, const CButtonState&)
{
    if (isEditing()) endEdit();
    return kMouseEventHandled;
}

bool CSlider::onWheel(const CPoint&, const CMouseWheelAxis&, const float& distance, const CButtonState& buttons)
{
    if (!getMouseEnabled()) return false;
    float step = distance * m_wheelInc;
    if (buttons & kShift) step *= 0.1f;
    const float before = getValue();
    beginEdit();
    setValueNormalized(getValueNormalized() + step);
    bounceValue();
    if (getValue() != before) {
        valueChanged();
        setDirty();
    }
    endEdit();
    return true;
}
