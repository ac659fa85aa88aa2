// OndrelInstrument: the instrument itself, whatever plug-in format carries
// it. It holds the engine (by value: the whole instance is one allocation),
// the parameter registry, the preset library with its current program, the
// state text, the parameter texts and the float guard's report. The VST 2.4
// layer (VstSynth, OndrelPlugin) and the LV2 layer (lv2/) translate their
// hosts' calls to these operations.
#pragma once

#include "Frameworks/PresetManager/PresetManager.h"
#include "source/engine/SynthEngine.h"

#include <atomic>
#include <memory>
#include <string>

class Parameters;
class Program;
class ProgramFactory;

// A parameter value from a host that is not a number is dropped (false),
// anything else is limited to 0..1.
bool sanitizeParameterValue(float& value);

class OndrelInstrument {
public:
    static constexpr int kNumParams = SynthEngine::kNumParams;
    // Parameter names, labels, display texts and the program name are handed
    // out in 24 bytes with the terminator (what hosts allocate for them).
    static constexpr size_t kTextBound = 24;
    static constexpr float kMinimumSampleRate = 44100.0f;

    static const char* effectName();  // "Ondrel by Zentorial"
    static const char* vendorName();  // the maker's web domain
    static const char* productName() { return "Ondrel"; }
    static const char* productVersion() { return "0.9.8"; }

    // The registry, the program factory and the (still empty) preset library.
    OndrelInstrument();
    ~OndrelInstrument();
    OndrelInstrument(const OndrelInstrument&) = delete;
    OndrelInstrument& operator=(const OndrelInstrument&) = delete;

    // The rate the engine runs at for a host's rate: a rate below 44100 Hz,
    // or one that is not a number, is raised to 44100; `raised` tells.
    static float supportedSampleRate(float rate, bool& raised);

    SynthEngine& getEngine() { return engine; }
    const SynthEngine& getEngine() const { return engine; }
    const Parameters& getParameters() const { return *parameters; }
    PresetManager& getPresetManager() { return *presetManager; }
    ProgramFactory& getProgramFactory() { return *factory; }

    // Scans the factory and user preset folders and selects the first
    // program of the first category.
    void loadPresets();
    // After loadPresets: adds the program "Init" (every parameter at its
    // default) under "«Init»" and makes it current, the start of a host
    // whose controls begin at the parameters' defaults.
    void selectInitProgram();

    // The preset library's current program (its default program when none).
    Program* currentProgram() const { return presetManager->getCurrentProgram(); }
    // Sends the current program's active values, index by index, to the
    // engine and then to `show` (index, value): the editor's controls.
    template <class Show>
    void applyCurrentProgram(Show&& show)
    {
        Program* program = currentProgram();
        if (!program) return;
        for (int i = 0; i < kNumParams; ++i) {
            const float v = currentValue(*program, i);
            setEngineParameter(i, v);
            show(i, v);
        }
    }

    // A value for an index 0..42: limited to 0..1, stored in the current
    // program and handed to the engine. False when the index or the value
    // is refused (nothing changes then); `value` holds what was taken.
    bool setParameter(int index, float& value);
    // The engine side alone (a program being applied).
    void setEngineParameter(int index, float value);
    // The current program's active value (0 outside 0..42).
    float getParameter(int index) const;

    // Texts of at most 23 characters and a terminator.
    void getParameterName(int index, char* text) const;
    void getParameterLabel(int index, char* text) const;
    // The value's display text; for parameters shown without a value (the
    // switches) `text` is left as it was.
    void getParameterDisplay(int index, char* text);
    std::string getProgramName() const { return presetManager->getCurrentProgramName(); }

    // The current program as a YAML preset document; the text stays valid
    // until the next call (empty when the writer fails).
    const std::string& saveState();
    // A state from a host: a YAML document becomes a program under
    // "«Project presets»" and the current one (the caller applies it); an
    // old packed chunk (refused when `isPreset`) adds its programs. Anything
    // else is refused and nothing changes.
    PresetManager::ChunkResult restoreState(const void* data, size_t size, bool isPreset);

    // A pending float-guard warning, taken at most once per instance from a
    // non-audio thread; false when there is nothing to show.
    bool takeFloatGuardWarning(char* text, int textSize, char* title, int titleSize);

private:
    static float currentValue(const Program& program, int index);

    SynthEngine engine;
    std::unique_ptr<Parameters> parameters;
    std::unique_ptr<ProgramFactory> factory;
    std::unique_ptr<PresetManager> presetManager;
    std::string stateText;
    std::atomic<bool> floatGuardShown{false};
};
