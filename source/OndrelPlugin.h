// OndrelPlugin: the concrete instrument. Adds to VstSynth the parameter
// registry, the program the host sees, the state chunk and the editor, and
// keeps the current program, the engine and the editor's controls in step.
#pragma once

#include "BaseLibrary/VstSynthLib.h"
#include "source/NotificationsInterface.h"

#include <memory>
#include <string>

class Parameters;
class PresetManager;
class Program;
class ProgramFactory;
class myEditor;

// NotificationsInterface comes first so that its sub-object sits at the start
// of the very large object (a base at an offset of megabytes confuses the
// sanitizers' type checks).
class OndrelPlugin : public NotificationsInterface, public VstSynth {
public:
    OndrelPlugin(audioMasterCallback audioMaster, std::unique_ptr<Parameters>&& parameters);
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

    const Parameters& getParameters() const { return *parameters; }
    PresetManager& getPresetManager() { return *presetManager; }
    myEditor* getMyEditor() { return editorObject; }

private:
    // The preset library's current program (its default program when none).
    Program* currentProgram() const;
    // Sends the current program's active values to the engine and the editor.
    void applyCurrentProgram();

    std::unique_ptr<Parameters> parameters;
    std::unique_ptr<ProgramFactory> factory;
    std::unique_ptr<PresetManager> presetManager;
    std::string chunkText;
    myEditor* editorObject = nullptr;  // owned by the AudioEffect base
};

// Creates the instance with its registry; null when that fails.
AEffect* createOndrelInstance(audioMasterCallback audioMaster);
