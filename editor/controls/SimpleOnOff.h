#pragma once
// A square switch: filled with the "on" colour when on (and active), else
// with the "off" colour, framed.

#include "toolkit/Control.h"

struct OnOffColours {
    CColor on{201, 201, 201};
    CColor off{122, 122, 122};
    CColor frame{122, 122, 122};
};

class CSimpleOnOff : public CControl {
public:
    CSimpleOnOff(const CRect& size, IControlListener* listener, int32_t tag);

    CLASS_METHODS(CSimpleOnOff, CControl)

    virtual void setActive(bool state);
    void setColours(const OnOffColours& colours);
    bool isActive() const { return m_active; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    OnOffColours m_colours;
    bool m_active = true;
};
