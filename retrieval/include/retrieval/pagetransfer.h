#pragma once

#include "retrieval/pagefetch.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

typedef void CURL;

namespace zd {

// How a transfer differs from a page of the site: the site's pages are fetched
// as this is by default.
struct TransferStyle {
    QByteArray userAgent = "Harrowfen";
    bool followsRedirects = true;  // else a redirect is the answer, its Location in redirectTo
    bool keepsBytes = false;       // the body's bytes kept as they are, not decoded
    QByteArray notedHeader;        // a response header whose presence is reported; empty: none
    // The whole transfer's deadline, from connecting to the last byte; 0: none.
    // A transfer that overruns it while its body still arrives is not worth
    // trying again.
    int overallSeconds = 0;
};

// One page's transfer on a libcurl easy handle, set up the same way for the
// single fetch and for batches: user agent, no-cache headers, redirects, proxies
// from the environment, connect and stall limits, and the style's deadline. The body is decoded from
// Windows-1252 as chunks arrive, unless the style keeps its bytes.
class PageTransfer {
public:
    // largestBody: the most bytes a body may hold (0: no limit); a larger one ends
    // the transfer as failed, before it grows further.
    PageTransfer(const QString& url, const FetchTimeouts& timeouts, qint64 largestBody = 0,
                 const TransferStyle& style = {});
    ~PageTransfer();
    PageTransfer(const PageTransfer&) = delete;
    PageTransfer& operator=(const PageTransfer&) = delete;

    // False when the handle could not be made; the outcome then says why.
    bool ready() const;
    CURL* handle() const;

    // What became of the transfer once libcurl reports the result code. Takes
    // the body; call once.
    FetchOutcome finish(int curlCode);
    // The server's Retry-After, in seconds from now; negative when it sent none.
    long long retryAfterSeconds() const;
    // The body ended early or the connection failed in a way worth trying again.
    bool failedTransiently(int curlCode) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Runs libcurl's global set-up once per process.
void initialiseCurlOnce();

}  // namespace zd
