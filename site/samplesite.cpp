#include "site/samplesite.h"

#include "core/windows1252.h"
#include "site/faultmodes.h"
#include "site/samplepages.h"

#include <QDateTime>
#include <QLocale>

#include <chrono>

namespace zd {
namespace {

using namespace std::chrono_literals;

const QByteArray kPagePrefix = "/index.php?zip=";
const QByteArray kPageSuffix = "&amppagetype=main";
const QByteArray kHtml = "text/html; charset=windows-1252";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Only the bytes the program escapes (space, control bytes) are unescaped: any
// other "%" came from the entry itself and stays as it is.
QByteArray decodeSpaceAndControlEscapes(const QByteArray& text)
{
    QByteArray decoded;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0
            && hexDigit(text[i + 2]) >= 0) {
            const int byte = hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]);
            if (byte <= 0x20 || byte == 0x7F) {
                decoded += static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

QByteArray responseHead(int status, const QByteArray& framing)
{
    return HttpConnection::statusLine(status) + "Content-Type: " + kHtml + "\r\n" + framing
           + "Connection: close\r\n\r\n";
}

SiteAnswer sendPage(HttpConnection& connection, int status, const QByteArray& body, const QString& what)
{
    connection.sendResponse(status, body, kHtml);
    return {status, body.size(), what};
}

// Chunked transfer encoding with chunks of 1 to 9 bytes, pausing now and then so
// that they also travel in separate packets.
SiteAnswer sendInTinyChunks(HttpConnection& connection, const QByteArray& body)
{
    if (!connection.send(responseHead(200, "Transfer-Encoding: chunked\r\n")))
        return {200, 0, "tiny chunks, client gone"};
    qsizetype at = 0;
    for (int chunk = 0; at < body.size(); ++chunk) {
        const qsizetype size = std::min<qsizetype>(1 + chunk % 9, body.size() - at);
        const QByteArray frame = QByteArray::number(size, 16) + "\r\n" + body.mid(at, size) + "\r\n";
        if (!connection.send(frame) || (chunk % 16 == 15 && !connection.stall(1ms)))
            return {200, at, "tiny chunks, client gone"};
        at += size;
    }
    connection.send("0\r\n\r\n");
    return {200, body.size(), "tiny chunks"};
}

SiteAnswer sendCutOff(HttpConnection& connection, const QByteArray& body)
{
    const qsizetype half = body.size() / 2;
    connection.send(responseHead(200, "Content-Length: " + QByteArray::number(body.size()) + "\r\n"));
    connection.send(QByteArrayView(body).first(half));
    connection.close();
    return {200, half, "cut off after " + QString::number(half) + " of "
                           + QString::number(body.size()) + " bytes"};
}

SiteAnswer sendSlowDrip(HttpConnection& connection, const QByteArray& body)
{
    connection.send(responseHead(200, "Content-Length: " + QByteArray::number(body.size()) + "\r\n"));
    const bool whole = connection.sendInChunks(body, 64, 20ms);
    return {200, body.size(), whole ? "slow drip" : "slow drip, interrupted"};
}

QByteArray httpDateAfter(std::chrono::seconds delay)
{
    const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(delay.count());
    return QLocale::c().toString(when, "ddd, dd MMM yyyy hh:mm:ss 'GMT'").toLatin1();
}

QString transientPageName(FaultMode mode)
{
    switch (mode) {
    case FaultMode::TooManyRequests: return "Retry After Test Page";
    case FaultMode::TooManyRequestsUntil: return "Retry After Date Test Page";
    case FaultMode::UnavailableTwice: return "Third Try Test Page";
    default: return "Reset Test Page";
    }
}

// The fault of a transient mode, for a try on which it strikes.
SiteAnswer sendTransientFault(FaultMode mode, HttpConnection& connection, const QString& what)
{
    const QByteArray tooMany = "<html><body>Too many requests: try again later.</body></html>";
    switch (mode) {
    case FaultMode::TooManyRequests:
        connection.sendResponse(429, tooMany, kHtml, {{"Retry-After", "1"}});
        return {429, tooMany.size(), what};
    case FaultMode::TooManyRequestsUntil:
        connection.sendResponse(429, tooMany, kHtml, {{"Retry-After", httpDateAfter(2s)}});
        return {429, tooMany.size(), what};
    case FaultMode::UnavailableTwice:
        return sendPage(connection, 503, "<html><body>Busy: try again.</body></html>", what);
    default:
        connection.reset();
        return {0, 0, what};
    }
}

SiteAnswer answerTransient(FaultMode mode, int attempt, const QString& zip, HttpConnection& connection)
{
    const QString tryText = " (try " + QString::number(attempt) + ")";
    if (transientFaultStrikes(mode, attempt))
        return sendTransientFault(mode, connection, "fault: " + faultModeDescription(mode) + tryText);
    return sendPage(connection, 200, faultTestPage(zip, transientPageName(mode)), "page after the fault" + tryText);
}

bool isTransient(FaultMode mode)
{
    return mode == FaultMode::TooManyRequests || mode == FaultMode::TooManyRequestsUntil
           || mode == FaultMode::UnavailableTwice || mode == FaultMode::ResetFirst;
}

SiteAnswer answerFault(FaultMode mode, const HttpRequest& request, HttpConnection& connection)
{
    const QString what = "fault: " + faultModeDescription(mode);
    switch (mode) {
    case FaultMode::NotFoundWithBody: return sendPage(connection, 404, notFoundBody(), what);
    case FaultMode::EmptyBody: return sendPage(connection, 200, {}, what);
    case FaultMode::TinyChunks:
        return sendInTinyChunks(connection, faultTestPage("00001", "Tiny Chunks Test Page"));
    case FaultMode::CutOff: return sendCutOff(connection, faultTestPage("00002", "Cut Off Test Page"));
    case FaultMode::SlowDrip:
        return sendSlowDrip(connection, faultTestPage("00003", "Slow Drip Test Page"));
    case FaultMode::Redirect:
        connection.sendRedirect(302, kPagePrefix + "03053" + kPageSuffix);
        return {302, 0, what};
    case FaultMode::RedirectLoop:
        connection.sendRedirect(302, request.pathAndQuery());
        return {302, 0, what};
    case FaultMode::HighBytes: return sendPage(connection, 200, highBytesPage(), what);
    case FaultMode::BreaksOffInFigures: return sendPage(connection, 200, breaksOffInFiguresPage(), what);
    case FaultMode::BreaksOffInIncome: return sendPage(connection, 200, breaksOffInIncomePage(), what);
    default: return {};  // the transient modes are answered by answerTransient
    }
}

}  // namespace

SampleSite::SampleSite(SampleSiteSettings settings)
    : m_settings(std::move(settings)),
      m_census(m_settings.everyZip, m_settings.refuseKey),
      m_server([this](const HttpRequest& request, HttpConnection& connection) {
          handle(request, connection);
      })
{
    m_server.setKeepAlive(true);
}

int SampleSite::nextAttempt(const QString& zip)
{
    std::lock_guard lock(m_attemptsMutex);
    return ++m_attempts[zip];
}

SiteAnswer SampleSite::answerZip(const QString& zip, const HttpRequest& request,
                                 HttpConnection& connection)
{
    if (const std::optional<FaultMode> mode = faultModeForZip(zip)) {
        if (isTransient(*mode))
            return answerTransient(*mode, nextAttempt(zip), zip, connection);
        return answerFault(*mode, request, connection);
    }
    const std::optional<QString> page = m_settings.everyZip ? everyZipPage(zip) : samplePage(zip);
    if (page)
        return sendPage(connection, 200, encodeWindows1252(*page), "page of " + zip);
    return sendPage(connection, 200, encodeWindows1252(unknownZipPage(zip)), "unknown ZIP code");
}

SiteAnswer SampleSite::answerRobots(HttpConnection& connection)
{
    if (!m_settings.robots)
        return sendPage(connection, 404, encodeWindows1252(notAPageOfThisSite("/robots.txt")),
                        "no robots.txt");
    connection.sendResponse(200, *m_settings.robots, "text/plain");
    return {200, m_settings.robots->size(), "robots.txt"};
}

bool SampleSite::openLog(const QString& path, QString& error)
{
    m_log.setFileName(path);
    if (m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return true;
    error = m_log.errorString();
    return false;
}

bool SampleSite::start(quint16 port) { return m_server.listen(port); }

void SampleSite::stop()
{
    m_server.stop();
    std::lock_guard lock(m_logMutex);
    if (m_log.isOpen())
        m_log.close();
}

std::optional<QString> SampleSite::zipOfTarget(const QByteArray& pathAndQuery)
{
    if (!pathAndQuery.startsWith(kPagePrefix) || !pathAndQuery.endsWith(kPageSuffix)
        || pathAndQuery.size() < kPagePrefix.size() + kPageSuffix.size())
        return std::nullopt;
    const QByteArray raw = pathAndQuery.mid(kPagePrefix.size(),
                                            pathAndQuery.size() - kPagePrefix.size() - kPageSuffix.size());
    return decodeWindows1252(decodeSpaceAndControlEscapes(raw));
}

SiteAnswer SampleSite::answer(const HttpRequest& request, HttpConnection& connection)
{
    const QByteArray target = request.pathAndQuery();
    if (request.method != "GET")
        return sendPage(connection, 400, "Only GET is served here.\n", "not a GET request");
    if (const std::optional<QString> zip = zipOfTarget(target))
        return answerZip(*zip, request, connection);
    if (target == "/robots.txt")
        return answerRobots(connection);
    if (CensusApi::isApiTarget(target)) {
        const CensusApiReply reply = m_census.answer(target);
        connection.sendResponse(reply.status, reply.body, reply.contentType, reply.headers);
        return {reply.status, reply.body.size(), reply.what};
    }
    if (target == "/" || target == "/index.php")
        return sendPage(connection, 200, encodeWindows1252(indexPage(faultModeListHtml())), "front page");
    return sendPage(connection, 404, encodeWindows1252(notAPageOfThisSite(decodeWindows1252(target))),
                    "not a page of this site");
}

void SampleSite::handle(const HttpRequest& request, HttpConnection& connection)
{
    // The server keeps every request for tests; a long-running site has no use for them.
    m_server.clearRequests();
    if (m_settings.latency.count() > 0 && !connection.stall(m_settings.latency))
        return;  // the site is stopping
    log(request, answer(request, connection));
}

QByteArray SampleSite::logLine(const HttpRequest& request, const SiteAnswer& answer,
                               std::chrono::system_clock::time_point answered)
{
    using std::chrono::milliseconds;
    const qint64 arrivedMs =
        std::chrono::duration_cast<milliseconds>(request.arrived.time_since_epoch()).count();
    const qint64 tookMs = std::chrono::duration_cast<milliseconds>(answered - request.arrived).count();
    return QDateTime::fromMSecsSinceEpoch(arrivedMs, Qt::UTC).toString(Qt::ISODateWithMs).toUtf8()
           + ' ' + QByteArray::number(request.connection) + ' ' + request.method + ' '
           + (CensusApi::isApiTarget(request.pathAndQuery()) ? CensusApi::withoutKey(request.target) : request.target)
           + ' ' + QByteArray::number(answer.status) + ' '
           + QByteArray::number(answer.bodyBytes) + ' ' + QByteArray::number(tookMs) + ' '
           + answer.what.toUtf8() + '\n';
}

void SampleSite::log(const HttpRequest& request, const SiteAnswer& answer)
{
    const auto answered = std::chrono::system_clock::now();
    std::lock_guard lock(m_logMutex);
    if (!m_log.isOpen())
        return;
    m_log.write(logLine(request, answer, answered));
    m_log.flush();
}

}  // namespace zd
