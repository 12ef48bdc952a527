#include "batch/censusapi.h"

#include "batch/batchrun.h"
#include "batch/censusprogress.h"
#include "census/censuskeyproblem.h"
#include "census/censusrequest.h"
#include "core/escapedcontrols.h"
#include "core/programversion.h"
#include "retrieval/pagefetch.h"

#include <algorithm>

namespace zd {
namespace {

// An answer for every ZCTA holds tens of megabytes, far beyond a site's page.
constexpr qint64 kLargestApiAnswer = qint64(256) * 1024 * 1024;

// A whole answer may take this many times --timeout (a site's page: once): a
// whole country's table is tens of megabytes, and an answer that trickles in a
// byte at a time must still end within minutes.
constexpr int kOverallTimeoutFactor = 5;

// Answers worth asking again: the API's general error, and an HTML page that is
// not about the key (a maintenance page).
bool isTransientApiAnswer(const FetchOutcome& outcome)
{
    return isCensusGeneralError(outcome.bytes)
           || (outcome.httpStatus == 200 && looksLikeHtml(outcome.bytes)
               && !isCensusKeyProblem(censusAnswerHead(outcome), outcome.bytes));
}

}  // namespace

BatchSettings censusApiSettings(const BatchSettings& settings, const CensusSettings& census)
{
    BatchSettings api = settings;
    api.readsRobots = false;
    if (api.maxPageSize > 0)
        api.maxPageSize = std::max(api.maxPageSize, kLargestApiAnswer);
    api.sentSuffix = censusKeySuffix(census.key);
    api.transfer.userAgent = ("zipdemographics/" + programVersion()).toUtf8();
    api.transfer.followsRedirects = false;
    api.transfer.keepsBytes = true;
    api.transfer.notedHeader = kCensusKeyErrorHeader;
    api.transfer.overallSeconds = settings.timeoutSeconds > 0 ? settings.timeoutSeconds * kOverallTimeoutFactor : 0;
    api.answerIsTransient = isTransientApiAnswer;
    return api;
}

CensusFetched fetchFromCensusApi(const QStringList& addresses, const BatchSettings& api, RunObserver& observer,
                                 const CensusProgress& progress, const CensusAnswered& answered)
{
    QList<std::optional<QString>> urls;
    for (const QString& address : addresses)
        urls.append(address);
    CensusFetched fetched;
    if (!answered)
        fetched.outcomes.resize(addresses.size());
    BatchRun batch(api, observer);
    batch.setProgressShown([&](const BatchProgress& batchProgress) { return progress.inEntries(batchProgress); });
    fetched.end = batch.run(urls, [&](qsizetype index, const PageResult* page) {
        if (answered)
            answered(index, *page);
        else
            fetched.outcomes[index] = page->outcome;
    });
    return fetched;
}

CensusAnswerHead censusAnswerHead(const FetchOutcome& outcome)
{
    return {outcome.httpStatus, outcome.redirectTo, outcome.notedHeaderSeen};
}

QString shownCensusText(const QString& text, const CensusSettings& census)
{
    return escapedControls(redactCensusKey(text, census.key));
}

EarlyEnd censusKeyRefused(const CensusSettings& census)
{
    return {EndReason::KeyRefused, census.key.isEmpty() ? missingCensusKeyMessage() : refusedCensusKeyMessage()};
}

QString censusFailureReason(const FetchOutcome& outcome)
{
    if (isCensusGeneralError(outcome.bytes))
        return QStringLiteral("the Census API answered with its general error on every try");
    if (outcome.httpStatus == 200 && looksLikeHtml(outcome.bytes))
        return QStringLiteral("the Census API answered an HTML page on every try");
    return "the transfer failed (" + outcome.transportError + ")";
}

QString censusRedirectText(const FetchOutcome& outcome)
{
    return outcome.redirectTo.isEmpty() ? QString() : ", redirected to " + outcome.redirectTo;
}

}  // namespace zd
