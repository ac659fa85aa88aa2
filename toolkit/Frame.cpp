#include "toolkit/Frame.h"

#include "toolkit/Timer.h"

#include <cmath>

namespace {
constexpr uint64_t kDoubleClickMs = 400;
constexpr CCoord kDoubleClickDistance = 4;
}  // namespace

CFrame::CFrame(const CRect& size, VSTGUIEditorInterface* editor) : CViewContainer(size), m_editor(editor)
{
    m_size.moveTo(0, 0);
    m_mouseableArea = m_size;
}

CFrame::~CFrame() { close(); }

bool CFrame::open(void* parent, PlatformType type)
{
    if (m_window) return true;
    m_window = backend::createWindow(type, parent, *this);
    if (!m_window) return false;
    invalid();
    return true;
}

void CFrame::close()
{
    closePopup();
    setFocusView(nullptr);
    m_modalView = nullptr;
    removeAll();
    setBackground(nullptr);
    m_window.reset();
    m_mouseInside = false;
    m_lastButtons = CButtonState();
}

void CFrame::invalid() { invalidRect(m_size); }

void CFrame::invalidRect(const CRect& rect)
{
    if (!m_window) return;
    CRect r = rect;
    r.bound(m_size);
    if (!r.isEmpty()) m_window->invalidRect(r);
}

void CFrame::idle()
{
    remember();
    if (m_window) m_window->idle();
    CVSTGUITimer::fireDueTimers();
    callIdleViews();
    invalidateDirtyViews();
    if (m_popup && m_popup->isDirty()) m_popup->invalid();
    if (m_window) m_window->idle();
    forget();
}

void CFrame::callIdleViews()
{
    const uint64_t now = toolkitTicks();
    if (now - m_lastIdleViewsTime < static_cast<uint64_t>(1000 / getIdleRate())) return;
    m_lastIdleViewsTime = now;
    std::vector<CView*> views;
    collectIdleViews(views);
    for (CView* view : views) {
        view->remember();
        view->onIdle();
        view->forget();
    }
}

bool CFrame::setSize(CCoord width, CCoord height)
{
    if (width == m_size.getWidth() && height == m_size.getHeight()) return true;
    bool accepted = m_editor && m_editor->requestResize(CPoint(width, height));
    if (m_window && m_window->setSize(CPoint(width, height))) accepted = true;
    if (!accepted && m_window) return false;
    CRect r(0, 0, width, height);
    CViewContainer::setViewSize(r, false);
    m_mouseableArea = r;
    invalid();
    return true;
}

bool CFrame::setModalView(CView* view)
{
    if (view && m_modalView) return false;
    if (m_modalView) {
        CView* old = m_modalView;
        m_modalView = nullptr;
        removeView(old, true);
    }
    if (view) {
        if (!addView(view)) return false;
        m_modalView = view;
        view->invalid();
    }
    return true;
}

void CFrame::showPopup(CView* popup)
{
    closePopup();
    if (!popup) return;
    m_popup = SharedPointer<CView>(popup);
    popup->attached(this);
    popup->invalid();
}

void CFrame::closePopup()
{
    if (!m_popup) return;
    SharedPointer<CView> popup = m_popup;
    m_popup.reset();
    m_popupCapture = false;
    invalidRect(popup->getViewSize());
    popup->removed(this);
}

void CFrame::setFocusView(CView* view)
{
    if (view == m_focusView) return;
    CView* old = m_focusView;
    m_focusView = view;
    if (old) old->looseFocus();
    if (m_focusView) m_focusView->takeFocus();
}

void CFrame::viewWillBeRemoved(CView* view)
{
    if (m_focusView == view || (m_focusView && dynamic_cast<CViewContainer*>(view) &&
                                static_cast<CViewContainer*>(view)->isChild(m_focusView, true))) {
        CView* focus = m_focusView;
        m_focusView = nullptr;
        focus->looseFocus();
    }
    if (m_modalView == view) m_modalView = nullptr;
}

void CFrame::setCursor(CCursorType cursor)
{
    m_cursor = cursor;
    if (m_window) m_window->setCursor(cursor);
}

