#pragma once

#include "cli/batchsettings.h"
#include "cli/stopsignals.h"
#include "retrieval/pagebatch.h"

#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace zd {

class Console;

// A batch run by lookup or export: the settings turned into the fetch's
// options, the progress line on standard error, warnings, and SIGINT and
// SIGTERM handled as a clean stop for as long as the object lives.
class BatchRun {
public:
    using EntryReady = std::function<void(qsizetype index, const PageResult* page)>;

    BatchRun(const BatchSettings& settings, Console& console);

    // A pause after each fetch (lookup's --delay).
    void setPauseAfterFetch(std::chrono::milliseconds pause) { m_pauseAfterFetch = pause; }

    // Fetches the pages; entries come to `ready` in input order. Returns the
    // exit status when the run ended early (robots.txt, an unusable cache, a
    // signal), after saying why; nothing when every entry was delivered.
    std::optional<int> run(const QList<std::optional<QString>>& urls, const EntryReady& ready);

    // Ends the run's output: the summary line (and the progress line cleared).
    void finish(const QString& summary);

private:
    PageBatchOptions options() const;

    const BatchSettings& m_settings;
    Console& m_console;
    std::chrono::milliseconds m_pauseAfterFetch{0};
    StopSignals m_signals;  // from the start of the command to its end, writing included
};

}  // namespace zd
