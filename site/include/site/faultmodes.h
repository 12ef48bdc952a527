#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace zd {

// Ways the sample site misbehaves on purpose, each chosen by a ZIP code of its
// own, so that tests and users can try how the program copes.
enum class FaultMode {
    NotFoundWithBody,    // status 404 with a page in the body
    EmptyBody,           // status 200 and no bytes at all
    TinyChunks,          // the page in chunked encoding, a few bytes per chunk
    CutOff,              // the connection closes halfway through the announced body
    SlowDrip,            // the page a few bytes at a time, with pauses
    Redirect,            // a redirect to the page of 03053
    RedirectLoop,        // a redirect to itself, for ever
    HighBytes,           // a page with characters above 127 in Windows-1252
    BreaksOffInFigures,  // a complete answer whose page ends inside a figure cell
    BreaksOffInIncome,   // a complete answer whose page ends inside the income rows
    // Transient faults, counted per ZIP code by the site: a client that tries again
    // gets the page.
    TooManyRequests,      // 429 with "Retry-After: 1", then the page, in turn
    TooManyRequestsUntil, // 429 with Retry-After as a date 2 s ahead, then the page, in turn
    UnavailableTwice,     // 503 twice, then the page: every third try succeeds
    ResetFirst,           // the connection reset, then the page, in turn
};

// Whether the answer of the given try (1 for the first request for that ZIP code)
// is the fault rather than the page.
bool transientFaultStrikes(FaultMode mode, int attempt);

struct FaultModeInfo {
    FaultMode mode;
    const char* zip;
    const char* description;
};

const QList<FaultModeInfo>& faultModes();
std::optional<FaultMode> faultModeForZip(const QString& zip);
QString faultModeDescription(FaultMode mode);

// The list of fault modes as it appears in --help and on the front page.
QString faultModeHelpText();
QString faultModeListHtml();

// The pages the fault modes send, as Windows-1252 bytes.
QByteArray highBytesPage();
QByteArray breaksOffInFiguresPage();
QByteArray breaksOffInIncomePage();
// A complete page of made-up figures whose location cell reads `name`.
QByteArray faultTestPage(const QString& zip, const QString& name);
QByteArray notFoundBody();

}  // namespace zd
