#pragma once

#include "batch/batchfetcher.h"
#include "batch/pagebatch.h"
#include "batch/throttle.h"

#include <QString>

#include <functional>
#include <optional>

namespace zd {

// The site's robots.txt, read once before the first page is fetched: whether it
// lets the batch fetch every page it needs, and the Crawl-delay it asks for,
// handed to the throttle (cut to --max-wait).
class RobotsGate {
public:
    enum class Verdict {
        Allowed,    // also when there is no robots.txt or it cannot be read (with a warning)
        Forbidden,  // a page is disallowed: nothing may be fetched
        Stopped,    // the stop came while it was read; nothing is said of it
    };
    using AddressText = std::function<QString(qsizetype)>;

    RobotsGate(const BatchOptions& fetch, Throttle& throttle, PageBatchObserver& observer);

    // Reads robots.txt and judges the `count` addresses to fetch.
    Verdict read(qsizetype count, const AddressText& addressOf);

    // Why the pages are forbidden.
    QString message() const { return m_message; }
    qsizetype requestsSent() const { return m_requests; }
    // The Crawl-delay beyond --max-wait that was cut, if any.
    std::optional<CappedWait> cappedCrawlDelay() const { return m_cappedCrawlDelay; }

private:
    bool allowsAll(const QByteArray& robotsTxt, qsizetype count, const AddressText& addressOf);
    double cappedCrawlDelay(double asked);

    const BatchOptions& m_fetch;
    Throttle& m_throttle;
    PageBatchObserver& m_observer;
    QString m_message;
    qsizetype m_requests = 0;
    std::optional<CappedWait> m_cappedCrawlDelay;
};

}  // namespace zd
