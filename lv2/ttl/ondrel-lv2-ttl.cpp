// Writes the LV2 bundle's Turtle from the parameter table and the factory
// preset files: manifest.ttl (plug-in, UI and presets), Ondrel.ttl (the
// plug-in with its ports and the UI) and presets.ttl (one pset:Preset per
// factory preset, with its port values and its program as the state). Run
// at build time; nothing of it is kept by hand.
//
//   ondrel-lv2-ttl <bundle folder> <plug-in binary> <UI binary> <factory folder> <preset file>...
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "Frameworks/PresetManager/ValueText.h"
#include "lv2/OndrelLv2.h"
#include "source/ParameterChoices.h"
#include "source/ParameterTable.h"
#include "source/engine/ParameterInfo.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string literal(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
            out += escaped;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

std::string uri(const std::string& text) { return "<" + text + ">"; }

// A preset's URI: the prefix and its category and name, percent-encoded.
std::string presetUri(const std::string& category, const std::string& name)
{
    std::string out = lv2::kPresetUriPrefix;
    for (unsigned char c : category + "/" + name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.' || c == '~' || c == '/';
        if (plain) {
            out += (char)c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        }
    }
    return out;
}

// A number as Turtle reads it: the preset documents' own text (six
// significant digits), always with a decimal point or exponent.
std::string number(float value)
{
    std::string text = ValueText::format(value);
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
    return text;
}

struct ScalePoint {
    float value;
    std::string label;
};

// The positions of a parameter that is a choice (a whole-number curve or a
// switch with several positions): position k of n at k / (n - 1).
bool choicePoints(int index, std::vector<ScalePoint>& points, std::string& error)
{
    const ParameterInfo& info = parameterInfo(index);
    const ParameterChoices* named = parameterChoices(index);
    int positions = 0;
    if (info.curve == Curve::kFloor) positions = (int)(std::floor(info.a + info.b) - std::floor(info.b)) + 1;
    if (named) {
        if (positions && positions != named->positions) {
            error = std::string(info.name) + ": the curve's steps and the named positions differ";
            return false;
        }
        positions = named->positions;
    }
    if (positions < 2) return true;
    for (int k = 0; k < positions; ++k) {
        const float v = (float)k / (float)(positions - 1);
        std::string label = named ? named->labels[k] : std::to_string((int)parameterValue(index, v));
        if (info.curve == Curve::kFloor && (int)parameterValue(index, v) != (int)std::floor(info.b) + k) {
            error = std::string(info.name) + ": a position's value is not its step";
            return false;
        }
        points.push_back({v, label});
    }
    return true;
}

bool controlPort(int index, std::ostream& out, std::string& error)
{
    const ParameterInfo& info = parameterInfo(index);
    std::vector<ScalePoint> points;
    if (!choicePoints(index, points, error)) return false;
    out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << literal(lv2::portSymbol(index)) << " ;\n"
        << "        lv2:name " << literal(info.name) << " ;\n";
    if (*info.label) out << "        rdfs:comment " << literal(std::string("shown in ") + info.label) << " ;\n";
    out << "        lv2:default " << number(info.defaultValue) << " ;\n"
        << "        lv2:minimum 0.0 ;\n        lv2:maximum 1.0";
    if (info.kind == ParameterKind::kSwitch)
        out << " ;\n        lv2:portProperty lv2:toggled";
    else if (info.kind == ParameterKind::kSteps)
        out << " ;\n        lv2:portProperty lv2:enumeration";
    for (const ScalePoint& p : points)
        out << " ;\n        lv2:scalePoint [ rdfs:label " << literal(p.label) << " ; rdf:value " << number(p.value)
            << " ]";
    out << "\n    ]";
    return true;
}

struct Preset {
    std::string category;
    std::unique_ptr<Program> program;
};

