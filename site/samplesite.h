#pragma once

#include "site/httpserver.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <mutex>
#include <optional>

namespace zd {

// What the site sent for one request, for its log.
struct SiteAnswer {
    int status = 0;
    qint64 bodyBytes = 0;
    QString what;
};

// The sample demographics site: pages of made-up figures for a dozen ZIP codes,
// a page without a location cell for any other, and fault modes chosen by ZIP
// code. It also answers requests sent to it as a proxy (absolute URL targets).
class SampleSite {
public:
    SampleSite();
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
    static SiteAnswer answer(const HttpRequest& request, HttpConnection& connection);

private:
    void handle(const HttpRequest& request, HttpConnection& connection);
    void log(const HttpRequest& request, const SiteAnswer& answer);

    LoopbackHttpServer m_server;
    std::mutex m_logMutex;
    QFile m_log;
};

}  // namespace zd
