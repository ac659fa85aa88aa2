#include "OndrelInstrument.h"

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "ParameterTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
void copyBounded(char* text, const std::string& source)
{
    if (!text) return;
    const size_t n = std::min(source.size(), OndrelInstrument::kTextBound - 1);
    std::memcpy(text, source.data(), n);
    text[n] = 0;
}
}  // namespace

bool sanitizeParameterValue(float& value)
{
    if (std::isnan(value)) return false;
    if (value < 0.0f) value = 0.0f;
    if (value > 1.0f) value = 1.0f;
    return true;
}

const char* OndrelInstrument::effectName() { return "Ondrel by Zentorial"; }
const char* OndrelInstrument::vendorName() { return "zentorial.com"; }

OndrelInstrument::OndrelInstrument() : parameters(std::make_unique<Parameters>())
{
    fillParameterTable(*parameters);
    factory = std::make_unique<ProgramFactory>(*parameters, productName(), productVersion());
    presetManager = std::make_unique<PresetManager>(*factory);
}

OndrelInstrument::~OndrelInstrument() = default;

float OndrelInstrument::supportedSampleRate(float rate, bool& raised)
{
    raised = !(rate >= kMinimumSampleRate) || !std::isfinite(rate);
    return raised ? kMinimumSampleRate : rate;
}

void OndrelInstrument::loadPresets()
{
    presetManager->loadAllPresets();
    presetManager->selectProgram(0, 0);
}

void OndrelInstrument::selectInitProgram()
{
    // With no preset at all the library made its own "Init" and chose it.
    if (!presetManager->getProgramsOfCategory(PresetManager::kInitCategory).empty()) return;
    std::unique_ptr<Program> program = factory->createProgram();
    if (!program) return;
    program->name = "Init";
    program->category = PresetManager::kInitCategory;
    presetManager->addProgram(std::move(program), true);
}

float OndrelInstrument::currentValue(const Program& program, int index) { return program.getValue(index); }

bool OndrelInstrument::setParameter(int index, float& value)
{
    if (index < 0 || index >= kNumParams) return false;
    if (!sanitizeParameterValue(value)) return false;
    if (Program* program = currentProgram()) program->setValue(index, value);
    engine.setParameter(index, value);
    return true;
}

void OndrelInstrument::setEngineParameter(int index, float value)
{
    if (index < 0 || index >= kNumParams) return;
    if (!sanitizeParameterValue(value)) return;
    engine.setParameter(index, value);
}

float OndrelInstrument::getParameter(int index) const
{
    if (index < 0 || index >= kNumParams) return 0.0f;
    Program* program = currentProgram();
    return program ? program->getValue(index) : 0.0f;
}

void OndrelInstrument::getParameterName(int index, char* text) const { copyBounded(text, parameters->name(index)); }

void OndrelInstrument::getParameterLabel(int index, char* text) const { copyBounded(text, parameters->label(index)); }

const std::string& OndrelInstrument::saveState()
{
    stateText = presetManager->currentProgramToYaml();
    return stateText;
}

PresetManager::ChunkResult OndrelInstrument::restoreState(const void* data, size_t size, bool isPreset)
{
    if (!data || size == 0) return PresetManager::ChunkResult::Refused;
    return presetManager->loadHostChunk(data, size, isPreset);
}

bool OndrelInstrument::takeFloatGuardWarning(char* text, int textSize, char* title, int titleSize)
{
    if (!engine.takeFloatGuardReport(text, textSize, title, titleSize)) return false;
    return !floatGuardShown.exchange(true);
}
