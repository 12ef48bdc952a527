#include "census/censuskeyproblem.h"

namespace zd {

QString missingCensusKeyMessage()
{
    return QStringLiteral("the Census Data API needs a key on every request, and none is set: set CENSUS_API_KEY, "
                          "store one with \"zipdemographics-cli census-key set\", or give --census-key-file FILE; "
                          "a key is free at %1")
        .arg(QLatin1String(kCensusKeySignupUrl));
}

QString refusedCensusKeyMessage()
{
    return QStringLiteral("the Census Data API refused the key: check that it is the whole key the Census Bureau "
                          "sent and that it was activated by the link in its e-mail (a new key: %1)")
        .arg(QLatin1String(kCensusKeySignupUrl));
}

bool looksLikeHtml(const QByteArray& body)
{
    const QByteArray start = body.left(4096).trimmed().left(200).toLower();
    return start.startsWith('<') && (start.contains("<html") || start.contains("<!doctype") || start.contains("<div")
                                     || start.contains("<head") || start.contains("<body"));
}

namespace {

bool isKeyPageAddress(const QString& address)
{
    return address.contains(QLatin1String("/missing_key.html")) || address.contains(QLatin1String("/invalid_key.html"))
           || address.contains(QLatin1String("/key_signup.html"));
}

// The API's key pages: "Missing Key" or "Invalid Key", saying that a key must
// come with each request.
bool isKeyPage(const QByteArray& body)
{
    if (!looksLikeHtml(body))
        return false;
    const QByteArray text = body.left(64 * 1024).toLower();
    for (const char* marker : {"<h1>invalid key</h1>", "<h1>missing key</h1>", "<title>invalid key</title>",
                               "<title>missing key</title>", "must be included with each data api request"}) {
        if (text.contains(marker))
            return true;
    }
    return false;
}

}  // namespace

bool isCensusKeyProblem(const CensusAnswerHead& head, const QByteArray& body)
{
    if (head.keyErrorHeader)
        return true;
    if (head.httpStatus >= 300 && head.httpStatus < 400)
        return isKeyPageAddress(head.redirectTo);
    return head.httpStatus == 200 && isKeyPage(body);
}

}  // namespace zd
