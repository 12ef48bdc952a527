#pragma once

#include "site/loopbackhttpserver.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>

namespace zd {

// How the site behaves beyond its fixed pages, from its command line.
struct SampleSiteSettings {
    bool everyZip = false;                  // a made-up place for every five-digit ZIP code
    std::chrono::milliseconds latency{0};   // the wait before each answer
    std::optional<QByteArray> robots;       // what /robots.txt serves; nothing: a 404
};

// What the site sent for one request, for its log.
struct SiteAnswer {
    int status = 0;
    qint64 bodyBytes = 0;
    QString what;
};

// The sample demographics site: pages of made-up figures for a dozen ZIP codes
// (or for every five-digit one), a page without a location cell for any other,
// and fault modes chosen by ZIP code. It also answers requests sent to it as a
// proxy (absolute URL targets), and keeps connections alive between requests.
class SampleSite {
public:
    explicit SampleSite(SampleSiteSettings settings = {});
    SampleSite(const SampleSite&) = delete;
    SampleSite& operator=(const SampleSite&) = delete;

    // Appends one line per request to the file from now on; false with a reason.
    [[nodiscard]] bool openLog(const QString& path, QString& error);
    [[nodiscard]] bool start(quint16 port = 0);
    void stop();

    quint16 port() const { return m_server.port(); }
    QByteArray errorString() const { return m_server.errorString(); }

    // The ZIP code a request target asks for: the target must be the page address
    // "/index.php?zip=ZIP&amppagetype=main" (also as an absolute URL). Percent
    // escapes of spaces and control bytes, which the program sends that way, are
    // decoded; the bytes are Windows-1252.
    static std::optional<QString> zipOfTarget(const QByteArray& pathAndQuery);
    SiteAnswer answer(const HttpRequest& request, HttpConnection& connection);

    // One log line: when the request arrived (UTC, milliseconds), the connection's
    // number, method, target, status (0: none, the connection was reset), body
    // bytes sent, milliseconds until the answer was sent, and what was served.
    static QByteArray logLine(const HttpRequest& request, const SiteAnswer& answer,
                              std::chrono::system_clock::time_point answered);

private:
    void handle(const HttpRequest& request, HttpConnection& connection);
    void log(const HttpRequest& request, const SiteAnswer& answer);
    SiteAnswer answerZip(const QString& zip, const HttpRequest& request, HttpConnection& connection);
    SiteAnswer answerRobots(HttpConnection& connection);
    // 1 for the first request for this ZIP code, 2 for the next, and so on.
    int nextAttempt(const QString& zip);

    SampleSiteSettings m_settings;
    LoopbackHttpServer m_server;
    std::mutex m_attemptsMutex;
    QHash<QString, int> m_attempts;
    std::mutex m_logMutex;
    QFile m_log;
};

}  // namespace zd
