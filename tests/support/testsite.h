#pragma once

#include "site/loopbackhttpserver.h"

#include <QHash>
#include <QString>

#include <mutex>

namespace zd::test {

// A demographics site on loopback for tests. It serves the page set for each zip
// code (any other gets the not-found page, status 200) and, while it lives, the
// program's site host points at it and the wait after each lookup is cut to
// nothing, so lookups cost no seconds.
class TestSite {
public:
    TestSite();
    ~TestSite();
    TestSite(const TestSite&) = delete;
    TestSite& operator=(const TestSite&) = delete;

    // The zip code as the program puts it into the URL.
    void setPage(const QString& zip, const QString& html);
    // Answers the next requests, whatever their zip code, with these pages in
    // turn before falling back to the pages by zip code.
    void queuePages(const QStringList& htmls);

    LoopbackHttpServer& server() { return m_server; }
    qsizetype requestCount() const { return m_server.requestCount(); }
    // The raw zip value of each page request so far (robots.txt left out), in order.
    QList<QByteArray> requestedZips() const;

private:
    QByteArray pageFor(const HttpRequest& request);

    std::mutex m_mutex;
    QHash<QByteArray, QByteArray> m_pages;
    QList<QByteArray> m_queued;
    double m_previousWait = 0;
    LoopbackHttpServer m_server;
};

// A loopback port with nothing listening on it: connections are refused.
quint16 refusingLoopbackPort();

}  // namespace zd::test
