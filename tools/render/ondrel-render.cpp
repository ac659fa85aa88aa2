// ondrel-render: plays a Standard MIDI File through a VST 2.4 or LV2
// instrument into a WAV file. A VST plug-in runs in this process through the
// project's host, or in ondrel-render-worker (the Windows build under wine for
// a Windows module); an LV2 plug-in runs in this process through lilv.
#include "tools/render/LocalPlugin.h"
#include "tools/render/Lv2Plugin.h"
#include "tools/render/MidiSong.h"
#include "tools/render/PresetLibrary.h"
#include "tools/render/RemotePlugin.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SignalStats.h"
#include "tools/render/WavFile.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

// What the tool itself prints goes to the original standard output; what a
// plug-in prints is sent to standard error so it cannot mix with listings.
FILE* report = stdout;

void takeStandardOutput()
{
    std::fflush(stdout);
    int saved = dup(1);
    if (saved < 0) return;
    FILE* f = fdopen(saved, "w");
    if (!f) return;
    dup2(2, 1);
    report = f;
}

int fail(int code, const std::string& message)
{
    std::fflush(report);
    std::fprintf(stderr, "ondrel-render: %s\n", message.c_str());
    return code;
}

std::string fourCC(int32_t id)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = (char)((id >> shift) & 0xFF);
        s += std::isprint((unsigned char)c) ? c : '?';
    }
    return s;
}

const char* categoryName(int32_t c)
{
    static const char* names[] = {"unknown",     "effect",   "synth",       "analysis", "mastering", "spatializer",
                                  "room effect", "surround", "restoration", "offline",  "shell",     "generator"};
    return (c >= 0 && c < 12) ? names[c] : "unknown";
}

void printParameters(const std::vector<ParamInfo>& params)
{
    for (size_t i = 0; i < params.size(); ++i) {
        const ParamInfo& p = params[i];
        std::string shown = p.display + (p.label.empty() ? "" : " " + p.label);
        std::fprintf(report, "  %3zu  %-20s %-16s (%.4f)\n", i, p.name.c_str(), shown.c_str(), p.value);
    }
}

void printInfo(PluginInstance& plugin, const std::string& path)
{
    PluginInfo i = plugin.info();
    std::fprintf(report, "plug-in   %s\n", path.c_str());
    std::fprintf(report, "name      %s\n", i.effectName.c_str());
    std::fprintf(report, "vendor    %s\n", i.vendor.c_str());
    if (!i.product.empty()) std::fprintf(report, "product   %s\n", i.product.c_str());
    if (!i.uri.empty()) {
        std::fprintf(report, "URI       %s (LV2)\n", i.uri.c_str());
    } else {
        std::fprintf(report, "ID        '%s' (%d), version %d\n", fourCC(i.uniqueID).c_str(), i.uniqueID, i.version);
        std::fprintf(report, "category  %s\n", categoryName(i.category));
    }
    std::fprintf(report, "pins      %d in, %d out\n", i.numInputs, i.numOutputs);
    std::fprintf(report, "programs  %d (current \"%s\")%s\n", i.numPrograms, plugin.programName().c_str(),
                 (i.flags & (1 << 5)) ? ", as chunks" : "");
    std::fprintf(report, "params    %d\n", i.numParams);
    printParameters(plugin.parameters());
}

void printPresets(PluginInstance& plugin, const PresetLibrary& library)
{
    if (library.presets().empty()) {
        std::fprintf(report, "no preset files in %s\n", library.folder().c_str());
    } else {
        std::fprintf(report, "preset files in %s:\n", library.folder().c_str());
        for (const PresetFile& p : library.presets()) std::fprintf(report, "  %s\n", p.id.c_str());
    }
    std::vector<std::string> programs = plugin.programNames();
    std::fprintf(report, "host programs: %zu\n", programs.size());
    for (size_t i = 0; i < programs.size(); ++i) std::fprintf(report, "  %4zu  %s\n", i, programs[i].c_str());
}

void printLv2Presets(Lv2Plugin& plugin)
{
    std::vector<std::string> labels = plugin.programNames(), uris = plugin.presetUris();
    std::fprintf(report, "LV2 presets: %zu\n", labels.size());
    for (size_t i = 0; i < labels.size(); ++i) std::fprintf(report, "  %-32s %s\n", labels[i].c_str(), uris[i].c_str());
}

