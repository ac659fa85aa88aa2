#include "editor/controls/KickControls.h"

#include "toolkit/Frame.h"

#include <algorithm>

CKickHalves::CKickHalves(const CRect& size, IControlListener* listener, int32_t tag, float maximum)
    : CControl(size, listener, tag)
{
    m_min = 0;
    m_max = maximum;
    m_defaultValue = 0;
    setViewSize(size, false);
}

void CKickHalves::setViewSize(const CRect& rect, bool invalid)
{
    CControl::setViewSize(rect, invalid);
    const CCoord middle = m_size.left + m_size.getWidth() / 2;
    m_left = CRect(m_size.left, m_size.top, middle, m_size.bottom);
    m_right = CRect(middle, m_size.top, m_size.right, m_size.bottom);
}

// ---------------------------------------------------------------- previous / next

CKickPreviousNext::CKickPreviousNext(const CRect& size, IControlListener* listener, int32_t tag)
    : CKickHalves(size, listener, tag, 0)
{}

void CKickPreviousNext::draw(CDrawContext* context)
{
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(1);
    context->setFillColor(m_hoverLeft ? kHoverFill : kNormalFill);
    context->drawRect(m_left, kDrawFilled);
    context->setFillColor(m_hoverRight ? kHoverFill : kNormalFill);
    context->drawRect(m_right, kDrawFilled);

    const CCoord h = getHeight();
    const CFrame* frame = getFrame();
    const CCoord step = 0.014 * (frame ? frame->getWidth() : 893.0);
    context->setLineWidth(std::max<CCoord>(1, 0.1 * h));
    context->setFrameColor(kArrows);
    const CCoord top = m_size.top + 0.2 * h, mid = m_size.top + 0.5 * h, bottom = m_size.top + 0.8 * h;
    for (int k = 0; k < 3; ++k) {
        const CCoord x = m_left.left + k * step;
        context->drawLines({CPoint(x + step, top), CPoint(x + 0.005 / 0.014 * step, mid), CPoint(x + step, bottom)});
        const CCoord xr = m_right.right - k * step;
        context->drawLines({CPoint(xr - step, top), CPoint(xr - 0.005 / 0.014 * step, mid), CPoint(xr - step, bottom)});
    }
    setDirty(false);
}

CMouseEventResult CKickPreviousNext::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    beginEdit();
    if (m_left.pointInside(where))
        m_value -= 1;
    else if (m_right.pointInside(where))
        m_value += 1;
    valueChanged();
    setDirty();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CKickPreviousNext::onMouseMoved(CPoint& where, const CButtonState&)
{
    m_hoverLeft = m_left.pointInside(where);
    m_hoverRight = !m_hoverLeft && m_right.pointInside(where);
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CKickPreviousNext::onMouseExited(CPoint&, const CButtonState&)
{
    m_hoverLeft = m_hoverRight = false;
    setDirty();
    return kMouseEventHandled;
}

// ---------------------------------------------------------------- zoom

CKickTwiceZoom::CKickTwiceZoom(const CRect& size, IControlListener* listener, int32_t tag, float maximum)
    : CKickHalves(size, listener, tag, maximum)
{}

void CKickTwiceZoom::draw(CDrawContext* context)
{
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(1);
    context->setFrameColor(kNormalFill);
    const CCoord lineWidth = std::max<CCoord>(1, 0.1 * getHeight());
    for (int half = 0; half < 2; ++half) {
        const CRect& r = half ? m_right : m_left;
        const bool pressed = half ? m_pressedRight : m_pressedLeft;
        const CCoord w = r.getWidth(), h = r.getHeight();
        context->setLineWidth(1);
        context->setFillColor(pressed ? kPressedFill : kNormalFill);
        context->setFrameColor(kNormalFill);
        context->drawRect(r, kDrawFilledAndStroked);
        context->setLineWidth(lineWidth);
        context->setFrameColor(kGlyphs);
        const CCoord midY = r.top + 0.5 * h;
        context->drawLine(CPoint(r.left + 0.1 * w, midY), CPoint(r.left + 0.5 * w, midY));
        if (half)
            context->drawLine(CPoint(r.left + 0.31 * w, r.top + 0.2 * h), CPoint(r.left + 0.31 * w, r.top + 0.8 * h));
        CColor faint = kGlyphs;
        faint.alpha = 53;
        context->setFrameColor(faint);
        context->drawLines({CPoint(r.left + 0.665 * w, r.top + 0.3 * h), CPoint(r.left + 0.753 * w, r.top + 0.2 * h),
                            CPoint(r.left + 0.753 * w, r.top + 0.8 * h)});
    }
    setDirty(false);
}

CMouseEventResult CKickTwiceZoom::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    m_pressedLeft = m_left.pointInside(where);
    m_pressedRight = !m_pressedLeft && m_right.pointInside(where);
    if (!m_pressedLeft && !m_pressedRight) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CKickTwiceZoom::onMouseMoved(CPoint& where, const CButtonState&)
{
    if ((m_pressedLeft && !m_left.pointInside(where)) || (m_pressedRight && !m_right.pointInside(where))) {
        // Leaving the pressed half cancels the step.
        m_pressedLeft = m_pressedRight = false;
        endEdit();
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickTwiceZoom::onMouseUp(CPoint&, const CButtonState&)
{
    if (!m_pressedLeft && !m_pressedRight) return kMouseEventHandled;
    m_value += m_pressedLeft ? -1.0f : 1.0f;
    bounceValue();
    m_pressedLeft = m_pressedRight = false;
    valueChanged();
    endEdit();
    setDirty();
    return kMouseEventHandled;
}
