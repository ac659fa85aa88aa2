#include "editor/controls/SimpleLabel.h"

#include <cstdio>
#include <cstring>

CSimpleLabel::CSimpleLabel(const CRect& size, bool drawFrame, CHoriTxtAlign textAlign)
    : CParamDisplay(size), m_drawFrame(drawFrame), m_textAlign(textAlign)
{
    setTag(-1);
    m_frameColor = CColor(122, 122, 122);
    m_backColor = CColor(32, 32, 32);
    m_fontColor = CColor(215, 215, 255);
    m_font = CFontDesc("Arial", 12, kBoldFace);
}

void CSimpleLabel::setText(const char* text)
{
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
    setDirty();
}

void CSimpleLabel::setFont(const char* family)
{
    m_font.setName(family && *family ? family : "Arial");
    m_font.setStyle(kBoldFace);
    setDirty();
}

void CSimpleLabel::draw(CDrawContext* context)
{
    const CCoord h = getHeight();
    const CCoord w = getWidth();
    const size_t length = std::strlen(m_text);
    CFontDesc font = m_font;
    font.setStyle(kBoldFace);
    const bool lengthJumped = length > m_fittedLength ? length - m_fittedLength > 2 : m_fittedLength - length > 2;
    if (lengthJumped || length > m_fittedLength) {
        // Shrink until the text fits, but never below a one-pixel font.
        m_fontShrink = 2;
        font.setSize(h - m_fontShrink);
        context->setFont(font);
        while (h - m_fontShrink > 1 && context->getStringWidth(m_text) > w - 2) {
            ++m_fontShrink;
            font.setSize(h - m_fontShrink);
            context->setFont(font);
        }
        m_fittedLength = length;
    }
    font.setSize(h - m_fontShrink);
    if (m_drawFrame) {
        context->setDrawMode(kAntiAliasing);
        context->setLineWidth(2);
        context->setFrameColor(m_frameColor);
        context->drawRect(m_size, kDrawStroked);
    }
    context->setFont(font);
    context->setFontColor(m_fontColor);
    context->drawString(m_text, m_size, m_textAlign, true);
    setDirty(false);
}

CMouseEventResult CSimpleLabel::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!m_listener || !buttons.isLeftButton()) return kMouseEventNotHandled;
    beginEdit();
    valueChanged();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
