#include "toolkit/Buttons.h"

#include "toolkit/Frame.h"

CTextButton::CTextButton(const CRect& size, IControlListener* listener, int32_t tag, const char* title)
    : CControl(size, listener, tag), m_title(title ? title : ""), m_font(kNormalFont())
{
    m_defaultValue = 0.f;
}

void CTextButton::setTitle(const char* title)
{
    m_title = title ? title : "";
    setDirty();
}

void CTextButton::setFont(const CFontDesc& font)
{
    m_font = font;
    setDirty();
}

void CTextButton::draw(CDrawContext* context)
{
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(1);
    context->setFillColor(m_value > 0.5f ? m_fillColorPressed : m_fillColor);
    context->setFrameColor(m_frameColor);
    CRect r = m_size;
    if (m_roundRadius > 0)
        context->drawRoundRect(r, m_roundRadius, kDrawFilledAndStroked);
    else
        context->drawRect(r, kDrawFilledAndStroked);
    context->setFont(m_font);
    context->setFontColor(m_textColor);
    context->drawString(m_title.c_str(), m_size, kCenterText, true);
    setDirty(false);
}

CMouseEventResult CTextButton::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    m_pressed = true;
    beginEdit();
    m_value = m_max;
    valueChanged();
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CTextButton::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!m_pressed || !(buttons & kLButton)) return kMouseEventNotHandled;
    const float shown = m_size.pointInside(where) ? m_max : m_min;
    if (shown != m_value) {
        m_value = shown;
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult CTextButton::onMouseUp(CPoint& where, const CButtonState&)
{
    if (!m_pressed) return kMouseEventNotHandled;
    m_pressed = false;
    m_value = m_min;
    if (m_size.pointInside(where)) valueChanged();
    setDirty();
    endEdit();
    return kMouseEventHandled;
}

// ---------------------------------------------------------------------------

CSplashScreen::CSplashScreen(const CRect& size, IControlListener* listener, int32_t tag, CView* splashView)
    : CControl(size, listener, tag), m_splashView(splashView)
{
    m_defaultValue = 0.f;
}

CSplashScreen::~CSplashScreen() = default;

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    splash();
    if (m_value == m_max) {
        beginEdit();
        valueChanged();
        endEdit();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::splash()
{
    CFrame* frame = getFrame();
    if (!frame || !m_splashView || frame->getModalView()) return;
    m_splashView->remember();
    if (!frame->setModalView(m_splashView.get())) {
        m_splashView->forget();
        return;
    }
    m_value = m_max;
    setDirty();
}

void CSplashScreen::unSplash()
{
    m_value = m_min;
    setDirty();
    CFrame* frame = getFrame();
    if (frame && m_splashView && frame->getModalView() == m_splashView.get()) frame->setModalView(nullptr);
}

void CSplashScreen::setDisplayArea(const CRect& rect)
{
    if (m_splashView) {
        m_splashView->setViewSize(rect);
        m_splashView->setMouseableArea(rect);
    }
}

void CSplashScreen::draw(CDrawContext* context)
{
    (void)context;
    setDirty(false);
}