// Chooses the preset: a file of the plug-in's library (or given by path)
// goes in as the program chunk; otherwise a host program of that name.
int applyPreset(PluginInstance& plugin, const RenderOptions& o, const PresetLibrary& library, std::string& chosen)
{
    std::string file = o.presetFile;
    if (!o.preset.empty()) {
        std::vector<PresetFile> matches = library.find(o.preset);
        if (matches.size() > 1) {
            std::string list;
            for (const PresetFile& m : matches) list += "\n  " + m.id;
            return fail(exitPreset, "preset name \"" + o.preset + "\" is ambiguous; say which one:" + list);
        }
        if (matches.size() == 1) {
            file = matches[0].path;
            chosen = matches[0].id;
        } else {
            std::vector<std::string> programs = plugin.programNames();
            for (bool ignoreCase : {false, true}) {
                for (size_t i = 0; i < programs.size(); ++i) {
                    bool same = ignoreCase ? sameIgnoringCase(programs[i], o.preset) : programs[i] == o.preset;
                    if (same && plugin.setProgram((int)i)) {
                        chosen = "program " + std::to_string(i) + " \"" + programs[i] + "\"";
                        return exitOk;
                    }
                }
            }
            return fail(exitPreset, "unknown preset \"" + o.preset + "\": no " + o.preset + ".yaml under " +
                                        library.folder() + " and no program of that name (--list-presets)");
        }
    }
    if (file.empty()) return exitOk;
    std::vector<unsigned char> bytes;
    std::string error;
    if (!readFileBytes(file, bytes, error)) return fail(exitPreset, error);
    if (!plugin.setProgramChunk(bytes))
        return fail(exitPreset, "the plug-in refused the preset " + file +
                                    (plugin.lastError().empty() ? "" : " (" + plugin.lastError() + ")"));
    if (chosen.empty()) chosen = file;
    return exitOk;
}

// An LV2 preset by URI or label, or a state in Turtle from a file.
int applyLv2Preset(Lv2Plugin& plugin, const RenderOptions& o, std::string& chosen)
{
    if (!o.presetFile.empty()) {
        std::vector<unsigned char> bytes;
        std::string error;
        if (!readFileBytes(o.presetFile, bytes, error)) return fail(exitPreset, error);
        if (!plugin.setProgramChunk(bytes))
            return fail(exitPreset, "cannot restore " + o.presetFile + ": " + plugin.lastError());
        chosen = o.presetFile;
    }
    if (o.preset.empty()) return exitOk;
    int index = plugin.findPreset(o.preset);
    if (index == -2)
        return fail(exitPreset, "preset label \"" + o.preset + "\" is ambiguous; give its URI (--list-presets)");
    if (index < 0)
        return fail(exitPreset, "unknown preset \"" + o.preset + "\": " + o.plugin +
                                    " has no preset of that URI or label (" +
                                    std::to_string(plugin.presetUris().size()) + " presets, --list-presets)");
    if (!plugin.setProgram(index)) return fail(exitPreset, plugin.lastError());
    chosen = plugin.programName() + " <" + plugin.presetUris()[(size_t)index] + ">";
    return exitOk;
}

int applyParams(PluginInstance& plugin, const RenderOptions& o)
{
    if (o.params.empty()) return exitOk;
    std::vector<ParamInfo> params = plugin.parameters();
    for (const ParamSetting& s : o.params) {
        int index = -1;
        for (bool ignoreCase : {false, true}) {
            for (size_t i = 0; i < params.size() && index < 0; ++i) {
                bool same = ignoreCase ? sameIgnoringCase(params[i].name, s.name) : params[i].name == s.name;
                if (same) index = (int)i;
            }
            if (index >= 0) break;
        }
        if (index < 0) return fail(exitPreset, "unknown parameter \"" + s.name + "\" (--list-params shows them)");
        if (!plugin.setParameter(index, s.value))
            return fail(exitPreset, "the plug-in did not take parameter \"" + s.name + "\"");
    }
    return exitOk;
}

class ProgressBar {
public:
    explicit ProgressBar(bool shown) : shown(shown) {}
    void update(int64_t done, int64_t total)
    {
        if (!shown || total <= 0) return;
        int percent = (int)(100 * done / total);
        if (percent == last) return;
        last = percent;
        int filled = percent * 40 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string((size_t)filled, '#').c_str(),
                     std::string((size_t)(40 - filled), '.').c_str(), percent);
        std::fflush(stderr);
    }
    void finish()
    {
        if (shown && last >= 0) std::fprintf(stderr, "\r%60s\r", "");
    }

private:
    bool shown;
    int last = -1;
};

