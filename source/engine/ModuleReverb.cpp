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
    usedFrames_ = (int)(at - pool_);
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
    std::memset(pool_, 0, usedFrames_ * sizeof pool_[0]);
    for (Lanes& store : combStore_) store = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
}

bool ModuleReverb::statesBelow(float level) const
{
    // The largest magnitude, without a branch per value.
    float largest = 0.0f;
    for (int i = 0; i < usedFrames_; ++i) {
        const float a = std::fabs(pool_[i]);
        largest = a > largest ? a : largest;
    }
    for (const Lanes& store : combStore_)
        for (int k = 0; k < 4; ++k) largest = std::fabs(store[k]) > largest ? std::fabs(store[k]) : largest;
    return largest < level;
}

void ModuleReverb::process(float inL, float inR, float& left, float& right)
{
    processBlock(&inL, &inR, &wet1, &wet2, &dry, &left, &right, 1);
}

namespace {
typedef float Lanes __attribute__((vector_size(16)));
typedef int IntLanes __attribute__((vector_size(16)));

// flushByExponent of each lane.
inline Lanes flushLanes(Lanes x)
{
    const Lanes tiny = {1.17549435e-38f, 1.17549435e-38f, 1.17549435e-38f, 1.17549435e-38f};
    const IntLanes magnitude = {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
    return (Lanes)((IntLanes)x & magnitude) < tiny ? Lanes{0.0f, 0.0f, 0.0f, 0.0f} : x;
}

// Rows become columns: r[k][c] -> out[c][k].
inline void transpose(const Lanes* r, Lanes* out)
{
    const Lanes t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 1, 5);
    const Lanes t1 = __builtin_shufflevector(r[2], r[3], 0, 4, 1, 5);
    const Lanes t2 = __builtin_shufflevector(r[0], r[1], 2, 6, 3, 7);
    const Lanes t3 = __builtin_shufflevector(r[2], r[3], 2, 6, 3, 7);
    out[0] = __builtin_shufflevector(t0, t1, 0, 1, 4, 5);
    out[1] = __builtin_shufflevector(t0, t1, 2, 3, 6, 7);
    out[2] = __builtin_shufflevector(t2, t3, 0, 1, 4, 5);
    out[3] = __builtin_shufflevector(t2, t3, 2, 3, 6, 7);
}
}  // namespace

// Four combs side by side over n frames. Per comb and frame: y = the line at
// the read position (flushed), store = damp1 x store + damp2 x y (flushed),
// the line takes feedback x store + x, and the position moves on (wrapping).
// Four frames at a time while no comb wraps within them: no comb reads what
// it writes in the same four frames (each line is far longer). The gains and
// line pointers are copied into locals first: the compiler cannot tell that
// the stores into the lines leave the members unchanged.
void ModuleReverb::runCombs(int group, const float* x, float (*y)[kMaxBlock], int n)
{
    float* const line[4] = {combBuffer_[4 * group], combBuffer_[4 * group + 1], combBuffer_[4 * group + 2],
                            combBuffer_[4 * group + 3]};
    const float feedback = combFeedback_, damp1 = combDamp1_, damp2 = combDamp2_;
    IntLanes at = combIndex_[group];
    const IntLanes size = combSize_[group];
    Lanes store = combStore_[group];
    int t = 0;
    while (t < n) {
        // Steps of four frames before the first comb reaches its line's end
        // (the one that reaches it exactly wraps after the last step).
        const IntLanes room = size - at;
        int steps = (n - t) / 4;
        for (int c = 0; c < 4; ++c) steps = room[c] / 4 < steps ? room[c] / 4 : steps;
        if (steps > 0) {
            for (const int end = t + 4 * steps; t < end; t += 4) {
                Lanes byComb[4], byFrame[4];
                for (int c = 0; c < 4; ++c) {
                    std::memcpy(&byComb[c], line[c] + at[c], sizeof(Lanes));
                    byComb[c] = flushLanes(byComb[c]);
                    std::memcpy(y[c] + t, &byComb[c], sizeof(Lanes));
                }
                transpose(byComb, byFrame);
                for (int k = 0; k < 4; ++k) {
                    store = flushLanes(damp1 * store + damp2 * byFrame[k]);
                    byFrame[k] = feedback * store + x[t + k];
                }
                transpose(byFrame, byComb);
                for (int c = 0; c < 4; ++c) std::memcpy(line[c] + at[c], &byComb[c], sizeof(Lanes));
                at += 4;
            }
            at = at >= size ? IntLanes{0, 0, 0, 0} : at;
            continue;
        }
        Lanes v = flushLanes(Lanes{line[0][at[0]], line[1][at[1]], line[2][at[2]], line[3][at[3]]});
        store = flushLanes(damp1 * store + damp2 * v);
        const Lanes w = feedback * store + x[t];
        for (int c = 0; c < 4; ++c) {
            line[c][at[c]] = w[c];
            y[c][t] = v[c];
        }
        const IntLanes one = at + 1;
        at = one >= size ? IntLanes{0, 0, 0, 0} : one;
        ++t;
    }
    combIndex_[group] = at;
    combStore_[group] = store;
}

