// The host-facing side of a plug-in editor: the rectangle, opening in a
// parent window given by the host, closing, idling and keys. A concrete
// editor (through the GUI toolkit's glue) overrides these.
#pragma once

#include "vst2abi.h"

class AudioEffect;

// A key from the host (effEditKeyDown / effEditKeyUp).
struct VstKeyCode {
    VstInt32 character;      // ASCII character, 0 when a virtual key is given
    unsigned char virt;      // virtual key code
    unsigned char modifier;  // modifier keys
};

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect = nullptr) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual bool getRect(ERect** rect)
    {
        if (rect) *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow)
    {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode&) { return false; }
    virtual bool onKeyUp(VstKeyCode&) { return false; }
    virtual bool setKnobMode(VstInt32) { return false; }

    AudioEffect* getEffect() { return effect; }

protected:
    AudioEffect* effect = nullptr;
    void* systemWindow = nullptr;
};
