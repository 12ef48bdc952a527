#include "batch/censusanswers.h"

#include "batch/censusagreement.h"
#include "batch/censusapi.h"
#include "batch/censusprogress.h"
#include "batch/pagecache.h"
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

QStringList figureVariables(const QList<CensusVariable>& variables, bool marginsOfError)
{
    QStringList ids;
    for (const CensusVariable& variable : variables) {
        ids.append(variable.id);
        if (marginsOfError)
            ids.append(marginOfErrorId(variable.id));
    }
    return ids;
}

// A total's percents are worked out from their counts and bases: asked for too
// when the figures do not hold them already.
QStringList totalSupportVariables(const QStringList& figureIds, const QStringList& totalSupport, bool marginsOfError)
{
    QStringList ids;
    for (const QString& id : totalSupport) {
        if (figureIds.contains(id) || ids.contains(id))
            continue;
        ids.append(id);
        if (marginsOfError)
            ids.append(marginOfErrorId(id));
    }
    return ids;
}

// The figures' requests, and the total's counts and bases after them. When every
// ZCTA is asked for, those get requests of their own, so that no answer of the
// country's rows is larger than without a total: an answer is read whole
// before its rows are kept, and the largest one sets the run's peak of memory.
Requests plannedRequests(const CensusSettings& census, int year, const CheckedCensusYear& checked,
                         const QStringList& zctas)
{
    const QStringList figureIds = figureVariables(checked.variables, census.marginsOfError);
    const QStringList supportIds = totalSupportVariables(figureIds, checked.totalSupportIds, census.marginsOfError);
    const bool apart = CensusRequestPlan{census.baseUrl, year, figureIds, zctas}.asksForEveryZcta() && !supportIds.isEmpty();
    if (!apart)
        return plannedRequests(census, year, figureIds + supportIds, zctas);
    Requests requests = plannedRequests(census, year, figureIds, zctas);
    const Requests support = plannedRequests(census, year, supportIds, zctas);
    requests.addresses += support.addresses;
    requests.zctasAsked += support.zctasAsked;
    return requests;
}

// Each answer parsed once where it can be: the check of an answer about to be
// kept in the cache (or read from it) parses it with the rows asked for, and
// when the next answer taken is that one, with the same bytes, it takes that
// parse. One parse waits at most, and not the bytes: they are known again by
// their length and two hashes. A check that is not followed by its own answer
// (the cache's answers are all checked before the first is read) leaves
// nothing waiting, so that memory holds no more than one answer's parse and
// bytes at a time. An offline run of several answers does not keep its checks'
// parses: one would wait beside the rows of those taken before it and the bytes
// the cache reads again for its answer (some 10 MB more at the peak with
// margins), so there each check reads an answer without keeping its rows, and
// its turn parses it anew.
class ParsedAnswers {
public:
    ParsedAnswers(const Requests& requests, bool keepsParses) : m_requests(requests), m_keepsParses(keepsParses)
    {
        for (qsizetype i = 0; i < requests.addresses.size(); ++i)
            m_indexOf.insert(requests.addresses[i], i);
    }

    // Whether an answer is believed, and so kept in the cache and used from it.
    bool worthKeeping(const QString& url, const FetchOutcome& outcome)
    {
        m_waiting.reset();
        if (!outcome.redirectTo.isEmpty() || outcome.notedHeaderSeen)
            return false;
        const qsizetype index = m_indexOf.value(url, -1);
        if (index < 0)
            return false;
        if (!m_keepsParses)
            return isBelieved(parseCensusAnswer(outcome.httpStatus, outcome.bytes, &kNoRows,
                                                censusVariablesAsked(url)).kind);
        m_waiting = Parsed{index, fingerprintOf(outcome), parse(index, outcome)};
        return isBelieved(m_waiting->answer.kind);
    }

    // The answer of request `index`: the parse its check made of these bytes, else a new one.
    CensusAnswer take(qsizetype index, const FetchOutcome& outcome)
    {
        std::optional<Parsed> waiting = std::exchange(m_waiting, std::nullopt);
        if (waiting && waiting->index == index && waiting->fingerprint == fingerprintOf(outcome))
            return std::move(waiting->answer);
        waiting.reset();
        return parse(index, outcome);
    }

private:
    static inline const QSet<QString> kNoRows;  // checked whole, none of its rows kept

    static bool isBelieved(CensusAnswerKind kind)
    {
        return kind == CensusAnswerKind::Table || kind == CensusAnswerKind::NoData;
    }

    struct Fingerprint {
        long status = 0;
        qsizetype size = 0;
        size_t hash = 0;
        size_t otherHash = 0;
        bool operator==(const Fingerprint&) const = default;
    };
    struct Parsed {
        qsizetype index = -1;
        Fingerprint fingerprint;
        CensusAnswer answer;
    };

    static Fingerprint fingerprintOf(const FetchOutcome& outcome)
    {
        return {outcome.httpStatus, outcome.bytes.size(), qHash(outcome.bytes, 0x9e3779b9U),
                qHash(outcome.bytes, 0x85ebca6bU)};
    }

