#pragma once
// Views and containers. A view's size is given in its parent's coordinates;
// a container hands its children points in its own coordinates (origin at
// its top left). The frame is the root container at (0, 0).

#include "toolkit/Base.h"
#include "toolkit/DrawContext.h"
#include "toolkit/Events.h"

#include <atomic>
#include <cstring>
#include <vector>

class CBitmap;
class CFrame;
class VSTGUIEditorInterface;

// Class names for isTypeOf: each class names itself and its parent.
#define CLASS_METHODS(name, parent)                                               \
    const char* getClassName() const override { return #name; }                   \
    bool isTypeOf(const char* className) const override                           \
    {                                                                             \
        return std::strcmp(className, #name) == 0 || parent::isTypeOf(className); \
    }

class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual const char* getClassName() const { return "CView"; }
    virtual bool isTypeOf(const char* className) const { return std::strcmp(className, "CView") == 0; }

    // Drawing. `draw` draws the whole view; `drawRect` may limit itself to the
    // part that needs it (both in the parent's coordinates).
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    // Dirty marking only sets a flag and may come from any thread; the frame
    // redraws dirty views at its next idle.
    virtual void setDirty(bool state = true) { m_dirty.store(state, std::memory_order_relaxed); }
    virtual bool isDirty() const { return m_dirty.load(std::memory_order_relaxed); }
    // Asks the window to redraw the view (user-interface thread only).
    virtual void invalid();
    // Redraws `rect`, given in the coordinates of this view's children for a
    // container and in the parent's coordinates for other views.
    virtual void invalidRect(const CRect& rect);

    // Mouse events; points are in the parent's coordinates.
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const CButtonState& buttons);
    // Keys: 1 when handled, −1 when not.
    virtual int32_t onKeyDown(CKeyCode& key);
    virtual int32_t onKeyUp(CKeyCode& key);
    virtual void takeFocus() {}
    virtual void looseFocus() {}

    // Periodic calls from the frame's idle for views that want them, at the
    // toolkit's idle rate (calls per second, shared by all views).
    virtual void onIdle() {}
    void setWantsIdle(bool state) { m_wantsIdle = state; }
    bool wantsIdle() const { return m_wantsIdle; }
    static void setIdleRate(int32_t callsPerSecond);
    static int32_t getIdleRate();

    virtual void setViewSize(const CRect& rect, bool invalid = true);
    const CRect& getViewSize() const { return m_size; }
    CRect& getViewSize(CRect& rect) const { return rect = m_size; }
    virtual void setMouseableArea(const CRect& rect) { m_mouseableArea = rect; }
    const CRect& getMouseableArea() const { return m_mouseableArea; }
    CCoord getWidth() const { return m_size.getWidth(); }
    CCoord getHeight() const { return m_size.getHeight(); }
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = CButtonState()) const;

    virtual void setVisible(bool state);
    bool isVisible() const { return m_visible; }
    virtual void setMouseEnabled(bool state) { m_mouseEnabled = state; }
    bool getMouseEnabled() const { return m_mouseEnabled; }
    // A transparent view lets what lies behind it show through.
    void setTransparency(bool state) { m_transparent = state; }
    bool getTransparency() const { return m_transparent; }

    CView* getParentView() const { return m_parent; }
    virtual bool isFrame() const { return false; }
    CFrame* getFrame() const;
    VSTGUIEditorInterface* getEditor() const;
    virtual bool attached(CView* parent);
    virtual bool removed(CView* parent);
    bool isAttached() const { return m_parent != nullptr; }

    // Converts between this view's parent's coordinates and the frame's.
    CPoint& localToFrame(CPoint& point) const;
    CPoint& frameToLocal(CPoint& point) const;

protected:
    CRect m_size;
    CRect m_mouseableArea;

private:
    CView* m_parent = nullptr;
    std::atomic<bool> m_dirty{false};
    bool m_visible = true;
    bool m_mouseEnabled = true;
    bool m_transparent = false;
    bool m_wantsIdle = false;
};

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    CLASS_METHODS(CViewContainer, CView)

    // Takes over the caller's reference.
    bool addView(CView* view);
    bool addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
    // Drops the container's reference unless withForget is false.
    bool removeView(CView* view, bool withForget = true);
    bool removeAll(bool withForget = true);
    bool isChild(const CView* view, bool deep = false) const;
    int32_t getNbViews() const { return static_cast<int32_t>(m_children.size()); }
    CView* getView(int32_t index) const;
    // The topmost visible child under `where` (this container's own
    // coordinates); `deep` descends into child containers.
    CView* getViewAt(const CPoint& where, bool deep = false, bool mustbeMouseEnabled = false) const;

    void setBackgroundColor(const CColor& color) { m_backgroundColor = color; }
    const CColor& getBackgroundColor() const { return m_backgroundColor; }
    // Remembers the bitmap; null removes it.
    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return m_background.get(); }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    bool isDirty() const override;
    void setDirty(bool state = true) override;
    void invalidRect(const CRect& rect) override;
    void setViewSize(const CRect& rect, bool invalid = true) override;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;

    // Draws and redraws dirty children; used by the frame's idle.
    void invalidateDirtyViews();
    void collectIdleViews(std::vector<CView*>& views) const;

protected:
    void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);
    void drawChild(CDrawContext* context, CView* child, const CRect& localUpdate);
    // Child under `local` that takes the mouse.
    CView* mouseTarget(const CPoint& local, const CButtonState& buttons) const;
    void forgetMouseView(CView* view);

    std::vector<CView*> m_children;
    CView* m_mouseDownView = nullptr;
    CView* m_mouseOverView = nullptr;

private:
    CColor m_backgroundColor = kTransparentCColor;
    SharedPointer<CBitmap> m_background;
};
