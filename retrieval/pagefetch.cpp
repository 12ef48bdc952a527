#include "retrieval/pagefetch.h"

#include "core/besideeventloop.h"
#include "core/windows1252.h"
#include "retrieval/pagetransfer.h"

#include <curl/curl.h>

namespace zd {
namespace {
FetchTimeouts& currentTimeouts()
{
    static FetchTimeouts timeouts;
    return timeouts;
}
}  // namespace

QByteArray encodeRequestUrl(const QString& url)
{
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray bytes = encodeWindows1252(url);
    QByteArray encoded;
    encoded.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

namespace {
FetchOutcome transferPage(const QString& url, const FetchTimeouts& timeouts)
{
    try {
        initialiseCurlOnce();
        PageTransfer transfer(url, timeouts);
        if (!transfer.ready())
            return transfer.finish(CURLE_FAILED_INIT);
        return transfer.finish(curl_easy_perform(transfer.handle()));
    } catch (...) {
        FetchOutcome outcome;
        outcome.transportError = QStringLiteral("Out of memory");
        return outcome;
    }
}
}  // namespace

// In the desktop program the transfer runs beside the window's event loop, so that
// the window is redrawn and can be closed while a site is slow or hangs.
FetchOutcome fetchPageWithOutcome(const QString& url)
{
    FetchOutcome outcome;
    const FetchTimeouts timeouts = currentTimeouts();
    runBesideEventLoop([&] { outcome = transferPage(url, timeouts); });
    return outcome;
}

QString FetchPage(const QString& url)
{
    return fetchPageWithOutcome(url).body;
}

void setFetchTimeouts(const FetchTimeouts& timeouts) { currentTimeouts() = timeouts; }

}  // namespace zd