bool CFrame::lastMouseLocation(CPoint& where) const
{
    if (!m_mouseInside) return false;
    where = m_lastMouse;
    return true;
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const
{
    if (m_window) return m_window->getCurrentMousePosition(where);
    return lastMouseLocation(where);
}

CButtonState CFrame::getCurrentMouseButtons() const
{
    if (m_window) return m_window->getCurrentMouseButtons();
    return CButtonState(m_lastButtons.getButtonState());
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect)
{
    drawBackgroundRect(context, updateRect);
    CRect savedClip;
    context->getClipRect(savedClip);
    CRect clip = updateRect;
    clip.bound(savedClip);
    context->setClipRect(clip);
    for (CView* child : m_children)
        if (child != m_modalView) drawChild(context, child, updateRect);
    if (m_modalView) drawChild(context, m_modalView, updateRect);
    if (m_popup) drawChild(context, m_popup.get(), updateRect);
    context->setClipRect(savedClip);
    CView::setDirty(false);
}

void CFrame::platformDrawRect(CDrawContext* context, const CRect& rect)
{
    remember();
    context->setOffset(CPoint());
    context->setClipRect(rect);
    drawRect(context, rect);
    context->resetClipRect();
    forget();
}

void CFrame::platformDrawOpaque(CDrawContext* context, const CRect& area)
{
    CColor back = getBackgroundColor();
    back.alpha = 255;
    context->setClipRect(area);
    context->setDrawMode(kAliasing);
    context->setFillColor(back);
    context->drawRect(area, kDrawFilled);
    platformDrawRect(context, area);
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint where, CButtonState buttons)
{
    remember();
    const uint64_t now = toolkitTicks();
    int32_t state = buttons.value() & ~kDoubleClick;
    if (buttons.isDoubleClick())
        state |= kDoubleClick;
    else if (CButtonState(state).isLeftButton() && m_lastClickTime != 0 && now - m_lastClickTime <= kDoubleClickMs &&
             std::fabs(where.x - m_lastClickPoint.x) <= kDoubleClickDistance &&
             std::fabs(where.y - m_lastClickPoint.y) <= kDoubleClickDistance)
        state |= kDoubleClick;
    if (CButtonState(state).isLeftButton()) {
        // A double click ends the sequence: a third click starts a new one.
        m_lastClickTime = (state & kDoubleClick) ? 0 : now;
        m_lastClickPoint = where;
    }
    buttons = CButtonState(state);
    m_lastMouse = where;
    m_mouseInside = true;
    m_lastButtons = buttons;

    CMouseEventResult result = kMouseEventNotHandled;
    if (m_popup) {
        if (m_popup->getViewSize().pointInside(where)) {
            CPoint p = where;
            result = m_popup->onMouseDown(p, buttons);
            m_popupCapture = m_popup && result == kMouseEventHandled;
        } else {
            // A press outside an open menu only closes it.
            CPoint p = where;
            m_popup->onMouseDown(p, buttons);
            result = kMouseEventHandled;
        }
        forget();
        return result;
    }
    if (m_focusView) {
        CView* target = getViewAt(where, true);
        if (target != m_focusView) setFocusView(nullptr);
    }
    if (m_modalView) {
        CPoint p = where;
        if (m_modalView->isVisible() && m_modalView->hitTest(p, buttons)) {
            result = m_modalView->onMouseDown(p, buttons);
            if (result == kMouseEventHandled) m_mouseDownView = m_modalView;
        }
    } else {
        CPoint p = where;
        result = CViewContainer::onMouseDown(p, buttons);
    }
    forget();
    return result;
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint where, CButtonState buttons)
{
    remember();
    m_lastMouse = where;
    m_mouseInside = true;
    m_lastButtons = buttons;
    CMouseEventResult result = kMouseEventNotHandled;
    if (m_popup) {
        CPoint p = where;
        result = m_popup->onMouseMoved(p, buttons);
    } else if (m_modalView && !m_mouseDownView) {
        CPoint p = where;
        if (m_mouseOverView != m_modalView && m_modalView->hitTest(p, buttons)) {
            if (m_mouseOverView) m_mouseOverView->onMouseExited(p, buttons);
            m_mouseOverView = m_modalView;
            m_modalView->onMouseEntered(p, buttons);
        }
        result = m_modalView->onMouseMoved(p, buttons);
    } else {
        CPoint p = where;
        result = CViewContainer::onMouseMoved(p, buttons);
    }
    forget();
    return result;
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint where, CButtonState buttons)
{
    remember();
    m_lastMouse = where;
    m_lastButtons = CButtonState(buttons.getModifierState());
    CMouseEventResult result = kMouseEventNotHandled;
    if (m_popup) {
        if (m_popupCapture) {
            CPoint p = where;
            result = m_popup->onMouseUp(p, buttons);
        }
        m_popupCapture = false;
    } else {
        CPoint p = where;
        result = CViewContainer::onMouseUp(p, buttons);
    }
    forget();
    return result;
}

CMouseEventResult CFrame::platformOnMouseExited()
{
    remember();
    m_mouseInside = false;
    CPoint p = m_lastMouse;
    if (m_popup)
        m_popup->onMouseExited(p, m_lastButtons);
    else if (!m_mouseDownView)
        CViewContainer::onMouseExited(p, m_lastButtons);
    forget();
    return kMouseEventHandled;
}

bool CFrame::platformOnWheel(CPoint where, CMouseWheelAxis axis, float distance, CButtonState buttons)
{
    remember();
    m_lastMouse = where;
    m_mouseInside = true;
    bool handled = false;
    if (m_popup)
        handled = m_popup->onWheel(where, axis, distance, buttons);
    else if (m_modalView)
        handled = m_modalView->hitTest(where, buttons) && m_modalView->onWheel(where, axis, distance, buttons);
    else
        handled = CViewContainer::onWheel(where, axis, distance, buttons);
    forget();
    return handled;
}

int32_t CFrame::platformOnKeyDown(CKeyCode key)
{
    remember();
    int32_t result = -1;
    if (m_popup)
        result = m_popup->onKeyDown(key);
    else if (m_focusView)
        result = m_focusView->onKeyDown(key);
    if (result == -1 && !m_popup && m_modalView) result = m_modalView->onKeyDown(key);
    forget();
    return result;
}

int32_t CFrame::platformOnKeyUp(CKeyCode key)
{
    remember();
    int32_t result = -1;
    if (m_popup)
        result = m_popup->onKeyUp(key);
    else if (m_focusView)
        result = m_focusView->onKeyUp(key);
    if (result == -1 && !m_popup && m_modalView) result = m_modalView->onKeyUp(key);
    forget();
    return result;
}
