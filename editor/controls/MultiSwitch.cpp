#include "editor/controls/MultiSwitch.h"

#include "editor/controls/TextFit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

CMultiSwitch::CMultiSwitch(const CRect& size, IControlListener* listener, int32_t tag, int32_t positions)
    : CControl(size, listener, tag), m_positions(std::clamp(positions, 1, kMaxPositions))
{}

void CMultiSwitch::setActive(bool state)
{
    m_active = state;
    setMouseEnabled(state);
    setDirty();
}

void CMultiSwitch::setColours(const MultiSwitchColours& colours)
{
    m_colours = colours;
    setDirty();
}

void CMultiSwitch::setFont(const char* family)
{
    m_font = family && *family ? family : "Arial";
    setDirty();
}

void CMultiSwitch::setLabel(int32_t index, const char* text)
{
    if (index < 0 || index >= kMaxPositions) return;
    std::snprintf(m_labels[index], sizeof m_labels[index], "%s", text ? text : "");
    setDirty();
}

const char* CMultiSwitch::getLabel(int32_t index) const
{
    return index >= 0 && index < kMaxPositions ? m_labels[index] : "";
}

int32_t CMultiSwitch::getSelectedSegment() const
{
    if (m_positions == 1) return getValueNormalized() != 0.f ? 0 : -1;
    return static_cast<int32_t>(std::floor((m_positions - 1) * getValueNormalized() + 0.5));
}

void CMultiSwitch::draw(CDrawContext* context)
{
    const int32_t n = m_positions;
    const CCoord h = getHeight();
    const CCoord s = getWidth() / n;
    const int32_t selected = getSelectedSegment();
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFillColor(m_colours.segmentFill);
    context->setFrameColor(m_colours.frameAndText);
    for (int32_t i = 0; i < n; ++i) {
        const CCoord x = m_size.left + 1 + i * s;
        CColor textColour = m_colours.frameAndText;
        double size = kSmallText * h;
        if (!m_active) {
            textColour = kInactiveColour;
        } else if (i == selected) {
            textColour = m_colours.selectedText;
            size = kLargeText * h;
        }
        context->setDrawMode(kAliasing);
        context->drawRect(CRect(x + 1, m_size.top, x + s - 1, m_size.bottom), kDrawFilled);
        // The label's room ends before the right border line.
        const CCoord textRight = std::min(x + s, m_size.right - 1);
        setFontToFit(context, CFontDesc(m_font, size, kBoldFace), m_labels[i], textRight - x - 4);
        context->setFontColor(textColour);
        // Labels sit 3 pixels low, less where a descender would leave the switch.
        const CCoord shift = lowerInside(context, m_labels[i], m_size, 3);
        context->drawString(m_labels[i], CRect(x, m_size.top + shift, textRight, m_size.bottom + shift), kCenterText,
                            true);
        context->setDrawMode(kAliasing);
        context->drawLine(CPoint(std::floor(x), m_size.top), CPoint(std::floor(x), m_size.bottom));
    }
    context->drawLine(CPoint(m_size.right - 1, m_size.top), CPoint(m_size.right - 1, m_size.bottom));
    setDirty(false);
}

CMouseEventResult CMultiSwitch::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (!m_size.pointInside(where)) {
        endEdit();
        return kMouseEventNotHandled;
    }
    beginEdit();
    const float before = m_value;
    if (m_positions == 1) {
        m_value = m_value != m_min ? m_min : m_max;
    } else {
        const CCoord w = getWidth();
        const CCoord s = w / m_positions;
        int32_t k = static_cast<int32_t>(std::floor(((where.x - m_size.left) - s / 2) / w * m_positions + 0.5));
        k = std::clamp(k, 0, m_positions - 1);
        m_value = m_min + getRange() * k / (m_positions - 1);
    }
    if (m_value != before) valueChanged();
    endEdit();
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
