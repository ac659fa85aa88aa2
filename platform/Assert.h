// Assertions that stay active in every build. A failed check is reported
// with the source's relative path, line and expression, and execution goes
// on: the plug-in must never take the host down for an internal slip.
#pragma once

namespace Platform {

// Reports a failed assertion: one line on the standard error stream, and to the
// recorder when a test has installed one.
void reportAssertion(const char* source, int line, const char* expression);

using AssertionRecorder = void (*)(const char* source, int line, const char* expression);
void setAssertionRecorder(AssertionRecorder recorder);

}  // namespace Platform

#define ONDREL_ASSERT(source, expression)                                            \
    do {                                                                             \
        if (!(expression)) Platform::reportAssertion(source, __LINE__, #expression); \
    } while (0)
