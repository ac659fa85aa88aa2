// Placeholder engine frame: silence with the parameter bookkeeping. Replaced by
// the full engine.
#include "SynthEngine.h"

#include <cmath>
#include <cstring>

struct SynthEngine::State {
    float params[kNumParams] = {};
    float rate = 44100.0f;
    float scope[kScopeLength] = {};
    float curve[kEqCurvePoints] = {};
    bool peakReady = false;
};

SynthEngine::SynthEngine() : s_(new State) {}
SynthEngine::~SynthEngine() { delete s_; }
void SynthEngine::setup(float sampleRate) { s_->rate = sampleRate; }
void SynthEngine::setSampleRate(float rate) { s_->rate = rate; }
float SynthEngine::sampleRate() const { return s_->rate; }
void SynthEngine::setParameter(int index, float value)
{
    if (index >= 0 && index < kNumParams) s_->params[index] = value;
}
float SynthEngine::parameter(int index) const
{
    return (index >= 0 && index < kNumParams) ? s_->params[index] : 0.0f;
}
void SynthEngine::suspend() {}
void SynthEngine::resume() {}
void SynthEngine::setEvents(const VstEvents*) {}
void SynthEngine::process(float* outL, float* outR, int frames, bool)
{
    if (frames <= 0) return;
    if (outL) std::memset(outL, 0, sizeof(float) * (size_t)frames);
    if (outR) std::memset(outR, 0, sizeof(float) * (size_t)frames);
}
float SynthEngine::masterTune() const
{
    return powf((float)pow(2.0, 1.0 / 12.0), 5.0f * s_->params[3] - 2.5f);
}
float SynthEngine::eqHighPassHz() const { return powf(80.0f, s_->params[34]) * 20.0f; }
float SynthEngine::eqLowPassHz() const { return powf(12.658228f, s_->params[35]) * 1580.0f; }
float SynthEngine::eqNotchHz() const { return powf(240.0f, s_->params[36]) * 50.0f; }
float SynthEngine::eqNotchWidthHz() const { return powf(680.0f, s_->params[37]) * 10.0f; }
float SynthEngine::eqNotchDepth() const { return 0.9999874f * s_->params[38] + 1.26e-05f; }
const float* SynthEngine::scopeBuffer() const { return s_->scope; }
int SynthEngine::scopeWriteIndex() const { return 0; }
int SynthEngine::scopeLength() const { return kScopeLength; }
float SynthEngine::peakL() const { return 0; }
float SynthEngine::peakR() const { return 0; }
bool SynthEngine::peakReady() const { return s_->peakReady; }
void SynthEngine::clearPeakReady() { s_->peakReady = false; }
const float* SynthEngine::eqCurve() const { return s_->curve; }
bool SynthEngine::takeFloatGuardReport(char*, int, char*, int) { return false; }
