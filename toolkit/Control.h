#pragma once
// Controls: views with a tag, a listener and a value between a minimum and
// a maximum (0 and 1 unless set otherwise), with a default value. The user's
// changes reach the listener through valueChanged, bracketed by beginEdit
// and endEdit, which the editor forwards to the host.

#include "toolkit/View.h"

class CControl;

class IControlListener {
public:
    virtual ~IControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl* control) { (void)control; }
    virtual void controlEndEdit(CControl* control) { (void)control; }
};
using CControlListener = IControlListener;

class CControl : public CView {
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1);

    CLASS_METHODS(CControl, CView)

    virtual void setValue(float value);
    float getValue() const { return m_value; }
    virtual void setValueNormalized(float normalized);
    float getValueNormalized() const;
    virtual void setMin(float value) { m_min = value; }
    float getMin() const { return m_min; }
    virtual void setMax(float value) { m_max = value; }
    float getMax() const { return m_max; }
    float getRange() const { return m_max - m_min; }
    virtual void setDefaultValue(float value) { m_defaultValue = value; }
    float getDefaultValue() const { return m_defaultValue; }
    // Keeps the value inside minimum..maximum.
    virtual void bounceValue();
    void setOldValue(float value) { m_oldValue = value; }
    float getOldValue() const { return m_oldValue; }

    virtual void setTag(int32_t tag) { m_tag = tag; }
    int32_t getTag() const { return m_tag; }
    virtual void setListener(IControlListener* listener) { m_listener = listener; }
    IControlListener* getListener() const { return m_listener; }

    // Tells the listener the value has changed.
    virtual void valueChanged();
    // Begin and end of a user's gesture: to the editor (and so the host) for
    // the control's tag, and to the listener. Nested calls are counted and
    // only the outermost pair is reported.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return m_editDepth > 0; }

    // Ctrl with a left press: sets the default value inside its own
    // begin/end pair and tells the listener. True when it did.
    virtual bool checkDefaultValue(const CButtonState& buttons);

    // Mouse wheel step in normalised units (sliders).
    void setWheelInc(float increment) { m_wheelInc = increment; }
    float getWheelInc() const { return m_wheelInc; }

    // Dirty while the value differs from the one last drawn.
    bool isDirty() const override;
    void setDirty(bool state = true) override;
    void draw(CDrawContext* context) override;

protected:
    IControlListener* m_listener;
    int32_t m_tag;
    float m_value = 0.f;
    float m_oldValue = 1.f;
    float m_min = 0.f;
    float m_max = 1.f;
    float m_defaultValue = 0.5f;
    float m_wheelInc = 0.1f;
    int32_t m_editDepth = 0;
};
