#pragma once

#include "batch/runobserver.h"
#include "cli/progressline.h"

namespace zd {

class Console;

// A run shown on the console: results on standard output, messages on standard
// error, and the progress line on standard error while it runs, cleared before
// anything else is written and at the end.
class ConsoleObserver : public RunObserver {
public:
    ConsoleObserver(Console& console, bool showProgress);

    void output(const QString& text) override;
    bool outputFailed() override;
    void message(const QString& text) override;
    void progress(const BatchProgress& progress) override;

private:
    Console& m_console;
    ProgressLine m_progress;
};

}  // namespace zd
