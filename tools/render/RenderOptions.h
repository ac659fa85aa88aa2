// Command line of ondrel-render.
#pragma once

#include <string>
#include <vector>

enum ExitCode {
    exitOk = 0,
    exitRenderFailed = 1,  // the plug-in or its worker failed while rendering
    exitUsage = 2,         // bad command line
    exitPlugin = 3,        // plug-in missing, not loadable, no entry point, null instance
    exitMidi = 4,          // MIDI file unreadable or malformed
    exitPreset = 5,        // unknown or refused preset, unknown parameter or bad value
    exitOutput = 6,        // output file cannot be written
};

enum class SampleFormat { float32, pcm24 };

struct ParamSetting {
    std::string name;
    float value = 0.0f;
};

struct RenderOptions {
    std::string plugin;  // a VST 2.4 module's path, or an LV2 plug-in's URI with --lv2
    bool lv2 = false;
    std::string midiFile;
    std::string output;
    std::string preset;      // --preset NAME
    std::string presetFile;  // --preset-file FILE.yaml
    std::vector<ParamSetting> params;
    double rate = 48000.0;
    int block = 256;
    double tail = 2.0;
    SampleFormat format = SampleFormat::float32;
    bool info = false;
    bool listParams = false;
    bool listPresets = false;
    bool quiet = false;
    bool help = false;
    // A worker program drives the plug-in instead of this process: started
    // directly (--worker) or under wine (--wine) for a Windows module.
    std::string worker;
    bool workerUnderWine = false;
    std::string winePrefix;
    // The editor's picture options (--screenshot FILE.png, --size N,
    // --scheme N) join here once the editor can draw headless.

    // True when the run only reports about the plug-in and renders nothing.
    bool reportOnly() const { return info || listParams || listPresets; }
};

// Parses the arguments after the program name; false with a message.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

const char* renderUsage();
