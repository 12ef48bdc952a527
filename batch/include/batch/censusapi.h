#pragma once

#include "batch/batchsettings.h"
#include "batch/earlyend.h"
#include "batch/pagebatch.h"
#include "census/censusanswer.h"
#include "census/censuskeyproblem.h"
#include "census/censussettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zd {

class CensusProgress;
class RunObserver;

// The batch settings for the Census Data API, which is no site: its robots.txt
// is not read, every request carries the key, no redirect is followed (the API
// redirects a request without a key to a page), its general error is tried
// again, the answer is kept as bytes, the program names itself, and the limit on
// a page's size makes room for its tables.
BatchSettings censusApiSettings(const BatchSettings& settings, const CensusSettings& census);

// The answers of the API to the addresses, in their order; why the batch ended
// early when it did. The progress is told in the list's entries; each answer is
// handed to `answered` as it arrives, and then let go: the outcomes are kept,
// one a request, only for a caller without `answered`.
struct CensusFetched {
    std::optional<EarlyEnd> end;
    QList<FetchOutcome> outcomes;
};
using CensusAnswered = std::function<void(qsizetype index, const PageResult& page)>;
CensusFetched fetchFromCensusApi(const QStringList& addresses, const BatchSettings& api, RunObserver& observer,
                                 const CensusProgress& progress, const CensusAnswered& answered = {});

// An answer's status, redirect and whether it bore the API's key error header.
CensusAnswerHead censusAnswerHead(const FetchOutcome& outcome);

// A text that reaches the user: without the key, and without a server's control characters.
QString shownCensusText(const QString& text, const CensusSettings& census);

// The end of a run whose key the API refused, or that had none to give.
EarlyEnd censusKeyRefused(const CensusSettings& census);

// Why an answer could not be had, in its last try.
QString censusFailureReason(const FetchOutcome& outcome);

// ", redirected to ADDRESS" for a redirect, which the census source never follows.
QString censusRedirectText(const FetchOutcome& outcome);

}  // namespace zd
