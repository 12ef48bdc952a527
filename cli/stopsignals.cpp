#include "cli/stopsignals.h"

#include <csignal>

namespace zd {
namespace {
std::atomic<int> g_received{0};
struct sigaction g_previousInt;
struct sigaction g_previousTerm;

extern "C" void recordSignal(int signal) { g_received.store(signal); }
}  // namespace

StopSignals::StopSignals()
{
    struct sigaction action = {};
    action.sa_handler = &recordSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
}

const std::atomic<int>& StopSignals::received() const { return g_received; }

}  // namespace zd
