#include "toolkit/ParamDisplay.h"

#include "toolkit/Frame.h"

#include <charconv>

CParamDisplay::CParamDisplay(const CRect& size, int32_t style) : CControl(size, nullptr, -1), m_style(style)
{
    m_font = kNormalFont();
}

void CParamDisplay::setFont(const CFontDesc& font)
{
    m_font = font;
    setDirty();
}
void CParamDisplay::setFontSize(CCoord size)
{
    m_font.setSize(size);
    setDirty();
}
void CParamDisplay::setFontColor(const CColor& color)
{
    m_fontColor = color;
    setDirty();
}
void CParamDisplay::setBackColor(const CColor& color)
{
    m_backColor = color;
    setDirty();
}
void CParamDisplay::setFrameColor(const CColor& color)
{
    m_frameColor = color;
    setDirty();
}
void CParamDisplay::setHoriAlign(CHoriTxtAlign align)
{
    m_horiAlign = align;
    setDirty();
}
void CParamDisplay::setStyle(int32_t style)
{
    m_style = style;
    setDirty();
}

std::string CParamDisplay::getDisplayText() const
{
    if (m_valueToString) return m_valueToString(m_value);
    // Without the C library's locale: the host may have set a decimal comma.
    char text[48];
    auto result = std::to_chars(text, text + sizeof text, static_cast<double>(m_value), std::chars_format::fixed, 2);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

void CParamDisplay::drawBack(CDrawContext* context)
{
    context->setDrawMode(kAliasing);
    if (m_backColor.alpha != 0) {
        context->setFillColor(m_backColor);
        if (m_style & kRoundRectStyle)
            context->drawRoundRect(m_size, 4, kDrawFilled);
        else
            context->drawRect(m_size, kDrawFilled);
    }
    if (!(m_style & kNoFrame)) {
        context->setLineWidth(m_frameWidth);
        context->setFrameColor(m_frameColor);
        if (m_style & kRoundRectStyle)
            context->drawRoundRect(m_size, 4, kDrawStroked);
        else
            context->drawRect(m_size, kDrawStroked);
    }
}

void CParamDisplay::drawText(CDrawContext* context, const char* text)
{
    if (m_style & kNoTextStyle) return;
    CRect area = m_size;
    area.inset(m_textInset.x, m_textInset.y);
    context->setFont(m_font);
    context->setFontColor(m_fontColor);
    context->drawString(text, area, m_horiAlign, m_antialias);
}

void CParamDisplay::draw(CDrawContext* context)
{
    if (!(m_style & kNoDrawStyle)) {
        drawBack(context);
        drawText(context, getDisplayText().c_str());
    }
    setDirty(false);
}

// ---------------------------------------------------------------------------

CTextLabel::CTextLabel(const CRect& size, const char* text, int32_t style) : CParamDisplay(size, style)
{
    CTextLabel::setText(text);
}

void CTextLabel::setText(const char* text)
{
    const std::string newText = text ? text : "";
    if (newText != m_text) {
        m_text = newText;
        setDirty();
    }
}

// ---------------------------------------------------------------------------

namespace {
void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t previousCharacter(const std::string& s, size_t pos)
{
    if (pos == 0) return 0;
    --pos;
    while (pos > 0 && isContinuation(s[pos])) --pos;
    return pos;
}

size_t nextCharacter(const std::string& s, size_t pos)
{
    if (pos >= s.size()) return s.size();
    ++pos;
    while (pos < s.size() && isContinuation(s[pos])) ++pos;
    return pos;
}
}  // namespace

CTextEdit::CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, const char* text, int32_t style)
    : CTextLabel(size, text, style)
{
    setListener(listener);
    setTag(tag);
    m_horiAlign = kLeftText;
    m_textInset = CPoint(3, 0);
}

void CTextEdit::setText(const char* text)
{
    CTextLabel::setText(text);
    if (m_caret > m_text.size()) m_caret = m_text.size();
}

void CTextEdit::draw(CDrawContext* context)
{
    if (!(m_style & kNoDrawStyle)) {
        drawBack(context);
        drawText(context, m_text.c_str());
        if (m_editing) {
            // Caret: a line the height of the font after the text before it.
            context->setFont(m_font);
            const CCoord x = m_size.left + m_textInset.x + context->getStringWidth(m_text.substr(0, m_caret).c_str());
            const CCoord h = m_font.getSize();
            const CCoord top = m_size.top + (m_size.getHeight() - h) / 2;
            context->setDrawMode(kAliasing);
            context->setLineWidth(1);
            context->setFrameColor(m_fontColor);
            context->drawLine(CPoint(x, top), CPoint(x, top + h - 1));
        }
    }
    setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (CFrame* frame = getFrame()) {
        if (frame->getFocusView() != this) frame->setFocusView(this);
    }
    m_caret = m_text.size();
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus()
{
    m_editing = true;
    m_cancelled = false;
    m_textBeforeEdit = m_text;
    m_caret = m_text.size();
    beginEdit();
    setDirty();
}

void CTextEdit::looseFocus() { endEditing(!m_cancelled); }

void CTextEdit::endEditing(bool commit)
{
    if (!m_editing) return;
    m_editing = false;
    if (!commit)
        m_text = m_textBeforeEdit;
    else if (m_text != m_textBeforeEdit)
        valueChanged();
    endEdit();
    setDirty();
}

int32_t CTextEdit::onKeyDown(CKeyCode& key)
{
    if (!m_editing) return -1;
    CFrame* frame = getFrame();
    switch (key.virt) {
    case VirtualKey::Return:
    case VirtualKey::Enter:
        if (frame && frame->getFocusView() == this)
            frame->setFocusView(nullptr);
        else
            endEditing(true);
        return 1;
    case VirtualKey::Escape:
        m_cancelled = true;
        if (frame && frame->getFocusView() == this)
            frame->setFocusView(nullptr);
        else
            endEditing(false);
        return 1;
    case VirtualKey::Back:
        if (m_caret > 0) {
            const size_t from = previousCharacter(m_text, m_caret);
            m_text.erase(from, m_caret - from);
            m_caret = from;
        }
        break;
    case VirtualKey::Delete:
        if (m_caret < m_text.size()) m_text.erase(m_caret, nextCharacter(m_text, m_caret) - m_caret);
        break;
    case VirtualKey::Left:
        m_caret = previousCharacter(m_text, m_caret);
        break;
    case VirtualKey::Right:
        m_caret = nextCharacter(m_text, m_caret);
        break;
    case VirtualKey::Home:
        m_caret = 0;
        break;
    case VirtualKey::End:
        m_caret = m_text.size();
        break;
    default:
        if (key.character >= 0x20 && key.character != 0x7F) {
            std::string bytes;
            appendUtf8(bytes, key.character);
            if (m_text.size() + bytes.size() > m_maxLength) return 1;
            m_text.insert(m_caret, bytes);
            m_caret += bytes.size();
            break;
        }
        if (key.virt == VirtualKey::Space) {
            if (m_text.size() < m_maxLength) m_text.insert(m_caret++, 1, ' ');
            break;
        }
        return -1;
    }
    setDirty();
    return 1;
}
