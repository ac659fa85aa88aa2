#pragma once
// A thin slider: a narrow groove, lit below (vertical) or left of
// (horizontal) a round handle. Mouse handling is the toolkit slider's.

#include "toolkit/Slider.h"

struct NanoColours {
    CColor groove{98, 98, 98};
    CColor bar{5, 5, 7};
    CColor handle{16, 182, 97};
    CColor unused{165, 165, 165};
};

class CSliderNano : public CSlider {
public:
    CSliderNano(const CRect& size, IControlListener* listener, int32_t tag, int32_t minPos, int32_t travelLength,
                int32_t style);

    CLASS_METHODS(CSliderNano, CSlider)

    virtual void setActive(bool state);
    void setColours(const NanoColours& colours);
    bool isActive() const { return m_active; }
    const NanoColours& getColours() const { return m_colours; }
    // Handle square in the parent's coordinates for the current value.
    CRect getHandleSquare() const;

    void draw(CDrawContext* context) override;

    static constexpr CColor kInactiveColour{128, 128, 128};

private:
    NanoColours m_colours;
    bool m_active = true;
};
