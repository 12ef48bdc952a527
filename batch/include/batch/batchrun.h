#pragma once

#include "batch/batchsettings.h"
#include "batch/earlyend.h"
#include "batch/pagebatch.h"

#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace zd {

class RunObserver;

// A batch run by lookup or export: the settings turned into the fetch's options,
// progress and warnings passed on to the observer, and a stop by signal reported
// with what a rerun does.
class BatchRun {
public:
    using EntryReady = std::function<void(qsizetype index, const PageResult* page)>;
    using ProgressShown = std::function<BatchProgress(const BatchProgress&)>;

    BatchRun(const BatchSettings& settings, RunObserver& observer);

    // A pause after each fetch (lookup's --delay).
    void setPauseAfterFetch(std::chrono::milliseconds pause) { m_pauseAfterFetch = pause; }
    // How the progress is told (on the way to the observer and when a stop is
    // reported), for a run whose pages are not its entries; as it is by default.
    void setProgressShown(ProgressShown shown) { m_progressShown = std::move(shown); }

    // Fetches the pages; entries come to `ready` in input order. Returns why
    // the run ended early (robots.txt, an unusable cache, a signal); nothing
    // when every entry was delivered.
    std::optional<EarlyEnd> run(const EntryAddresses& entries, const EntryReady& ready);
    std::optional<EarlyEnd> run(const QList<std::optional<QString>>& urls, const EntryReady& ready);

    // After the batch: a stop by signal raised since (while the results were
    // written, say); nothing when none was.
    std::optional<EarlyEnd> stopAfterwards(qsizetype entries) const;

private:
    PageBatchOptions options() const;
    EarlyEnd stopped(const BatchProgress& progress) const;

    const BatchSettings& m_settings;
    RunObserver& m_observer;
    std::chrono::milliseconds m_pauseAfterFetch{0};
    ProgressShown m_progressShown = [](const BatchProgress& progress) { return progress; };
};

}  // namespace zd
