#pragma once

#include "batch/cachewriter.h"
#include "batch/pagebatch.h"
#include "batch/pagecache.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace zd {

// What the page cache answers for a batch, and what goes back into it. Without
// a cache folder it answers nothing and keeps nothing.
class CachedPages {
public:
    enum class Verdict {
        Kept,     // whole and young enough (offline: whole): read when its entry's turn comes
        ToFetch,  // to be fetched from the site
        Missing,  // offline, and not in the cache
        Damaged,  // offline, and cut short, changed or no longer believed
    };

    CachedPages(const PageBatchOptions& options, PageBatchObserver& observer);

    // Opens the folder (when one is given); false with the reason.
    bool open(QString& message);
    Verdict judge(const QString& url);
    // Once every address was judged: one warning for the pages found damaged.
    void warnOfDamaged();
    // The page of an address judged Kept, read again now.
    PageResult read(const QString& url) const;
    // What an entry gets for a page that was Missing or Damaged.
    static PageResult absent(Verdict verdict);

    // A page fetched whole goes into the cache (unless the caller would not keep it).
    void keep(const QString& url, const FetchOutcome& outcome);
    // Waits until the pages kept are written; a failure is told as a warning.
    void finish();

private:
    bool usable(const QString& url, const CachedPage& kept) const;
    PageResult fromCache(const CachedPage& kept) const;
    void warnOfFailure();

    const PageBatchOptions& m_options;
    PageBatchObserver& m_observer;
    PageCache m_cache;
    std::optional<CacheWriter> m_writer;  // once the cache is open; gone before the cache
    QDateTime m_oldest;                   // kept pages older than this are fetched again
    qsizetype m_damaged = 0;
};

}  // namespace zd
