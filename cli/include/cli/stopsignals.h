#pragma once

#include <atomic>

namespace zd {

// SIGINT and SIGTERM end a batch cleanly instead of killing the process: the
// handler only records the signal, and the batch stops at its next check.
class StopSignals {
public:
    StopSignals();   // installs the handlers
    ~StopSignals();  // puts the previous ones back
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal received; 0 while none.
    const std::atomic<int>& received() const;
};

}  // namespace zd
