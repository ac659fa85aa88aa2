#include "editor/controls/SimpleOnOff.h"

CSimpleOnOff::CSimpleOnOff(const CRect& size, IControlListener* listener, int32_t tag) : CControl(size, listener, tag)
{}

void CSimpleOnOff::setActive(bool state)
{
    m_active = state;
    setMouseEnabled(state);
    setDirty();
}

void CSimpleOnOff::setColours(const OnOffColours& colours)
{
    m_colours = colours;
    setDirty();
}

void CSimpleOnOff::draw(CDrawContext* context)
{
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFrameColor(m_colours.frame);
    context->setFillColor(m_value != 0.f && m_active ? m_colours.on : m_colours.off);
    context->drawRect(m_size, kDrawFilledAndStroked);
    setDirty(false);
}

CMouseEventResult CSimpleOnOff::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() || !m_size.pointInside(where)) return kMouseEventNotHandled;
    beginEdit();
    const float before = m_value;
    m_value = m_value != m_min ? m_min : m_max;
    if (m_value != before) valueChanged();
    endEdit();
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
