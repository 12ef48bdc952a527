#include "core/eventpump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

namespace zd {
namespace {
std::atomic<long long> g_pumps{0};
}

void pumpEvents()
{
    ++g_pumps;
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void pumpEventsAndSleep(double maxSeconds)
{
    const int milliseconds = maxSeconds <= 0 ? 0 : static_cast<int>(maxSeconds * 1000.0 + 0.999);
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    ++g_pumps;
    // The timer wakes the wait at the deadline; any other event wakes it sooner.
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.start(milliseconds);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

long long pumpCount() { return g_pumps.load(); }

}  // namespace zd
