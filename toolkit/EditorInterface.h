#pragma once
// The boundary between the toolkit and the plug-in. The toolkit knows
// nothing of the instrument or of the host protocol: the editor glue
// (GUIEditor) talks to the host only through EditorHost, and the views talk
// to the editor only through VSTGUIEditorInterface.

#include "toolkit/Events.h"
#include "toolkit/Geometry.h"

#include <cstdint>

class CFrame;

enum CKnobMode : int32_t { kCircularMode = 0, kRelativCircularMode, kLinearMode };

// What the frame and its controls need of the editor.
class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;
    // The user starts or ends changing the parameter `index` (a control's tag).
    virtual void beginEdit(int32_t index) { (void)index; }
    virtual void endEdit(int32_t index) { (void)index; }
    // How knobs follow the mouse (CKnobMode).
    virtual int32_t getKnobMode() const { return kCircularMode; }
    // Asks the host to give the editor window a new size.
    virtual bool requestResize(const CPoint& newSize)
    {
        (void)newSize;
        return false;
    }
    virtual CFrame* getFrame() const { return nullptr; }
};

// What the editor glue needs of the plug-in side; implemented by the
// plug-in's editor class, which forwards to the host.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // A value set by the user, to be applied and reported for automation.
    virtual void setParameterAutomated(int32_t index, float value) = 0;
    // Asks the host to resize the editor window; false when it cannot.
    virtual bool requestResize(int32_t width, int32_t height) = 0;
};
