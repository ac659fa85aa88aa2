// The host's view of the plug-in through the real module: descriptor,
// answers to inquiries and the calls the plug-in makes to the host; the
// parameters' names, labels and display texts; the program and the state
// chunk (YAML and the old packed form) and what bad chunks leave behind.
#include "tests/support/CommaLocale.h"
#include "tests/support/PresetDocuments.h"
#include "tests/support/TestSupport.h"
#include "source/engine/ParameterIndex.h"

#include <cmath>
#include <cstring>

using namespace testing_support;

namespace {

class Shell : public StartedHostTest {
protected:
    std::string display(int index, float value)
    {
        host->setParameter(index, value);
        return host->parameterDisplay(index, "keep");
    }
    static std::vector<float> valuesOf(PluginHost& host)
    {
        std::vector<float> v;
        for (int i = 0; i < 43; ++i) v.push_back(host.getParameter(i));
        return v;
    }
};

// The descriptor and the answers to the host's inquiries, with their exact
// values; texts are written within their buffers' bounds (33 bytes for the
// effect name), programs beyond the one there is are ignored, canDo compares
// whole texts, the closed editor answers no keys (its rectangle is
// EditorWindow's and EditorLook's, idle and close calls to it HostInput's),
// and the output pins are a stereo pair and then mono ones.
TEST_F(Shell, DescriptorAndInquiriesGetTheirAnswers)
{
    const AEffect* fx = host->effect();
    EXPECT_EQ(fx->magic, 0x56737450);
    EXPECT_EQ(fx->numPrograms, 1);
    EXPECT_EQ(fx->numParams, 43);
    EXPECT_EQ(fx->numInputs, 0);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->flags, 0x139);  // editor, replacing, chunks, synth; no double replacing
    EXPECT_EQ(fx->initialDelay, 0);
    EXPECT_EQ(fx->uniqueID, ('o' << 24) | ('n' << 16) | ('d' << 8) | 'r');
    EXPECT_EQ(fx->version, 1);
    EXPECT_NE(fx->processReplacing, nullptr);
    EXPECT_NE(fx->processDoubleReplacing, nullptr);
    EXPECT_NE(fx->object, nullptr);

