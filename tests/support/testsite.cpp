#include "tests/support/testsite.h"

#include "core/siteconfig.h"
#include "core/windows1252.h"
#include "retrieval/locationlookup.h"
#include "retrieval/pagefetch.h"
#include "site/samplepages.h"
#include "site/samplesite.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zd::test {

TestSite::TestSite()
    : m_server([this](const HttpRequest& request, HttpConnection& connection) { answer(request, connection); })
{
    if (!m_server.listen())
        throw std::runtime_error("test site: " + m_server.errorString().toStdString());
    setDemographicsHostOverride(QString::fromLatin1(m_server.hostAndPort()));
    m_previousWait = lookupWaitSeconds();
    setLookupWaitSeconds(0);
}

TestSite::~TestSite()
{
    m_server.stop();
    setDemographicsHostOverride(QString());
    setLookupWaitSeconds(m_previousWait);
}

void TestSite::setPage(const QString& zip, const QString& html)
{
    std::lock_guard lock(m_mutex);
    m_pages.insert(encodeRequestUrl(zip), encodeWindows1252(html));
    m_pieces.remove(encodeRequestUrl(zip));
}

void TestSite::setPageInPieces(const QString& zip, const QString& html, qsizetype pieceBytes,
                               std::chrono::milliseconds pause)
{
    std::lock_guard lock(m_mutex);
    m_pages.insert(encodeRequestUrl(zip), encodeWindows1252(html));
    m_pieces.insert(encodeRequestUrl(zip), {pieceBytes, pause});
}

void TestSite::queuePages(const QStringList& htmls)
{
    std::lock_guard lock(m_mutex);
    for (const QString& html : htmls)
        m_queued.append(encodeWindows1252(html));
}

QList<QByteArray> TestSite::requestedZips() const
{
    QList<QByteArray> zips;
    for (const HttpRequest& request : m_server.requests()) {
        if (request.pathAndQuery() != "/robots.txt")
            zips.append(request.queryValue("zip"));
    }
    return zips;
}

void TestSite::answer(const HttpRequest& request, HttpConnection& connection)
{
    // No robots.txt: the command line's batches may fetch every page.
    if (request.pathAndQuery() == "/robots.txt") {
        connection.sendResponse(404, "no robots.txt", "text/plain");
        return;
    }
    const Answer answer = answerFor(request);
    if (answer.pieces.bytes <= 0) {
        connection.sendResponse(200, answer.body);
        return;
    }
    const QByteArray head = HttpConnection::statusLine(200)
                            + "Content-Type: text/html; charset=windows-1252\r\nContent-Length: "
                            + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n";
    if (connection.send(head))
        connection.sendInChunks(answer.body, answer.pieces.bytes, answer.pieces.pause);
}

TestSite::Answer TestSite::answerFor(const HttpRequest& request)
{
    const QByteArray zip = request.queryValue("zip");
    std::lock_guard lock(m_mutex);
    if (!m_queued.isEmpty())
        return {m_queued.takeFirst(), {}};
    if (const auto page = m_pages.constFind(zip); page != m_pages.constEnd())
        return {*page, m_pieces.value(zip)};
    const QString asked = SampleSite::zipOfTarget(request.pathAndQuery()).value_or(QString());
    return {encodeWindows1252(unknownZipPage(asked)), {}};
}

quint16 refusingLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);  // bound but never listening: the port now refuses
    return ntohs(address.sin_port);
}

}  // namespace zd::test
