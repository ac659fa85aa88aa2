#include "FactoryPresets.h"

#include "source/engine/ParameterInfo.h"

#include <cmath>
#include <map>

namespace {

float rounded(float v)
{
    v = std::fmin(1.0f, std::fmax(0.0f, v));
    return std::round(v * 1000.0f) / 1000.0f;
}

// Describes one preset over a neutral starting point.
class Patch {
public:
    Patch(const char* category, const char* name) : m_category(category), m_name(name)
    {
        for (int i = 0; i < kNumParameters; ++i) m_order.push_back(parameterInfo(i).name);
        set("Mastertuning", 0.5f).set("Octave", 0.5f).set("Pan", 0.5f).set("Velosens", 0.8f);
        ratio(1).harmonics(0.0f).amp(0.005f, 0.5f, 0.7f, 0.3f).repeat(-1);
        for (int k = 1; k <= 3; ++k) line(k, 0, 0.0f, 0.0f, 2.4f);
        line(1, 0, 0.5f);
        stereo(0.3f).feedback(0.1f, 0.01f, 0.3f);
        set("PolyMono", 0.0f).set("Memory", 0.0f).set("ADSR2wave", 0.0f).set("ADSR2harm", 0.0f);
        set("ReverbSize", 0.5f).set("ReverbMix", 0.3f).set("ReverbOn", 0.0f);
        eq(30.0f, 16000.0f).notch(1000.0f, 200.0f, 1.0f);
        gain(0.45f).noise(0.0f);
    }

    Patch& set(const std::string& key, float v)
    {
        m_values[key] = rounded(v);
        return *this;
    }

    // Modulator frequency ratio 1..5.
    Patch& ratio(int r) { return set("Wave", (float)(r - 1) / 4.0f + (r == 1 ? 0.0f : 0.01f)); }
    Patch& harmonics(float v) { return set("Harmonics", v); }
    Patch& harmonicsFollowEnvelope() { return set("ADSR2harm", 1.0f); }
    Patch& ratioFollowsEnvelope() { return set("ADSR2wave", 1.0f); }
    Patch& octave(int o) { return set("Octave", o < 0 ? 0.15f : o > 0 ? 0.85f : 0.5f); }
    // Amplitude envelope in seconds (decay: time to fall by a factor of 11).
    Patch& amp(float attack, float decay, float sustain, float release)
    {
        set("Attack1", normalisedFromValue(kAttack1, attack));
        set("Decay1", normalisedFromValue(kDecay1, decay));
        set("Sustain1", sustain);
        return set("Release1", normalisedFromValue(kRelease1, release));
    }
    // -1: no looping; 0..2: that many extra attack-decay cycles; 3: endless.
    Patch& repeat(int count)
    {
        static const float values[] = {0.0f, 0.13f, 0.34f, 0.67f, 1.0f};
        return set("Repeat", values[count + 1]);
    }
    Patch& velocity(float sensitivity) { return set("Velosens", sensitivity); }
    // A delay line tuned to the note lowered by `semitones`, with a random
    // wander of up to `rangeMs` drawn twice per `speedHz` period.
    Patch& line(int k, int semitones, float level, float rangeMs = 0.0f, float speedHz = 2.4f)
    {
        const std::string n = std::to_string(k);
        set("Lag" + n, (float)semitones / 24.0f);
        set("On" + n, level);
        set("Range" + n, normalisedFromValue(kRange1, rangeMs));
        return set("Speed" + n, normalisedFromValue(kSpeed1, speedHz));
    }
    // Free delay times (the Memory switch is shared by the three lines).
    Patch& echo(int k, float ms, float level, float rangeMs = 0.0f, float speedHz = 1.2f)
    {
        set("Memory", 1.0f);
        const std::string n = std::to_string(k);
        set("Lag" + n, normalisedFromValue(kLag1, ms));
        set("On" + n, level);
        set("Range" + n, normalisedFromValue(kRange1, rangeMs));
        return set("Speed" + n, normalisedFromValue(kSpeed1, speedHz));
    }
    Patch& stereo(float v) { return set("Stereo", v); }
    Patch& mono() { return set("PolyMono", 1.0f); }
    Patch& feedback(float amount, float attack, float release, bool negative = false)
    {
        set("FdBkAmount", amount);
        set("FdBkPhase", negative ? 1.0f : 0.0f);
        set("Attack2", normalisedFromValue(kAttack2, attack));
        return set("Release2", normalisedFromValue(kRelease2, release));
    }
    Patch& reverb(float size, float mix)
    {
        set("ReverbOn", 1.0f);
        set("ReverbSize", size);
        return set("ReverbMix", mix);
    }
    Patch& eq(float highPassHz, float lowPassHz)
    {
        set("EQOn", 1.0f);
        set("EQHPHz", normalisedFromValue(kEQHPHz, highPassHz));
        return set("EQLPHz", normalisedFromValue(kEQLPHz, lowPassHz));
    }
    // depth: share of the signal kept at the notch centre (1: no notch).
    Patch& notch(float hz, float widthHz, float depth)
    {
        set("EQBRHz", normalisedFromValue(kEQBRHz, hz));
        set("EQBRBW", normalisedFromValue(kEQBRBW, widthHz));
        return set("EQBRGain", depth);
    }
    Patch& gain(float v) { return set("Gain_out", v); }
    Patch& noise(float v) { return set("Noise", v); }
    Patch& pan(float v) { return set("Pan", v); }

