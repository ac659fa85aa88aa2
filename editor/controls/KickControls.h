#pragma once
// The tool bar's two stepping controls, each split into a left half (one
// down) and a right half (one up). CKickPreviousNext steps at the press and
// leaves the bounds to whoever uses its value (a menu ignores an index it
// does not have); CKickTwiceZoom steps at the release, only when the
// pointer stayed in the pressed half, and keeps its value in its range.

#include "toolkit/Control.h"

// A control of two halves, recomputed whenever its size changes.
class CKickHalves : public CControl {
public:
    CKickHalves(const CRect& size, IControlListener* listener, int32_t tag, float maximum);

    CLASS_METHODS(CKickHalves, CControl)

    void setViewSize(const CRect& rect, bool invalid = true) override;

protected:
    CRect m_left, m_right;
};

class CKickPreviousNext : public CKickHalves {
public:
    CKickPreviousNext(const CRect& size, IControlListener* listener, int32_t tag);

    CLASS_METHODS(CKickPreviousNext, CKickHalves)

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    bool hoverLeft() const { return m_hoverLeft; }
    bool hoverRight() const { return m_hoverRight; }

    static constexpr CColor kHoverFill{122, 122, 122};
    static constexpr CColor kNormalFill{32, 32, 32};
    static constexpr CColor kArrows{215, 215, 228};

private:
    bool m_hoverLeft = false, m_hoverRight = false;
};

class CKickTwiceZoom : public CKickHalves {
public:
    CKickTwiceZoom(const CRect& size, IControlListener* listener, int32_t tag, float maximum);

    CLASS_METHODS(CKickTwiceZoom, CKickHalves)

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

    bool pressedLeft() const { return m_pressedLeft; }
    bool pressedRight() const { return m_pressedRight; }

    static constexpr CColor kPressedFill{122, 122, 122};
    static constexpr CColor kNormalFill{32, 32, 32};
    static constexpr CColor kGlyphs{215, 215, 228};

private:
    bool m_pressedLeft = false, m_pressedRight = false;
};
