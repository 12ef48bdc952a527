#pragma once

#include "batch/pagebatch.h"

#include <QString>

namespace zd {

// How a run of lookup, export or show reaches the person who started it: its
// results, its messages, and how far it has come. The command line shows them on
// standard output and standard error; tests keep them.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Result text, as it is (lookup's lines, show's rows).
    virtual void output(const QString& text) = 0;
    // True once any result text did not arrive.
    [[nodiscard]] virtual bool outputFailed() = 0;
    // One message line: a warning, an entry's problem, why a run stopped, the summary.
    virtual void message(const QString& text) = 0;
    // How far the batch has come.
    virtual void progress(const BatchProgress&) {}
};

// An observer that keeps nothing, for a caller that shows no progress line and no
// notes (the window): what it must say, a source gives back as a value.
class UnseenRun : public RunObserver {
public:
    void output(const QString&) override {}
    bool outputFailed() override { return false; }
    void message(const QString&) override {}
};

}  // namespace zd
