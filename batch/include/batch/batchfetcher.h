#pragma once

#include "retrieval/pagefetch.h"
#include "retrieval/pagetransfer.h"
#include "batch/batchclock.h"
#include "batch/retrypolicy.h"
#include "batch/throttle.h"

#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

namespace zd {

struct BatchOptions {
    int jobs = 2;      // transfers at once
    double rate = 2;   // request starts per second at most; 0: no cap
    RetryPolicy retry;
    // A pause each job takes after a fetch before its next one.
    std::chrono::milliseconds pauseAfterFetch{0};
    FetchTimeouts timeouts;
    qint64 largestPage = 0;  // bytes a page may hold; 0: no limit
    // Set (non-zero) from a signal handler: no new transfer starts, those in
    // flight get a short time to end, and the run returns unfinished.
    const std::atomic<int>* stop = nullptr;
    // Appended to every address as it is sent, and nowhere else: a secret such
    // as an API key stays out of the cache, the progress and the messages. A
    // suffix "&name=value" begins with "?" on an address without a query.
    QString sentSuffix;
    // How each transfer is made: the site's way by default.
    TransferStyle transfer;
    // An answer that arrived whole but asks to be tried again, as a retryable
    // status does (an API's general error text in a 200); none: status only.
    std::function<bool(const FetchOutcome&)> answerIsTransient;
    // Told when the site asks for a wait beyond the retry policy's longest.
    std::function<void(const QString&)> warning;
    // The time the batch goes by and waits on; none: the machine's steady clock.
    BatchClock* clock = nullptr;
    // When the run must end, by the clock: then no page starts, the transfers
    // in flight end, and every page not finished fails. None: no limit.
    std::optional<BatchClock::TimePoint> deadline;
};

// A wait the site asked for that --max-wait cut short: a Retry-After before a
// page is asked again, or robots.txt's Crawl-delay between any two requests.
struct CappedWait {
    enum class Kind { RetryAfter, CrawlDelay };
    Kind kind = Kind::RetryAfter;
    double askedSeconds = 0;  // what the site asked
    double keptSeconds = 0;   // what is waited: the --max-wait
};

// Fetches many pages on libcurl's multi interface: at most `jobs` transfers at
// once on connections kept alive between requests, started at the throttle's
// pace, transient failures tried again after a back-off. Pages finish in any
// order; each is reported once, with its final outcome. An answer whose status
// still asks to come back later after the last try counts as a failed transfer,
// and so does every page not finished when the options' deadline comes.
class BatchFetcher {
public:
    using Finished = std::function<void(qsizetype index, FetchOutcome&& outcome)>;
    using Tick = std::function<void()>;
    using MayStart = std::function<bool()>;
    // The address of page `index`, made when the page starts (a long run holds
    // no list of addresses).
    using UrlOf = std::function<QString(qsizetype index)>;

    BatchFetcher(const BatchOptions& options, Throttle& throttle);
    ~BatchFetcher();
    BatchFetcher(const BatchFetcher&) = delete;
    BatchFetcher& operator=(const BatchFetcher&) = delete;

    // Fetches every address; `tick` runs at least ten times a second of the
    // clock's time. A new page
    // (not a retry) starts only while `mayStart` allows it, so that a caller
    // that hands pages on in order holds a bounded number. False when stopped
    // before every page was finished.
    bool run(qsizetype count, const UrlOf& urlOf, const Finished& finished, const Tick& tick = {},
             const MayStart& mayStart = {});
    bool run(const QStringList& urls, const Finished& finished, const Tick& tick = {},
             const MayStart& mayStart = {});

    qsizetype requestsSent() const;
    qsizetype retriesSent() const;
    // The Retry-After cut to --max-wait that is being waited out now, if any.
    std::optional<CappedWait> cappedWaitNow() const;

private:
    struct Run;
    const BatchOptions m_options;
    Throttle& m_throttle;
    BatchClock& m_clock;
    qsizetype m_requests = 0;
    qsizetype m_retries = 0;
    std::optional<CappedWait> m_cappedRetry;
    BatchClock::TimePoint m_cappedRetryEnds;
};

}  // namespace zd
