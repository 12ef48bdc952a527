#include "site/httprequest.h"

namespace zd {
namespace {

bool sameAsciiCaseInsensitive(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && qstrnicmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

QByteArray HttpRequest::header(QByteArrayView name) const
{
    for (const auto& [key, value] : headers) {
        if (sameAsciiCaseInsensitive(key, name))
            return value;
    }
    return {};
}

bool HttpRequest::wantsKeepAlive() const
{
    const QByteArray connection = header("Connection").toLower();
    if (version == "HTTP/1.1")
        return !connection.contains("close");
    return version == "HTTP/1.0" && connection.contains("keep-alive");
}

bool HttpRequest::hasHeader(QByteArrayView name) const
{
    for (const auto& entry : headers) {
        if (sameAsciiCaseInsensitive(entry.first, name))
            return true;
    }
    return false;
}

QByteArray HttpRequest::pathAndQuery() const
{
    const qsizetype scheme = target.indexOf("://");
    if (scheme < 0 || target.startsWith('/'))
        return target;
    const qsizetype slash = target.indexOf('/', scheme + 3);
    return slash < 0 ? QByteArray("/") : target.mid(slash);
}

QByteArray HttpRequest::queryValue(QByteArrayView name) const
{
    const QByteArray path = pathAndQuery();
    const qsizetype question = path.indexOf('?');
    if (question < 0)
        return {};
    for (const QByteArray& pair : path.mid(question + 1).split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals >= 0 && QByteArrayView(pair).first(equals) == name)
            return pair.mid(equals + 1);
    }
    return {};
}

}  // namespace zd
