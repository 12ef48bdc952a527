#include "tests/reliability/reentry/reentrysite.h"

#include "core/siteconfig.h"
#include "core/windows1252.h"
#include "tests/support/samplepages.h"

#include <chrono>
#include <stdexcept>

namespace zd::test {

const Place* placeOf(const QString& zip)
{
    for (const Place& place : kPlaces) {
        if (zip == QLatin1String(place.zip))
            return &place;
    }
    return nullptr;
}

QString pageHtml(const Place& place)
{
    const QString zip = QLatin1String(place.zip);
    const QString name = QLatin1String(place.name);
    return zip == QLatin1String(kBrokenZip) ? brokenPlacePageHtml(zip, name) : placePageHtml(zip, name);
}

QList<Row> rowsOfPlace(const Place& place)
{
    const QString zip = QLatin1String(place.zip);
    const QString name = QLatin1String(place.name);
    return zip == QLatin1String(kBrokenZip) ? brokenPlaceRows(zip, name) : placeRows(zip, name);
}

StressSite::StressSite()
    : m_notFound(encodeWindows1252(notFoundPageHtml())),
      m_server([this](const HttpRequest& request, HttpConnection& connection) {
          serve(request, connection);
      })
{
    for (const Place& place : kPlaces)
        m_pages.insert(QByteArray(place.zip), encodeWindows1252(pageHtml(place)));
    if (!m_server.listen())
        throw std::runtime_error("stress site: " + m_server.errorString().toStdString());
    setDemographicsHostOverride(QString::fromLatin1(m_server.hostAndPort()));
}

StressSite::~StressSite()
{
    m_server.stop();
    setDemographicsHostOverride(QString());
}

// The pages are only read once the server runs, so its threads share them freely.
void StressSite::serve(const HttpRequest& request, HttpConnection& connection)
{
    const QByteArray zip = request.queryValue("zip");
    const QByteArray body = m_pages.value(zip, m_notFound);
    if (zip != kSlowZip) {
        connection.sendResponse(200, body);
        return;
    }
    const QByteArray head = HttpConnection::statusLine(200)
                            + "Content-Type: text/html; charset=windows-1252\r\nContent-Length: "
                            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
    if (connection.send(head))
        connection.sendInChunks(body, 160, std::chrono::milliseconds(2));
}

}  // namespace zd::test
