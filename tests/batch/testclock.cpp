#include "tests/batch/testclock.h"

#include <algorithm>

namespace zd::test {
namespace {
using namespace std::chrono_literals;
// The longest real wait on the network in one go, so that the engine looks at
// its stop flag and its clock again.
constexpr auto kNetworkSlice = 50ms;
}  // namespace

TestClock::TestClock(double networkScale)
    : m_networkScale(networkScale), m_start(std::chrono::steady_clock::time_point(std::chrono::hours(24 * 365)))
{
}

BatchClock::TimePoint TestClock::now() const { return m_start + std::chrono::nanoseconds(m_sinceStart.load()); }

double TestClock::secondsAt(TimePoint at) const { return std::chrono::duration<double>(at - m_start).count(); }

void TestClock::waitUntil(TimePoint until, const NetworkWait& network)
{
    if (!network) {
        ++m_sleeps;
        advanceBy(until - now(), until);
        return;
    }
    auto realLimit = kNetworkSlice;
    if (m_networkScale > 0) {
        const auto scaled = std::chrono::duration<double>(until - now()) / m_networkScale;
        realLimit = std::min(realLimit, std::chrono::ceil<std::chrono::milliseconds>(scaled));
    }
    const auto began = std::chrono::steady_clock::now();
    network(std::max(realLimit, 0ms));
    const auto took = std::chrono::steady_clock::now() - began;
    advanceBy(std::chrono::duration_cast<std::chrono::nanoseconds>(took * m_networkScale), until);
}

// Moves the time on by `step`, never past `until` nor backwards.
void TestClock::advanceBy(std::chrono::nanoseconds step, TimePoint until)
{
    const auto limit = std::chrono::duration_cast<std::chrono::nanoseconds>(until - m_start).count();
    const auto wanted = std::min(m_sinceStart.load() + std::max<std::chrono::nanoseconds::rep>(step.count(), 0), limit);
    m_sinceStart = std::max(m_sinceStart.load(), wanted);
}

}  // namespace zd::test
