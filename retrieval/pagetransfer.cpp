#include "retrieval/pagetransfer.h"

#include "core/windows1252.h"

#include <curl/curl.h>

#include <mutex>

namespace zd {
namespace {
constexpr long kMaxRedirects = 10;

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// The body as it arrives, up to the largest allowed: decoded text, or the bytes.
struct BodyText {
    QString text;
    QByteArray bytes;
    bool keepsBytes = false;
    qint64 largest = 0;  // 0: no limit
    bool tooLarge = false;
    CURL* handle = nullptr;

    // Room for the whole body once its announced length is known: the bytes
    // never grow by doubling, which would hold up to twice the body at a time.
    void reserveAnnounced()
    {
        curl_off_t announced = -1;
        if (bytes.capacity() > 0 || curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK
            || announced <= 0 || (largest > 0 && announced > largest))
            return;
        bytes.reserve(qsizetype(announced));
    }

    qint64 size() const { return keepsBytes ? bytes.size() : text.size(); }
};

// Chunks arrive in any size, down to one byte; a single-byte code page lets each
// be decoded on its own.
size_t appendChunk(char* data, size_t size, size_t count, void* target)
{
    const size_t length = size * count;
    auto& body = *static_cast<BodyText*>(target);
    if (body.largest > 0 && body.size() + qint64(length) > body.largest) {
        body.tooLarge = true;
        return 0;  // ends the transfer; the text so far is kept
    }
    try {
        const QByteArrayView chunk(data, static_cast<qsizetype>(length));
        if (body.keepsBytes) {
            body.reserveAnnounced();
            body.bytes.append(chunk);
        } else {
            appendWindows1252(body.text, chunk);
        }
    } catch (...) {
        return 0;
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

    // Some body has come, the last of it lately: the transfer was under way,
    // not stalled.
    bool arriving() const
    {
        constexpr auto kLately = std::chrono::seconds(5);
        return received > 0 && std::chrono::steady_clock::now() - lastGrowth < kLately;
    }
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
}  // namespace

struct PageTransfer::State {
    QByteArray url;
    TransferStyle style;
    HeaderList headers = noCacheHeaders();
    BodyText body;
    StallWatch watch;
    char errors[CURL_ERROR_SIZE] = {};
    EasyHandle curl{curl_easy_init()};  // cleaned up before the header list it uses

    void configure(const FetchTimeouts& timeouts)
    {
        CURL* handle = curl.get();
        body.handle = handle;
        curl_easy_setopt(handle, CURLOPT_URL, url.constData());
        curl_easy_setopt(handle, CURLOPT_USERAGENT, style.userAgent.constData());
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, style.followsRedirects ? 1L : 0L);
        if (style.overallSeconds > 0)
            curl_easy_setopt(handle, CURLOPT_TIMEOUT, static_cast<long>(style.overallSeconds));
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connectSeconds));
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts.stallSeconds));
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &appendChunk);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &watchForStall);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &watch);
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errors);
        if (body.largest > 0)  // refused at once when the answer announces its length
            curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(body.largest));
        // Proxies come from the environment (http_proxy, no_proxy), as libcurl does
        // by default when no proxy is set here.
    }

    // Where a redirect that was not followed pointed, and the noted header.
    void noteResponse(FetchOutcome& outcome) const
    {
        const char* location = nullptr;
        if (!style.followsRedirects && curl_easy_getinfo(curl.get(), CURLINFO_REDIRECT_URL, &location) == CURLE_OK
            && location)
            outcome.redirectTo = QString::fromLatin1(location);
        curl_header* header = nullptr;
        outcome.notedHeaderSeen = !style.notedHeader.isEmpty()
                                  && curl_easy_header(curl.get(), style.notedHeader.constData(), 0, CURLH_HEADER, -1,
                                                      &header) == CURLHE_OK;
    }

    // The whole transfer's deadline ended it while its body was still coming:
    // a server that trickles, which a second try would only let trickle again.
    bool overranWhileArriving(CURLcode code) const
    {
        if (code != CURLE_OPERATION_TIMEDOUT || style.overallSeconds <= 0 || !watch.arriving())
            return false;
        curl_off_t micros = 0;
        constexpr curl_off_t kMicros = 1000000;
        return curl_easy_getinfo(curl.get(), CURLINFO_TOTAL_TIME_T, &micros) == CURLE_OK
               && micros >= curl_off_t(style.overallSeconds) * kMicros - kMicros / 2;
    }

    QString describeFailure(CURLcode code) const
    {
        if (watch.tripped)
            return QStringLiteral("No data arrived for %1 seconds").arg(watch.limit.count());
        if (overranWhileArriving(code))
            return QStringLiteral("the transfer took longer than %1 seconds, the most one may take")
                .arg(style.overallSeconds);
        if (body.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
            return QStringLiteral("the page is larger than %1 bytes, the most a page may hold").arg(body.largest);
        const QString detail = QString::fromLocal8Bit(errors);
        return detail.isEmpty() ? QString::fromLatin1(curl_easy_strerror(code)) : detail;
    }
};

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

PageTransfer::PageTransfer(const QString& url, const FetchTimeouts& timeouts, qint64 largestBody,
                           const TransferStyle& style)
    : m_state(std::make_unique<State>())
{
    m_state->url = encodeRequestUrl(url);
    m_state->style = style;
    m_state->body.keepsBytes = style.keepsBytes;
    m_state->body.largest = largestBody;
    m_state->watch.limit = std::chrono::seconds(timeouts.stallSeconds);
    if (ready())
        m_state->configure(timeouts);
}

PageTransfer::~PageTransfer() = default;

bool PageTransfer::ready() const { return m_state->curl && m_state->headers; }

CURL* PageTransfer::handle() const { return m_state->curl.get(); }

FetchOutcome PageTransfer::finish(int curlCode)
{
    FetchOutcome outcome;
    if (!ready()) {
        outcome.transportError = QStringLiteral("The transfer could not be prepared.");
        return outcome;
    }
    const auto code = static_cast<CURLcode>(curlCode);
    curl_easy_getinfo(handle(), CURLINFO_RESPONSE_CODE, &outcome.httpStatus);
    outcome.body = std::move(m_state->body.text);
    outcome.bytes = std::move(m_state->body.bytes);
    outcome.complete = code == CURLE_OK;
    m_state->noteResponse(outcome);
    if (!outcome.complete)
        outcome.transportError = m_state->describeFailure(code);
    return outcome;
}

long long PageTransfer::retryAfterSeconds() const
{
    curl_off_t seconds = -1;
    if (!ready() || curl_easy_getinfo(handle(), CURLINFO_RETRY_AFTER, &seconds) != CURLE_OK)
        return -1;
    return seconds > 0 ? seconds : -1;
}

bool PageTransfer::failedTransiently(int curlCode) const
{
    switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_OPERATION_TIMEDOUT:   // connect or stall limit, not a trickle past the deadline
        return !m_state->overranWhileArriving(CURLE_OPERATION_TIMEDOUT);
    case CURLE_COULDNT_CONNECT:      // refused
    case CURLE_PARTIAL_FILE:         // body cut off
    case CURLE_GOT_NOTHING:          // closed before an answer
    case CURLE_RECV_ERROR:           // reset
    case CURLE_SEND_ERROR:
        return true;
    case CURLE_ABORTED_BY_CALLBACK:  // the stall watch
        return m_state->watch.tripped;
    default:
        return false;
    }
}

}  // namespace zd
