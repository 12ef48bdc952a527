#include "census/censussource.h"

#include <QUrl>

namespace zd {

std::optional<DataSource> dataSourceNamed(const QString& name)
{
    if (name == "site")
        return DataSource::Site;
    if (name == "census")
        return DataSource::Census;
    return std::nullopt;
}

QString builtInCensusUrl() { return QStringLiteral("https://api.census.gov"); }

QString censusUrlProblem(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("it is not an address such as https://api.census.gov");
    if (!url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment() || (url.path() != "" && url.path() != "/"))
        return QStringLiteral("it must name only the scheme, the host and the port");
    const QString host = url.host();
    const bool loopback = host == "127.0.0.1" || host == "::1" || host == "localhost";
    if (url.scheme() == "https" || (url.scheme() == "http" && loopback))
        return {};
    if (url.scheme() == "http")
        return QStringLiteral("plain http:// is only for a loopback address; the API is https://");
    return QStringLiteral("it must start with https://");
}

std::optional<int> parseCensusYear(const QString& text)
{
    bool ok = false;
    const int year = text.toInt(&ok);
    if (!ok || text.size() != 4 || year < kOldestCensusYear || year > 2100)
        return std::nullopt;
    return year;
}

QString censusNotice()
{
    return QStringLiteral("This product uses the Census Bureau Data API but is not endorsed or certified by the "
                          "Census Bureau.");
}

}  // namespace zd
