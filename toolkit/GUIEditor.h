#pragma once
// The glue between a plug-in's editor object and the toolkit: it holds the
// frame while the editor window is open, idles it, passes keys and the
// wheel from the host to it, keeps the global knob mode, and reports the
// controls' begin and end of edits to the host through EditorHost.
//
// A plug-in's editor class derives from GUIEditor (and from the host-facing
// editor base), implements EditorHost or hands one in, creates its CFrame
// with itself as the frame's editor and passes it to openFrame.

#include "toolkit/EditorInterface.h"
#include "toolkit/Frame.h"

#include <cstdint>

class GUIEditor : public VSTGUIEditorInterface {
public:
    explicit GUIEditor(EditorHost* host = nullptr);
    ~GUIEditor() override;
    GUIEditor(const GUIEditor&) = delete;
    GUIEditor& operator=(const GUIEditor&) = delete;

    void setEditorHost(EditorHost* host) { m_host = host; }
    EditorHost* getEditorHost() const { return m_host; }

    // Takes over the caller's reference to `frame` and opens it in `parent`.
    // On failure the frame is released and false returned.
    bool openFrame(CFrame* frame, void* parent, PlatformType type = PlatformType::kDefault);
    // Closes the window and releases the frame with all its views.
    void closeFrame();
    bool isFrameOpen() const { return m_frame != nullptr; }
    CFrame* getFrame() const override { return m_frame; }
    void* getParentWindow() const { return m_parent; }

    // Lets the frame handle events, timers and redraws. Re-entrant calls
    // (a host idling from inside our own processing) are ignored.
    void idleFrame();
    bool isInIdle() const { return m_inIdle; }

    // Keys and wheel turns the host forwards; 1 handled, −1 not.
    int32_t forwardKeyDown(const CKeyCode& key);
    int32_t forwardKeyUp(const CKeyCode& key);
    bool forwardWheel(float distance);

    // The global knob mode shared by every editor (CKnobMode).
    static void setGlobalKnobMode(int32_t mode);
    int32_t getKnobMode() const override;

    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    bool requestResize(const CPoint& newSize) override;
    void setParameterAutomated(int32_t index, float value);

    // Milliseconds of the toolkit's clock.
    static uint32_t getTicks();

private:
    EditorHost* m_host;
    CFrame* m_frame = nullptr;
    void* m_parent = nullptr;
    bool m_inIdle = false;
};
