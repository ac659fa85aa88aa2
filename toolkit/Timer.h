#pragma once
// Timers that fire on the user-interface thread, from the frames' idle.

#include "toolkit/Base.h"

#include <cstdint>
#include <functional>

// Milliseconds of a monotonic clock.
uint64_t toolkitTicks();
// Replaces the clock (tests); null restores the real one.
void setToolkitClock(uint64_t (*clock)());

class CVSTGUITimer : public CBaseObject {
public:
    static constexpr const char* kMsgTimer = "timer fired";

    // Sends kMsgTimer to `target` every `periodMs`.
    CVSTGUITimer(CBaseObject* target, uint32_t periodMs, bool startNow = false);
    // Calls `callback` every `periodMs`.
    CVSTGUITimer(std::function<void(CVSTGUITimer*)> callback, uint32_t periodMs, bool startNow = false);
    ~CVSTGUITimer() override;

    bool start();
    bool stop();
    bool isRunning() const { return m_running; }
    void setFireTime(uint32_t periodMs);
    uint32_t getFireTime() const { return m_period; }

    // Fires every running timer that is due. Called by CFrame::idle.
    static void fireDueTimers();

private:
    void fire();

    CBaseObject* m_target = nullptr;
    std::function<void(CVSTGUITimer*)> m_callback;
    uint32_t m_period;
    uint64_t m_nextFire = 0;
    bool m_running = false;
};
