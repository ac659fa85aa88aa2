// The same linear congruential sequence as the Windows C runtime's rand(), so
// that the native build renders what the Windows build renders.
#include "source/engine/RuntimeRand.h"

#include <atomic>
#include <cstdint>

namespace {
// Shared by every instance in the process, like the runtime's own state. The
// relaxed load and store keep concurrent audio threads free of data races;
// they may draw the same value, as they may with the runtime.
std::atomic<uint32_t> g_state{1u};
}  // namespace

int runtimeRand()
{
    uint32_t state = g_state.load(std::memory_order_relaxed) * 214013u + 2531011u;
    g_state.store(state, std::memory_order_relaxed);
    return (int)((state >> 16) & 0x7FFFu);
}

void runtimeRandSeed(unsigned seed)
{
    g_state.store(seed, std::memory_order_relaxed);
}
