// The plug-in's editor object. It exists for the whole life of the plug-in
// (created in its constructor); the host opens and closes its window.
// This is the host-facing shell of the editor: its rectangle at the base
// size and the hand-over of parameter values to the controls.
#pragma once

#include "BaseLibrary/AEffEditor.h"

class AudioEffect;

class myEditor : public AEffEditor {
public:
    static constexpr int kNumControls = 43;
    static constexpr int kBaseWidth = 893;
    static constexpr int kBaseHeight = 534;

    explicit myEditor(AudioEffect* effect);
    ~myEditor() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;

    // A parameter value changed (from the host, a program or the editor itself):
    // the bound control shows it. Callable from any thread.
    void updateControl(int index, float value);
    // The last value handed to a control (0 outside 0..42).
    float controlValue(int index) const;

private:
    ERect rect{0, 0, (int16_t)kBaseHeight, (int16_t)kBaseWidth};
    float values[kNumControls] = {};
};
