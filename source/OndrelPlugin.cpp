#include "OndrelPlugin.h"

#include "VstEditorGlue.h"
#include "editor/myEditor.h"

#include <cstring>
#include <memory>
#include <string>

OndrelPlugin::OndrelPlugin(audioMasterCallback audioMaster) : VstSynth(audioMaster)
{
    auto editor = std::make_unique<myEditor>(&connection, &instrument.getPresetManager(), this);
    editorObject = editor.get();
    setEditor(new VstEditorGlue(std::move(editor)));
    instrument.loadPresets();
    applyCurrentProgram();
}

OndrelPlugin::~OndrelPlugin() = default;

void OndrelPlugin::applyCurrentProgram()
{
    instrument.applyCurrentProgram([this](int i, float v) { editorObject->updateControl(i, v); });
}

void OndrelPlugin::setParameter(VstInt32 index, float value)
{
    if (!instrument.setParameter(index, value)) return;
    editorObject->updateControl(index, value);
}

float OndrelPlugin::getParameter(VstInt32 index) { return instrument.getParameter(index); }

void OndrelPlugin::setProgram(VstInt32) { applyCurrentProgram(); }

void OndrelPlugin::setProgramName(char* name)
{
    if (!name) return;
    // A host's text is bounded by the program-name field it was given.
    std::string text(name, strnlen(name, kVstMaxProgNameLen));
    PresetManager& presets = instrument.getPresetManager();
    if (text != presets.getCurrentProgramName()) presets.renameCurrentProgram(text);
}

void OndrelPlugin::getProgramName(char* name)
{
    vstStrncpy(name, instrument.getProgramName().c_str(), OndrelInstrument::kTextBound);
}

bool OndrelPlugin::getProgramNameIndexed(VstInt32, VstInt32, char* text)
{
    getProgramName(text);
    return true;
}

void OndrelPlugin::getParameterName(VstInt32 index, char* text) { instrument.getParameterName(index, text); }

void OndrelPlugin::getParameterLabel(VstInt32 index, char* label) { instrument.getParameterLabel(index, label); }

VstInt32 OndrelPlugin::getChunk(void** data, bool)
{
    if (!data) return 0;
    *data = nullptr;
    const std::string& text = instrument.saveState();
    *data = (void*)text.data();
    return (VstInt32)text.size();
}

VstInt32 OndrelPlugin::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    if (!data || byteSize <= 0) return 0;
    switch (instrument.restoreState(data, (size_t)byteSize, isPreset)) {
    case PresetManager::ChunkResult::ProgramLoaded:
        applyCurrentProgram();
        editorObject->presetsChanged();
        return 1;
    case PresetManager::ChunkResult::PackedProgramsLoaded:
        return 1;  // the old programs join the library; the current one stays
    case PresetManager::ChunkResult::Refused:
    default:
        return 0;
    }
}

void OndrelPlugin::programChanged()
{
    applyCurrentProgram();
    updateDisplay();
}

void OndrelPlugin::programValuesChanged() { applyCurrentProgram(); }

AEffect* createOndrelInstance(audioMasterCallback audioMaster)
{
    try {
        OndrelPlugin* plugin = new OndrelPlugin(audioMaster);
        return plugin->getAeffect();
    } catch (...) {
        return nullptr;
    }
}
