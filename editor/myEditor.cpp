#include "myEditor.h"

myEditor::myEditor(AudioEffect* effect) : AEffEditor(effect) {}

myEditor::~myEditor() = default;

bool myEditor::getRect(ERect** out)
{
    if (!out) return false;
    *out = &rect;
    return true;
}

bool myEditor::open(void* parentWindow)
{
    // No window content yet: the host is told that no window was opened.
    AEffEditor::open(parentWindow);
    systemWindow = nullptr;
    return false;
}

void myEditor::close() { AEffEditor::close(); }

void myEditor::updateControl(int index, float value)
{
    if (index >= 0 && index < kNumControls) values[index] = value;
}

float myEditor::controlValue(int index) const
{
    return (index >= 0 && index < kNumControls) ? values[index] : 0.0f;
}
