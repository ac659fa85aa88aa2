// The LV2 build through lilv: its ports as the parameter table says, the
// factory presets as LV2 presets, the same samples as the VST build for a
// preset (chosen from the host's preset list) and a melody, and the state: saved, restored in a fresh instance to
// the same sound, a garbled state refused with the previous state intact.
#include "lv2/OndrelLv2.h"
#include "source/ParameterChoices.h"
#include "source/engine/MidiEvent.h"
#include "source/engine/ParameterInfo.h"
#include "tests/lv2/Lv2TestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/lv2host/Lv2Host.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>

#include <filesystem>
#include <vector>

using namespace testing_support;

namespace {

constexpr int kBlock = 512;

bool hasProperty(const Lv2Host& host, const LilvPort* port, const char* uri)
{
    LilvNode* node = lilv_new_uri(host.world(), uri);
    const bool has = lilv_port_has_property(host.plugin(), port, node);
    lilv_node_free(node);
    return has;
}

// A short phrase: a chord, a bend, a release and a note inside a block.
template <class Queue>
void queuePhrase(int block, Queue&& queue)
{
    if (block == 0) {
        queue(0, 0x90, 60, 100);
        queue(17, 0x90, 64, 90);
        queue(300, 0x90, 67, 80);
    } else if (block == 20) {
        queue(5, 0xE0, 0, 80);
        queue(400, 0x80, 64, 0);
    } else if (block == 40) {
        queue(0, 0x80, 60, 0);
        queue(100, 0x91, 72, 127);
        queue(511, 0x81, 67, 0);
    }
}

void renderLv2(Lv2Host& host, int blocks, std::vector<float>& l, std::vector<float>& r)
{
    for (int b = 0; b < blocks; ++b) {
        queuePhrase(b, [&](int f, uint8_t s, uint8_t d1, uint8_t d2) { host.queueMidi((uint32_t)f, s, d1, d2); });
        host.run(kBlock, l, r);
    }
}

TEST(Lv2Bundle, PortsFollowTheParameterTable)
{
    Lv2Host host(lv2::kPluginUri, kBundle);
    ASSERT_TRUE(host.plugin());
    ASSERT_EQ(lilv_plugin_get_num_ports(host.plugin()), lv2::kNumPorts);
    std::vector<float> mins(lv2::kNumPorts), maxs(lv2::kNumPorts), defaults(lv2::kNumPorts);
    lilv_plugin_get_port_ranges_float(host.plugin(), mins.data(), maxs.data(), defaults.data());
    for (int i = 0; i < (int)lv2::kNumControlPorts; ++i) {
        SCOPED_TRACE(i);
        const ParameterInfo& info = parameterInfo(i);
        const LilvPort* port = lilv_plugin_get_port_by_index(host.plugin(), (uint32_t)i);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(host.plugin(), port)), info.name);
        LilvNode* name = lilv_port_get_name(host.plugin(), port);
        EXPECT_STREQ(lilv_node_as_string(name), info.name);
        lilv_node_free(name);
        EXPECT_EQ(defaults[i], info.defaultValue);
        EXPECT_EQ(mins[i], 0.0f);
        EXPECT_EQ(maxs[i], 1.0f);
        EXPECT_EQ(hasProperty(host, port, LV2_CORE__toggled), info.kind == ParameterKind::kSwitch);
        EXPECT_EQ(hasProperty(host, port, LV2_CORE__enumeration), info.kind == ParameterKind::kSteps);
        // Every scale point of a choice names a value that the engine reads
        // as its own position.
        LilvScalePoints* points = lilv_port_get_scale_points(host.plugin(), port);
        const unsigned count = points ? lilv_scale_points_size(points) : 0;
        const ParameterChoices* named = parameterChoices(i);
        EXPECT_TRUE(info.kind != ParameterKind::kSteps || count >= 3) << count;
        EXPECT_TRUE(!named || named->positions <= 1 || count == (unsigned)named->positions) << count;
        lilv_scale_points_free(points);
    }
    // The MIDI input and the two outputs.
    LilvNode* midi = lilv_new_uri(host.world(), LV2_MIDI__MidiEvent);
    const LilvPort* in = lilv_plugin_get_port_by_index(host.plugin(), lv2::kMidiInPort);
    EXPECT_TRUE(lilv_port_supports_event(host.plugin(), in, midi));
    lilv_node_free(midi);
    LilvNode* audio = lilv_new_uri(host.world(), LV2_CORE__AudioPort);
    LilvNode* output = lilv_new_uri(host.world(), LV2_CORE__OutputPort);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(host.plugin(), audio, output, nullptr), 2u);
    lilv_node_free(audio);
    lilv_node_free(output);

    // Every factory preset file is an LV2 preset.
    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kFactory))
        files += entry.path().extension() == ".yaml";
    EXPECT_EQ(host.presetUris().size(), files);
}

