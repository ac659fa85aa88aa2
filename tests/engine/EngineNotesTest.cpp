// Pitch, note handling (poly reuse and stealing, mono legato), pitch bend,
// controller 123, the range ends, and bad MIDI input.
#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/EngineRig.h"

using namespace enginetest;

namespace {
const double kFs = 44100.0;

double noteHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Pitch of the left output over the last part of `a`.
double pitchOf(const Audio& a, double guess, size_t window = 4410)
{
    return measureFrequency(a.left, a.left.size() - 2 * window, window, kFs, guess);
}

bool allIdle(const SynthEngine& e)
{
    for (int s = 0; s < SynthEngine::kVoiceSlots; ++s)
        if (e.slotActive(s)) return false;
    return true;
}
}  // namespace

// Notes across the range, after a change of rate, under master tuning (up
// to two and a half semitones either way) and under pitch bend (its ends and
// the dead zone around the centre): each within a cent of its pitch.
TEST(EnginePitch, NotesTuningBendAndRatesPlayInTune)
{
    struct Case {
        int note;
        float tuning;
        int bend;  // -1: none
        float fs;
        double want;
    };
    std::vector<Case> cases;
    for (int note : {24, 36, 48, 60, 69, 72, 84, 96, 108}) cases.push_back({note, 0.5f, -1, 44100.0f, noteHz(note)});
    for (float fs : {48000.0f, 96000.0f}) cases.push_back({69, 0.5f, -1, fs, 440.0});
    for (float v : {0.0f, 1.0f}) cases.push_back({69, v, -1, 44100.0f, 440.0 * std::pow(2.0, (5.0 * v - 2.5) / 12.0)});
    const std::pair<int, double> bends[] = {{16383, 1.0 + 8191.0 / 8192.0},
                                            {0, 0.5},
                                            {8189, 1.0},
                                            {8192, 1.0},
                                            {8195, 1.0},
                                            {12288, 1.5},
                                            {4096, 1.0 / 1.5}};
    for (const auto& b : bends) cases.push_back({69, 0.5f, b.first, 44100.0f, 440.0 * b.second});
    for (const Case& c : cases) {
        Rig rig;
        if (c.fs != 44100.0f) rig.engine->setSampleRate(c.fs);
        rig.cleanPatch();
        rig.set(kMastertuning, c.tuning);
        rig.noteOn(c.note);
        if (c.bend >= 0) rig.midi(0xE3, (unsigned char)(c.bend & 0x7F), (unsigned char)(c.bend >> 7), 10);
        Audio a = rig.render((int)c.fs / 2);
        const size_t w = (size_t)(c.fs / 10);
        const double f = measureFrequency(a.left, a.left.size() - 2 * w, w, c.fs, c.want);
        EXPECT_NEAR(cents(f, c.want), 0.0, 1.0)
            << "note " << c.note << ", tuning " << c.tuning << ", bend " << c.bend << ", rate " << c.fs;
    }
}

TEST(EnginePitch, RangeEndsFoldAndTheOctaveSwitchStaysInTheTable)
{
    struct Case {
        int key;
        float octave;
        int played;
    };
    // Note 0 plays as 12, 127 as 115; the octave switch moves them by 12.
    const Case cases[] = {{0, 0.5f, 12},    {127, 0.5f, 115}, {0, 0.0f, 0},
                          {127, 1.0f, 127}, {116, 1.0f, 128}, {60, 0.0f, 48}};
    for (const Case& c : cases) {
        Rig rig;
        rig.cleanPatch();
        rig.set(kOctave, c.octave);
        rig.noteOn(c.key);
        Audio a = rig.render(22050);
        EXPECT_EQ(rig.engine->voiceNote(0), c.played) << "key " << c.key;
        EXPECT_TRUE(allFinite(a.left));
        // The top entry is one equal-tempered step above note 127.
        double want = 8.175798915636872 * std::pow(1.059463094359, c.played);
        if (want > 100.0) {
            EXPECT_NEAR(cents(pitchOf(a, want), want), 0.0, 1.0) << "key " << c.key;
        }
        // The note-off reads the octave switch again and finds its note.
        rig.noteOff(c.key);
        rig.render(44100 * 3);
        EXPECT_FALSE(rig.engine->ampEnvelope(0).stage == ModuleADSR::kSustain) << "key " << c.key;
    }
}

