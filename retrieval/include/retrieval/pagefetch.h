#pragma once

#include <QByteArray>
#include <QString>

namespace zd {

// The body of the page at url, decoded from Windows-1252. A failure of any kind
// gives the text read so far (often empty); the HTTP status is not looked at, so
// an error page comes back like any other. Never throws. Runs beside the event
// loop when that is on (see runBesideEventLoop): the window is redrawn and a close
// is taken meanwhile, but no user input and so no command runs.
QString FetchPage(const QString& url);

// The same fetch, with what went wrong kept for callers that report it.
struct FetchOutcome {
    QString body;
    bool complete = false;   // the whole body arrived
    QString transportError;  // empty when the exchange succeeded
    long httpStatus = 0;     // of the last response; 0 when none arrived
    // For a transfer that keeps the bytes (TransferStyle::keepsBytes): the body
    // as received, `body` then empty.
    QByteArray bytes;
    // For a transfer that follows no redirect: where a redirect pointed.
    QString redirectTo;
    // For a transfer that notes headers (TransferStyle::notedHeader): whether
    // the last response carried it.
    bool notedHeaderSeen = false;
};
FetchOutcome fetchPageWithOutcome(const QString& url);

// How long a fetch waits to connect, and how long it tolerates a transfer on
// which no byte arrives, before giving up. 0 leaves the library's own limits.
struct FetchTimeouts {
    int connectSeconds = 60;
    int stallSeconds = 60;
};
void setFetchTimeouts(const FetchTimeouts& timeouts);

// The URL's bytes as sent: Windows-1252, with space and control bytes (0x00-0x20
// and 0x7F) percent-encoded, because the transfer library refuses them; every
// other byte, "%" included, goes out unchanged.
QByteArray encodeRequestUrl(const QString& url);

}  // namespace zd