// The URID map is required; a rate below 44100 Hz runs as 44100 Hz, and
// without the VST build's warning box.
TEST(Lv2Instance, NeedsTheUridMapAndRaisesLowRates)
{
    Lv2Host host(lv2::kPluginUri, kBundle);
    EXPECT_FALSE(host.instantiate(44100.0, kBlock, false));
    MessageLog log;
    std::vector<float> low, lowR, base, baseR;
    ASSERT_TRUE(host.instantiate(22050.0));
    renderLv2(host, 30, low, lowR);
    ASSERT_TRUE(host.instantiate(44100.0));
    renderLv2(host, 30, base, baseR);
    ASSERT_GT(rms(base), 1e-3);
    EXPECT_TRUE(low == base && lowR == baseR);
    EXPECT_TRUE(log.lines().empty());
}

// More events in a block than the engine's queue holds: the block is split
// at the first one that does not fit, which still sounds at its frame.
TEST(Lv2Instance, EventsBeyondTheEnginesQueueStillLandOnTheirFrames)
{
    Lv2Host host(lv2::kPluginUri, kBundle);
    ASSERT_TRUE(host.instantiate(44100.0));
    const std::pair<int, float> probe[] = {{kAttack1, 0.0f}, {kSustain1, 1.0f},   {kNoise, 1.0f},   {kReverbOn, 0.0f},
                                           {kEQOn, 0.0f},    {kFdBkAmount, 0.0f}, {kGain_out, 0.8f}};
    for (const auto& [index, value] : probe) host.control((uint32_t)index) = value;
    std::vector<float> l, r;
    for (int b = 0; b < 16; ++b) host.run(kBlock, l, r);
    ASSERT_LT(peak(l), 1e-6);
    const size_t start = l.size();
    for (int i = 0; i < MidiEventQueue::kCapacity; ++i) host.queueMidi(0, 0xB0, 1, (uint8_t)(i & 127));
    host.queueMidi(300, 0x90, 69, 127);
    host.run(kBlock, l, r);
    const long first = firstAbove(l, 1e-4, start);
    ASSERT_GE(first, 0) << "the note past the queue sounds";
    EXPECT_GE(first - (long)start, 300);
    EXPECT_LE(first - (long)start, 302);
}

