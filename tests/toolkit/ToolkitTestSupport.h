#pragma once
// A headless editor for tests: a frame opened without a display, an editor
// glue whose host records every begin/end of an edit and automation, and
// helpers that play mouse gestures and read back pixels.

#include "toolkit/Control.h"
#include "toolkit/GUIEditor.h"
#include "toolkit/Timer.h"
#include "toolkit/headless/HeadlessWindow.h"
#include "tests/toolkit/Pixels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct RecordingHost : EditorHost {
    std::vector<std::string> events;
    int begins = 0;
    int ends = 0;

    void beginEdit(int32_t index) override
    {
        ++begins;
        events.push_back("begin " + std::to_string(index));
    }
    void endEdit(int32_t index) override
    {
        ++ends;
        events.push_back("end " + std::to_string(index));
    }
    void setParameterAutomated(int32_t index, float value) override
    {
        events.push_back("set " + std::to_string(index) + " " + std::to_string(value));
    }
    bool requestResize(int32_t width, int32_t height) override
    {
        events.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
        return true;
    }
    void clear()
    {
        events.clear();
        begins = ends = 0;
    }
};

struct RecordingListener : IControlListener {
    std::vector<float> values;
    int begins = 0;
    int ends = 0;
    void valueChanged(CControl* control) override { values.push_back(control->getValue()); }
    void controlBeginEdit(CControl*) override { ++begins; }
    void controlEndEdit(CControl*) override { ++ends; }
};

// A controllable clock for timers, double clicks and idle rates.
struct FakeClock {
    static uint64_t& now()
    {
        static uint64_t value = 1000000;
        return value;
    }
    static uint64_t read() { return now(); }
    FakeClock() { setToolkitClock(&FakeClock::read); }
    ~FakeClock() { setToolkitClock(nullptr); }
    void advance(uint64_t ms) { now() += ms; }
};

// Mouse gestures played on the frame of `Owner` (which has frame()).
template <class Owner>
struct MouseGestures {
    CFrame* gestureFrame() { return static_cast<Owner*>(this)->frame(); }
    void down(CPoint p, int32_t buttons = kLButton) { gestureFrame()->platformOnMouseDown(p, CButtonState(buttons)); }
    void move(CPoint p, int32_t buttons = kLButton) { gestureFrame()->platformOnMouseMoved(p, CButtonState(buttons)); }
    void up(CPoint p, int32_t buttons = kLButton) { gestureFrame()->platformOnMouseUp(p, CButtonState(buttons)); }
    void click(CPoint p, int32_t buttons = kLButton)
    {
        down(p, buttons);
        up(p, buttons);
    }
    // Press, move in `steps` equal steps by (dx, dy), release.
    void drag(CPoint from, CCoord dx, CCoord dy, int32_t buttons = kLButton, int steps = 10)
    {
        down(from, buttons);
        for (int i = 1; i <= steps; ++i) move(CPoint(from.x + dx * i / steps, from.y + dy * i / steps), buttons);
        up(CPoint(from.x + dx, from.y + dy), buttons);
    }
};

class HeadlessEditor : public GUIEditor, public MouseGestures<HeadlessEditor> {
public:
    explicit HeadlessEditor(CCoord width = 893, CCoord height = 200, CColor background = CColor(0, 0, 0))
        : GUIEditor(&host)
    {
        auto* frame = new CFrame(CRect(0, 0, width, height), this);
        frame->setBackgroundColor(background);
        openFrame(frame, nullptr, PlatformType::kHeadless);
    }

    CFrame* frame() const { return getFrame(); }
    HeadlessWindow* window() const { return HeadlessWindow::of(getFrame()); }
    template <class T>
    T* add(T* view)
    {
        frame()->addView(view);
        return view;
    }
    // A key as the host forwards it: a character, or a virtual key.
    int32_t key(char32_t character, VirtualKey virt = VirtualKey::None) { return forwardKeyDown({character, virt, 0}); }
    CColor pixel(CCoord x, CCoord y)
    {
        idleFrame();
        return window()->getPixel(static_cast<int>(x), static_cast<int>(y));
    }

    RecordingHost host;
};

#define EXPECT_COLOUR(actual, expected)                                                             \
    do {                                                                                            \
        const CColor a_ = (actual);                                                                 \
        const CColor e_ = (expected);                                                               \
        EXPECT_TRUE(similar(a_, e_, 3)) << #actual << " = " << str(a_) << ", expected " << str(e_); \
    } while (0)
