#include "source/engine/ModuleReverb.h"

#include <cmath>
#include <cstring>

#include "source/engine/EngineConstants.h"
#include "source/engine/Flush.h"

using namespace reverb_lines;

ModuleReverb::ModuleReverb()
{
    setSampleRate(kBaseRate);
}

void ModuleReverb::setSampleRate(float fs)
{
    const double rate = fs < kMaxScaledRate ? (fs > kBaseRate ? fs : kBaseRate) : kMaxScaledRate;
    const double scale = rate / kBaseRate;
    rateRatio_ = kBaseRate / rate;
    float* at = pool_;
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) {
            Comb& comb = combs_[c * kCombs + j];
            comb.size = scaled(kCombLength[j] + c * kRightExtra, scale);
            comb.index = 0;
            comb.buffer = at;
            at += comb.size;
        }
    }
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kAllpasses; ++j) {
            Allpass& ap = allpasses_[c * kAllpasses + j];
            ap.size = scaled(kAllpassLength[j] + c * kRightExtra, scale);
            ap.index = 0;
            ap.buffer = at;
            at += ap.size;
        }
    }
    clear();
    update();
}

void ModuleReverb::update()
{
    updateWet();
    if (freezeMode < 0.5f) {
        inputGain = 0.015f;
        roomSizeUsed = roomSize;
        dampUsed = damp;
    } else {
        inputGain = 0.0f;
        roomSizeUsed = 1.0f;
        dampUsed = 0.0f;
    }
    // The damping one-pole keeps its corner frequency at every rate.
    const float damp1 = rateRatio_ == 1.0 ? dampUsed : (float)std::pow((double)dampUsed, rateRatio_);
    for (Comb& comb : combs_) {
        comb.feedback = roomSizeUsed;
        comb.damp1 = damp1;
        comb.damp2 = 1.0f - damp1;
    }
}

void ModuleReverb::clear()
{
    std::memset(pool_, 0, sizeof pool_);
    for (Comb& comb : combs_) comb.filterStore = 0.0f;
}

void ModuleReverb::process(float inL, float inR, float& left, float& right)
{
    const float x = (inL + inR) * inputGain;
    float accL = 0.0f, accR = 0.0f;
    for (int j = 0; j < kCombs; ++j) {
        for (int c = 0; c < 2; ++c) {
            Comb& comb = combs_[c * kCombs + j];
            float y = flushByExponent(comb.buffer[comb.index]);
            comb.filterStore = flushByExponent(comb.damp1 * comb.filterStore + comb.damp2 * y);
            comb.buffer[comb.index] = comb.feedback * comb.filterStore + x;
            if (++comb.index >= comb.size) comb.index = 0;
            (c == 0 ? accL : accR) += y;
        }
    }
    for (int j = 0; j < kAllpasses; ++j) {
        for (int c = 0; c < 2; ++c) {
            Allpass& ap = allpasses_[c * kAllpasses + j];
            float& s = c == 0 ? accL : accR;
            float b = flushByExponent(ap.buffer[ap.index]);
            ap.buffer[ap.index] = b * ap.feedback + s;
            if (++ap.index >= ap.size) ap.index = 0;
            s = b - s;
        }
    }
    outL = wet1 * accL + wet2 * accR + dry * inL;
    outR = wet1 * accR + wet2 * outL + dry * inR;
    left = outL;
    right = outR;
}
