#pragma once
// Mouse buttons, modifier keys, keys and cursors as the views see them.

#include <cstdint>

enum CButton : int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
};

constexpr int32_t kAllMouseButtons = kLButton | kMButton | kRButton | kButton4 | kButton5;
constexpr int32_t kAllModifiers = kShift | kControl | kAlt;

class CButtonState {
public:
    constexpr CButtonState(int32_t state = 0) : m_state(state) {}
    constexpr int32_t getButtonState() const { return m_state & kAllMouseButtons; }
    constexpr int32_t getModifierState() const { return m_state & kAllModifiers; }
    // A press counts as a left press only when no other mouse button is held.
    constexpr bool isLeftButton() const { return getButtonState() == kLButton; }
    constexpr bool isRightButton() const { return getButtonState() == kRButton; }
    constexpr bool isDoubleClick() const { return (m_state & kDoubleClick) != 0; }
    constexpr bool operator&(int32_t bits) const { return (m_state & bits) != 0; }
    constexpr int32_t value() const { return m_state; }
    constexpr bool operator==(const CButtonState& b) const { return m_state == b.m_state; }
    constexpr bool operator!=(const CButtonState& b) const { return m_state != b.m_state; }

private:
    int32_t m_state;
};

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

// Cursor shapes; the numbering is part of the interface (3 = vertical resize).
enum CCursorType : int32_t {
    kCursorDefault = 0,
    kCursorWait,
    kCursorHSize,
    kCursorVSize,
    kCursorSizeAll,
    kCursorNESWSize,
    kCursorNWSESize,
    kCursorCopy,
    kCursorNotAllowed,
    kCursorHand,
};

// Keys without a character. The numbering follows the host interface's
// virtual key codes so that the editor glue can pass them through unchanged.
enum class VirtualKey : uint8_t {
    None = 0,
    Back = 1,
    Tab,
    Clear,
    Return,
    Pause,
    Escape,
    Space,
    Next,
    End,
    Home,
    Left,
    Up,
    Right,
    Down,
    PageUp,
    PageDown,
    Select,
    Print,
    Enter,
    Snapshot,
    Insert,
    Delete,
};

enum CKeyModifier : uint8_t {
    kKeyShift = 1 << 0,
    kKeyAlternate = 1 << 1,
    kKeyCommand = 1 << 2,  // Ctrl
    kKeyControl = 1 << 3,
};

struct CKeyCode {
    char32_t character = 0;  // Unicode code point, 0 for a virtual key
    VirtualKey virt = VirtualKey::None;
    uint8_t modifier = 0;
};