TEST(Lv2Render, SameSamplesAsTheVstBuild)
{
    std::unique_ptr<Program> preset = factoryPreset("Pad/Glass Choir.yaml");
    ASSERT_TRUE(preset);
    const int blocks = 120;

    auto vst = startedHost(44100.0f, kBlock);
    ASSERT_TRUE(vst);
    for (int i = 0; i < kNumParameters; ++i) vst->setParameter(i, preset->getValue(i));
    std::vector<float> vl, vr;
    for (int b = 0; b < blocks; ++b) {
        queuePhrase(b, [&](int f, uint8_t s, uint8_t d1, uint8_t d2) { vst->queueMidi(f, s, d1, d2); });
        vst->render(vl, vr, kBlock, kBlock);
    }

    // The LV2 side takes the preset from the host's preset list.
    Lv2Host host(lv2::kPluginUri, kBundle);
    ASSERT_TRUE(host.instantiate(44100.0));
    ASSERT_TRUE(host.applyPreset(std::string(lv2::kPresetUriPrefix) + "Pad/Glass%20Choir"));
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(host.control((uint32_t)i), preset->getValue(i)) << i;
    Lv2Host::Store state;
    ASSERT_EQ(host.saveState(state), LV2_STATE_SUCCESS);
    const std::vector<uint8_t>& yaml = state.begin()->second.bytes;
    EXPECT_NE(std::string(yaml.begin(), yaml.end()).find("name: Glass Choir"), std::string::npos)
        << "the preset's program is the current one";
    std::vector<float> ll, lr;
    renderLv2(host, blocks, ll, lr);

    ASSERT_GT(rms(vl), 1e-3) << "the phrase sounds";
    EXPECT_TRUE(ll == vl && lr == vr) << "bit-identical left and right";
}

TEST(Lv2State, RestoredInAFreshInstanceSoundsTheSame)
{
    std::unique_ptr<Program> preset = factoryPreset("Lead/Echo Lead.yaml");
    ASSERT_TRUE(preset);
    Lv2Host host(lv2::kPluginUri, kBundle);
    ASSERT_TRUE(host.instantiate(48000.0));
    for (int i = 0; i < kNumParameters; ++i) host.control((uint32_t)i) = preset->getValue(i);
    std::vector<float> l, r;
    host.run(kBlock, l, r);  // the ports reach the program
    Lv2Host::Store saved;
    ASSERT_EQ(host.saveState(saved), LV2_STATE_SUCCESS);
    ASSERT_EQ(saved.size(), 1u);
    const Lv2Host::StoredValue& text = saved.begin()->second;
    EXPECT_EQ(text.type, host.map(LV2_ATOM__String));
    EXPECT_EQ(std::string(text.bytes.begin(), text.bytes.begin() + 3), "---") << "the VST chunk's YAML";

    // A fresh instance with its ports at their defaults takes the state.
    Lv2Host::Store refused = saved;
    auto& garbled = refused.begin()->second.bytes;
    std::fill(garbled.begin(), garbled.end() - 1, (uint8_t)'#');
    Lv2Host fresh(lv2::kPluginUri, kBundle);
    ASSERT_TRUE(fresh.instantiate(48000.0));
    ASSERT_EQ(fresh.restoreState(saved), LV2_STATE_SUCCESS);
    // A garbled state afterwards is refused and changes nothing.
    EXPECT_NE(fresh.restoreState(refused), LV2_STATE_SUCCESS);
    Lv2Host::StoredValue wrongType = saved.begin()->second;
    wrongType.type = fresh.map(LV2_ATOM__Chunk);
    EXPECT_NE(fresh.restoreState({{saved.begin()->first, wrongType}}), LV2_STATE_SUCCESS);
    Lv2Host::Store again;
    ASSERT_EQ(fresh.saveState(again), LV2_STATE_SUCCESS);
    EXPECT_EQ(again.begin()->second.bytes, saved.begin()->second.bytes) << "the restored program, whole";

    // Same phrase, same samples: both instances after one silent block, restarted.
    fresh.run(kBlock, l, r);
    for (Lv2Host* h : {&host, &fresh}) {
        lilv_instance_deactivate(h->instance());
        lilv_instance_activate(h->instance());
    }
    std::vector<float> a, ar, b, br;
    renderLv2(host, 60, a, ar);
    renderLv2(fresh, 60, b, br);
    ASSERT_GT(rms(a), 1e-3);
    EXPECT_TRUE(a == b && ar == br) << "the restored state sounds as the saved one";
}

}  // namespace
