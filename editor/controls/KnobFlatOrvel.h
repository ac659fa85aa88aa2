#pragma once
// Circular knobs drawn with vectors: a body disc whose thick rim carries a
// ring of short strokes showing the value, a pointer, and the value text
// while the mouse is over the knob. Mode 1 is a normal knob, −1 a bipolar
// one (the ring grows from the top), 2..n a switch with n positions.

#include "toolkit/Control.h"

#include <string>

// The 40-byte colour block the editor hands to every knob.
struct KnobColours {
    CColor bodyFill{122, 122, 122};
    CColor innerFill{122, 122, 122};
    CColor bodyFrame{32, 32, 32};
    CColor ring{186, 186, 186};
    CColor pointer{215, 215, 255};
    CColor text{215, 215, 255};
    bool drawInner = false;
    double insetDivisor = 10.0;
};
static_assert(sizeof(KnobColours) == 40, "knob colour block is 40 bytes");

class CKnobFlatSwitch : public CControl {
public:
    CKnobFlatSwitch(const CRect& size, IControlListener* listener, int32_t tag, int32_t mode);

    CLASS_METHODS(CKnobFlatSwitch, CControl)

    virtual void setText(const char* text);
    virtual void drawRing(CDrawContext* context);
    // Outer and inner end of a radial stroke at `value`, `inset` pixels deep.
    virtual void valueToPoints(float value, CCoord inset, CPoint& outer, CPoint& inner) const;
    virtual void drawText(CDrawContext* context);
    virtual void setActive(bool state);
    virtual void setStartAngle(double radians);
    virtual void setRangeAngle(double radians);
    virtual double getStartAngle() const { return m_startAngle; }
    virtual double getRangeAngle() const { return m_rangeAngle; }
    virtual void computeAngles();
    // Point at distance `radius` from the centre in the direction of `value`.
    virtual CPoint valueToPoint(float value, CCoord radius) const;
    // Value for a mouse point, from its angle around the centre.
    virtual float valueFromPoint(const CPoint& where) const;
    virtual void setColours(const KnobColours& colours);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;

    int32_t getMode() const { return m_mode; }
    bool isActive() const { return m_active; }
    bool isHover() const { return m_hover; }
    const char* getText() const { return m_text; }
    const KnobColours& getColours() const { return m_colours; }
    bool isLinearDrag() const { return m_linearDrag; }
    // Radial strokes of the value ring in the last drawing (checks of the ring's resolution).
    int32_t getRingStrokeCount() const { return m_ringStrokes; }

    static constexpr double kFineFactor = 2.6;
    static constexpr CColor kInactiveColour{115, 115, 115};

protected:
    bool isStepped() const { return m_mode >= 2; }
    // Recomputes the geometry when the view's size changed since the last drawing.
    virtual void updateGeometry();
    void stroke(CDrawContext* context, float value, CCoord inset);
    float snappedValue(float value) const;

    int32_t m_mode;
    bool m_active = true;
    bool m_hover = false;
    KnobColours m_colours;
    char m_text[32] = {};
    std::string m_font = "Arial";

    // Geometry.
    CCoord m_radius = 0;
    CCoord m_bodyInset = 3;
    CCoord m_ringInset = 1;
    CCoord m_pointerDepth = 0;
    int32_t m_stepHalfWidth = 0;
    CRect m_geometrySize;
    bool m_geometryValid = false;

    // Angles: radians, counter-clockwise from the positive x axis, y up.
    double m_startAngle = 3.9269907;
    double m_rangeAngle = -4.712389;
    double m_valuePerRadian = 0;
    double m_deadZone = 0;

    // Drag.
    CPoint m_firstPoint;
    CPoint m_lastPoint;
    float m_startValue = 0;
    float m_entryValue = 0;
    float m_dragRange = 0;
    double m_dragDivisor = 200;
    CButtonState m_lastButtons;
    bool m_linearDrag = false;
    bool m_dragging = false;
    int32_t m_ringStrokes = 0;
};

class CKnobFlatOrvel : public CKnobFlatSwitch {
public:
    CKnobFlatOrvel(const CRect& size, IControlListener* listener, int32_t tag, int32_t mode);

    CLASS_METHODS(CKnobFlatOrvel, CKnobFlatSwitch)

    void draw(CDrawContext* context) override;
    void drawRing(CDrawContext* context) override;
    void drawText(CDrawContext* context) override;
    // Stroke from radius − bodyInset − round(0.2 × inset) to radius − ringInset − inset.
    void valueToPoints(float value, CCoord inset, CPoint& outer, CPoint& inner) const override;

protected:
    void updateGeometry() override;
};
