#pragma once
// Controls that show text: CParamDisplay shows its value as text, CTextLabel
// a fixed text, CTextEdit a text the user can type into.

#include "toolkit/Control.h"

#include <functional>
#include <string>

enum CParamDisplayStyle : int32_t {
    kNoTextStyle = 1 << 13,
    kNoDrawStyle = 1 << 14,
    kNoFrame = 1 << 16,
    kRoundRectStyle = 1 << 17,
};

class CParamDisplay : public CControl {
public:
    CParamDisplay(const CRect& size, int32_t style = 0);

    CLASS_METHODS(CParamDisplay, CControl)

    void setFont(const CFontDesc& font);
    const CFontDesc& getFont() const { return m_font; }
    void setFontSize(CCoord size);
    void setFontColor(const CColor& color);
    const CColor& getFontColor() const { return m_fontColor; }
    void setBackColor(const CColor& color);
    const CColor& getBackColor() const { return m_backColor; }
    void setFrameColor(const CColor& color);
    const CColor& getFrameColor() const { return m_frameColor; }
    void setHoriAlign(CHoriTxtAlign align);
    CHoriTxtAlign getHoriAlign() const { return m_horiAlign; }
    void setStyle(int32_t style);
    int32_t getStyle() const { return m_style; }
    void setFrameWidth(CCoord width) { m_frameWidth = width; }
    void setTextInset(const CPoint& inset) { m_textInset = inset; }
    void setAntialias(bool state) { m_antialias = state; }

    // Turns the value into the shown text; without one the value is shown
    // with two decimals.
    void setValueToStringFunction(std::function<std::string(float)> function) { m_valueToString = std::move(function); }

    void draw(CDrawContext* context) override;

protected:
    virtual std::string getDisplayText() const;
    void drawBack(CDrawContext* context);
    void drawText(CDrawContext* context, const char* text);

    CFontDesc m_font;
    CColor m_fontColor = kWhiteCColor;
    CColor m_backColor = kBlackCColor;
    CColor m_frameColor = kBlackCColor;
    CHoriTxtAlign m_horiAlign = kCenterText;
    int32_t m_style;
    CCoord m_frameWidth = 1;
    CPoint m_textInset;
    bool m_antialias = true;
    std::function<std::string(float)> m_valueToString;
};

class CTextLabel : public CParamDisplay {
public:
    CTextLabel(const CRect& size, const char* text = nullptr, int32_t style = 0);

    CLASS_METHODS(CTextLabel, CParamDisplay)

    virtual void setText(const char* text);
    const char* getText() const { return m_text.c_str(); }

protected:
    std::string getDisplayText() const override { return m_text; }

    std::string m_text;
};

// A line of text the user edits: a click takes the keyboard focus, typed
// characters are inserted at the caret, Backspace and Delete remove, Left,
// Right, Home and End move the caret. Return or losing the focus (a click
// elsewhere) commits and tells the listener if the text changed; Escape
// restores the text from before the edit.
class CTextEdit : public CTextLabel {
public:
    CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, const char* text = nullptr,
              int32_t style = 0);

    CLASS_METHODS(CTextEdit, CTextLabel)

    void setText(const char* text) override;
    bool isEditing() const { return m_editing; }
    size_t getCaret() const { return m_caret; }
    // Longest text accepted, in bytes.
    void setMaxLength(size_t bytes) { m_maxLength = bytes; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(CKeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;

private:
    void endEditing(bool commit);

    std::string m_textBeforeEdit;
    size_t m_caret = 0;
    size_t m_maxLength = 255;
    bool m_editing = false;
    bool m_cancelled = false;
};
