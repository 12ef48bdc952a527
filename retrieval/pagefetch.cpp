#include "retrieval/pagefetch.h"

#include "app/core/windows1252.h"

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <mutex>

namespace zd {
namespace {
constexpr long kMaxRedirects = 10;

FetchTimeouts& currentTimeouts()
{
    static FetchTimeouts timeouts;
    return timeouts;
}

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// Chunks arrive in any size, down to one byte; a single-byte code page lets each
// be decoded on its own.
size_t appendChunk(char* data, size_t size, size_t count, void* target)
{
    const size_t length = size * count;
    try {
        appendWindows1252(*static_cast<QString*>(target),
                          QByteArrayView(data, static_cast<qsizetype>(length)));
    } catch (...) {
        return 0;  // ends the transfer; the text so far is kept
    }
    return length;
}

// libcurl's low-speed check averages over a window of several seconds, so once
// some body has arrived it notices silence only seconds late; this watch ends
// the transfer when the body has not grown for the stall time.
struct StallWatch {
    std::chrono::steady_clock::time_point lastGrowth = std::chrono::steady_clock::now();
    curl_off_t received = 0;
    std::chrono::seconds limit{0};
    bool tripped = false;
};

int watchForStall(void* watchPointer, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
{
    auto& watch = *static_cast<StallWatch*>(watchPointer);
    const auto now = std::chrono::steady_clock::now();
    if (received != watch.received) {
        watch.received = received;
        watch.lastGrowth = now;
        return 0;
    }
    watch.tripped = received > 0 && watch.limit.count() > 0 && now - watch.lastGrowth >= watch.limit;
    return watch.tripped ? 1 : 0;
}

HeaderList noCacheHeaders()
{
    curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
    curl_slist* both = list ? curl_slist_append(list, "Pragma: no-cache") : nullptr;
    if (!both)
        curl_slist_free_all(list);
    return HeaderList(both);
}

struct Transfer {
    QByteArray url;
    HeaderList headers;
    QString* body = nullptr;
    StallWatch watch;
    char errors[CURL_ERROR_SIZE] = {};
};

void configure(CURL* curl, Transfer& transfer, const FetchTimeouts& timeouts)
{
    curl_easy_setopt(curl, CURLOPT_URL, transfer.url.constData());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Harrowfen");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, transfer.headers.get());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connectSeconds));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts.stallSeconds));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &appendChunk);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, transfer.body);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &watchForStall);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer.watch);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, transfer.errors);
    // Proxies come from the environment (http_proxy, no_proxy), as libcurl does
    // by default when no proxy is set here.
}

QString describeFailure(CURLcode code, const Transfer& transfer)
{
    if (transfer.watch.tripped)
        return QStringLiteral("No data arrived for %1 seconds").arg(transfer.watch.limit.count());
    const char* errors = transfer.errors;
    const QString detail = QString::fromLocal8Bit(errors);
    return detail.isEmpty() ? QString::fromLatin1(curl_easy_strerror(code)) : detail;
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
    FetchOutcome outcome;
    try {
        initialiseCurlOnce();
        const FetchTimeouts timeouts = currentTimeouts();
        Transfer transfer{encodeRequestUrl(url), noCacheHeaders(), &outcome.body, {}, {}};
        EasyHandle curl(curl_easy_init());  // cleaned up before the header list it uses
        transfer.watch.limit = std::chrono::seconds(timeouts.stallSeconds);
        if (!curl || !transfer.headers) {
            outcome.transportError = QStringLiteral("The transfer could not be prepared.");
            return outcome;
        }
        configure(curl.get(), transfer, timeouts);
        const CURLcode code = curl_easy_perform(curl.get());
        curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &outcome.httpStatus);
        outcome.complete = code == CURLE_OK;
        if (!outcome.complete)
            outcome.transportError = describeFailure(code, transfer);
    } catch (...) {
        outcome.complete = false;
        outcome.transportError = QStringLiteral("Out of memory");
    }
    return outcome;
}

QString FetchPage(const QString& url)
{
    return fetchPageWithOutcome(url).body;
}

void setFetchTimeouts(const FetchTimeouts& timeouts) { currentTimeouts() = timeouts; }

}  // namespace zd
