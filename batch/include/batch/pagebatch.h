#pragma once

#include "batch/batchfetcher.h"

#include <QList>
#include <QString>

#include <chrono>
#include <optional>

namespace zd {

struct PageBatchOptions {
    BatchOptions fetch;
    QString cacheFolder;                      // empty: no cache
    std::chrono::seconds maxAge{30 * 86400};  // older cached pages are fetched again
    bool offline = false;                     // answer from the cache only
    bool ignoreRobots = false;
    // Which whole answers of an address (as kept, without the sent suffix) go
    // into the cache, and which kept ones are used; none: every one. A kept
    // answer it refuses counts as damaged: it is fetched again.
    std::function<bool(const QString& url, const FetchOutcome&)> worthKeeping;
};

// One entry's page: what the fetch (or the cache) gave.
struct PageResult {
    FetchOutcome outcome;
    bool fromCache = false;
};

// How far a batch has come, for a progress display.
struct BatchProgress {
    qsizetype done = 0;       // entries delivered
    qsizetype total = 0;
    qsizetype failed = 0;     // entries whose page could not be had
    qsizetype requests = 0;   // requests sent so far, retries and robots.txt included
    qsizetype pagesLeft = 0;  // distinct pages still to come from the site (none from the cache)
    qsizetype pagesFetched = 0;  // pages that came from the site so far
    double seconds = 0;       // since the batch began
    // A wait the site asked for, cut to --max-wait, while it holds the batch back.
    std::optional<CappedWait> cappedWait;
};

class PageBatchObserver {
public:
    virtual ~PageBatchObserver() = default;
    // Every entry, in input order, once all before it are done. `page` is null
    // for an entry that needs no page.
    virtual void entryReady(qsizetype index, const PageResult* page) = 0;
    virtual void progress(const BatchProgress&) {}
    virtual void warning(const QString&) {}
};

enum class PageBatchEnd {
    Done,             // every entry was delivered
    Stopped,          // the stop flag was raised; the entries after the last delivered one were not
    RobotsForbid,     // robots.txt disallows a page; nothing was fetched
    CacheUnusable,    // the cache folder cannot be used; nothing was fetched
};

struct PageBatchReport {
    PageBatchEnd end = PageBatchEnd::Done;
    QString message;  // why it ended early
    BatchProgress progress;
};

// The address of each of `count` entries, made whenever it is needed rather
// than held, so that a list of every ZIP code costs no list of addresses: none
// for an entry that needs no page.
struct EntryAddresses {
    qsizetype count = 0;
    std::function<std::optional<QString>(qsizetype entry)> addressOf;
};

// Gets the page of every entry that has an address (nothing for the others),
// each distinct address once: from the cache when it holds a page young enough,
// else from the site after robots.txt has been read, politely and in parallel.
// Pages fetched whole go into the cache as they arrive.
PageBatchReport fetchPageBatch(const EntryAddresses& entries, const PageBatchOptions& options,
                               PageBatchObserver& observer);
// The same, with the addresses in a list.
PageBatchReport fetchPageBatch(const QList<std::optional<QString>>& urls, const PageBatchOptions& options,
                               PageBatchObserver& observer);

}  // namespace zd