int render(PluginInstance& plugin, const RenderOptions& o, const MidiSong& song)
{
    WavWriter wav;
    std::string error;
    if (!wav.open(o.output, (int)o.rate, o.format, error)) return fail(exitOutput, error);

    EventScheduler scheduler(song, o.rate);
    const int64_t total = scheduler.endFrame() + MidiSong::frameAt(o.tail, o.rate);
    std::vector<float> left((size_t)o.block), right((size_t)o.block);
    std::vector<BlockEvent> events;
    LevelMeter meter;
    ProgressBar progress(!o.quiet && isatty(2));
    const std::vector<TempoChange>& tempi = song.tempi();
    size_t tempoIndex = 0;

    auto began = std::chrono::steady_clock::now();
    bool ok = true;
    for (int64_t done = 0; done < total && ok;) {
        int frames = (int)std::min<int64_t>(o.block, total - done);
        // The host's tempo follows the song's tempo map.
        bool tempoChanged = false;
        while (tempoIndex < tempi.size() && MidiSong::frameAt(tempi[tempoIndex].seconds, o.rate) <= done) {
            ++tempoIndex;
            tempoChanged = true;
        }
        if (tempoChanged) plugin.setTempo(tempi[tempoIndex - 1].beatsPerMinute);
        scheduler.block(done, frames, events);
        ok = plugin.process(events, frames, left.data(), right.data());
        if (!ok) break;
        meter.add(left.data(), frames);
        meter.add(right.data(), frames);
        if (!wav.write(left.data(), right.data(), frames)) {
            std::string why = wav.lastError();
            wav.close();
            progress.finish();
            return fail(exitOutput, "cannot write " + o.output + ": " + why);
        }
        done += frames;
        progress.update(done, total);
    }
    progress.finish();
    bool closed = wav.close();
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(o.output, ec);
        return fail(exitRenderFailed,
                    "rendering failed: " +
                        (plugin.lastError().empty() ? std::string("the plug-in stopped") : plugin.lastError()));
    }
    if (!closed) return fail(exitOutput, "cannot finish " + o.output);

    double seconds = (double)total / o.rate;
    if (meter.nonFinite())
        std::fprintf(stderr, "ondrel-render: warning: %zu samples were not finite (NaN or infinity)\n",
                     meter.nonFinite());
    if (!o.quiet) {
        char speed[32];
        if (elapsed > 0.0)
            std::snprintf(speed, sizeof speed, "%.1fx real time", seconds / elapsed);
        else
            std::snprintf(speed, sizeof speed, "faster than measurable");
        std::fprintf(report, "%s: %.2f s at %.0f Hz, peak %s, RMS %s, rendered in %.2f s (%s)\n", o.output.c_str(),
                     seconds, o.rate, LevelMeter::dbText(meter.peak()).c_str(), LevelMeter::dbText(meter.rms()).c_str(),
                     elapsed, speed);
    }
    return exitOk;
}

int run(const RenderOptions& o)
{
    std::error_code ec;
    if (!o.lv2 && !std::filesystem::exists(o.plugin, ec)) return fail(exitPlugin, "plug-in not found: " + o.plugin);
    if (!o.worker.empty() && !std::filesystem::exists(o.worker, ec))
        return fail(exitPlugin, "worker program not found: " + o.worker);

    MidiSong song;
    std::string error;
    if (!o.midiFile.empty() && !song.load(o.midiFile, error)) return fail(exitMidi, error);

    std::unique_ptr<PluginInstance> plugin;
    Lv2Plugin* lv2 = nullptr;
    if (o.lv2) {
        auto p = std::make_unique<Lv2Plugin>();
        lv2 = p.get();
        plugin = std::move(p);
    } else if (o.worker.empty()) {
        plugin = std::make_unique<LocalPlugin>();
    } else {
        plugin = std::make_unique<RemotePlugin>(o.workerUnderWine ? wineLaunch(o.worker, o.winePrefix)
                                                                  : directLaunch(o.worker));
    }
    if (!plugin->load(o.plugin, error))
        return fail(exitPlugin, lv2 ? error : "cannot load plug-in " + o.plugin + ": " + error);
    if (!plugin->start((float)o.rate, o.block))
        return fail(exitPlugin, "the plug-in could not be started" +
                                    (plugin->lastError().empty() ? "" : ": " + plugin->lastError()));

    // An LV2 plug-in's presets are its pset:Preset resources; a VST module's
    // are the YAML files of its library beside it, else its programs.
    PresetLibrary library = lv2 ? PresetLibrary() : PresetLibrary(o.plugin);
    std::string chosen;
    if (int code = lv2 ? applyLv2Preset(*lv2, o, chosen) : applyPreset(*plugin, o, library, chosen)) return code;
    if (int code = applyParams(*plugin, o)) return code;

    if (o.info) printInfo(*plugin, o.plugin);
    if (o.listParams && !o.info) printParameters(plugin->parameters());
    if (o.listPresets) lv2 ? printLv2Presets(*lv2) : printPresets(*plugin, library);
    // The editor's picture (--screenshot) is taken here, after preset and
    // parameters are applied, once the editor can draw headless.
    if (o.reportOnly() && o.midiFile.empty()) return exitOk;
    if (o.output.empty()) return exitOk;

    if (!o.quiet) {
        std::fprintf(report, "%s: %s, %zu events, %.2f s + %.2f s tail, preset %s\n", o.midiFile.c_str(),
                     o.plugin.c_str(), song.events().size(), song.lengthSeconds(), o.tail,
                     chosen.empty() ? ("\"" + plugin->programName() + "\" (current program)").c_str() : chosen.c_str());
        std::fflush(report);
    }
    return render(*plugin, o, song);
}

}  // namespace

int main(int argc, char** argv)
{
    // A command-line render has nobody to click a message box away: plug-ins
    // that honour this (ours does) write their messages to stderr instead.
    setenv("ONDREL_NO_DIALOGS", "1", 0);
    RenderOptions options;
    std::string error;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!parseRenderOptions(args, options, error)) {
        std::fprintf(stderr, "ondrel-render: %s\n%s", error.c_str(), renderUsage());
        return exitUsage;
    }
    if (options.help) {
        std::fputs(renderUsage(), stdout);
        return exitOk;
    }
    takeStandardOutput();
    int code = run(options);
    std::fflush(report);
    return code;
}
