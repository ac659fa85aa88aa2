#pragma once
// Push buttons: CTextButton (a titled button whose value is 1 while it is
// pressed) and CSplashScreen (a control that shows a view as the frame's
// modal view while its value is 1).

#include "toolkit/Control.h"

#include <string>

class CTextButton : public CControl {
public:
    CTextButton(const CRect& size, IControlListener* listener, int32_t tag, const char* title);

    CLASS_METHODS(CTextButton, CControl)

    void setTitle(const char* title);
    const char* getTitle() const { return m_title.c_str(); }
    void setFont(const CFontDesc& font);
    const CFontDesc& getFont() const { return m_font; }
    void setTextColor(const CColor& color)
    {
        m_textColor = color;
        setDirty();
    }
    void setFillColor(const CColor& color)
    {
        m_fillColor = color;
        setDirty();
    }
    void setFillColorPressed(const CColor& color)
    {
        m_fillColorPressed = color;
        setDirty();
    }
    void setFrameColor(const CColor& color)
    {
        m_frameColor = color;
        setDirty();
    }
    void setRoundRadius(CCoord radius)
    {
        m_roundRadius = radius;
        setDirty();
    }

    void draw(CDrawContext* context) override;
    // Press: value 1, reported. Moving off the button shows it released;
    // releasing over the button sets 0 and reports it (the click).
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

private:
    std::string m_title;
    CFontDesc m_font;
    CColor m_textColor = kBlackCColor;
    CColor m_fillColor = CColor(220, 220, 220);
    CColor m_fillColorPressed = CColor(180, 180, 180);
    CColor m_frameColor = CColor(90, 90, 90);
    CCoord m_roundRadius = 3;
    bool m_pressed = false;
};

class CSplashScreen : public CControl {
public:
    // Keeps a reference to `splashView`.
    CSplashScreen(const CRect& size, IControlListener* listener, int32_t tag, CView* splashView);
    ~CSplashScreen() override;

    CLASS_METHODS(CSplashScreen, CControl)

    // A left press shows the view (value 1) and tells the listener.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Puts the view up as the frame's modal view (value 1); nothing is reported.
    virtual void splash();
    // Takes the view down again (value 0); nothing is reported.
    virtual void unSplash();
    // The area the view covers when shown.
    virtual void setDisplayArea(const CRect& rect);
    CView* getSplashView() const { return m_splashView.get(); }

    void draw(CDrawContext* context) override;

protected:
    SharedPointer<CView> m_splashView;
};