TEST(EngineNotes, PolyReusesIdleSlotsThenReleasedThenStealsTheOldest)
{
    Rig rig;
    rig.cleanPatch();
    rig.set(kRelease1, 1.0f);  // 2 s releases keep released slots sounding
    for (int k = 0; k < 8; ++k) rig.noteOn(60 + k, 100, k);
    rig.render(4096);
    for (int s = 0; s < 8; ++s) EXPECT_EQ(rig.engine->voiceNote(s), 60 + s);

    // Ninth key with all eight held: takes the slot of the first key.
    rig.noteOn(80);
    rig.render(256);
    EXPECT_EQ(rig.engine->voiceNote(0), 80);

    // A released slot (still sounding) is taken before stealing a held one.
    rig.noteOff(63);
    rig.render(256);
    EXPECT_TRUE(rig.engine->slotActive(3));
    rig.noteOn(81);
    rig.render(256);
    EXPECT_EQ(rig.engine->voiceNote(3), 81);

    // A held key pressed again retriggers in its own slot.
    rig.noteOn(65);
    rig.render(256);
    int slotsWith65 = 0;
    for (int s = 0; s < 8; ++s) slotsWith65 += rig.engine->voiceNote(s) == 65;
    EXPECT_EQ(rig.engine->voiceNote(5), 65);
    EXPECT_EQ(slotsWith65, 1);

    // Everything released: all slots fall idle.
    for (int n : {80, 61, 62, 81, 64, 65, 66, 67}) rig.noteOff(n);
    rig.render(44100 * 12);
    EXPECT_TRUE(allIdle(*rig.engine));
}

TEST(EngineNotes, MonoLegatoMovesThePitchWithoutRetrigger)
{
    Rig rig;
    rig.cleanPatch();
    rig.set(kPolyMono, 1.0f);
    rig.render(256);
    EXPECT_EQ(rig.engine->numVoices(), 1);
    // The slot sounds `note` in tune, still in its first sustain (no new attack).
    auto expectSounding = [&](int note) {
        Audio a = rig.render(11025);
        EXPECT_NEAR(cents(pitchOf(a, noteHz(note)), noteHz(note)), 0.0, 1.0) << note;
        EXPECT_EQ(rig.engine->ampEnvelope(0).stage, ModuleADSR::kSustain) << note;
    };
    rig.noteOn(60);
    expectSounding(60);
    rig.noteOn(67);
    expectSounding(67);
    rig.noteOff(67);
    expectSounding(60);
    rig.noteOff(50);  // a stray note-off changes nothing
    expectSounding(60);
    rig.noteOff(60);
    rig.render(256);
    EXPECT_EQ(rig.engine->ampEnvelope(0).stage, ModuleADSR::kRelease);

    // A, B, release A: stays at B and goes on; releasing B ends it.
    rig.render(44100 * 3);
    rig.noteOn(60);
    rig.noteOn(64, 100, 5);
    rig.noteOff(60, 10);
    expectSounding(64);
    rig.noteOff(64);
    rig.render(256);
    EXPECT_EQ(rig.engine->ampEnvelope(0).stage, ModuleADSR::kRelease);
}

TEST(EngineNotes, PolyMonoSwitchReleasesHeldNotes)
{
    Rig rig;
    rig.cleanPatch();
    rig.noteOn(60);
    rig.noteOn(64);
    rig.render(4096);
    rig.set(kPolyMono, 1.0f);  // from another thread in a host: applied at the next block
    rig.render(256);
    EXPECT_EQ(rig.engine->numVoices(), 1);
    EXPECT_NE(rig.engine->ampEnvelope(0).stage, ModuleADSR::kSustain);
    EXPECT_NE(rig.engine->ampEnvelope(1).stage, ModuleADSR::kSustain);
    // Re-sending the same value leaves sounding notes alone.
    rig.noteOn(70);
    rig.render(4096);
    rig.set(kPolyMono, 0.9f);
    rig.render(256);
    EXPECT_EQ(rig.engine->ampEnvelope(0).stage, ModuleADSR::kSustain);
}

