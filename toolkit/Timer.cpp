#include "toolkit/Timer.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {
uint64_t (*g_clock)() = nullptr;

std::vector<CVSTGUITimer*>& runningTimers()
{
    static std::vector<CVSTGUITimer*> timers;
    return timers;
}

bool isRunningTimer(CVSTGUITimer* timer)
{
    auto& timers = runningTimers();
    return std::find(timers.begin(), timers.end(), timer) != timers.end();
}
}  // namespace

uint64_t toolkitTicks()
{
    if (g_clock) return g_clock();
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setToolkitClock(uint64_t (*clock)()) { g_clock = clock; }

CVSTGUITimer::CVSTGUITimer(CBaseObject* target, uint32_t periodMs, bool startNow) : m_target(target), m_period(periodMs)
{
    if (startNow) start();
}

CVSTGUITimer::CVSTGUITimer(std::function<void(CVSTGUITimer*)> callback, uint32_t periodMs, bool startNow)
    : m_callback(std::move(callback)), m_period(periodMs)
{
    if (startNow) start();
}

CVSTGUITimer::~CVSTGUITimer() { stop(); }

bool CVSTGUITimer::start()
{
    if (m_running) return false;
    m_running = true;
    m_nextFire = toolkitTicks() + m_period;
    runningTimers().push_back(this);
    return true;
}

bool CVSTGUITimer::stop()
{
    if (!m_running) return false;
    m_running = false;
    auto& timers = runningTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    return true;
}

void CVSTGUITimer::setFireTime(uint32_t periodMs)
{
    m_period = periodMs;
    if (m_running) m_nextFire = toolkitTicks() + m_period;
}

void CVSTGUITimer::fire()
{
    // A late idle fires once, not once per missed period.
    const uint64_t now = toolkitTicks();
    m_nextFire = std::max(m_nextFire + m_period, now);
    if (m_callback)
        m_callback(this);
    else if (m_target)
        m_target->notify(this, kMsgTimer);
}

void CVSTGUITimer::fireDueTimers()
{
    // A callback may stop or destroy any timer, itself included: work on a
    // copy and fire only those still running.
    const std::vector<CVSTGUITimer*> snapshot = runningTimers();
    const uint64_t now = toolkitTicks();
    for (CVSTGUITimer* timer : snapshot) {
        if (isRunningTimer(timer) && timer->m_nextFire <= now) timer->fire();
    }
}
