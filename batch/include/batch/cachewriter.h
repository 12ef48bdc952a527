#pragma once

#include "batch/pagecache.h"

#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QThreadPool>

namespace zd {

// Writes pages into the cache on a thread of its own, so that a fetch never
// waits for the disk. At most kQueued pages wait to be written; a store beyond
// that waits for room. The first failure is kept for the caller to tell.
class CacheWriter {
public:
    static constexpr int kQueued = 256;

    explicit CacheWriter(const PageCache& cache);
    ~CacheWriter();  // writes what is queued
    CacheWriter(const CacheWriter&) = delete;
    CacheWriter& operator=(const CacheWriter&) = delete;

    void store(const QByteArray& url, const CachedPage& page);
    // Waits until every page queued is written.
    void finish();
    // The first failure so far, once; empty when there was none or it was taken.
    QString takeFailure();

private:
    const PageCache& m_cache;
    QThreadPool m_pool;
    QSemaphore m_room{kQueued};
    QMutex m_mutex;
    QString m_failure;
    bool m_failureTaken = false;
};

}  // namespace zd
