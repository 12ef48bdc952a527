#include "retrieval/pagefetch.h"

#include "core/windows1252.h"
#include "retrieval/pagetransfer.h"

#include <curl/curl.h>

#include <atomic>

namespace zd {
namespace {
FetchTimeouts& currentTimeouts()
{
    static FetchTimeouts timeouts;
    return timeouts;
}

std::atomic<long long> g_failedFetches{0};

FetchOutcome counted(FetchOutcome outcome)
{
    if (!outcome.complete)
        ++g_failedFetches;
    return outcome;
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

FetchOutcome fetchPageWithOutcome(const QString& url)
{
    try {
        initialiseCurlOnce();
        PageTransfer transfer(url, currentTimeouts());
        if (!transfer.ready())
            return counted(transfer.finish(CURLE_FAILED_INIT));
        return counted(transfer.finish(curl_easy_perform(transfer.handle())));
    } catch (...) {
        FetchOutcome outcome;
        outcome.transportError = QStringLiteral("Out of memory");
        return counted(std::move(outcome));
    }
}

long long failedFetchCount() { return g_failedFetches.load(); }

QString FetchPage(const QString& url)
{
    return fetchPageWithOutcome(url).body;
}

void setFetchTimeouts(const FetchTimeouts& timeouts) { currentTimeouts() = timeouts; }

}  // namespace zd
