#include "batch/censusanswers.h"

#include "batch/censusapi.h"
#include "batch/censusprogress.h"
#include "census/censuskeyproblem.h"
#include "census/censusrequest.h"
#include "retrieval/pagefetch.h"

#include <QSet>

#include <utility>

namespace zd {
namespace {

struct Requests {
    QStringList addresses;
    QList<QStringList> zctasAsked;  // per address
};

Requests plannedRequests(const CensusSettings& census, int year, const QStringList& variables,
                         const QStringList& zctas)
{
    const CensusRequestPlan plan{census.baseUrl, year, variables, zctas};
    Requests requests;
    if (zctas.isEmpty())
        return requests;
    for (const QStringList& variableChunk : plan.variableChunks()) {
        for (const QStringList& zctaChunk : plan.zctaChunks(variableChunk)) {
            requests.addresses.append(censusDataUrl(census.baseUrl, year, variableChunk, zctaChunk));
            requests.zctasAsked.append(plan.asksForEveryZcta() ? zctas : zctaChunk);
        }
    }
    return requests;
}

QStringList requestedVariables(const QList<CensusVariable>& variables, bool marginsOfError)
{
    QStringList ids;
    for (const CensusVariable& variable : variables) {
        ids.append(variable.id);
        if (marginsOfError)
            ids.append(marginOfErrorId(variable.id));
    }
    return ids;
}

// Keeps an answer's table (parsed with the rows of the ZCTAs asked for only).
void takeRows(CensusAnswer&& answer, CensusFigures& figures)
{
    const qsizetype index = figures.answers.size();
    for (auto row = answer.rows.constBegin(); row != answer.rows.constEnd(); ++row)
        figures.answersOf[row.key()].append(index);
    figures.answers.append(std::move(answer));
}

// What became of one answer: the run's end, or why its entries fail; neither
// when its rows were taken.
struct Taken {
    std::optional<EarlyEnd> end;
    QString failed;
};

Taken takeAnswer(const FetchOutcome& outcome, const QString& address, const QStringList& zctasAsked,
                 const CensusSettings& census, CensusFigures& figures)
{
    if (isCensusKeyProblem(censusAnswerHead(outcome), outcome.bytes))
        return {censusKeyRefused(census), {}};
    if (!outcome.complete)
        return {std::nullopt, censusFailureReason(outcome)};
    if (!outcome.redirectTo.isEmpty())
        return {std::nullopt, "the Census API's answer cannot be used: it answered with status "
                                  + QString::number(outcome.httpStatus) + censusRedirectText(outcome)};
    const QSet<QString> wanted(zctasAsked.begin(), zctasAsked.end());
    CensusAnswer answer = parseCensusAnswer(outcome.httpStatus, outcome.bytes, &wanted, censusVariablesAsked(address));
    switch (answer.kind) {
    case CensusAnswerKind::KeyRefused:
        return {censusKeyRefused(census), {}};
    case CensusAnswerKind::UserError:
        return {EarlyEnd{EndReason::RequestRefused,
                         shownCensusText("the Census API refused the request: \"" + answer.message + "\"", census)},
                {}};
    case CensusAnswerKind::Transient:
    case CensusAnswerKind::Unreadable:
        return {std::nullopt, "the Census API's answer cannot be used: " + answer.message};
    case CensusAnswerKind::NoData:
        break;
    case CensusAnswerKind::Table:
        takeRows(std::move(answer), figures);
        break;
    }
    return {};
}

// Takes each answer into the figures; why the API refused the run when it did.
std::optional<EarlyEnd> takeAnswers(const Requests& requests, QList<FetchOutcome>& outcomes,
                                    const CensusSettings& census, CensusFigures& figures)
{
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        const FetchOutcome outcome = std::exchange(outcomes[i], {});  // each answer let go once read
        const Taken taken = takeAnswer(outcome, requests.addresses[i], requests.zctasAsked[i], census, figures);
        if (taken.end)
            return taken.end;
        for (const QString& zcta : taken.failed.isEmpty() ? QStringList() : requests.zctasAsked[i])
            figures.failedZctas.insert(zcta, shownCensusText(taken.failed, census));
    }
    return std::nullopt;
}

// Only an answer that is believed is kept (and used from the cache).
bool answerWorthKeeping(const QString& url, const FetchOutcome& outcome)
{
    static const QSet<QString> noRows;  // checked whole, none of its rows kept
    const CensusAnswerKind kind =
        parseCensusAnswer(outcome.httpStatus, outcome.bytes, &noRows, censusVariablesAsked(url)).kind;
    return outcome.redirectTo.isEmpty() && !outcome.notedHeaderSeen
           && (kind == CensusAnswerKind::Table || kind == CensusAnswerKind::NoData);
}

}  // namespace

CensusFetchResult fetchCensusFiguresOfYear(const QStringList& zctas, const CheckedCensusYear& year,
                                           const CensusSettings& census, const BatchSettings& settings,
                                           RunObserver& observer, CensusProgress& progress)
{
    CensusFetchResult result;
    CensusFigures& figures = result.figures;
    figures.year = year.year;
    figures.variables = year.variables;
    figures.labels = year.labels;

    const Requests requests =
        plannedRequests(census, year.year, requestedVariables(year.variables, census.marginsOfError), zctas);
    progress.planRequests(requests.zctasAsked);
    BatchSettings data = censusApiSettings(settings, census);
    data.worthKeeping = answerWorthKeeping;
    CensusFetched fetched =
        fetchFromCensusApi(requests.addresses, data, observer, progress,
                           [&](qsizetype index, const PageResult& page) { progress.requestAnswered(index, page); });
    if (fetched.end) {
        result.end = fetched.end;
        return result;
    }
    result.end = takeAnswers(requests, fetched.outcomes, census, figures);
    return result;
}

}  // namespace zd
