#include "source/engine/Equalizer.h"

#include <cmath>
#include <initializer_list>

#include "source/engine/ParameterInfo.h"

Equalizer::Equalizer()
{
    setHighPassValue(0.0f);
    setLowPassValue(0.0f);
    setNotchValue(0.0f);
    setNotchWidthValue(0.0f);
    setNotchDepthValue(0.0f);
}

void Equalizer::setHighPassValue(float v) { highPassHz_ = parameterValue(kEQHPHz, v); }
void Equalizer::setLowPassValue(float v) { lowPassHz_ = parameterValue(kEQLPHz, v); }
void Equalizer::setNotchValue(float v) { notchHz_ = parameterValue(kEQBRHz, v); }
void Equalizer::setNotchWidthValue(float v) { notchWidthHz_ = parameterValue(kEQBRBW, v); }
void Equalizer::setNotchDepthValue(float v) { notchDepth_ = parameterValue(kEQBRGain, v); }

void Equalizer::design()
{
    for (int c = 0; c < 2; ++c) {
        lowPass_[c].designLowPass(lowPassHz_);
        highPass_[c].designHighPass(highPassHz_);
        notch_[c].designNotch(notchHz_, notchWidthHz_);
    }
}

void Equalizer::resetDefaults(float fs)
{
    sampleRate_ = fs;
    last_ = older_ = History();
    for (int c = 0; c < 2; ++c) {
        ModuleBiquad* sections[3] = {&lowPass_[c], &highPass_[c], &notch_[c]};
        for (ModuleBiquad* s : sections) {
            s->reset();
            s->setSampleRate(fs);
        }
        lowPass_[c].designLowPass(8000.0);
        highPass_[c].designHighPass(111.0);
        notch_[c].designNotch(2000.0, 280.0);
    }
}

bool Equalizer::statesBelow(double level) const
{
    for (const History* h : {&last_, &older_})
        for (const Doubles& v : {h->in, h->lowPass, h->notch1, h->notch2, h->mix, h->highPass})
            if (!(std::fabs(v[0]) < level && std::fabs(v[1]) < level)) return false;
    return true;
}

void Equalizer::clearStates()
{
    last_ = older_ = History();
    for (int c = 0; c < 2; ++c) {
        lowPass_[c].reset();
        highPass_[c].reset();
        notch_[c].reset();
    }
}

float Equalizer::curveFrequency(int i) { return powf(769.23077f, (float)i * 0.0019569471f) * 26.0f; }

void Equalizer::computeCurve()
{
    const double fs = sampleRate_;
    for (int i = 0; i < kCurvePoints; ++i) {
        double f = curveFrequency(i);
        double hp = highPass_[0].magnitudeAt(f, fs);
        double lp = lowPass_[0].magnitudeAt(f, fs);
        double a = hp < lp ? hp : lp;
        double nt = notch_[0].magnitudeAt(f, fs) * (1.0 - notchDepth_) + notchDepth_;
        curve_[i] = (float)(nt < a ? nt : a);
    }
}
