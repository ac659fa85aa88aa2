#include "toolkit/Control.h"

#include "toolkit/EditorInterface.h"

#include <algorithm>

CControl::CControl(const CRect& size, IControlListener* listener, int32_t tag)
    : CView(size), m_listener(listener), m_tag(tag)
{
    setDirty();
}

void CControl::setValue(float value) { m_value = value; }

void CControl::setValueNormalized(float normalized)
{
    normalized = std::clamp(normalized, 0.f, 1.f);
    setValue(m_min + normalized * getRange());
}

float CControl::getValueNormalized() const
{
    const float range = getRange();
    return range == 0.f ? 0.f : (m_value - m_min) / range;
}

void CControl::bounceValue()
{
    if (m_value > m_max)
        m_value = m_max;
    else if (m_value < m_min)
        m_value = m_min;
}

void CControl::valueChanged()
{
    if (m_listener) m_listener->valueChanged(this);
}

void CControl::beginEdit()
{
    if (m_editDepth++ > 0) return;
    if (VSTGUIEditorInterface* editor = getEditor()) editor->beginEdit(m_tag);
    if (m_listener) m_listener->controlBeginEdit(this);
}

void CControl::endEdit()
{
    if (m_editDepth == 0) return;
    if (--m_editDepth > 0) return;
    if (m_listener) m_listener->controlEndEdit(this);
    if (VSTGUIEditorInterface* editor = getEditor()) editor->endEdit(m_tag);
}

bool CControl::checkDefaultValue(const CButtonState& buttons)
{
    if (!buttons.isLeftButton() || !(buttons & kControl)) return false;
    beginEdit();
    const float before = m_value;
    setValue(m_defaultValue);
    bounceValue();
    if (m_value != before) valueChanged();
    setDirty();
    endEdit();
    return true;
}

bool CControl::isDirty() const { return m_oldValue != m_value || CView::isDirty(); }

void CControl::setDirty(bool state)
{
    CView::setDirty(state);
    if (!state) m_oldValue = m_value;
}

void CControl::draw(CDrawContext* context)
{
    (void)context;
    setDirty(false);
}
