#include "source/engine/ModuleReverb.h"

#include <cmath>
#include <cstring>

#include "source/engine/EngineConstants.h"
#include "source/engine/Flush.h"

using namespace reverb_lines;

ModuleReverb::ModuleReverb() { setSampleRate(kBaseRate); }

void ModuleReverb::setSampleRate(float fs)
{
    const double rate = fs < kMaxScaledRate ? (fs > kBaseRate ? fs : kBaseRate) : kMaxScaledRate;
    const double scale = rate / kBaseRate;
    rateRatio_ = kBaseRate / rate;
    float* at = pool_;
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) {
            const int n = c * kCombs + j;
            const int size = scaled(kCombLength[j] + c * kRightExtra, scale);
            combSize_[n / 4][n % 4] = size;
            combIndex_[n / 4][n % 4] = 0;
            combBuffer_[n] = at;
            at += size;
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
    combFeedback_ = roomSizeUsed;
    combDamp1_ = damp1;
    combDamp2_ = 1.0f - damp1;
}

void ModuleReverb::clear()
{
    std::memset(pool_, 0, sizeof pool_);
    for (Lanes& store : combStore_) store = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
}

void ModuleReverb::process(float inL, float inR, float& left, float& right)
{
    const float x = (inL + inR) * inputGain;
    // Each comb, as four lanes at a time:
    //   y = flushByExponent(line[index])
    //   store = flushByExponent(damp1 x store + damp2 x y)
    //   line[index] = feedback x store + x; index = (index + 1) mod size
    // and each channel's output is the sum of its eight y in comb order.
    const Lanes tiny = {1.17549435e-38f, 1.17549435e-38f, 1.17549435e-38f, 1.17549435e-38f};
    const Lanes zero = {0.0f, 0.0f, 0.0f, 0.0f};
    const IntLanes one = {1, 1, 1, 1};
    const IntLanes magnitude = {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
    Lanes ys[kCombGroups];
    for (int g = 0; g < kCombGroups; ++g) {
        float* const* line = combBuffer_ + 4 * g;
        const IntLanes at = combIndex_[g];
        Lanes y = {line[0][at[0]], line[1][at[1]], line[2][at[2]], line[3][at[3]]};
        y = (Lanes)((IntLanes)y & magnitude) < tiny ? zero : y;
        Lanes store = combDamp1_ * combStore_[g] + combDamp2_ * y;
        store = (Lanes)((IntLanes)store & magnitude) < tiny ? zero : store;
        combStore_[g] = store;
        const Lanes w = combFeedback_ * store + x;
        line[0][at[0]] = w[0];
        line[1][at[1]] = w[1];
        line[2][at[2]] = w[2];
        line[3][at[3]] = w[3];
        const IntLanes next = at + one;
        combIndex_[g] = next >= combSize_[g] ? IntLanes{0, 0, 0, 0} : next;
        ys[g] = y;
    }
    float accL = 0.0f, accR = 0.0f;
    for (int k = 0; k < 4; ++k) accL += ys[0][k];
    for (int k = 0; k < 4; ++k) accL += ys[1][k];
    for (int k = 0; k < 4; ++k) accR += ys[2][k];
    for (int k = 0; k < 4; ++k) accR += ys[3][k];
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
