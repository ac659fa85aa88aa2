#include "toolkit/View.h"

#include "toolkit/Bitmap.h"
#include "toolkit/Frame.h"

#include <algorithm>

namespace {
int32_t g_idleRate = 30;
}

CView::CView(const CRect& size) : m_size(size), m_mouseableArea(size) {}

CView::~CView() = default;

void CView::draw(CDrawContext* context)
{
    (void)context;
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& updateRect)
{
    (void)updateRect;
    draw(context);
}

void CView::invalid()
{
    if (m_parent && m_visible) m_parent->invalidRect(m_size);
}

void CView::invalidRect(const CRect& rect)
{
    if (m_parent && m_visible) m_parent->invalidRect(rect);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }

bool CView::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) { return false; }

int32_t CView::onKeyDown(CKeyCode&) { return -1; }
int32_t CView::onKeyUp(CKeyCode&) { return -1; }

void CView::setIdleRate(int32_t callsPerSecond) { g_idleRate = std::max(1, callsPerSecond); }
int32_t CView::getIdleRate() { return g_idleRate; }

void CView::setViewSize(const CRect& rect, bool invalidate)
{
    if (invalidate) invalid();
    m_size = rect;
    if (invalidate) invalid();
    setDirty();
}

bool CView::hitTest(const CPoint& where, const CButtonState&) const { return m_mouseableArea.pointInside(where); }

void CView::setVisible(bool state)
{
    if (m_visible == state) return;
    if (!state) invalid();
    m_visible = state;
    if (state) invalid();
    setDirty();
}

CFrame* CView::getFrame() const
{
    const CView* view = this;
    while (view && !view->isFrame()) view = view->m_parent;
    return view ? static_cast<CFrame*>(const_cast<CView*>(view)) : nullptr;
}

VSTGUIEditorInterface* CView::getEditor() const
{
    CFrame* frame = getFrame();
    return frame ? frame->getEditor() : nullptr;
}

bool CView::attached(CView* parent)
{
    m_parent = parent;
    setDirty();
    return true;
}

bool CView::removed(CView* parent)
{
    (void)parent;
    m_parent = nullptr;
    return true;
}

CPoint& CView::localToFrame(CPoint& point) const
{
    for (const CView* p = m_parent; p && !p->isFrame(); p = p->m_parent) point.offset(p->m_size.left, p->m_size.top);
    return point;
}

CPoint& CView::frameToLocal(CPoint& point) const
{
    for (const CView* p = m_parent; p && !p->isFrame(); p = p->m_parent) point.offset(-p->m_size.left, -p->m_size.top);
    return point;
}

// ---------------------------------------------------------------------------

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer() { removeAll(); }

bool CViewContainer::addView(CView* view)
{
    if (!view || view->isAttached()) return false;
    m_children.push_back(view);
    view->attached(this);
    view->invalid();
    return true;
}

bool CViewContainer::addView(CView* view, const CRect& mouseableArea, bool mouseEnabled)
{
    if (!addView(view)) return false;
    view->setMouseableArea(mouseableArea);
    view->setMouseEnabled(mouseEnabled);
    return true;
}

void CViewContainer::forgetMouseView(CView* view)
{
    if (m_mouseDownView == view) m_mouseDownView = nullptr;
    if (m_mouseOverView == view) m_mouseOverView = nullptr;
}

bool CViewContainer::removeView(CView* view, bool withForget)
{
    auto it = std::find(m_children.begin(), m_children.end(), view);
    if (it == m_children.end()) return false;
    view->invalid();
    if (CFrame* frame = getFrame()) frame->viewWillBeRemoved(view);
    forgetMouseView(view);
    m_children.erase(it);
    view->removed(this);
    if (withForget) view->forget();
    return true;
}

bool CViewContainer::removeAll(bool withForget)
{
    m_mouseDownView = nullptr;
    m_mouseOverView = nullptr;
    while (!m_children.empty()) removeView(m_children.back(), withForget);
    return true;
}

bool CViewContainer::isChild(const CView* view, bool deep) const
{
    for (CView* child : m_children) {
        if (child == view) return true;
        if (deep)
            if (auto* container = dynamic_cast<CViewContainer*>(child); container && container->isChild(view, true))
                return true;
    }
    return false;
}

CView* CViewContainer::getView(int32_t index) const
{
    if (index < 0 || index >= getNbViews()) return nullptr;
    return m_children[static_cast<size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep, bool mustbeMouseEnabled) const
{
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CView* child = *it;
        if (!child->isVisible() || (mustbeMouseEnabled && !child->getMouseEnabled())) continue;
        if (!child->getViewSize().pointInside(where)) continue;
        if (deep)
            if (auto* container = dynamic_cast<CViewContainer*>(child)) {
                CPoint local = where;
                local.offset(-container->getViewSize().left, -container->getViewSize().top);
                if (CView* inner = container->getViewAt(local, true, mustbeMouseEnabled)) return inner;
            }
        return child;
    }
    return nullptr;
}

void CViewContainer::setBackground(CBitmap* bitmap)
{
    m_background = SharedPointer<CBitmap>(bitmap);
    setDirty();
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, m_size); }

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect)
{
    CRect area = updateRect;
    area.bound(m_size);
    if (area.isEmpty()) return;
    if (m_backgroundColor.alpha != 0) {
        context->setFillColor(m_backgroundColor);
        context->setDrawMode(kAliasing);
        context->drawRect(area, kDrawFilled);
    }
    if (m_background) {
        CPoint offset(area.left - m_size.left, area.top - m_size.top);
        m_background->draw(context, area, offset);
    }
}

