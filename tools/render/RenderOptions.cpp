#include "tools/render/RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool toNumber(const std::string& text, double& out)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(out);
}

bool toInteger(const std::string& text, int& out)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || !end || *end != '\0' || v < -2147483647L || v > 2147483647L) return false;
    out = (int)v;
    return true;
}

}  // namespace

const char* renderUsage()
{
    return "usage: ondrel-render PLUGIN MIDIFILE -o OUT.wav [options]\n"
           "       ondrel-render PLUGIN --info | --list-params | --list-presets [options]\n"
           "       ondrel-render --lv2 URI MIDIFILE -o OUT.wav [options]\n"
           "Plays a Standard MIDI File through a VST 2.4 or LV2 instrument into a WAV file.\n"
           "  --lv2 URI              an LV2 instrument by URI, found through lilv (LV2_PATH honoured);\n"
           "                         --preset takes a preset's URI or label, --preset-file a state in\n"
           "                         Turtle, --param a control port's symbol (0..1 over its range)\n"
           "  -o, --output FILE      the WAV file to write\n"
           "  --preset NAME          a preset of the plug-in's library (Presets/{Factory,User}/**/NAME.yaml\n"
           "                         beside the module, also \"Category/NAME\"), else a program by name\n"
           "  --preset-file FILE     a preset file handed to the plug-in as its program chunk\n"
           "  --param NAME=VALUE     sets a parameter by name to a value 0..1 (repeatable)\n"
           "  --rate HZ              sample rate (default 48000)\n"
           "  --block N              frames per block (default 256)\n"
           "  --tail SECONDS         time rendered after the song's end (default 2)\n"
           "  --format float|pcm24   32-bit float (default) or 24-bit PCM\n"
           "  --info                 prints the plug-in's descriptor and parameters\n"
           "  --list-params          prints parameter names with their display texts\n"
           "  --list-presets         prints the plug-in's presets and programs\n"
           "  --quiet                prints nothing but errors\n"
           "  --wine WORKER.exe      plays a Windows plug-in through the Windows worker under wine\n"
           "  --wine-prefix DIR      the wine prefix (default: $WINEPREFIX, else the worker's build folder)\n"
           "  --worker PROGRAM       plays the plug-in in a separate worker program\n"
           "Exit codes: 0 done, 1 render failed, 2 bad command line, 3 plug-in not loadable,\n"
           "            4 bad MIDI file, 5 unknown preset or parameter, 6 output not writable.\n";
}

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& o, std::string& error)
{
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // Options with a value accept "--name VALUE" and "--name=VALUE".
        std::string name = a, value;
        bool inlineValue = false;
        if (a.rfind("--", 0) == 0) {
            size_t eq = a.find('=');
            if (eq != std::string::npos) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
                inlineValue = true;
            }
        }
        auto takeValue = [&](std::string& out) {
            if (inlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (name == "-h" || name == "--help") {
            o.help = true;
        } else if (name == "-o" || name == "--output") {
            if (!takeValue(o.output)) return false;
        } else if (name == "--preset") {
            if (!takeValue(o.preset)) return false;
        } else if (name == "--preset-file") {
            if (!takeValue(o.presetFile)) return false;
        } else if (name == "--param") {
            if (!takeValue(v)) return false;
            size_t eq = v.rfind('=');
            double number = 0.0;
            if (eq == std::string::npos || eq == 0 || !toNumber(v.substr(eq + 1), number)) {
                error = "--param needs NAME=VALUE with a number, not \"" + v + "\"";
                return false;
            }
            if (number < 0.0 || number > 1.0) {
                error = "--param " + v + ": values are normalised, 0 to 1";
                return false;
            }
            o.params.push_back({v.substr(0, eq), (float)number});
        } else if (name == "--rate") {
            if (!takeValue(v)) return false;
            if (!toNumber(v, o.rate) || o.rate < 8000.0 || o.rate > 384000.0) {
                error = "--rate needs a sample rate from 8000 to 384000 Hz, not \"" + v + "\"";
                return false;
            }
        } else if (name == "--block") {
            if (!takeValue(v)) return false;
            if (!toInteger(v, o.block) || o.block < 1 || o.block > 8192) {
                error = "--block needs a number of frames from 1 to 8192, not \"" + v + "\"";
                return false;
            }
        } else if (name == "--tail") {
            if (!takeValue(v)) return false;
            if (!toNumber(v, o.tail) || o.tail < 0.0 || o.tail > 600.0) {
                error = "--tail needs seconds from 0 to 600, not \"" + v + "\"";
                return false;
            }
        } else if (name == "--format") {
            if (!takeValue(v)) return false;
            if (v == "float") {
                o.format = SampleFormat::float32;
            } else if (v == "pcm24") {
                o.format = SampleFormat::pcm24;
            } else {
                error = "--format is float or pcm24, not \"" + v + "\"";
                return false;
            }
        } else if (name == "--info") {
            o.info = true;
        } else if (name == "--list-params") {
            o.listParams = true;
        } else if (name == "--list-presets") {
            o.listPresets = true;
        } else if (name == "--quiet" || name == "-q") {
            o.quiet = true;
        } else if (name == "--wine") {
            if (!takeValue(o.worker)) return false;
            o.workerUnderWine = true;
        } else if (name == "--worker") {
            if (!takeValue(o.worker)) return false;
            o.workerUnderWine = false;
        } else if (name == "--lv2") {
            if (!takeValue(o.plugin)) return false;
            o.lv2 = true;
        } else if (name == "--wine-prefix") {
            if (!takeValue(o.winePrefix)) return false;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (o.help) return true;
    // An LV2 plug-in is named by --lv2 URI: the only argument left is the MIDI file.
    if (o.lv2) {
        if (o.plugin.empty()) {
            error = "--lv2 needs a plug-in URI";
            return false;
        }
        if (!o.worker.empty()) {
            error = "--lv2 plays in this process: --worker and --wine are for VST 2.4 modules";
            return false;
        }
        positional.insert(positional.begin(), o.plugin);
    }
    if (positional.empty()) {
        error = "no plug-in given";
        return false;
    }
    if (positional.size() > 2) {
        error = "too many arguments: " + positional[2];
        return false;
    }
    o.plugin = positional[0];
    if (positional.size() > 1) o.midiFile = positional[1];
    if (!o.preset.empty() && !o.presetFile.empty()) {
        error = "--preset and --preset-file exclude each other";
        return false;
    }
    if (!o.reportOnly()) {
        if (o.midiFile.empty()) {
            error = "no MIDI file given";
            return false;
        }
        if (o.output.empty()) {
            error = "no output file given (-o OUT.wav)";
            return false;
        }
    }
    return true;
}
