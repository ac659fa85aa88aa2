#include "source/engine/ModuleReverb.h"

#include <cstring>

#include "source/engine/Flush.h"

namespace {
constexpr int kCombLength[ModuleReverb::kCombs] = {1115, 1188, 1277, 1355, 1422, 1491, 1556, 1616};
constexpr int kAllpassLength[ModuleReverb::kAllpasses] = {555, 440, 340, 224};
constexpr int kRightExtra = 23;
}  // namespace

ModuleReverb::ModuleReverb()
{
    int b = 0;
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) {
            Comb& comb = combs_[c * kCombs + j];
            comb.size = kCombLength[j] + c * kRightExtra;
            comb.buffer = buffers_[b++];
        }
    }
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kAllpasses; ++j) {
            Allpass& ap = allpasses_[c * kAllpasses + j];
            ap.size = kAllpassLength[j] + c * kRightExtra;
            ap.buffer = buffers_[b++];
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
    for (Comb& comb : combs_) {
        comb.feedback = roomSizeUsed;
        comb.damp1 = dampUsed;
        comb.damp2 = 1.0f - dampUsed;
    }
}

void ModuleReverb::clear()
{
    std::memset(buffers_, 0, sizeof buffers_);
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