    EXPECT_EQ(host->dispatch(effGetProgram), 0);
    EXPECT_EQ(host->dispatch(effIdentify), ('N' << 24) | ('v' << 16) | ('E' << 8) | 'f');
    EXPECT_EQ(host->dispatch(effCanBeAutomated, 0), 1);
    EXPECT_EQ(host->dispatch(effCanBeAutomated, 42), 1);
    EXPECT_EQ(host->dispatch(effCopyProgram, 0), 0);
    VstPinProperties pin{};
    EXPECT_EQ(host->dispatch(effGetInputProperties, 0, 0, &pin), 0);
    EXPECT_EQ(host->dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(host->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host->dispatch(effGetVendorVersion), 1);
    EXPECT_EQ(host->dispatch(effGetNumMidiInputChannels), 1);
    EXPECT_EQ(host->dispatch(effGetNumMidiOutputChannels), 0);
    EXPECT_EQ(host->dispatch(effSetEditKnobMode, 0, 2), 0);
    EXPECT_EQ(host->productString(), "Ondrel by Zentorial");
    VstEvents events{};
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, &events), 1) << "an empty event block";
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, nullptr), 1);

    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(host->dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Ondrel by Zentorial");
    EXPECT_EQ(buffer[33], 'x');
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(host->dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(std::strlen(buffer), 13u);
    EXPECT_EQ(buffer[14], 'x');

    host->setParameter(kVelosens, 0.25f);
    host->dispatch(effSetProgram, 0, 1);
    host->dispatch(effSetProgram, 0, 7);
    EXPECT_FLOAT_EQ(host->getParameter(kVelosens), 0.25f);
    EXPECT_EQ(host->dispatch(effGetProgram), 0);

    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"})
        EXPECT_EQ(host->canDo(yes), 1) << yes;
    for (const char* no : {"sizeWindow", "receiveVstEvent", "receiveVstEventss", "receiveVstMidiEvents",
                           "receiveVstMidiEven", "receiveVstTimeInf", "receiveVstTimeInfoX", ""})
        EXPECT_EQ(host->canDo(no), -1) << no;

    EXPECT_EQ(host->dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host->dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);

    // Output pins: a stereo pair, then mono ones.
    for (int pin = 0; pin < 8; ++pin) {
        VstPinProperties p;
        std::memset(&p, 0x55, sizeof p);
        VstIntPtr answer = host->dispatch(effGetOutputProperties, pin, 0, &p);
        if (pin < 6) {
            EXPECT_EQ(answer, 1) << pin;
            EXPECT_STREQ(p.label, "OND");
            EXPECT_EQ(p.flags, pin < 2 ? 3 : 1) << pin;
            EXPECT_EQ((unsigned char)p.label[4], 0x55) << "only the label's first four bytes are written";
        } else {
            EXPECT_EQ(answer, 0) << pin;
            EXPECT_EQ((unsigned char)p.label[0], 0x55) << "nothing written for pin " << pin;
        }
    }
}

// A host of the given answers with the module loaded.
std::unique_ptr<PluginHost> loaded(const HostOptions& options = HostOptions())
{
    auto host = std::make_unique<PluginHost>(options);
    std::string error;
    EXPECT_TRUE(host->load(modulePath(), error)) << error;
    return host;
}

// (Closing deletes the object: Lifecycle closes 500 under LeakSanitizer.)
TEST(ShellHostCalls, VersionFirstThenSampleRateThenMidiOnResume)
{
    auto host = loaded();
    auto calls = host->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, audioMasterVersion);
    EXPECT_EQ(host->countCalls(audioMasterGetSampleRate), 1u);
    EXPECT_EQ(host->countCalls(audioMasterWantMidi), 0u);

    host->clearCalls();
    host->resume();
    calls = host->calls();
    ASSERT_EQ(host->countCalls(audioMasterWantMidi), 1u);
    for (auto& c : calls) EXPECT_TRUE(c.opcode != audioMasterWantMidi || c.value == 1) << "MIDI wanted";
    host->suspend();
    host->resume();
    EXPECT_EQ(host->countCalls(audioMasterWantMidi), 2u) << "every resume asks for MIDI again";

    HostOptions versionZero;
    versionZero.versionAnswer = 0;
    PluginHost refused(versionZero);
    std::string error;
    EXPECT_FALSE(refused.load(modulePath(), error));
    EXPECT_NE(error.find("no instance"), std::string::npos) << "a host answering version 0: " << error;
}

TEST(ShellHostCalls, TheHostsRateIsTakenAtCreation)
{
    // The host reports 96 kHz and never sets a rate: note 69 must still come
    // out at 440 Hz, so the engine runs at the reported rate.
    HostOptions options;
    options.sampleRateAnswer = 96000;
    auto host = loaded(options);
    host->dispatch(effOpen);
    host->resume();
    for (int i = 0; i < 43; ++i) host->setParameter(i, 0.0f);  // plain carrier, no delays, reverb or EQ
    host->setParameter(kGain_out, 0.6f);
    host->setParameter(kPan, 0.5f);
    host->setParameter(kSustain1, 1.0f);
    host->setParameter(kOctave, 0.5f);
    host->setParameter(kMastertuning, 0.5f);
    std::vector<float> l, r;
    host->queueMidi(0, 0x90, 69, 127);
    host->render(l, r, 96000, 512);
    // Count rising zero crossings over the last half second: 440 Hz at 96 kHz.
    int crossings = 0;
    for (size_t i = 48001; i < l.size(); ++i)
        if (l[i - 1] < 0 && l[i] >= 0) ++crossings;
    EXPECT_NEAR(crossings, 220, 3);
}

