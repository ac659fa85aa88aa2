#pragma once
// The root of the view tree: a container that lives in a native window
// inside the host's window (or in an image, headless), routes the window's
// events to its views and redraws what is dirty on idle.

#include "toolkit/EditorInterface.h"
#include "toolkit/Platform.h"
#include "toolkit/View.h"

#include <cstdint>
#include <memory>

class CFrame : public CViewContainer {
public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    CLASS_METHODS(CFrame, CViewContainer)

    // Opens the frame's window inside `parent` (an X11 Window id or an HWND;
    // ignored headless). False when the window cannot be created.
    bool open(void* parent, PlatformType type = PlatformType::kDefault);
    // Closes the window and releases every view; the frame object stays.
    void close();
    bool isOpen() const { return m_window != nullptr; }
    IPlatformWindow* getPlatformWindow() const { return m_window.get(); }

    // Handles native events, fires timers, calls idle views and redraws
    // dirty views. Called from the host's idle on its user-interface thread.
    void idle();

    VSTGUIEditorInterface* getEditor() const { return m_editor; }
    bool isFrame() const override { return true; }

    // Asks the editor (and so the host) for a new size; when the host cannot,
    // the frame's own window is resized. False when neither worked.
    bool setSize(CCoord width, CCoord height);

    // A modal view lies over everything and alone receives the mouse and
    // the keys. Setting one adds it as a child (taking the caller's
    // reference); clearing removes and releases it.
    bool setModalView(CView* view);
    CView* getModalView() const { return m_modalView; }

    // A pop-up (an open menu) lies above the modal view, receives all input
    // first and closes when the mouse is pressed outside it. The frame
    // remembers the view while it is shown.
    void showPopup(CView* popup);
    void closePopup();
    CView* getPopupView() const { return m_popup.get(); }

    void setFocusView(CView* view);
    CView* getFocusView() const { return m_focusView; }

    void setCursor(CCursorType cursor);
    CCursorType getCursor() const { return m_cursor; }
    // Pointer position in frame coordinates; false when it is not over the frame.
    bool getCurrentMouseLocation(CPoint& where) const;
    CButtonState getCurrentMouseButtons() const;

    void invalid() override;
    void invalidRect(const CRect& rect) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;

    // Entry points of the window back-ends (and of tests driving a headless
    // frame); points in frame coordinates.
    void platformDrawRect(CDrawContext* context, const CRect& rect);
    // The same on a back buffer: the area is first filled with the frame's
    // background colour, opaque, so nothing of the previous drawing shows
    // through transparent views.
    void platformDrawOpaque(CDrawContext* context, const CRect& area);
    CMouseEventResult platformOnMouseDown(CPoint where, CButtonState buttons);
    CMouseEventResult platformOnMouseMoved(CPoint where, CButtonState buttons);
    CMouseEventResult platformOnMouseUp(CPoint where, CButtonState buttons);
    CMouseEventResult platformOnMouseExited();
    bool platformOnWheel(CPoint where, CMouseWheelAxis axis, float distance, CButtonState buttons);
    int32_t platformOnKeyDown(CKeyCode key);
    int32_t platformOnKeyUp(CKeyCode key);
    // What the frame last learned from the window's events.
    bool lastMouseLocation(CPoint& where) const;
    CButtonState lastMouseButtons() const { return m_lastButtons; }

    // A view is about to leave the tree: forget every pointer to it.
    void viewWillBeRemoved(CView* view);

private:
    void callIdleViews();

    VSTGUIEditorInterface* m_editor;
    std::unique_ptr<IPlatformWindow> m_window;
    CView* m_modalView = nullptr;
    CView* m_focusView = nullptr;
    SharedPointer<CView> m_popup;
    CCursorType m_cursor = kCursorDefault;
    CPoint m_lastMouse;
    bool m_mouseInside = false;
    CButtonState m_lastButtons;
    uint64_t m_lastClickTime = 0;
    CPoint m_lastClickPoint;
    bool m_popupCapture = false;
    uint64_t m_lastIdleViewsTime = 0;
};
