#pragma once

#include "retrieval/pagetransfer.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

namespace zd {

class BatchClock;
struct FetchOutcome;

// How lookup and export fetch their pages (the options of a long run).
struct BatchSettings {
    int jobs = 2;                                  // --jobs, 1 to 16
    double rate = 2;                               // --rate, starts per second; 0: no cap
    int retries = 3;                               // --retries
    std::chrono::milliseconds retryBase{1000};     // first back-off (ZIPDEMOGRAPHICS_RETRY_BASE_MS, for tests)
    QString cacheFolder;                           // --cache DIR
    std::chrono::seconds maxAge{30 * 86400};       // --max-age
    bool offline = false;                          // --offline
    bool ignoreRobots = false;                     // --ignore-robots
    bool partial = false;                          // --partial, export only
    int timeoutSeconds = 60;                       // --timeout: connect, stall, and a whole page
    // --time-limit: when the whole run must end; none: no limit. Set by startTimeLimit.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    qint64 maxPageSize = 8 * 1024 * 1024;          // --max-page-size, bytes
    std::chrono::seconds maxWait{600};             // --max-wait: Retry-After and Crawl-delay at most
    // Set to a signal's number (SIGINT, SIGTERM) to end the run cleanly; none: runs to its end.
    const std::atomic<int>* stopSignal = nullptr;
    // For a source other than the site (its caller sets them): see BatchOptions
    // and PageBatchOptions.
    bool readsRobots = true;
    QString sentSuffix;
    TransferStyle transfer;
    std::function<bool(const FetchOutcome&)> answerIsTransient;
    std::function<bool(const QString& url, const FetchOutcome&)> worthKeeping;
    // The time the run goes by and waits on; none: the machine's steady clock.
    BatchClock* clock = nullptr;
};

// Starts the run's time limit (--time-limit) now, by the run's clock.
void startTimeLimit(BatchSettings& settings, std::chrono::seconds limit);

// The first back-off of a retry can be shortened by ZIPDEMOGRAPHICS_RETRY_BASE_MS,
// so that tests of retries take milliseconds; people have no use for it.
void takeRetryBaseFromEnvironment(BatchSettings& settings);

}  // namespace zd