    FactoryPreset build() const
    {
        FactoryPreset p;
        p.category = m_category;
        p.name = m_name;
        for (const std::string& key : m_order) p.values.emplace_back(key, m_values.at(key));
        return p;
    }

private:
    std::string m_category, m_name;
    std::vector<std::string> m_order;
    std::map<std::string, float> m_values;
};

std::vector<FactoryPreset> makeLibrary()
{
    std::vector<Patch> l;

    // Basses: mono or short, with the low end kept clean.
    l.push_back(Patch("Bass", "Sub Foundation")
                    .octave(-1)
                    .ratio(1)
                    .harmonics(0.05f)
                    .amp(0.002f, 0.8f, 0.75f, 0.12f)
                    .line(1, 0, 0.35f)
                    .feedback(0.05f, 0.005f, 0.1f)
                    .mono()
                    .eq(25.0f, 1800.0f)
                    .gain(0.764f));
    l.push_back(Patch("Bass", "Rubber Bass")
                    .ratio(2)
                    .harmonics(0.45f)
                    .harmonicsFollowEnvelope()
                    .amp(0.002f, 0.35f, 0.25f, 0.1f)
                    .line(1, 12, 0.5f)
                    .feedback(0.25f, 0.002f, 0.15f)
                    .mono()
                    .eq(30.0f, 4000.0f)
                    .gain(0.734f));
    l.push_back(Patch("Bass", "Hollow Reed Bass")
                    .ratio(1)
                    .harmonics(0.5f)
                    .amp(0.01f, 0.6f, 0.8f, 0.15f)
                    .line(1, 0, 0.7f)
                    .feedback(0.7f, 0.02f, 0.2f, true)
                    .mono()
                    .eq(35.0f, 3500.0f)
                    .notch(450.0f, 350.0f, 0.12f)
                    .gain(0.820f));
    l.push_back(Patch("Bass", "Growl Bass")
                    .velocity(0.9f)
                    .ratio(2)
                    .harmonics(0.6f)
                    .ratioFollowsEnvelope()
                    .amp(0.003f, 0.5f, 0.6f, 0.15f)
                    .line(1, 0, 0.5f, 0.2f, 4.0f)
                    .line(2, 12, 0.3f, 0.3f, 3.0f)
                    .feedback(0.4f, 0.01f, 0.2f)
                    .mono()
                    .eq(30.0f, 5000.0f)
                    .notch(900.0f, 500.0f, 0.3f)
                    .gain(0.587f));
    l.push_back(Patch("Bass", "Octave Stack Bass")
                    .ratio(1)
                    .harmonics(0.35f)
                    .amp(0.002f, 0.6f, 0.6f, 0.15f)
                    .line(1, 12, 0.5f)
                    .line(2, 24, 0.3f)
                    .feedback(0.15f, 0.005f, 0.15f)
                    .stereo(0.1f)
                    .mono()
                    .eq(28.0f, 3000.0f)
                    .gain(0.680f));
    l.push_back(Patch("Bass", "Slap Noise Bass")
                    .ratio(3)
                    .harmonics(0.25f)
                    .harmonicsFollowEnvelope()
                    .amp(0.001f, 0.25f, 0.3f, 0.1f)
                    .noise(0.35f)
                    .line(1, 0, 0.4f)
                    .feedback(0.2f, 0.001f, 0.1f)
                    .eq(40.0f, 6000.0f)
                    .gain(0.392f));

    // Leads: present, expressive, mostly mono.
    l.push_back(Patch("Lead", "Singing Lead")
                    .ratio(2)
                    .harmonics(0.35f)
                    .amp(0.03f, 1.0f, 0.8f, 0.3f)
                    .line(1, 0, 0.5f, 0.15f, 5.0f)
                    .feedback(0.3f, 0.08f, 0.3f)
                    .mono()
                    .reverb(0.5f, 0.3f)
                    .eq(80.0f, 9000.0f)
                    .gain(0.666f));
    l.push_back(Patch("Lead", "Buzz Saw Lead")
                    .ratio(1)
                    .harmonics(0.85f)
                    .amp(0.005f, 0.8f, 0.85f, 0.2f)
                    .line(2, 0, 0.5f, 0.6f, 0.8f)
                    .line(3, 0, 0.5f, 0.7f, 0.6f)
                    .line(1, 0, 0.0f)
                    .stereo(0.9f)
                    .feedback(0.15f, 0.01f, 0.2f)
                    .mono()
                    .eq(90.0f, 11000.0f)
                    .gain(0.658f));
    l.push_back(Patch("Lead", "Hollow Comb Lead")
                    .ratio(2)
                    .harmonics(0.3f)
                    .amp(0.01f, 0.7f, 0.8f, 0.25f)
                    .line(1, 0, 0.3f)
                    .line(2, 7, 0.45f)
                    .line(3, 12, 0.4f)
                    .feedback(0.25f, 0.02f, 0.25f)
                    .mono()
                    .eq(70.0f, 7000.0f)
                    .gain(0.626f));
    l.push_back(Patch("Lead", "Clarinet Lead")
                    .ratio(1)
                    .harmonics(0.1f)
                    .amp(0.04f, 1.0f, 0.9f, 0.15f)
                    .line(1, 0, 0.6f, 0.05f, 5.5f)
                    .feedback(0.45f, 0.05f, 0.15f, true)
                    .mono()
                    .noise(0.08f)
                    .eq(120.0f, 5000.0f)
                    .reverb(0.4f, 0.2f)
                    .gain(0.840f));
    l.push_back(Patch("Lead", "Echo Lead")
                    .ratio(2)
                    .harmonics(0.25f)
                    .amp(0.01f, 0.6f, 0.7f, 0.2f)
                    .echo(1, 240.0f, 0.7f)
                    .echo(2, 240.0f, 0.25f, 1.0f, 0.4f)
                    .echo(3, 240.0f, 0.25f, 1.2f, 0.3f)
                    .stereo(1.0f)
                    .feedback(0.9f, 0.01f, 4.0f)
                    .mono()
                    .eq(100.0f, 8000.0f)
                    .gain(0.423f));
    l.push_back(Patch("Lead", "Whistle")
                    .octave(1)
                    .ratio(1)
                    .harmonics(0.0f)
                    .amp(0.06f, 1.0f, 0.85f, 0.2f)
                    .line(1, 0, 0.3f, 0.08f, 6.0f)
                    .feedback(0.05f, 0.01f, 0.1f)
                    .noise(0.15f)
                    .mono()
                    .eq(500.0f, 3500.0f)
                    .reverb(0.6f, 0.35f)
                    .gain(0.969f));

    // Pads: slow, wide, chorused or evolving.
    l.push_back(Patch("Pad", "Warm Ensemble")
                    .ratio(1)
                    .harmonics(0.15f)
                    .amp(0.8f, 2.0f, 0.8f, 1.5f)
                    .line(1, 0, 0.3f, 1.2f, 1.0f)
                    .line(2, 0, 0.45f, 1.5f, 1.4f)
                    .line(3, 0, 0.45f, 1.0f, 1.7f)
                    .stereo(0.85f)
                    .feedback(0.1f, 0.5f, 1.5f)
                    .reverb(0.7f, 0.4f)
                    .eq(60.0f, 5000.0f)
                    .gain(0.590f));
    l.push_back(Patch("Pad", "Glass Choir")
                    .ratio(4)
                    .harmonics(0.1f)
                    .amp(0.6f, 2.5f, 0.7f, 2.0f)
                    .line(1, 0, 0.3f)
                    .line(2, 12, 0.35f, 0.5f, 0.7f)
                    .line(3, 19, 0.35f, 0.5f, 0.9f)
                    .stereo(0.7f)
                    .feedback(0.15f, 0.5f, 2.0f)
                    .reverb(0.85f, 0.5f)
                    .eq(100.0f, 12000.0f)
                    .gain(0.462f));
    l.push_back(Patch("Pad", "Dark Drone")
                    .octave(-1)
                    .ratio(1)
                    .harmonics(0.3f)
                    .amp(1.2f, 3.0f, 0.6f, 2.5f)
                    .line(1, 12, 0.4f, 0.3f, 0.3f)
                    .line(2, 24, 0.3f, 0.4f, 0.2f)
                    .line(3, 0, 0.3f, 0.2f, 0.4f)
                    .stereo(0.6f)
                    .feedback(0.55f, 1.5f, 3.0f, true)
                    .eq(40.0f, 2500.0f)
                    .reverb(0.75f, 0.35f)
                    .gain(0.580f));
    l.push_back(Patch("Pad", "Pulsing Swell")
                    .ratio(2)
                    .harmonics(0.2f)
                    .amp(0.4f, 0.6f, 0.35f, 1.5f)
                    .repeat(3)
                    .line(1, 0, 0.3f, 0.5f, 1.0f)
                    .line(2, 12, 0.4f, 0.8f, 0.6f)
                    .stereo(0.5f)
                    .feedback(0.15f, 0.3f, 1.5f)
                    .reverb(0.8f, 0.45f)
                    .eq(80.0f, 7000.0f)
                    .gain(0.440f));
    l.push_back(Patch("Pad", "Breath Pad")
                    .ratio(1)
                    .harmonics(0.05f)
                    .amp(1.0f, 2.0f, 0.8f, 2.0f)
                    .noise(0.6f)
                    .line(1, 0, 0.2f, 2.0f, 0.5f)
                    .line(2, 12, 0.3f, 2.5f, 0.4f)
                    .stereo(1.0f)
                    .feedback(0.05f, 0.5f, 1.0f)
                    .eq(150.0f, 6000.0f)
                    .notch(1200.0f, 800.0f, 0.2f)
                    .reverb(0.8f, 0.5f)
                    .gain(0.700f));
    l.push_back(Patch("Pad", "Evolving Strings")
                    .ratio(1)
                    .harmonics(0.4f)
                    .amp(0.7f, 2.0f, 0.85f, 1.8f)
                    .line(1, 0, 0.25f, 3.0f, 0.4f)
                    .line(2, 0, 0.45f, 4.0f, 0.3f)
                    .line(3, 0, 0.45f, 3.5f, 0.5f)
                    .stereo(0.6f)
                    .feedback(0.2f, 0.8f, 1.5f)
                    .eq(120.0f, 8000.0f)
                    .reverb(0.7f, 0.35f)
                    .gain(0.415f));

    // Keys: struck and decaying, or organ-like and steady.
    l.push_back(Patch("Keys", "Electric Tines")
                    .ratio(4)
                    .harmonics(0.35f)
                    .harmonicsFollowEnvelope()
                    .amp(0.004f, 2.4f, 0.0f, 0.4f)
                    .line(1, 0, 0.25f, 0.1f, 5.0f)
                    .stereo(0.4f)
                    .feedback(0.05f, 0.001f, 0.3f)
                    .eq(40.0f, 9000.0f)
                    .gain(0.402f));
    l.push_back(Patch("Keys", "Mellow Tine Piano")
                    .ratio(2)
                    .harmonics(0.2f)
                    .harmonicsFollowEnvelope()
                    .amp(0.004f, 3.0f, 0.0f, 0.5f)
                    .line(1, 0, 0.3f)
                    .line(2, 12, 0.2f, 0.2f, 4.0f)
                    .stereo(0.5f)
                    .feedback(0.08f, 0.002f, 0.4f)
                    .eq(40.0f, 6000.0f)
                    .reverb(0.5f, 0.2f)
                    .gain(0.414f));
    // Organs play every note at one level (Velosens 0), as their names say.
    l.push_back(Patch("Keys", "Drawbar Organ")
                    .ratio(2)
                    .harmonics(0.05f)
                    .amp(0.004f, 0.5f, 1.0f, 0.05f)
                    .velocity(0.0f)
                    .line(1, 12, 0.45f)
                    .line(2, 19, 0.3f, 0.05f, 7.0f)
                    .line(3, 0, 0.3f, 0.3f, 6.5f)
                    .stereo(0.6f)
                    .feedback(0.0f, 0.001f, 0.05f)
                    .eq(40.0f, 8000.0f)
                    .gain(0.280f));
    l.push_back(Patch("Keys", "Toy Piano")
                    .octave(1)
                    .ratio(5)
                    .harmonics(0.1f)
                    .amp(0.001f, 0.45f, 0.0f, 0.3f)
                    .line(1, 0, 0.3f)
                    .feedback(0.05f, 0.001f, 0.2f)
                    .eq(300.0f, 12000.0f)
                    .reverb(0.3f, 0.2f)
                    .gain(0.455f));
    l.push_back(Patch("Keys", "Clavinet Snap")
                    .ratio(2)
                    .harmonics(0.7f)
                    .harmonicsFollowEnvelope()
                    .amp(0.001f, 0.5f, 0.15f, 0.08f)
                    .velocity(0.9f)
                    .line(1, 0, 0.4f)
                    .feedback(0.2f, 0.001f, 0.1f)
                    .eq(200.0f, 10000.0f)
                    .gain(0.382f));
    l.push_back(Patch("Keys", "Vibraphone")
                    .ratio(4)
                    .harmonics(0.0f)
                    .amp(0.001f, 2.5f, 0.0f, 1.0f)
                    .line(1, 0, 0.3f, 0.25f, 6.0f)
                    .line(2, 0, 0.3f, 0.25f, 5.5f)
                    .stereo(0.7f)
                    .feedback(0.05f, 0.001f, 1.0f)
                    .eq(80.0f, 9000.0f)
                    .reverb(0.6f, 0.3f)
                    .gain(0.405f));

    // Plucks: short excitations, resonating lines.
    l.push_back(Patch("Pluck", "Nylon String")
                    .ratio(1)
                    .harmonics(0.1f)
                    .amp(0.001f, 1.4f, 0.0f, 0.3f)
                    .noise(0.2f)
                    .line(1, 0, 0.5f)
                    .line(2, 0, 0.4f)
                    .feedback(0.35f, 0.001f, 0.6f)
                    .eq(60.0f, 7000.0f)
                    .gain(0.305f));
    l.push_back(Patch("Pluck", "Harp Glint")
                    .ratio(3)
                    .harmonics(0.15f)
                    .amp(0.002f, 1.4f, 0.0f, 0.6f)
                    .line(1, 0, 0.3f)
                    .line(2, 12, 0.2f, 0.2f, 3.0f)
                    .stereo(0.6f)
                    .feedback(0.1f, 0.001f, 0.5f)
                    .reverb(0.75f, 0.4f)
                    .eq(80.0f, 10000.0f)
                    .gain(0.457f));
    l.push_back(Patch("Pluck", "Koto")
                    .ratio(2)
                    .harmonics(0.3f)
                    .amp(0.001f, 0.6f, 0.0f, 0.4f)
                    .noise(0.1f)
                    .line(1, 0, 0.4f)
                    .line(2, 7, 0.2f)
                    .feedback(0.35f, 0.001f, 0.4f)
                    .eq(90.0f, 8000.0f)
                    .reverb(0.5f, 0.25f)
                    .gain(0.450f));
    l.push_back(Patch("Pluck", "Muted Pick")
                    .ratio(1)
                    .harmonics(0.3f)
                    .amp(0.001f, 0.4f, 0.0f, 0.1f)
                    .line(1, 0, 0.4f)
                    .feedback(0.1f, 0.001f, 0.08f)
                    .eq(70.0f, 2800.0f)
                    .gain(0.437f));
    l.push_back(Patch("Pluck", "Kalimba")
                    .ratio(4)
                    .harmonics(0.05f)
                    .amp(0.001f, 0.5f, 0.0f, 0.3f)
                    .line(1, 0, 0.3f)
                    .feedback(0.05f, 0.001f, 0.3f)
                    .eq(150.0f, 9000.0f)
                    .reverb(0.45f, 0.25f)
                    .gain(0.455f));
    l.push_back(Patch("Pluck", "Marimba")
                    .ratio(4)
                    .harmonics(0.0f)
                    .ratioFollowsEnvelope()
                    .amp(0.001f, 0.35f, 0.0f, 0.25f)
                    .noise(0.15f)
                    .line(1, 24, 0.3f)
                    .feedback(0.05f, 0.001f, 0.2f)
                    .eq(60.0f, 6000.0f)
                    .reverb(0.4f, 0.2f)
                    .gain(0.526f));

    // Effects: echoes, metal, motion and texture.
    l.push_back(Patch("FX", "Space Echo")
                    .ratio(2)
                    .harmonics(0.3f)
                    .amp(0.005f, 0.4f, 0.3f, 0.3f)
                    .echo(1, 200.0f, 0.5f, 1.0f, 0.3f)
                    .echo(2, 130.0f, 0.45f, 1.5f, 0.4f)
                    .echo(3, 90.0f, 0.45f)
                    .stereo(1.0f)
                    .feedback(0.35f, 0.01f, 4.0f)
                    .reverb(0.8f, 0.4f)
                    .eq(150.0f, 6000.0f)
                    .gain(0.550f));
    l.push_back(Patch("FX", "Metal Resonator")
                    .ratio(3)
                    .harmonics(0.4f)
                    .amp(0.001f, 0.6f, 0.0f, 0.3f)
                    .noise(0.4f)
                    .line(1, 5, 0.4f)
                    .line(2, 11, 0.4f)
                    .line(3, 1, 0.4f)
                    .stereo(0.8f)
                    .feedback(0.45f, 0.001f, 2.5f)
                    .eq(100.0f, 12000.0f)
                    .reverb(0.6f, 0.3f)
                    .gain(0.437f));
    l.push_back(Patch("FX", "Random Swarm")
                    .ratio(3)
                    .harmonics(0.5f)
                    .amp(0.2f, 1.5f, 0.8f, 1.0f)
                    .line(1, 0, 0.4f, 10.0f, 12.0f)
                    .line(2, 12, 0.4f, 9.0f, 10.0f)
                    .line(3, 7, 0.4f, 8.0f, 11.0f)
                    .stereo(1.0f)
                    .feedback(0.2f, 0.1f, 1.0f)
                    .eq(100.0f, 9000.0f)
                    .gain(0.437f));
    l.push_back(Patch("FX", "Pulse Storm")
                    .ratio(2)
                    .harmonics(0.5f)
                    .ratioFollowsEnvelope()
                    .amp(0.01f, 0.08f, 0.4f, 0.4f)
                    .repeat(3)
                    .line(1, 12, 0.4f)
                    .line(2, 0, 0.3f, 2.0f, 6.0f)
                    .stereo(0.9f)
                    .feedback(0.2f, 0.01f, 0.5f)
                    .mono()
                    .reverb(0.6f, 0.3f)
                    .eq(60.0f, 9000.0f)
                    .gain(0.874f));
    l.push_back(Patch("FX", "Wind Tunnel")
                    .ratio(1)
                    .harmonics(0.9f)
                    .amp(1.5f, 2.0f, 0.9f, 2.5f)
                    .noise(1.0f)
                    .line(1, 0, 0.6f, 6.0f, 0.2f)
                    .line(2, 12, 0.6f, 8.0f, 0.15f)
                    .stereo(1.0f)
                    .feedback(0.1f, 1.0f, 2.0f)
                    .mono()
                    .eq(200.0f, 4000.0f)
                    .notch(700.0f, 600.0f, 0.1f)
                    .reverb(0.9f, 0.5f)
                    .gain(0.961f));
    l.push_back(Patch("FX", "Bell Tower")
                    .octave(-1)
                    .ratio(5)
                    .harmonics(0.25f)
                    .amp(0.004f, 4.0f, 0.0f, 3.0f)
                    .line(1, 5, 0.3f)
                    .line(2, 17, 0.25f)
                    .line(3, 0, 0.3f)
                    .stereo(0.8f)
                    .feedback(0.2f, 0.001f, 3.0f)
                    .reverb(0.95f, 0.5f)
                    .eq(60.0f, 12000.0f)
                    .gain(0.533f));

    // Second pass: sounds made of what the instrument is known for: delay
    // lines tuned to the note with strong feedback, looping envelopes, noise.
    l.push_back(Patch("Bass", "Plucked String Bass")
                    .octave(-1)
                    .ratio(1)
                    .harmonics(0.1f)
                    .amp(0.001f, 0.6f, 0.0f, 0.3f)
                    .noise(0.5f)
                    .line(1, 0, 0.9f)
                    .feedback(0.8f, 0.001f, 1.2f)
                    .mono()
                    .eq(30.0f, 2500.0f)
                    .gain(0.597f));
    l.push_back(Patch("Bass", "Wobble Bass")
                    .ratio(2)
                    .harmonics(0.5f)
                    .ratioFollowsEnvelope()
                    .amp(0.02f, 0.12f, 0.2f, 0.1f)
                    .repeat(3)
                    .line(1, 0, 0.5f)
                    .line(2, 12, 0.3f)
                    .feedback(0.3f, 0.01f, 0.2f)
                    .mono()
                    .eq(30.0f, 3000.0f)
                    .gain(0.718f));
    l.push_back(Patch("Lead", "Tape Delay Lead")
                    .ratio(1)
                    .harmonics(0.4f)
                    .amp(0.01f, 0.8f, 0.75f, 0.1f)
                    .echo(1, 0.0f, 0.0f)
                    .echo(2, 230.0f, 0.6f, 0.8f, 0.5f)
                    .echo(3, 230.0f, 0.6f, 0.9f, 0.6f)
                    .stereo(0.8f)
                    .feedback(0.85f, 0.01f, 4.0f)
                    .mono()
                    .eq(120.0f, 5000.0f)
                    .gain(0.509f));
    l.push_back(Patch("Lead", "Bowed String Lead")
                    .ratio(1)
                    .harmonics(0.2f)
                    .amp(0.08f, 1.0f, 0.85f, 0.3f)
                    .noise(0.4f)
                    .line(1, 0, 0.8f, 0.05f, 5.0f)
                    .line(2, 12, 0.2f)
                    .feedback(0.7f, 0.15f, 0.4f)
                    .mono()
                    .eq(150.0f, 7000.0f)
                    .reverb(0.5f, 0.25f)
                    .gain(0.517f));
    l.push_back(Patch("Pad", "Tidal Pad")
                    .ratio(2)
                    .harmonics(0.25f)
                    .amp(0.9f, 1.4f, 0.3f, 2.0f)
                    .repeat(3)
                    .line(1, 0, 0.4f, 1.5f, 0.3f)
                    .line(2, 12, 0.35f, 2.0f, 0.25f)
                    .line(3, 7, 0.25f, 1.0f, 0.4f)
                    .stereo(0.9f)
                    .feedback(0.25f, 0.8f, 2.0f)
                    .reverb(0.8f, 0.45f)
                    .eq(80.0f, 6000.0f)
                    .gain(0.480f));
    l.push_back(Patch("Pad", "Noise Choir")
                    .ratio(1)
                    .harmonics(0.0f)
                    .amp(0.9f, 2.0f, 0.8f, 2.0f)
                    .noise(0.9f)
                    .line(1, 0, 0.5f, 0.3f, 0.5f)
                    .line(2, 12, 0.4f, 0.4f, 0.4f)
                    .line(3, 24, 0.3f, 0.3f, 0.6f)
                    .stereo(0.8f)
                    .feedback(0.75f, 0.6f, 2.0f)
                    .eq(120.0f, 6000.0f)
                    .reverb(0.8f, 0.45f)
                    .gain(0.350f));
    l.push_back(Patch("Keys", "Comb Harpsichord")
                    .ratio(3)
                    .harmonics(0.5f)
                    .harmonicsFollowEnvelope()
                    .amp(0.001f, 0.9f, 0.0f, 0.15f)
                    .line(1, 12, 0.5f)
                    .line(2, 0, 0.3f)
                    .feedback(0.5f, 0.001f, 0.15f)
                    .stereo(0.4f)
                    .eq(150.0f, 10000.0f)
                    .gain(0.288f));
    // An organ: no velocity response.
    l.push_back(Patch("Keys", "Tremolo Organ")
                    .ratio(2)
                    .harmonics(0.1f)
                    .amp(0.01f, 0.16f, 0.55f, 0.15f)
                    .repeat(3)
                    .velocity(0.0f)
                    .line(1, 0, 0.3f, 0.1f, 5.0f)
                    .line(2, 0, 0.3f, 0.15f, 4.0f)
                    .stereo(0.8f)
                    .feedback(0.05f, 0.001f, 0.5f)
                    .eq(60.0f, 8000.0f)
                    .reverb(0.5f, 0.25f)
                    .gain(0.359f));
    l.push_back(Patch("Pluck", "Steel String")
                    .ratio(1)
                    .harmonics(0.2f)
                    .amp(0.001f, 0.3f, 0.0f, 0.5f)
                    .noise(0.6f)
                    .line(1, 0, 1.0f)
                    .feedback(0.9f, 0.001f, 1.5f)
                    .eq(80.0f, 9000.0f)
                    .gain(0.275f));
    l.push_back(Patch("Pluck", "Ping Pong Delay")
                    .ratio(3)
                    .harmonics(0.2f)
                    .amp(0.001f, 0.2f, 0.0f, 0.1f)
                    .echo(1, 0.0f, 0.0f)
                    .echo(2, 250.0f, 0.6f)
                    .echo(3, 125.0f, 0.6f)
                    .stereo(1.0f)
                    .feedback(0.85f, 0.001f, 4.0f)
                    .eq(120.0f, 8000.0f)
                    .gain(0.440f));
    l.push_back(Patch("FX", "Rain Stick")
                    .ratio(5)
                    .harmonics(0.6f)
                    .amp(0.005f, 0.09f, 0.0f, 0.6f)
                    .repeat(3)
                    .noise(0.9f)
                    .line(1, 0, 0.4f, 4.0f, 9.0f)
                    .line(2, 19, 0.3f, 6.0f, 7.0f)
                    .stereo(1.0f)
                    .feedback(0.3f, 0.01f, 1.0f)
                    .mono()
                    .eq(400.0f, 12000.0f)
                    .reverb(0.7f, 0.4f)
                    .gain(1.000f));
    l.push_back(Patch("FX", "Howling Comb")
                    .ratio(1)
                    .harmonics(0.1f)
                    .amp(0.3f, 1.0f, 0.8f, 0.8f)
                    .noise(0.2f)
                    .line(1, 0, 0.8f)
                    .line(2, 0, 0.8f, 0.3f, 0.2f)
                    .line(3, 0, 0.8f, 0.4f, 0.15f)
                    .stereo(0.6f)
                    .feedback(0.3f, 0.5f, 1.0f, true)
                    .mono()
                    .eq(70.0f, 7000.0f)
                    .reverb(0.7f, 0.35f)
                    .gain(0.682f));

    std::vector<FactoryPreset> out;
    for (const Patch& p : l) out.push_back(p.build());
    return out;
}

}  // namespace

const std::vector<FactoryPreset>& factoryPresets()
{
    static const std::vector<FactoryPreset> library = makeLibrary();
    return library;
}