    CensusAnswer parse(qsizetype index, const FetchOutcome& outcome) const
    {
        const QStringList& asked = m_requests.zctasAsked[index];
        const QSet<QString> wanted(asked.begin(), asked.end());
        return parseCensusAnswer(outcome.httpStatus, outcome.bytes, &wanted,
                                 censusVariablesAsked(m_requests.addresses[index]));
    }

    const Requests& m_requests;
    const bool m_keepsParses;
    QHash<QString, qsizetype> m_indexOf;
    std::optional<Parsed> m_waiting;
};

// What became of one answer: the run's end, or why its entries fail; neither
// when it was believed, and then what it brought.
struct Taken {
    std::optional<EarlyEnd> end;
    QString failed;
    RequestHeld held;
};

Taken takeAnswer(const FetchOutcome& outcome, qsizetype index, ParsedAnswers& parsed,
                 const CensusSettings& census, CensusFigures& figures)
{
    if (isCensusKeyProblem(censusAnswerHead(outcome), outcome.bytes))
        return {censusKeyRefused(census), {}, {}};
    if (!outcome.complete)
        return {std::nullopt, censusFailureReason(outcome), {}};
    if (!outcome.redirectTo.isEmpty())
        return {std::nullopt, "the Census API's answer cannot be used: it answered with status "
                                  + QString::number(outcome.httpStatus) + censusRedirectText(outcome),
                {}};
    CensusAnswer answer = parsed.take(index, outcome);
    switch (answer.kind) {
    case CensusAnswerKind::KeyRefused:
        return {censusKeyRefused(census), {}, {}};
    case CensusAnswerKind::UserError:
        return {EarlyEnd{EndReason::RequestRefused,
                         shownCensusText("the Census API refused the request: \"" + answer.message + "\"", census)},
                {},
                {}};
    case CensusAnswerKind::Transient:
    case CensusAnswerKind::Unreadable:
        return {std::nullopt, "the Census API's answer cannot be used: " + answer.message, {}};
    case CensusAnswerKind::NoData:
        return {std::nullopt, {}, {RequestHeld::Kind::NoData, -1}};
    case CensusAnswerKind::Table:
        figures.keep(std::move(answer));
        return {std::nullopt, {}, {RequestHeld::Kind::Table, figures.answers.size() - 1}};
    }
    return {};
}

// Takes each answer into the figures in its turn, as it arrives, so that no
// answer's bytes wait for the others; once the API has refused the run, the
// answers after are let go unread.
class AnswerTaker {
public:
    AnswerTaker(const Requests& requests, const CensusSettings& census, bool offline, CensusFigures& figures)
        : m_requests(requests), m_census(census), m_figures(figures), m_parsed(requests, !offline || requests.addresses.size() == 1),
          m_held(requests.addresses.size())
    {
    }

    ParsedAnswers& parsed() { return m_parsed; }
    const std::optional<EarlyEnd>& end() const { return m_end; }
    const QList<RequestHeld>& held() const { return m_held; }

    void take(qsizetype index, const FetchOutcome& outcome)
    {
        if (m_end)
            return;
        const Taken taken = takeAnswer(outcome, index, m_parsed, m_census, m_figures);
        m_end = taken.end;
        m_held[index] = taken.held;
        if (m_end || taken.failed.isEmpty())
            return;
        const QString reason = shownCensusText(taken.failed, m_census);
        for (const QString& zcta : m_requests.zctasAsked[index])
            m_figures.failedZctas.insert(zcta, reason);
    }

private:
    const Requests& m_requests;
    const CensusSettings& m_census;
    CensusFigures& m_figures;
    ParsedAnswers m_parsed;
    QList<RequestHeld> m_held;  // per request
    std::optional<EarlyEnd> m_end;
};

// Answers that disagreed with the run's others leave the cache, so that the
// next run asks for them again rather than believing them for --max-age.
void forgetCachedAnswers(const Requests& requests, const QList<qsizetype>& which, const BatchSettings& settings)
{
    if (settings.cacheFolder.isEmpty() || settings.offline)
        return;
    const PageCache cache(settings.cacheFolder);
    for (const qsizetype request : which)
        cache.forget(encodeRequestUrl(requests.addresses[request]));
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
    figures.universes = year.universes;

    const Requests requests = plannedRequests(census, year.year, year, zctas);
    progress.planRequests(requests.zctasAsked);
    AnswerTaker taker(requests, census, settings.offline, figures);
    BatchSettings data = censusApiSettings(settings, census);
    data.worthKeeping = [&taker](const QString& url, const FetchOutcome& outcome) {
        return taker.parsed().worthKeeping(url, outcome);
    };
    const CensusFetched fetched =
        fetchFromCensusApi(requests.addresses, data, observer, progress, [&](qsizetype index, const PageResult& page) {
            progress.requestAnswered(index, page);
            taker.take(index, page.outcome);
        });
    result.end = fetched.end ? fetched.end : taker.end();
    if (!result.end)
        forgetCachedAnswers(requests, failDisagreeingZctas(requests.zctasAsked, taker.held(), figures), settings);
    return result;
}

}  // namespace zd
