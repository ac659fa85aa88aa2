#pragma once
// The toolkit's slider: a handle travelling along a groove. Dragging the
// handle moves it with the mouse, a press beside the handle brings it under
// the mouse first, Shift moves ten times finer, Ctrl with a left press sets
// the default value, and the wheel steps the value.

#include "toolkit/Control.h"

enum CSliderStyle : int32_t {
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
    kRight = 1 << 4,
    kLeft = 1 << 5,  // horizontal: maximum at the left
    kTop = 1 << 6,   // vertical: maximum at the top
    kBottom = 1 << 7,
};

class CSlider : public CControl {
public:
    // The handle's leading edge travels from `minPos` to `minPos` +
    // `travelLength` pixels from the view's top (vertical) or left edge.
    CSlider(const CRect& size, IControlListener* listener, int32_t tag, int32_t minPos, int32_t travelLength,
            int32_t style);

    CLASS_METHODS(CSlider, CControl)

    int32_t getStyle() const { return m_style; }
    bool isVertical() const { return (m_style & kVertical) != 0; }
    // Whether the maximum lies at the top (vertical) or at the right (horizontal).
    bool isMaxAtStart() const;
    int32_t getMinPos() const { return m_minPos; }
    int32_t getTravelLength() const { return m_travel; }
    void setTravelLength(int32_t length) { m_travel = length; }
    // Handle size along and across the travel; the thickness by default.
    void setHandleSize(const CPoint& size) { m_handleSize = size; }
    CPoint getHandleSize() const;
    // Handle rectangle in the parent's coordinates for the current value.
    CRect getHandleRect() const;
    void setZoomFactor(float factor) { m_zoomFactor = factor; }
    float getZoomFactor() const { return m_zoomFactor; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;

protected:
    // Handle offset (pixels from the view's leading edge) for a normalised value and back.
    CCoord offsetForValue(float normalized) const;
    float valueForOffset(CCoord offset) const;
    CCoord along(const CPoint& where) const;

    int32_t m_style;
    int32_t m_minPos;
    int32_t m_travel;
    CPoint m_handleSize;
    float m_zoomFactor = 10.f;

private:
    CCoord m_grabOffset = 0;
    CCoord m_fineStart = 0;
    float m_fineStartValue = 0;
    bool m_fine = false;
};
