#include "editor/controls/KnobFlatOrvel.h"

#include "toolkit/EditorInterface.h"
#include "toolkit/Frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr double kTwoPi = 6.283185307179586;
// Ticks and pointer grow with the editor: 1/233 of the frame's width.
constexpr double kPointerWidthPerFrameWidth = 0.004291845493562232;
constexpr CCoord kBaseEditorWidth = 893;

CCoord roundHalfUp(CCoord v) { return std::floor(v + 0.5); }
}  // namespace

CKnobFlatSwitch::CKnobFlatSwitch(const CRect& size, IControlListener* listener, int32_t tag, int32_t mode)
    : CControl(size, listener, tag), m_mode(mode == 0 ? 1 : mode)
{
    if (m_mode == 2) {
        m_startAngle = 3.9269907 - 1.5707963;
        m_rangeAngle = -1.5707963;
    }
    computeAngles();
}

void CKnobFlatSwitch::setText(const char* text)
{
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
    setDirty();
}

void CKnobFlatSwitch::setActive(bool state)
{
    m_active = state;
    setMouseEnabled(state);
    setDirty();
}

void CKnobFlatSwitch::setStartAngle(double radians)
{
    m_startAngle = radians;
    computeAngles();
    setDirty();
}

void CKnobFlatSwitch::setRangeAngle(double radians)
{
    m_rangeAngle = radians;
    computeAngles();
    setDirty();
}

void CKnobFlatSwitch::computeAngles()
{
    m_valuePerRadian = m_rangeAngle == 0 ? 0 : (m_max - m_min) / std::fabs(m_rangeAngle);
    m_deadZone = (kTwoPi - std::fabs(m_rangeAngle)) / 2;
}

void CKnobFlatSwitch::setColours(const KnobColours& colours)
{
    m_colours = colours;
    m_ringInset = std::max<CCoord>(1, getWidth() / (m_colours.insetDivisor > 0 ? m_colours.insetDivisor : 10.0));
    setDirty();
}

CPoint CKnobFlatSwitch::valueToPoint(float value, CCoord radius) const
{
    const double angle = m_startAngle + value * m_rangeAngle;
    const CPoint c = m_size.getCenter();
    return CPoint(roundHalfUp(c.x + std::cos(angle) * radius), roundHalfUp(c.y - std::sin(angle) * radius));
}

void CKnobFlatSwitch::valueToPoints(float value, CCoord inset, CPoint& outer, CPoint& inner) const
{
    outer = valueToPoint(value, m_radius - m_bodyInset);
    inner = valueToPoint(value, m_radius - m_bodyInset - inset);
}

float CKnobFlatSwitch::valueFromPoint(const CPoint& where) const
{
    const CPoint c = m_size.getCenter();
    const double angle = std::atan2(c.y - where.y, where.x - c.x);
    const double range = std::fabs(m_rangeAngle);
    // Angle travelled from the start in the knob's direction, 0..2π.
    double travelled = m_rangeAngle < 0 ? m_startAngle - angle : angle - m_startAngle;
    travelled = std::fmod(travelled, kTwoPi);
    if (travelled < 0) travelled += kTwoPi;
    if (travelled > range)
        // In the dead zone: its first half belongs to the end, the second to the start.
        return travelled - range <= m_deadZone ? m_max : m_min;
    return static_cast<float>(m_min + travelled * m_valuePerRadian);
}

float CKnobFlatSwitch::snappedValue(float value) const
{
    const int32_t steps = m_mode - 1;
    return static_cast<float>(std::floor(steps * value + 0.5) / steps);
}

void CKnobFlatSwitch::updateGeometry()
{
    const CCoord w = getWidth();
    m_radius = w / 2;
    m_bodyInset = 3;
    m_ringInset = std::max<CCoord>(1, w / m_colours.insetDivisor);
    m_pointerDepth = 0.25 * w;
    if (m_mode == 3)
        m_stepHalfWidth = 46;
    else if (m_mode == 4)
        m_stepHalfWidth = 47;
    else
        m_stepHalfWidth = static_cast<int32_t>(255 / std::abs(m_mode));
    m_geometrySize = m_size;
    m_geometryValid = true;
}

void CKnobFlatSwitch::stroke(CDrawContext* context, float value, CCoord inset)
{
    CPoint outer;
    CPoint inner;
    valueToPoints(value, inset, outer, inner);
    context->drawLine(outer, inner);
}

void CKnobFlatSwitch::drawRing(CDrawContext* context)
{
    context->setFrameColor(m_active ? m_colours.ring : kInactiveColour);
    context->setLineWidth(2);
    const CCoord e = 0.16 * m_pointerDepth;
    m_ringStrokes = 0;
    for (int32_t k = 0; (k + 1) < getValueNormalized() * 128; ++k, ++m_ringStrokes) stroke(context, k / 128.f, e);
}

