#include "batch/cachedpages.h"

#include "core/windows1252.h"
#include "retrieval/entrystatus.h"
#include "retrieval/requesturl.h"

namespace zd {

CachedPages::CachedPages(const PageBatchOptions& options, PageBatchObserver& observer)
    : m_options(options), m_observer(observer), m_cache(options.cacheFolder),
      m_oldest(QDateTime::currentDateTimeUtc().addSecs(-options.maxAge.count()))
{
}

bool CachedPages::open(QString& message)
{
    if (m_options.cacheFolder.isEmpty())
        return true;
    QString error;
    if (!m_cache.open(error, m_options.offline ? PageCache::Use::ReadOnly : PageCache::Use::ReadWrite)) {
        message = "cannot use the cache folder \"" + m_options.cacheFolder + "\": " + error;
        return false;
    }
    m_writer.emplace(m_cache);
    return true;
}

CachedPages::Verdict CachedPages::judge(const QString& url)
{
    CacheLookup kept;
    if (!m_options.cacheFolder.isEmpty())
        kept = m_cache.lookUp(encodeRequestUrl(url));
    if (kept.kind == CacheLookup::Kind::Found && !usable(url, kept.page))
        kept.kind = CacheLookup::Kind::Damaged;
    m_damaged += kept.kind == CacheLookup::Kind::Damaged ? 1 : 0;
    // Young enough, and no error answer that an earlier version kept.
    const bool fresh = kept.page.fetched >= m_oldest && isSuccessStatus(kept.page.httpStatus);
    if (kept.kind == CacheLookup::Kind::Found && (m_options.offline || fresh))
        return Verdict::Kept;
    if (!m_options.offline)
        return Verdict::ToFetch;
    return kept.kind == CacheLookup::Kind::Damaged ? Verdict::Damaged : Verdict::Missing;
}

// A kept answer that the caller would not keep now (one an earlier version
// kept, or one changed on the disk that still matches its checksum) is of no use.
bool CachedPages::usable(const QString& url, const CachedPage& kept) const
{
    return !m_options.worthKeeping || m_options.worthKeeping(url, fromCache(kept).outcome);
}

void CachedPages::warnOfDamaged()
{
    if (m_damaged == 0)
        return;
    m_observer.warning(QStringLiteral("%1 %2 in the cache folder \"%3\" %4 cut short, changed or unreadable; %5")
                           .arg(m_damaged)
                           .arg(m_damaged == 1 ? "page" : "pages", m_options.cacheFolder,
                                m_damaged == 1 ? "was" : "were",
                                m_options.offline ? QStringLiteral("they count as not in the cache")
                                                  : QStringLiteral("they are fetched again")));
}

PageResult CachedPages::read(const QString& url) const
{
    const CacheLookup kept = m_cache.lookUp(encodeRequestUrl(url));
    if (kept.kind != CacheLookup::Kind::Found)
        return absent(kept.kind == CacheLookup::Kind::Damaged ? Verdict::Damaged : Verdict::Missing);
    return fromCache(kept.page);
}

PageResult CachedPages::absent(Verdict verdict)
{
    PageResult page;
    page.outcome.transportError = verdict == Verdict::Damaged ? QStringLiteral("the page in the cache is damaged")
                                                              : QStringLiteral("the page is not in the cache");
    return page;
}

PageResult CachedPages::fromCache(const CachedPage& kept) const
{
    PageResult page;
    if (m_options.fetch.transfer.keepsBytes)
        page.outcome.bytes = kept.body;
    else
        page.outcome.body = decodeWindows1252(kept.body);
    page.outcome.complete = true;
    page.outcome.httpStatus = kept.httpStatus;
    page.fromCache = true;
    return page;
}

void CachedPages::keep(const QString& url, const FetchOutcome& outcome)
{
    // An error answer is no page to keep: the next run asks again.
    if (!m_writer || !outcome.complete || !isSuccessStatus(outcome.httpStatus)
        || (m_options.worthKeeping && !m_options.worthKeeping(url, outcome)))
        return;
    const QByteArray bytes = m_options.fetch.transfer.keepsBytes ? outcome.bytes : encodeWindows1252(outcome.body);
    m_writer->store(encodeRequestUrl(url), {bytes, outcome.httpStatus, QDateTime::currentDateTimeUtc()});
    warnOfFailure();
}

void CachedPages::finish()
{
    if (!m_writer)
        return;
    m_writer->finish();
    warnOfFailure();
}

void CachedPages::warnOfFailure()
{
    const QString failure = m_writer->takeFailure();
    if (!failure.isEmpty())
        m_observer.warning("cannot keep pages in the cache folder \"" + m_options.cacheFolder + "\": " + failure);
}

}  // namespace zd
