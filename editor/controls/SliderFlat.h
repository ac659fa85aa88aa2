#pragma once
// A dark box that shows the parameter's value text and is dragged up and
// down like a slider (box style); without the box style bit it is a plain
// toolkit slider.

#include "toolkit/Slider.h"

#include <string>

class CSliderFlat : public CSlider {
public:
    static constexpr int32_t kBoxStyle = 0x4000;
    static constexpr double kFineDivisor = 10.2;

    CSliderFlat(const CRect& size, IControlListener* listener, int32_t tag, int32_t minPos, int32_t travelLength,
                int32_t style);

    CLASS_METHODS(CSliderFlat, CSlider)

    virtual void setText(const char* text);
    virtual void setActive(bool state);
    void setFont(const char* family);
    // The fourth colour of the editor's slider block; kept, not drawn in the box style.
    void setColours(const CColor& sliderColour);

    const char* getText() const { return m_text; }
    bool isActive() const { return m_active; }
    const CColor& getSliderColour() const { return m_sliderColour; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

    static constexpr CColor kBoxFill{32, 32, 32};
    static constexpr CColor kBoxFrame{128, 128, 128};
    static constexpr CColor kInactiveText{128, 128, 128};

private:
    bool isBox() const { return (m_style & kBoxStyle) != 0; }
    void setCursor(CCursorType cursor);

    char m_text[32] = {};
    std::string m_font = "Arial";
    CColor m_sliderColour{165, 165, 165};
    bool m_active = true;
    float m_pressComplement = 0;  // 1 − value at the press
    CPoint m_pressPoint;
    bool m_dragging = false;
};
