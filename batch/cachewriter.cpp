#include "batch/cachewriter.h"

#include <QMutexLocker>

namespace zd {

CacheWriter::CacheWriter(const PageCache& cache) : m_cache(cache) { m_pool.setMaxThreadCount(1); }

CacheWriter::~CacheWriter() { finish(); }

void CacheWriter::store(const QByteArray& url, const CachedPage& page)
{
    m_room.acquire();
    m_pool.start([this, url, page] {
        QString error;
        if (!m_cache.store(url, page, error)) {
            const QMutexLocker lock(&m_mutex);
            if (m_failure.isEmpty())
                m_failure = error;
        }
        m_room.release();
    });
}

void CacheWriter::finish() { m_pool.waitForDone(); }

QString CacheWriter::takeFailure()
{
    const QMutexLocker lock(&m_mutex);
    if (m_failureTaken || m_failure.isEmpty())
        return {};
    m_failureTaken = true;
    return m_failure;
}

}  // namespace zd
