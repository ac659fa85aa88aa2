#pragma once
// A row of labelled segments of which one is selected; with a single
// segment, a labelled toggle.

#include "toolkit/Control.h"

#include <string>

struct MultiSwitchColours {
    CColor unused1{201, 201, 201};
    CColor unused2{122, 122, 122};
    CColor segmentFill{122, 122, 122};
    CColor frameAndText{32, 32, 32};
    CColor selectedText{254, 254, 254};
};

class CMultiSwitch : public CControl {
public:
    static constexpr int32_t kMaxPositions = 12;

    CMultiSwitch(const CRect& size, IControlListener* listener, int32_t tag, int32_t positions);

    CLASS_METHODS(CMultiSwitch, CControl)

    virtual void setActive(bool state);
    void setColours(const MultiSwitchColours& colours);
    void setFont(const char* family);
    // Copies a label into its 32-byte field.
    void setLabel(int32_t index, const char* text);
    const char* getLabel(int32_t index) const;
    int32_t getPositions() const { return m_positions; }
    // The segment shown selected for the current value.
    int32_t getSelectedSegment() const;
    bool isActive() const { return m_active; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    static constexpr CColor kInactiveColour{128, 128, 128};
    // Label sizes against the height, as single-precision factors.
    static constexpr double kLargeText = static_cast<double>(0.829f);
    static constexpr double kSmallText = static_cast<double>(0.579f);

private:
    int32_t m_positions;
    char m_labels[kMaxPositions][32] = {};
    std::string m_font = "Arial";
    MultiSwitchColours m_colours;
    bool m_active = true;
};
