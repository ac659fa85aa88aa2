// OndrelPlugin: the concrete instrument as a VST 2.4 plug-in. Adds to
// VstSynth the program the host sees, the state chunk and the editor, and
// keeps the current program, the engine and the editor's controls in step.
#pragma once

#include "BaseLibrary/VstSynthLib.h"
#include "editor/PluginConnection.h"
#include "source/NotificationsInterface.h"

class myEditor;

// NotificationsInterface comes first so that its sub-object sits at the start
// of the very large object (a base at an offset of megabytes confuses the
// sanitizers' type checks).
class OndrelPlugin : public NotificationsInterface, public VstSynth {
public:
    explicit OndrelPlugin(audioMasterCallback audioMaster);
    ~OndrelPlugin() override;

    void open() override {}

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool copyProgram(VstInt32) override { return false; }
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override { VstSynth::getParameterDisplay(index, text); }
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    // NotificationsInterface
    void programChanged() override;
    void programValuesChanged() override;

    const Parameters& getParameters() const { return instrument.getParameters(); }
    PresetManager& getPresetManager() { return instrument.getPresetManager(); }
    myEditor* getMyEditor() { return editorObject; }

private:
    // The editor's way to the instrument and the host: the AudioEffect's
    // parameter, automation and window-size calls.
    class EditorConnection : public PluginConnection {
    public:
        explicit EditorConnection(OndrelPlugin& plugin) : plugin(plugin) {}
        float getParameter(int index) override { return plugin.getParameter(index); }
        void getParameterDisplay(int index, char* text) override { plugin.getParameterDisplay(index, text); }
        void getParameterLabel(int index, char* text) override { plugin.getParameterLabel(index, text); }
        void beginEdit(int index) override { plugin.beginEdit(index); }
        void endEdit(int index) override { plugin.endEdit(index); }
        void setParameterAutomated(int index, float value) override { plugin.setParameterAutomated(index, value); }
        bool sizeWindow(int width, int height) override
        {
            return plugin.canHostDo("sizeWindow") && plugin.sizeWindow(width, height);
        }
        SynthEngine& getEngine() override { return plugin.getEngine(); }

    private:
        OndrelPlugin& plugin;
    };

    // Sends the current program's active values to the engine and the editor.
    void applyCurrentProgram();

    EditorConnection connection{*this};
    myEditor* editorObject = nullptr;  // owned by its VST glue, which the AudioEffect base owns
};

// Creates the instance; null when that fails.
AEffect* createOndrelInstance(audioMasterCallback audioMaster);