// Each kind of display text at its ends and where its rounding turns: the
// wave ratio, cents and hertz, percentages and counts, modulation speeds and
// ranges, equalizer frequencies and depth, the output gain in decibels (with
// its floor and the sign of a level just below 0 dB), the lag in
// milliseconds or semitones as the memory switch says; switches and
// unlabelled controls leave the host's buffer as it was. Names fit 24 bytes.
TEST_F(Shell, DisplayTextsOfEachKind)
{
    const struct {
        int index;
        std::vector<std::pair<float, const char*>> texts;
    } cases[] = {
        {kWave, {{0.0f, "1"}, {0.1249f, "1"}, {0.125f, "2"}, {0.25f, "2"}, {0.5f, "3"}, {1.0f, "5"}}},
        {kMastertuning, {{0.0f, "-250 380.84"}, {0.25f, "-125 409.35"}, {0.5f, "0 440.00"}, {1.0f, "+250 508.36"}}},
        {kVelosens, {{0.5f, "64"}, {0.0f, "0"}, {1.0f, "127"}}},
        {kStereo, {{0.5f, "50"}, {0.004f, "0"}, {0.006f, "1"}}},
        {kFdBkAmount, {{0.5f, "50"}, {1.0f, "100"}}},
        {kEQHPHz, {{0.0f, "20.00"}, {1.0f, "1600.00"}}},
        {kEQLPHz, {{0.0f, "1580.00"}, {1.0f, "20000.00"}}},
        {kEQBRHz, {{0.5f, "774.60"}, {1.0f, "12000.00"}}},
        {kEQBRBW, {{0.0f, "10.00"}, {1.0f, "6800.00"}}},
        {kEQBRGain, {{0.0f, "-98.0 dB"}, {0.5f, "-6.0 dB"}, {1.0f, "0.0 dB"}}},
        {kGain_out,
         {{1.0f, "+11.4"},
          {0.5f, "-0.7"},
          {0.1f, "-28.6"},
          {0.0f, "-\xE2\x88\x9E"},
          {5e-4f, "-\xE2\x88\x9E"},
          {1e-3f, "-108.6"},
          {0.519f, "-0.0"}}},
        {kReverbOn, {{1.0f, "keep"}, {0.0f, "keep"}}},
        {kHarmonics, {{0.3f, "keep"}}},
        {kMemory, {{0.5f, "keep"}}},
        {kLag1, {{0.5f, "125.0"}}},
        {kLag2, {{1.0f, "250.0"}}},
        {kMemory, {{0.4999f, "keep"}}},
        {kLag1, {{0.5f, "-12"}}},
        {kLag3, {{1.0f, "-24"}, {0.0f, "-0"}}},
    };
    for (const auto& c : cases)
        for (const auto& [value, text] : c.texts)
            EXPECT_EQ(display(c.index, value), text) << c.index << " at " << value;
    for (int speed : {kSpeed1, kSpeed2, kSpeed3}) {
        EXPECT_EQ(display(speed, 0.5f), "6.0");
        EXPECT_EQ(display(speed, 1.0f), "12.0");
        EXPECT_EQ(display(speed + 1, 1.0f), "10.0") << "range " << speed + 1;
        EXPECT_EQ(display(speed + 1, 0.0f), "0.0") << "range " << speed + 1;
    }

    // Indices outside the table give empty texts and hold nothing.
    for (int i : {-1, 43, 1000, -100000}) {
        EXPECT_EQ(host->parameterName(i), "") << i;
        EXPECT_EQ(host->parameterLabel(i), "") << i;
        EXPECT_EQ(host->parameterDisplay(i, "keep"), "") << i;
        host->setParameter(i, 0.7f);
        EXPECT_EQ(host->getParameter(i), 0.0f);
    }
    for (int i = 0; i < 43; ++i) {
        EXPECT_GE(host->getParameter(i), 0.0f);
        EXPECT_LT(host->parameterName(i).size(), 24u);
    }
}

