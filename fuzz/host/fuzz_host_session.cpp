// libFuzzer entry: a host session (tools/host/HostSession) played on an
// instance of the plug-in made through its entry point, with a small data
// folder. A broken promise ends the run like a sanitizer report does.
//
// Making an instance costs milliseconds (its memory is touched and the
// preset folders read), so one instance plays up to kSessionsPerInstance
// sessions, each started as a host starts one: editor closed, suspended,
// 44.1 kHz (set again when the last session changed it), 512 frames, all
// notes off (the values and programs of earlier
// sessions stay, as they do in a long host session). An
// input that failed is replayed alone on a fresh instance with
// ONDREL_HOST_FUZZ_FRESH=1 (as the tests' replay of the corpus does).
#include "Frameworks/PresetManager/PresetLog.h"
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "editor/myEditor.h"
#include "platform/MessageBox.h"
#include "source/OndrelPlugin.h"
#include "source/PluginEntry.h"
#include "tools/host/HostSession.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

// Fontconfig keeps its parsed configuration for the whole process without a
// pointer to it (the editor's font): not a leak of the plug-in's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

// Each session may add a program to the library (a restored chunk), which
// makes later chunks slower to file: a new instance every 100 sessions.
constexpr int kSessionsPerInstance = 100;

bool g_fresh = false;
std::unique_ptr<PluginHost> g_host;
VstMidiEvent g_notesOffEvent{kVstMidiType, sizeof(VstMidiEvent), 0, 0, 0, 0, {(char)0xB0, 123, 0, 0}, 0, 0, 0, 0};
VstEvents g_allNotesOff{1, 0, {reinterpret_cast<VstEvent*>(&g_notesOffEvent), nullptr}};
int g_sessions = 0;
bool g_rateChanged = false;

PluginHost& instance()
{
    if (g_host && !g_fresh && g_sessions < kSessionsPerInstance) {
        g_host->dispatch(effEditClose);
        g_host->suspend();
        if (g_rateChanged) g_host->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        g_host->dispatch(effSetBlockSize, 0, 512);
        g_host->dispatch(effProcessEvents, 0, 0, &g_allNotesOff);
        ++g_sessions;
        return *g_host;
    }
    g_host.reset();
    g_host = std::make_unique<PluginHost>();
    std::string error;
    if (!g_host->create(ondrelEntry, error)) {
        std::fprintf(stderr, "no instance: %s\n", error.c_str());
        std::abort();
    }
    // The editor opens headless: its views are made, drawn and idled.
    static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(g_host->effect()->object))
        ->getMyEditor()
        ->setWindowKind(PlatformType::kHeadless);
    g_sessions = 1;
    return *g_host;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* fresh = std::getenv("ONDREL_HOST_FUZZ_FRESH");
    g_fresh = fresh && *fresh == '1';
    Platform::setDataFolderOverride(ONDREL_FUZZ_DATA_DIR);
    Platform::setMessageRecorder([](const char*, const char*) {});
    PresetLog::setEcho(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HostSession session(instance());
    const std::string fault = session.play(data, size);
    g_rateChanged = session.changedSampleRate();
    if (!fault.empty()) {
        std::fprintf(stderr, "host session: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
