#pragma once

#include <functional>

namespace zd {

// The application-wide pointer (busy or default), kept apart from the main
// window's own MousePointer. The window installs handlers that show it; without
// them (command line, tests) only the depth is kept.
class ApplicationPointer {
public:
    static void installHandlers(std::function<void()> showBusy, std::function<void()> restore);
    static void setBusy();
    static void restore();
    // How many busy settings are not yet restored; 0 means the default pointer.
    static int busyDepth();
};

// Sets the busy pointer for its lifetime and restores it on every path out,
// also when a failure passes through.
class BusyPointerScope {
public:
    BusyPointerScope() { ApplicationPointer::setBusy(); }
    ~BusyPointerScope() { ApplicationPointer::restore(); }
    BusyPointerScope(const BusyPointerScope&) = delete;
    BusyPointerScope& operator=(const BusyPointerScope&) = delete;
};

}  // namespace zd
