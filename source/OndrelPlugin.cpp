#include "OndrelPlugin.h"

#include "Frameworks/Core/Parameters.h"
#include "ParameterTable.h"
#include "editor/myEditor.h"

#include <cstring>
#include <utility>

OndrelPlugin::OndrelPlugin(audioMasterCallback audioMaster, std::unique_ptr<Parameters>&& registry)
    : VstSynth(audioMaster), parameters(std::move(registry))
{
    editorObject = new myEditor(this);
    setEditor(editorObject);
    for (int i = 0; i < kNumParams; ++i) programValues[i] = parameters->defaultValue(i);
    applyCurrentProgram();
}

OndrelPlugin::~OndrelPlugin() = default;

void OndrelPlugin::applyCurrentProgram()
{
    for (int i = 0; i < kNumParams; ++i) {
        VstSynth::setParameter(i, programValues[i]);
        editorObject->updateControl(i, programValues[i]);
    }
}

void OndrelPlugin::setParameter(VstInt32 index, float value)
{
    if (index < 0 || index >= kNumParams) return;
    if (!sanitizeParameterValue(value)) return;
    programValues[index] = value;
    VstSynth::setParameter(index, value);
    editorObject->updateControl(index, value);
}

float OndrelPlugin::getParameter(VstInt32 index)
{
    if (index < 0 || index >= kNumParams) return 0.0f;
    return programValues[index];
}

void OndrelPlugin::setProgram(VstInt32) { applyCurrentProgram(); }

void OndrelPlugin::setProgramName(char* name)
{
    if (name && programName != name) programName = name;
}

void OndrelPlugin::getProgramName(char* name) { vstStrncpy(name, programName.c_str(), kVstMaxProgNameLen); }

bool OndrelPlugin::getProgramNameIndexed(VstInt32, VstInt32, char* text)
{
    getProgramName(text);
    return true;
}

void OndrelPlugin::getParameterName(VstInt32 index, char* text)
{
    vstStrncpy(text, parameters->name(index).c_str(), 24);
}

void OndrelPlugin::getParameterLabel(VstInt32 index, char* label)
{
    vstStrncpy(label, parameters->label(index).c_str(), 24);
}

VstInt32 OndrelPlugin::getChunk(void** data, bool)
{
    if (!data) return 0;
    *data = nullptr;
    chunkText.clear();
    *data = (void*)chunkText.data();
    return (VstInt32)chunkText.size();
}

VstInt32 OndrelPlugin::setChunk(void*, VstInt32, bool) { return 0; }

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
