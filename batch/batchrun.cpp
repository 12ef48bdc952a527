#include "batch/batchrun.h"

#include "batch/runobserver.h"

#include <csignal>

namespace zd {
namespace {

// Hands the batch's entries, progress and warnings on to the run's observer.
class ForwardingObserver : public PageBatchObserver {
public:
    ForwardingObserver(const BatchRun::EntryReady& ready, const BatchRun::ProgressShown& shown,
                       RunObserver& observer)
        : m_ready(ready), m_shown(shown), m_observer(observer)
    {
    }

    void entryReady(qsizetype index, const PageResult* page) override { m_ready(index, page); }
    void progress(const BatchProgress& progress) override { m_observer.progress(m_shown(progress)); }
    void warning(const QString& text) override { m_observer.message("warning: " + text); }

private:
    const BatchRun::EntryReady& m_ready;
    const BatchRun::ProgressShown& m_shown;
    RunObserver& m_observer;
};

QString signalName(int signal) { return signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"); }

}  // namespace

BatchRun::BatchRun(const BatchSettings& settings, RunObserver& observer)
    : m_settings(settings), m_observer(observer)
{
}

PageBatchOptions BatchRun::options() const
{
    PageBatchOptions options;
    options.fetch.jobs = m_settings.jobs;
    options.fetch.rate = m_settings.rate;
    options.fetch.retry.retries = m_settings.retries;
    options.fetch.retry.base = m_settings.retryBase;
    options.fetch.retry.maxWait = m_settings.maxWait;
    options.fetch.largestPage = m_settings.maxPageSize;
    options.fetch.pauseAfterFetch = m_pauseAfterFetch;
    options.fetch.timeouts = {m_settings.timeoutSeconds, m_settings.timeoutSeconds};
    options.fetch.stop = m_settings.stopSignal;
    options.cacheFolder = m_settings.cacheFolder;
    options.maxAge = m_settings.maxAge;
    options.offline = m_settings.offline;
    options.ignoreRobots = m_settings.ignoreRobots || !m_settings.readsRobots;
    options.fetch.sentSuffix = m_settings.sentSuffix;
    options.fetch.transfer = m_settings.transfer;
    // A whole page may take --timeout; a source of larger answers sets its own deadline.
    if (options.fetch.transfer.overallSeconds <= 0)
        options.fetch.transfer.overallSeconds = m_settings.timeoutSeconds;
    options.fetch.deadline = m_settings.deadline;
    options.fetch.answerIsTransient = m_settings.answerIsTransient;
    options.worthKeeping = m_settings.worthKeeping;
    options.fetch.clock = m_settings.clock;
    return options;
}

std::optional<EarlyEnd> BatchRun::run(const QList<std::optional<QString>>& urls, const EntryReady& ready)
{
    return run(EntryAddresses{urls.size(), [&urls](qsizetype entry) { return urls[entry]; }}, ready);
}

std::optional<EarlyEnd> BatchRun::run(const EntryAddresses& entries, const EntryReady& ready)
{
    if (m_settings.ignoreRobots && !m_settings.offline)
        m_observer.message("warning: --ignore-robots: the site's robots.txt is not read, its rules and Crawl-delay are not kept");
    ForwardingObserver observer(ready, m_progressShown, m_observer);
    const PageBatchReport report = fetchPageBatch(entries, options(), observer);
    switch (report.end) {
    case PageBatchEnd::Done:
        return std::nullopt;
    case PageBatchEnd::RobotsForbid: return EarlyEnd{EndReason::RobotsForbid, report.message};
    case PageBatchEnd::CacheUnusable: return EarlyEnd{EndReason::CacheUnusable, report.message};
    case PageBatchEnd::Stopped:
        break;
    }
    return stopped(m_progressShown(report.progress));
}

std::optional<EarlyEnd> BatchRun::stopAfterwards(qsizetype entries) const
{
    if (!m_settings.stopSignal || m_settings.stopSignal->load() == 0)
        return std::nullopt;
    BatchProgress progress;
    progress.done = progress.total = entries;
    return stopped(progress);
}

EarlyEnd BatchRun::stopped(const BatchProgress& progress) const
{
    const int signal = m_settings.stopSignal ? m_settings.stopSignal->load() : 0;
    const QString message = QStringLiteral("stopped by %1 after %2 of %3 entries; ")
                                .arg(signalName(signal)).arg(progress.done).arg(progress.total)
                            + (m_settings.cacheFolder.isEmpty()
                                   ? QStringLiteral("with --cache DIR a rerun goes on where a run stopped")
                                   : QStringLiteral("the same command goes on where it stopped"));
    return {EndReason::Stopped, message, signal};
}

}  // namespace zd