void CViewContainer::drawChild(CDrawContext* context, CView* child, const CRect& localUpdate)
{
    if (!child->isVisible() || !child->getViewSize().rectOverlap(localUpdate)) return;
    CRect clip = child->getViewSize();
    clip.bound(localUpdate);
    CRect savedClip;
    context->getClipRect(savedClip);
    CRect childClip = clip;
    childClip.bound(savedClip);
    if (childClip.isEmpty()) return;
    context->setClipRect(childClip);
    child->drawRect(context, clip);
    context->setClipRect(savedClip);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect)
{
    drawBackgroundRect(context, updateRect);
    const CPoint savedOffset = context->getOffset();
    context->setOffset(CPoint(savedOffset.x + m_size.left, savedOffset.y + m_size.top));
    CRect savedClip;
    context->getClipRect(savedClip);
    CRect local = updateRect;
    local.offset(-m_size.left, -m_size.top);
    CRect clip = local;
    clip.bound(savedClip);
    context->setClipRect(clip);
    for (CView* child : m_children) drawChild(context, child, local);
    context->setClipRect(savedClip);
    context->setOffset(savedOffset);
    CView::setDirty(false);
}

bool CViewContainer::isDirty() const
{
    if (CView::isDirty()) return true;
    for (CView* child : m_children)
        if (child->isVisible() && child->isDirty()) return true;
    return false;
}

void CViewContainer::setDirty(bool state)
{
    CView::setDirty(state);
    if (!state)
        for (CView* child : m_children) child->setDirty(false);
}

void CViewContainer::invalidRect(const CRect& rect)
{
    CView* parent = getParentView();
    if (!parent || !isVisible()) return;
    CRect r = rect;
    r.offset(m_size.left, m_size.top);
    r.bound(m_size);
    parent->invalidRect(r);
}

void CViewContainer::setViewSize(const CRect& rect, bool invalidate) { CView::setViewSize(rect, invalidate); }

void CViewContainer::invalidateDirtyViews()
{
    if (!isVisible()) return;
    if (CView::isDirty()) {
        invalid();
        CView::setDirty(false);
        for (CView* child : m_children) child->setDirty(false);
        return;
    }
    for (CView* child : m_children) {
        if (!child->isVisible()) continue;
        if (auto* container = dynamic_cast<CViewContainer*>(child))
            container->invalidateDirtyViews();
        else if (child->isDirty())
            child->invalid();
    }
}

void CViewContainer::collectIdleViews(std::vector<CView*>& views) const
{
    for (CView* child : m_children) {
        if (child->wantsIdle()) views.push_back(child);
        if (auto* container = dynamic_cast<CViewContainer*>(child)) container->collectIdleViews(views);
    }
}

CView* CViewContainer::mouseTarget(const CPoint& local, const CButtonState& buttons) const
{
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CView* child = *it;
        if (child->isVisible() && child->getMouseEnabled() && child->hitTest(local, buttons)) return child;
    }
    return nullptr;
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    CPoint local = where;
    local.offset(-m_size.left, -m_size.top);
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CView* child = *it;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local, buttons)) continue;
        CPoint p = local;
        child->remember();
        const CMouseEventResult result = child->onMouseDown(p, buttons);
        const bool stillChild = std::find(m_children.begin(), m_children.end(), child) != m_children.end();
        child->forget();
        if (result == kMouseEventNotHandled || result == kMouseEventNotImplemented) continue;
        if (result == kMouseEventHandled && stillChild) m_mouseDownView = child;
        return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    if (!m_mouseDownView) return kMouseEventNotHandled;
    CView* view = m_mouseDownView;
    m_mouseDownView = nullptr;
    CPoint local = where;
    local.offset(-m_size.left, -m_size.top);
    view->remember();
    const CMouseEventResult result = view->onMouseUp(local, buttons);
    view->forget();
    return result;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    CPoint local = where;
    local.offset(-m_size.left, -m_size.top);
    if (m_mouseDownView) {
        CPoint p = local;
        return m_mouseDownView->onMouseMoved(p, buttons);
    }
    CView* over = mouseTarget(local, buttons);
    if (over != m_mouseOverView) {
        if (m_mouseOverView) {
            CPoint p = local;
            m_mouseOverView->onMouseExited(p, buttons);
        }
        m_mouseOverView = over;
        if (over) {
            CPoint p = local;
            over->onMouseEntered(p, buttons);
        }
    }
    if (!over) return kMouseEventNotHandled;
    CPoint p = local;
    return over->onMouseMoved(p, buttons);
}

CMouseEventResult CViewContainer::onMouseExited(CPoint& where, const CButtonState& buttons)
{
    if (m_mouseOverView) {
        CPoint local = where;
        local.offset(-m_size.left, -m_size.top);
        CView* view = m_mouseOverView;
        m_mouseOverView = nullptr;
        view->onMouseExited(local, buttons);
    }
    return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                             const CButtonState& buttons)
{
    CPoint local = where;
    local.offset(-m_size.left, -m_size.top);
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CView* child = *it;
        if (child->isVisible() && child->getMouseEnabled() && child->hitTest(local, buttons) &&
            child->onWheel(local, axis, distance, buttons))
            return true;
    }
    return false;
}
