#include "cli/batchrun.h"

#include "cli/console.h"
#include "cli/exitstatus.h"
#include "cli/progressline.h"
#include "cli/stopsignals.h"

#include <csignal>

namespace zd {
namespace {

class CliObserver : public PageBatchObserver {
public:
    CliObserver(const BatchRun::EntryReady& ready, Console& console, bool quiet)
        : m_ready(ready), m_console(console), m_progress(console.errorStream(), !quiet)
    {
    }

    void entryReady(qsizetype index, const PageResult* page) override
    {
        m_progress.clear();
        m_ready(index, page);
    }
    void progress(const BatchProgress& progress) override { m_progress.show(progress); }
    void warning(const QString& text) override
    {
        m_progress.clear();
        m_console.printError("warning: " + text);
    }
    void clear() { m_progress.clear(); }

private:
    const BatchRun::EntryReady& m_ready;
    Console& m_console;
    ProgressLine m_progress;
};

QString signalName(int signal) { return signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"); }

}  // namespace

BatchRun::BatchRun(const BatchSettings& settings, Console& console) : m_settings(settings), m_console(console) {}

PageBatchOptions BatchRun::options() const
{
    PageBatchOptions options;
    options.fetch.jobs = m_settings.jobs;
    options.fetch.rate = m_settings.rate;
    options.fetch.retry.retries = m_settings.retries;
    options.fetch.retry.base = m_settings.retryBase;
    options.fetch.pauseAfterFetch = m_pauseAfterFetch;
    options.fetch.timeouts = {m_settings.timeoutSeconds, m_settings.timeoutSeconds};
    options.cacheFolder = m_settings.cacheFolder;
    options.maxAge = m_settings.maxAge;
    options.offline = m_settings.offline;
    options.ignoreRobots = m_settings.ignoreRobots;
    return options;
}

std::optional<int> BatchRun::run(const QList<std::optional<QString>>& urls, const EntryReady& ready)
{
    PageBatchOptions batchOptions = options();
    batchOptions.fetch.stop = &m_signals.received();
    if (m_settings.ignoreRobots && !m_settings.offline)
        m_console.printError("warning: --ignore-robots: the site's robots.txt is not read, its rules and Crawl-delay are not kept");
    CliObserver observer(ready, m_console, m_settings.quiet);
    const PageBatchReport report = fetchPageBatch(urls, batchOptions, observer);
    observer.clear();
    switch (report.end) {
    case PageBatchEnd::Done:
        return std::nullopt;
    case PageBatchEnd::RobotsForbid:
    case PageBatchEnd::CacheUnusable:
        m_console.printError(report.message);
        return kExitUsage;
    case PageBatchEnd::Stopped:
        break;
    }
    m_console.printError(QStringLiteral("stopped by %1 after %2 of %3 entries; ")
                             .arg(signalName(m_signals.received().load()))
                             .arg(report.progress.done).arg(report.progress.total)
                         + (m_settings.cacheFolder.isEmpty()
                                ? QStringLiteral("with --cache DIR a rerun goes on where a run stopped")
                                : QStringLiteral("the same command goes on where it stopped")));
    return m_signals.exitStatus();
}

void BatchRun::finish(const QString& summary) { m_console.printError(summary); }

}  // namespace zd