// The folder right below the factory folder names the category.
std::string categoryOf(const std::string& factory, const std::string& path)
{
    std::string rest = path.compare(0, factory.size(), factory) == 0 ? path.substr(factory.size()) : path;
    while (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
    const size_t cut = rest.find('/');
    return cut == std::string::npos ? std::string() : rest.substr(0, cut);
}

bool write(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    return (bool)file;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <bundle folder> <plug-in binary> <UI binary> <factory folder> <preset>...\n",
                     argv[0]);
        return 2;
    }
    const std::string bundle = argv[1], pluginBinary = argv[2], uiBinary = argv[3], factoryFolder = argv[4];
    const std::string plugin = uri(lv2::kPluginUri), ui = uri(lv2::kUiUri);

    Parameters parameters;
    fillParameterTable(parameters);
    ProgramFactory factory(parameters, "Ondrel", "0.9.8");
    std::vector<Preset> presets;
    for (int i = 5; i < argc; ++i) {
        std::unique_ptr<Program> program = factory.loadProgramFile(argv[i]);
        if (!program) {
            std::fprintf(stderr, "ondrel-lv2-ttl: %s does not read\n", argv[i]);
            return 1;
        }
        presets.push_back({categoryOf(factoryFolder, argv[i]), std::move(program)});
    }

    std::ostringstream manifest;
    manifest << kPrefixes << plugin << "\n    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
             << "    lv2:binary " << uri(pluginBinary) << " ;\n    rdfs:seeAlso <Ondrel.ttl> .\n\n"
             << ui << "\n    a ui:X11UI ;\n    ui:binary " << uri(uiBinary) << " ;\n    rdfs:seeAlso <Ondrel.ttl> .\n";
    for (const Preset& p : presets)
        manifest << "\n"
                 << uri(presetUri(p.category, p.program->name)) << "\n    a pset:Preset ;\n    lv2:appliesTo " << plugin
                 << " ;\n    rdfs:seeAlso <presets.ttl> .\n";

    std::ostringstream description;
    description << kPrefixes << plugin << "\n    a lv2:Plugin , lv2:InstrumentPlugin , doap:Project ;\n"
                << "    doap:name " << literal("Ondrel") << " ;\n"
                << "    doap:maintainer [ foaf:name " << literal("Zentorial") << " ; foaf:homepage <https://"
                << OndrelInstrument::vendorName() << "/> ] ;\n"
                << "    lv2:minorVersion 9 ;\n    lv2:microVersion 8 ;\n"
                << "    lv2:requiredFeature urid:map ;\n    lv2:optionalFeature lv2:hardRTCapable ;\n"
                << "    lv2:extensionData state:interface ;\n    ui:ui " << ui << " ;\n    lv2:port\n";
    std::string error;
    for (int i = 0; i < (int)lv2::kNumControlPorts; ++i) {
        if (!controlPort(i, description, error)) {
            std::fprintf(stderr, "ondrel-lv2-ttl: %s\n", error.c_str());
            return 1;
        }
        description << " ,\n";
    }
    description << "    [\n        a lv2:InputPort , atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
                << "        atom:supports midi:MidiEvent ;\n        lv2:designation lv2:control ;\n"
                << "        lv2:index " << lv2::kMidiInPort << " ;\n        lv2:symbol \"midi_in\" ;\n"
                << "        lv2:name \"MIDI in\"\n    ] , [\n        a lv2:OutputPort , lv2:AudioPort ;\n"
                << "        lv2:index " << lv2::kLeftOutPort << " ;\n        lv2:symbol \"out_left\" ;\n"
                << "        lv2:name \"Left\"\n    ] , [\n        a lv2:OutputPort , lv2:AudioPort ;\n"
                << "        lv2:index " << lv2::kRightOutPort << " ;\n        lv2:symbol \"out_right\" ;\n"
                << "        lv2:name \"Right\"\n    ] .\n\n";
    description << uri(lv2::kProgramStateUri) << "\n    a rdf:Property ;\n    rdfs:label \"program\" ;\n"
                << "    rdfs:comment \"The current program as a YAML preset document: the plug-in's state.\" .\n\n";
    description << ui << "\n    a ui:X11UI ;\n    lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
                << "    lv2:optionalFeature ui:resize , ui:touch , <http://lv2plug.in/ns/ext/instance-access> ;\n"
                << "    lv2:extensionData ui:idleInterface";
    for (int i = 0; i < (int)lv2::kNumControlPorts; ++i)
        description << " ;\n    ui:portNotification [ ui:plugin " << plugin << " ; lv2:symbol "
                    << literal(lv2::portSymbol(i)) << " ; ui:protocol ui:floatProtocol ]";
    description << " .\n";

    std::ostringstream presetText;
    presetText << kPrefixes;
    for (const Preset& p : presets) {
        // The ports' values, and the program itself as the state (so that a
        // host's preset menu chooses the named program, as a VST chunk does).
        presetText << uri(presetUri(p.category, p.program->name)) << "\n    a pset:Preset ;\n    lv2:appliesTo "
                   << plugin << " ;\n    rdfs:label " << literal(p.program->name) << " ;\n    state:state [ "
                   << uri(lv2::kProgramStateUri) << " " << literal(factory.programToYaml(p.program.get()))
                   << " ] ;\n    lv2:port";
        for (int i = 0; i < (int)lv2::kNumControlPorts; ++i)
            presetText << (i ? " ," : "") << "\n        [ lv2:symbol " << literal(lv2::portSymbol(i))
                       << " ; pset:value " << number(p.program->getValue(i)) << " ]";
        presetText << " .\n\n";
    }

    if (!write(bundle + "/manifest.ttl", manifest.str()) || !write(bundle + "/Ondrel.ttl", description.str()) ||
        !write(bundle + "/presets.ttl", presetText.str())) {
        std::fprintf(stderr, "ondrel-lv2-ttl: cannot write into %s\n", bundle.c_str());
        return 1;
    }
    return 0;
}
