#include "OndrelPlugin.h"

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "ParameterTable.h"
#include "editor/myEditor.h"

#include <cstring>
#include <utility>

namespace {
// Parameter names, labels and the program name reach the host in 24 bytes
// with the terminator (what hosts allocate for them).
constexpr size_t kHostTextBound = 24;
}  // namespace

OndrelPlugin::OndrelPlugin(audioMasterCallback audioMaster, std::unique_ptr<Parameters>&& registry)
    : VstSynth(audioMaster), parameters(std::move(registry))
{
    factory = std::make_unique<ProgramFactory>(*parameters, "Ondrel", "0.9.8");
    presetManager = std::make_unique<PresetManager>(*factory);
    editorObject = new myEditor(this, presetManager.get(), this);
    setEditor(editorObject);
    presetManager->loadAllPresets();
    presetManager->selectProgram(0, 0);
    applyCurrentProgram();
}

OndrelPlugin::~OndrelPlugin() = default;

Program* OndrelPlugin::currentProgram() const { return presetManager->getCurrentProgram(); }

void OndrelPlugin::applyCurrentProgram()
{
    Program* program = currentProgram();
    if (!program) return;
    for (int i = 0; i < kNumParams; ++i) {
        float v = program->getValue(i);
        VstSynth::setParameter(i, v);
        editorObject->updateControl(i, v);
    }
}

void OndrelPlugin::setParameter(VstInt32 index, float value)
{
    if (index < 0 || index >= kNumParams) return;
    if (!sanitizeParameterValue(value)) return;
    if (Program* program = currentProgram()) program->setValue(index, value);
    VstSynth::setParameter(index, value);
    editorObject->updateControl(index, value);
}

float OndrelPlugin::getParameter(VstInt32 index)
{
    if (index < 0 || index >= kNumParams) return 0.0f;
    Program* program = currentProgram();
    return program ? program->getValue(index) : 0.0f;
}

void OndrelPlugin::setProgram(VstInt32) { applyCurrentProgram(); }

void OndrelPlugin::setProgramName(char* name)
{
    if (!name) return;
    // A host's text is bounded by the program-name field it was given.
    std::string text(name, strnlen(name, kVstMaxProgNameLen));
    if (text != presetManager->getCurrentProgramName()) presetManager->renameCurrentProgram(text);
}

void OndrelPlugin::getProgramName(char* name)
{
    vstStrncpy(name, presetManager->getCurrentProgramName().c_str(), kHostTextBound);
}

bool OndrelPlugin::getProgramNameIndexed(VstInt32, VstInt32, char* text)
{
    getProgramName(text);
    return true;
}

void OndrelPlugin::getParameterName(VstInt32 index, char* text)
{
    vstStrncpy(text, parameters->name(index).c_str(), kHostTextBound);
}

void OndrelPlugin::getParameterLabel(VstInt32 index, char* label)
{
    vstStrncpy(label, parameters->label(index).c_str(), kHostTextBound);
}

VstInt32 OndrelPlugin::getChunk(void** data, bool)
{
    if (!data) return 0;
    *data = nullptr;
    chunkText = presetManager->currentProgramToYaml();
    *data = (void*)chunkText.data();
    return (VstInt32)chunkText.size();
}

VstInt32 OndrelPlugin::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    if (!data || byteSize <= 0) return 0;
    switch (presetManager->loadHostChunk(data, (size_t)byteSize, isPreset)) {
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
        // The registry passes to the object when it is constructed; should that
        // fail, whoever holds it at that moment releases it.
        auto registry = std::make_unique<Parameters>();
        fillParameterTable(*registry);
        OndrelPlugin* plugin = new OndrelPlugin(audioMaster, std::move(registry));
        return plugin->getAeffect();
    } catch (...) {
        return nullptr;
    }
}