// One allpass over n frames, in place: b = the line at the read position
// (flushed), the line takes b x feedback + s, and s becomes b - s. Four frames
// at a time while the position does not reach the line's end within them.
void ModuleReverb::runAllpass(Allpass& ap, float* s, int n)
{
    float* const buffer = ap.buffer;
    const float feedback = ap.feedback;
    const int size = ap.size;
    int index = ap.index;
    int t = 0;
    while (t < n) {
        const int quads = (n - t < size - index ? n - t : size - index) / 4;
        if (quads > 0) {
            for (const int end = t + 4 * quads; t < end; t += 4, index += 4) {
                Lanes b, in;
                std::memcpy(&b, buffer + index, sizeof b);
                std::memcpy(&in, s + t, sizeof in);
                b = flushLanes(b);
                const Lanes w = b * feedback + in;
                const Lanes out = b - in;
                std::memcpy(buffer + index, &w, sizeof w);
                std::memcpy(s + t, &out, sizeof out);
            }
            if (index >= size) index = 0;
            continue;
        }
        const float b = flushByExponent(buffer[index]);
        buffer[index] = b * feedback + s[t];
        if (++index >= size) index = 0;
        s[t] = b - s[t];
        ++t;
    }
    ap.index = index;
}

void ModuleReverb::processBlock(const float* inL, const float* inR, const float* wet1s, const float* wet2s,
                                const float* drys, float* left, float* right, int n)
{
    float x[kMaxBlock];
    for (int t = 0; t < n; ++t) x[t] = (inL[t] + inR[t]) * inputGain;
    float y[2 * kCombs][kMaxBlock];
    for (int g = 0; g < kCombGroups; ++g) runCombs(g, x, y + 4 * g, n);
    // Each channel's combs summed in comb order, from 0.
    float accL[kMaxBlock], accR[kMaxBlock];
    for (int t = 0; t < n; ++t) accL[t] = accR[t] = 0.0f;
    for (int c = 0; c < kCombs; ++c)
        for (int t = 0; t < n; ++t) accL[t] += y[c][t];
    for (int c = kCombs; c < 2 * kCombs; ++c)
        for (int t = 0; t < n; ++t) accR[t] += y[c][t];
    for (int j = 0; j < kAllpasses; ++j) {
        runAllpass(allpasses_[j], accL, n);
        runAllpass(allpasses_[kAllpasses + j], accR, n);
    }
    // Each frame's right output takes the same frame's left one; the members
    // keep the last frame's (set after the loop, so that it runs several
    // frames at a time).
    for (int t = 0; t < n; ++t) {
        const float l = wet1s[t] * accL[t] + wet2s[t] * accR[t] + drys[t] * inL[t];
        left[t] = l;
        right[t] = wet1s[t] * accR[t] + wet2s[t] * l + drys[t] * inR[t];
    }
    if (n > 0) {
        outL = left[n - 1];
        outR = right[n - 1];
    }
}

void ModuleReverb::clearAndRewind(int frames)
{
    clear();
    for (int g = 0; g < kCombGroups; ++g)
        for (int c = 0; c < 4; ++c) combIndex_[g][c] = (combIndex_[g][c] - frames + combSize_[g][c]) % combSize_[g][c];
    for (Allpass& ap : allpasses_) ap.index = (ap.index - frames + ap.size) % ap.size;
}
