#include "Assert.h"

#include <atomic>
#include <cstdio>

namespace Platform {

static std::atomic<AssertionRecorder> g_recorder{nullptr};

void setAssertionRecorder(AssertionRecorder recorder) { g_recorder = recorder; }

void reportAssertion(const char* source, int line, const char* expression)
{
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, source, line);
    if (AssertionRecorder r = g_recorder.load()) r(source, line, expression);
}

}  // namespace Platform