// Every text fits the host's 12 bytes; hosts set LC_NUMERIC from the user's
// environment, and the texts stay those of the C locale (the chunk's are
// presets_Document.ValuesUseSixSignificantDigitsWhateverTheLocale's).
TEST_F(Shell, TextsFitTwelveBytesAndAreTheSameInACommaLocale)
{
    auto allTexts = [&] {
        std::vector<std::string> texts;
        for (float memory : {0.0f, 1.0f}) {
            host->setParameter(kMemory, memory);
            for (int i = 0; i < 43; ++i)
                for (int step = 0; step <= 40; ++step) texts.push_back(display(i, step / 40.0f));
        }
        return texts;
    };
    const std::vector<std::string> inC = allTexts();
    std::vector<std::string> inComma;
    {
        CommaLocale comma;
        ASSERT_TRUE(comma.ok()) << "no locale with a decimal comma is installed (scripts/setup.sh makes de_DE.UTF-8)";
        inComma = allTexts();
    }
    ASSERT_EQ(inComma.size(), inC.size());
    for (size_t k = 0; k < inC.size(); ++k) EXPECT_EQ(inComma[k], inC[k]) << k;
    for (const std::string& text : inC) EXPECT_LE(text.size() + 1, 12u) << text;
}

// The chunk carries the program to a fresh instance, where it is a program
// of its own: the same bytes come back out. A chunk refused there (one cut
// short, as by a host or a disk that lost its end: which chunks the library
// refuses is presets_HostChunk's, any bytes and damaged states the host
// fuzzer's) and a packed bank (taken: it adds programs) leave its program.
TEST_F(Shell, ChunkCarriesTheProgramAndRefusedChunksAndPackedBanksKeepIt)
{
    for (int i = 0; i < 43; ++i) host->setParameter(i, std::fmod(0.137f * (float)(i + 1), 1.0f));
    host->setParameter(kDecay1, 0.333333f);
    const std::vector<uint8_t> chunk = host->getChunk();
    const std::string text(chunk.begin(), chunk.end());
    EXPECT_EQ(text.substr(0, 3), "---");

    auto other = startedHost();
    ASSERT_TRUE(other);
    EXPECT_EQ(other->setChunk(chunk.data(), chunk.size()), 1);
    EXPECT_EQ(other->programName(), host->programName());
    const auto a = valuesOf(*host), b = valuesOf(*other);
    for (int i = 0; i < 43; ++i) EXPECT_NEAR(b[i], a[i], 1e-6 + 1e-5 * std::fabs(a[i])) << i;
    const std::vector<uint8_t> again = other->getChunk();
    EXPECT_EQ(std::string(again.begin(), again.end()), text);

    EXPECT_EQ(other->setChunk(chunk.data(), text.find("Params:\n  Wave:") + 15), 0);
    auto packed = packedChunk(2);
    EXPECT_EQ(other->setChunk(packed.data(), packed.size()), 1);
    EXPECT_EQ(other->programName(), host->programName());
    EXPECT_EQ(valuesOf(*other), b);
}

TEST_F(Shell, ProgramNames)
{
    const std::string name = host->programName();
    EXPECT_FALSE(name.empty());
    char indexed[64] = {};
    EXPECT_EQ(host->dispatch(effGetProgramNameIndexed, 5, 3, indexed), 1);
    EXPECT_EQ(std::string(indexed), name);

    char renamed[25] = "Evening Drone";
    host->dispatch(effSetProgramName, 0, 0, renamed);
    EXPECT_EQ(host->programName(), "Evening Drone");

    char tooLong[64];
    std::memset(tooLong, 'n', sizeof tooLong);  // no terminator at all
    host->dispatch(effSetProgramName, 0, 0, tooLong);
    std::string shown = host->programName();
    EXPECT_LE(shown.size(), 23u);
    EXPECT_EQ(shown, std::string(shown.size(), 'n'));
}

}  // namespace