void CKnobFlatSwitch::drawText(CDrawContext* context)
{
    if (!m_hover || m_text[0] == 0 || std::strcmp(m_text, " ") == 0) return;
    context->setFont(CFontDesc(m_font, getHeight() / 4, kBoldFace));
    context->setFontColor(m_colours.text);
    context->drawString(m_text, m_size, kCenterText, true);
}

void CKnobFlatSwitch::draw(CDrawContext* context)
{
    if (!m_geometryValid || m_geometrySize != m_size) updateGeometry();
    if (isStepped()) m_value = snappedValue(m_value);
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(2);
    context->setFillColor(m_colours.bodyFill);
    context->setFrameColor(m_colours.bodyFrame);
    CRect body = m_size;
    body.inset(m_bodyInset, m_bodyInset);
    context->drawEllipse(body, kDrawFilledAndStroked);
    drawRing(context);
    context->setFrameColor(m_active ? m_colours.pointer : kInactiveColour);
    context->setLineWidth(2);
    stroke(context, m_value, m_pointerDepth);
    drawText(context);
    setDirty(false);
}

CMouseEventResult CKnobFlatSwitch::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    m_hover = true;
    beginEdit();
    if (isStepped()) {
        const int32_t last = m_mode - 1;
        int32_t position = static_cast<int32_t>(std::floor(last * getValueNormalized() + 0.5));
        if (buttons.isLeftButton())
            position = position >= last ? 0 : position + 1;
        else if (buttons.isRightButton())
            position = position <= 0 ? last : position - 1;
        const float before = m_value;
        m_value = m_min + getRange() * position / last;
        if (m_value != before) valueChanged();
        setDirty();
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (buttons.isLeftButton() && (buttons & kControl)) {
        const float before = m_value;
        m_value = m_defaultValue;
        bounceValue();
        if (m_value != before) valueChanged();
        setDirty();
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    m_firstPoint = where;
    m_lastPoint = CPoint(where.x - 1e9, where.y - 1e9);
    m_startValue = m_value;
    m_entryValue = m_value;
    m_dragRange = (m_max - m_min) / 200.f;
    const VSTGUIEditorInterface* editor = getEditor();
    const bool linearMode = editor && editor->getKnobMode() == kLinearMode;
    const bool alt = buttons & kAlt;
    m_linearDrag = linearMode != alt;
    if (m_linearDrag) {
        m_dragDivisor = (buttons & kShift) ? 200 * kFineFactor : 200;
        m_dragRange = static_cast<float>(1 / m_dragDivisor);
    }
    m_lastButtons = buttons;
    m_dragging = true;
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CKnobFlatSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (buttons.getButtonState() == 0) {
        if (m_size.pointInside(where)) {
            m_hover = true;
            setDirty();
        }
        return kMouseEventHandled;
    }
    if (!(buttons & kLButton) || !m_dragging) return kMouseEventHandled;
    if (where == m_lastPoint) return kMouseEventHandled;
    const float before = m_value;
    if (m_linearDrag) {
        auto distance = [this](const CPoint& p) {
            // Up and right both increase; a diagonal move counts twice.
            return static_cast<float>((m_firstPoint.y - p.y) + (p.x - m_firstPoint.x));
        };
        if (buttons != m_lastButtons) {
            // New divisor; shift the entry value so that the value does not jump.
            const float lastDistance = m_lastPoint.x < m_firstPoint.x - 1e8 ? 0.f : distance(m_lastPoint);
            m_dragDivisor = (buttons & kShift) ? 200 * kFineFactor : 200;
            m_dragRange = static_cast<float>(1 / m_dragDivisor);
            m_entryValue = m_value - m_dragRange * lastDistance;
        }
        m_value = std::clamp(m_entryValue + m_dragRange * distance(where), 0.f, 1.f);
    } else {
        float value = valueFromPoint(where);
        if (std::fabs(value - m_value) > getRange() / 2) value = m_value > (m_min + m_max) / 2 ? m_max : m_min;
        m_value = value;
    }
    m_lastPoint = where;
    m_lastButtons = buttons;
    if (m_value != before) valueChanged();
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CKnobFlatSwitch::onMouseUp(CPoint&, const CButtonState&)
{
    m_hover = false;
    m_dragging = false;
    setDirty();
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKnobFlatSwitch::onMouseExited(CPoint&, const CButtonState&)
{
    m_hover = false;
    setDirty();
    return kMouseEventHandled;
}

bool CKnobFlatSwitch::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&)
{
    return false;
}

// ---------------------------------------------------------------------------

CKnobFlatOrvel::CKnobFlatOrvel(const CRect& size, IControlListener* listener, int32_t tag, int32_t mode)
    : CKnobFlatSwitch(size, listener, tag, mode)
{}

void CKnobFlatOrvel::updateGeometry()
{
    CKnobFlatSwitch::updateGeometry();
    m_bodyInset = std::floor(0.0714 * getWidth());
}

void CKnobFlatOrvel::valueToPoints(float value, CCoord inset, CPoint& outer, CPoint& inner) const
{
    outer = valueToPoint(value, m_radius - m_bodyInset - std::floor(0.2 * inset + 0.5));
    inner = valueToPoint(value, m_radius - m_ringInset - inset);
}

void CKnobFlatOrvel::drawRing(CDrawContext* context)
{
    const CColor ring = m_active ? m_colours.ring : kInactiveColour;
    context->setFrameColor(ring);
    context->setLineWidth(2);
    CCoord e = 0.16 * m_pointerDepth;
    m_ringStrokes = 0;
    const float value = getValueNormalized();
    if (m_mode == 1) {
        const int32_t steps = getWidth() < 52 ? 128 : 512;
        for (int32_t k = 0; static_cast<float>(k + 1) < value * steps; ++k, ++m_ringStrokes)
            stroke(context, static_cast<float>(k) / steps, e);
    } else if (m_mode == -1) {
        if (value > 0.5f)
            for (int32_t k = 0; 0.5f + k / 200.f < value; ++k, ++m_ringStrokes) stroke(context, 0.5f + k / 200.f, e);
        else
            for (int32_t k = 0; 0.5f - k / 200.f > value; ++k, ++m_ringStrokes) stroke(context, 0.5f - k / 200.f, e);
    } else {
        // A band around the chosen position, then one tick per position.
        e = 0.2 * m_pointerDepth;
        context->setLineWidth(1);
        for (int32_t k = -m_stepHalfWidth; k <= m_stepHalfWidth; ++k, ++m_ringStrokes)
            stroke(context, value + k / 512.f, e);
        CFrame* frame = getFrame();
        context->setLineWidth((frame ? frame->getWidth() : kBaseEditorWidth) * kPointerWidthPerFrameWidth);
        context->setFrameColor(m_colours.bodyFrame);
        for (int32_t i = 0; i < m_mode; ++i) stroke(context, static_cast<float>(i) / (m_mode - 1), m_pointerDepth);
    }
}

void CKnobFlatOrvel::drawText(CDrawContext* context)
{
    if (!(m_hover || isStepped()) || std::strcmp(m_text, " ") == 0) return;
    const CCoord h = getHeight();
    const CCoord w = getWidth();
    const bool large = h >= 52;
    const double part = large ? 0.41 : 0.38;
    const CCoord margin = large ? 2 : 1;
    CRect strip(m_size.left + margin, m_size.top + part * h, m_size.right - margin, m_size.bottom - part * h);
    if (!isStepped()) {
        context->setDrawMode(kAntiAliasing);
        context->setFillColor(CColor(0, 0, 0, 111));
        context->drawRect(strip, kDrawFilled);
    }
    if (m_text[0] == 0) return;
    context->setFont(CFontDesc(m_font, strip.getHeight(), kBoldFace));
    context->setFontColor(m_colours.text);
    const CCoord textWidth = context->getStringWidth(m_text);
    context->drawString(m_text, strip, textWidth < w - 1 ? kCenterText : kLeftText, true);
}

void CKnobFlatOrvel::draw(CDrawContext* context)
{
    if (!m_geometryValid || m_geometrySize != m_size) updateGeometry();
    if (isStepped()) m_value = m_min + getRange() * snappedValue(getValueNormalized());
    const CCoord w = getWidth();
    context->setDrawMode(kAntiAliasing);
    context->setFillColor(m_colours.bodyFill);
    context->setFrameColor(m_colours.bodyFrame);

    CRect outer = m_size;
    outer.inset(1, 1);
    context->setLineWidth(2);
    context->drawEllipse(outer, kDrawFilledAndStroked);
    if (m_colours.drawInner) {
        CRect inner = m_size;
        inner.inset(1 + m_ringInset, 1 + m_ringInset);
        context->setFillColor(m_colours.innerFill);
        context->drawEllipse(inner, kDrawFilled);
        context->setFillColor(m_colours.bodyFill);
    }
    CRect body = m_size;
    body.inset(0.0714 * w - 1, 0.0714 * w - 1);
    context->setLineWidth(0.1 * w);
    context->drawEllipse(body, kDrawFilledAndStroked);

    drawRing(context);

    CFrame* frame = getFrame();
    context->setLineWidth((frame ? frame->getWidth() : kBaseEditorWidth) * kPointerWidthPerFrameWidth);
    context->setFrameColor(m_active ? m_colours.pointer : kInactiveColour);
    stroke(context, getValueNormalized(), m_pointerDepth);

    drawText(context);
    setDirty(false);
}