TEST(EngineNotes, Controller123SilencesEverything)
{
    // The full default patch, with delays and feedback, without the reverb
    // (its own tail is not part of the voices).
    Rig rig;
    rig.set({{kFdBkAmount, 1.0f}, {kReverbOn, 0.0f}});
    for (int k = 0; k < 8; ++k) rig.noteOn(48 + 3 * k);
    Audio a = rig.render(44100);
    ASSERT_GT(rms(a.left, 22050), 0.01);
    rig.midi(0xB5, 123, 0);
    Audio after = rig.render(44100 * 3);
    EXPECT_LT(peak(after.left, 44100 * 2), 1e-5);
    EXPECT_LT(peak(after.right, 44100 * 2), 1e-5);
    for (int s = 0; s < 8; ++s) EXPECT_NE(rig.engine->ampEnvelope(s).stage, ModuleADSR::kSustain);
}

TEST(EngineNotes, BadMidiInputNeitherCrashesNorLeavesStuckVoices)
{
    Rig rig;
    rig.set({{kFdBkAmount, 1.0f}, {kRelease1, 0.2f}, {kRelease2, 0.1f}});
    // Velocity-0 note-on ends a note; a note-off never played does nothing.
    rig.noteOn(60);
    rig.render(2048);
    rig.midi(0x90, 60, 0);
    rig.noteOff(99);
    rig.render(256);
    EXPECT_EQ(rig.engine->ampEnvelope(0).stage, ModuleADSR::kRelease);

    // 1000 note-ons in one block, high-bit data bytes, unknown and data-only
    // status bytes, and all their note-offs in a later block.
    unsigned seed = 7;
    auto next = [&]() { return (seed = seed * 1103515245u + 12345u) >> 16; };
    std::vector<int> played;
    for (int i = 0; i < 1000; ++i) {
        int n = (int)(next() % 128);
        played.push_back(n);
        rig.noteOn(n, 1 + (int)(next() % 127), i % 256);
    }
    rig.midi(0x95, 0xC5, 0xFF, 3);  // plays note 0x45 at velocity 127
    played.push_back(0x45);
    rig.midi(0xF8, 0x90, 0x40, 4);
    rig.midi(0x45, 0x45, 0x45, 5);
    rig.midi(0xA0, 0xFF, 0xFF, 6);
    rig.midi(0xE0, 0xFF, 0xFF, 7);  // bend with masked bytes: the top
    Audio a = rig.render(44100);
    EXPECT_TRUE(allFinite(a.left));
    EXPECT_TRUE(allFinite(a.right));
    EXPECT_LT(peak(a.left), 200.0);
    for (int n : played) rig.noteOff(n);
    rig.midi(0x80, 0xC5, 0x80);
    a = rig.render(44100 * 6);
    EXPECT_TRUE(allFinite(a.left));
    EXPECT_TRUE(allIdle(*rig.engine));
    EXPECT_LT(peak(a.left, a.left.size() - 4096), 1e-5);

    // Mono: as many note-ons as the stack can hold and more.
    rig.set(kPolyMono, 1.0f);
    for (int i = 0; i < 1000; ++i) rig.noteOn(i % 128, 100, 0);
    rig.render(1024);
    for (int i = 0; i < 128; ++i) rig.noteOff(i);
    a = rig.render(44100 * 6);
    EXPECT_TRUE(allFinite(a.left));
    EXPECT_TRUE(allIdle(*rig.engine));
}

// Frames past the block are dropped and forgotten: the plug-in's
// AudioPath.EventsLandOnTheirFramesAndThosePastTheBlockAreDropped hands them
// to the engine as hosts do.
TEST(EngineNotes, QueuedEventsAreDueInFrameOrderAndAFullQueueRefusesMore)
{
    Rig rig;
    rig.cleanPatch();
    std::vector<float> l(64), r(64);
    auto event = [](int frame, int note) {
        MidiEvent e;
        e.frame = frame;
        e.status = 0x90;
        e.data1 = (unsigned char)note;
        e.data2 = 100;
        return e;
    };
    // Out of order, and a negative frame: due at once, in frame order.
    rig.engine->addEvent(event(10, 72));
    rig.engine->addEvent(event(-5, 70));
    rig.engine->process(l.data(), r.data(), 64, false);
    EXPECT_EQ(rig.engine->voiceNote(0), 70);
    EXPECT_EQ(rig.engine->voiceNote(1), 72);
    // A full queue refuses further events instead of growing.
    int taken = 0;
    for (int i = 0; i < 3 * MidiEventQueue::kCapacity; ++i) taken += rig.engine->addEvent(event(i % 64, 30)) ? 1 : 0;
    EXPECT_EQ(taken, MidiEventQueue::kCapacity);
}
