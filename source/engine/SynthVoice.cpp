#include "source/engine/SynthVoice.h"

#include <cmath>
#include <cstring>

#include "source/engine/EngineConstants.h"

SynthVoice::SynthVoice()
{
    setSampleRate(kBaseRate);
    modSmoothing_ = Lanes{0.5f, 0.5f, 0.5f, 0.0f};
    for (int k = 0; k < kLines; ++k) setModulationRate(k, 1.0f);
    lfoStep_[3] = 0.0f;  // the unused lane never draws
}

void SynthVoice::setSampleRate(float fs)
{
    sampleRate_ = fs;
    carrier_.setSampleRate(fs);
    modulator_.setSampleRate(fs);
    noteFrequency_ = 440.0f;
    harmonics_ = modulatorPm_ = carrierPm_ = carrierOut_ = modulatorOut_ = 0.0f;
    pmSmoothing_ = kTwoPi * 6800.0f / fs;
    const float m = 2.0f * kTwoPi / fs;
    modSmoothing_ = Lanes{m, m, m, 0.0f};
    // Per-frame glides keep their times in seconds (the numbers are 44.1 kHz's).
    const double frames = (double)fs / kBaseRate;
    delayGlide_ = fs == kBaseRate ? 0.0025f : (float)(1.0 - std::pow(1.0 - 0.0025, 1.0 / frames));
    noteGlideKeep_ = fs == kBaseRate ? 0.9f : (float)std::pow(0.9, 1.0 / frames);
    noteGlideTake_ = fs == kBaseRate ? 0.1f : 1.0f - noteGlideKeep_;
    noteGlideMoving_ = true;
    lowCoef_ = kTwoPi / fs * 3800.0f;
    highCoef_ = kTwoPi / fs * 120.0f;
    feedbackAmount_ = 0.0f;
    lineLevel_ = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
    feedbackLow_ = feedbackHigh_ = 0.0f;
    stereoSpread_ = 0.0f;
    clearLines();
}

void SynthVoice::clearLines()
{
    std::memset(buffer_, 0, sizeof buffer_);
    silentRun_ = reach_ = 0;
}

void SynthVoice::recover()
{
    harmonics_ = modulatorPm_ = carrierPm_ = carrierOut_ = modulatorOut_ = 0.0f;
    carrier_.phase = carrier_.pmInput = 0.0f;
    modulator_.phase = modulator_.pmInput = 0.0f;
    feedbackAmount_ = feedbackLow_ = feedbackHigh_ = 0.0f;
    smoothedMod_ = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
    const Lanes one = {1.0f, 1.0f, 1.0f, 0.0f};
    baseDelayMs_ = targetDelay_ = smoothedDelay_ = one;
    noteGlideMoving_ = true;
    clearLines();
}

void VoiceCore::setNoteFrequency(float f)
{
    noteFrequency_ = f;
    carrier_.setFrequency(f);
    modulator_.setFrequency(f);
    float fc = 10175.0f - 5.625f * f;
    fc = fc < 2300.0f ? 2300.0f : (fc > 6800.0f ? 6800.0f : fc);
    pmSmoothing_ = kTwoPi / sampleRate_ * fc;
}
