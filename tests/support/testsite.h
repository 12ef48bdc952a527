#pragma once

#include "site/loopbackhttpserver.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <mutex>

namespace zd::test {

// A demographics site on loopback for tests. It serves the page set for each zip
// code (any other gets the sample site's page for an unknown zip code, status 200)
// and, while it lives, the program's site host points at it and the wait after
// each lookup is cut to nothing, so lookups cost no seconds (a test that wants a
// wait sets its own after the site is up).
class TestSite {
public:
    TestSite();
    ~TestSite();
    TestSite(const TestSite&) = delete;
    TestSite& operator=(const TestSite&) = delete;

    // The zip code as the program puts it into the URL.
    void setPage(const QString& zip, const QString& html);
    // The page of the zip code arrives in pieces of pieceBytes with a pause
    // after each, announced by Content-Length; the connection closes after it.
    void setPageInPieces(const QString& zip, const QString& html, qsizetype pieceBytes,
                         std::chrono::milliseconds pause);
    // Answers the next requests, whatever their zip code, with these pages in
    // turn before falling back to the pages by zip code.
    void queuePages(const QStringList& htmls);

    LoopbackHttpServer& server() { return m_server; }
    qsizetype requestCount() const { return m_server.requestCount(); }
    // The raw zip value of each page request so far (robots.txt left out), in order.
    QList<QByteArray> requestedZips() const;

private:
    struct Pieces {
        qsizetype bytes = 0;
        std::chrono::milliseconds pause{0};
    };
    struct Answer {
        QByteArray body;
        Pieces pieces;  // no bytes: all at once
    };

    void answer(const HttpRequest& request, HttpConnection& connection);
    Answer answerFor(const HttpRequest& request);

    std::mutex m_mutex;
    QHash<QByteArray, QByteArray> m_pages;
    QHash<QByteArray, Pieces> m_pieces;
    QList<QByteArray> m_queued;
    double m_previousWait = 0;
    LoopbackHttpServer m_server;
};

// A loopback port with nothing listening on it: connections are refused.
quint16 refusingLoopbackPort();

}  // namespace zd::test
