#pragma once
// A one-line label whose bold text shrinks until it fits the width. With a
// listener it reports left clicks (a clickable caption).

#include "toolkit/ParamDisplay.h"

class CSimpleLabel : public CParamDisplay {
public:
    CSimpleLabel(const CRect& size, bool drawFrame, CHoriTxtAlign textAlign);

    CLASS_METHODS(CSimpleLabel, CParamDisplay)

    // Copies at most 127 characters.
    void setText(const char* text);
    const char* getText() const { return m_text; }
    // Replaces the family; the label's text stays bold.
    void setFont(const char* family);
    int32_t getFontShrink() const { return m_fontShrink; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    char m_text[128] = {};
    bool m_drawFrame;
    CHoriTxtAlign m_textAlign;
    int32_t m_fontShrink = 2;
    size_t m_fittedLength = 0;
};
