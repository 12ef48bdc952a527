#include "batch/censusfetch.h"

#include "batch/batchrun.h"
#include "batch/batchsettings.h"
#include "batch/censusprogress.h"
#include "batch/exitstatus.h"
#include "batch/runobserver.h"
#include "census/censusfigure.h"
#include "census/censuskeyproblem.h"
#include "census/escapedcontrols.h"
#include "census/censuslabels.h"
#include "census/censusrequest.h"
#include "census/placenames.h"
#include "core/programversion.h"
#include "retrieval/locationlookup.h"
#include "retrieval/pagefetch.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace zd {
namespace {

// The answer's bytes as they arrived: census transfers keep them as they are.
const QByteArray& bodyBytes(const FetchOutcome& outcome) { return outcome.bytes; }

CensusAnswerHead headOf(const FetchOutcome& outcome)
{
    return {outcome.httpStatus, outcome.redirectTo, outcome.notedHeaderSeen};
}

// A text that reaches the user: without the key, and without a server's control characters.
QString shown(const QString& text, const CensusSettings& census)
{
    return escapedControls(redactCensusKey(text, census.key));
}

struct Fetched {
    std::optional<int> early;
    QList<FetchOutcome> outcomes;
};

// The batch's progress is told in the list's entries; each answer is also handed
// to `answered` as it arrives.
using Answered = std::function<void(qsizetype index, const PageResult& page)>;

Fetched fetchAll(const QStringList& addresses, const BatchSettings& settings, RunObserver& observer,
                 const CensusProgress& progress, const Answered& answered = {})
{
    QList<std::optional<QString>> urls;
    for (const QString& address : addresses)
        urls.append(address);
    Fetched fetched;
    fetched.outcomes.resize(addresses.size());
    BatchRun batch(settings, observer);
    batch.setProgressShown([&](const BatchProgress& batchProgress) { return progress.inEntries(batchProgress); });
    fetched.early = batch.run(urls, [&](qsizetype index, const PageResult* page) {
        fetched.outcomes[index] = page->outcome;
        if (answered)
            answered(index, *page);
    });
    return fetched;
}

// An answer for every ZCTA holds tens of megabytes, far beyond a site's page.
constexpr qint64 kLargestApiAnswer = qint64(256) * 1024 * 1024;

// A whole answer may take this many times --timeout, the longest silence: a
// whole country's table is tens of megabytes, and an answer that trickles in a
// byte at a time must still end.
constexpr int kOverallTimeoutFactor = 10;

// Answers worth asking again: the API's general error, and an HTML page that is
// not about the key (a maintenance page).
bool isTransientApiAnswer(const FetchOutcome& outcome)
{
    const QByteArray& body = bodyBytes(outcome);
    return isCensusGeneralError(body)
           || (outcome.httpStatus == 200 && looksLikeHtml(body) && !isCensusKeyProblem(headOf(outcome), body));
}

// The API is no site: its robots.txt is not read, every request carries the key,
// no redirect is followed (the API redirects a request without a key to a page),
// its general error is tried again, the answer is kept as bytes, the program
// names itself, and the limit on a page's size makes room for its tables.
BatchSettings apiSettings(const BatchSettings& settings, const CensusSettings& census)
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

QString keyProblemMessage(const CensusSettings& census)
{
    return census.key.isEmpty() ? missingCensusKeyMessage() : refusedCensusKeyMessage();
}

// Why an answer could not be had, in its last try.
QString failureReason(const FetchOutcome& outcome)
{
    if (isCensusGeneralError(bodyBytes(outcome)))
        return QStringLiteral("the Census API answered with its general error on every try");
    if (outcome.httpStatus == 200 && looksLikeHtml(bodyBytes(outcome)))
        return QStringLiteral("the Census API answered an HTML page on every try");
    return "the transfer failed (" + outcome.transportError + ")";
}

// ", redirected to ADDRESS" for a redirect, which the census source never follows.
QString redirectText(const FetchOutcome& outcome)
{
    return outcome.redirectTo.isEmpty() ? QString() : ", redirected to " + outcome.redirectTo;
}

struct YearLabels {
    std::optional<int> exitStatus;
    int year = 0;
    CensusLabels labels;
    bool yearMissing = false;  // the API has no data profile of the year asked for
};

// What one year's answer to the request for its list means: the labels, a year
// to step over (when stepping back from the newest), or the end of the run,
// after saying why.
struct YearList {
    enum class Step { Read, StepOver, End } step = Step::End;
    std::optional<int> exitStatus;
    CensusLabels labels;
    bool yearMissing = false;
};

YearList judgeYearList(const FetchOutcome& outcome, int year, const CensusSettings& census,
                       const BatchSettings& settings, RunObserver& observer)
{
    const bool steppingBack = !census.year;
    const QString yearText = QString::number(year);
    if (isCensusKeyProblem(headOf(outcome), bodyBytes(outcome))) {
        observer.message(keyProblemMessage(census));
        return {YearList::Step::End, kExitUsage, {}};
    }
    if (steppingBack && ((!outcome.complete && settings.offline) || (outcome.complete && outcome.httpStatus == 404)))
        return {YearList::Step::StepOver, std::nullopt, {}};  // offline: the newest year whose list the cache holds
    if (!outcome.complete) {
        observer.message("cannot read the Census API's list of variables of " + yearText + ": "
                         + shown(failureReason(outcome), census));
        return {YearList::Step::End, kExitIncomplete, {}};
    }
    if (outcome.httpStatus == 404) {
        observer.message("the Census API has no ACS 5-year data profile for " + yearText);
        return {YearList::Step::End, kExitUsage, {}, true};
    }
    if (std::optional<CensusLabels> labels = CensusLabels::parse(bodyBytes(outcome)))
        return {YearList::Step::Read, std::nullopt, std::move(*labels)};
    observer.message(shown("the Census API's list of variables of " + yearText + " cannot be read (status "
                           + QString::number(outcome.httpStatus) + redirectText(outcome) + ")",
                           census));
    return {YearList::Step::End, kExitIncomplete, {}};
}

QString noYearMessage(const QList<int>& years, bool offline)
{
    const QString listed = QStringLiteral("%1, %2 or %3").arg(years[0]).arg(years[1]).arg(years[2]);
    return offline ? "the cache holds no list of variables of " + listed
                         + "; with --offline only what an earlier run kept is read"
                   : "the Census API has no ACS 5-year data profile for " + listed;
}

// The variable list of the year asked for, or of the newest year the API has.
YearLabels readYearLabels(const CensusSettings& census, const BatchSettings& settings, RunObserver& observer,
                          const CensusProgress& progress)
{
    BatchSettings lists = apiSettings(settings, census);
    // Only a list that reads is kept (and used from the cache).
    lists.worthKeeping = [](const QString&, const FetchOutcome& outcome) {
        return outcome.httpStatus == 200 && CensusLabels::parse(bodyBytes(outcome)).has_value();
    };
    QList<int> years;
    for (int step = 0; step <= (census.year ? 0 : kCensusYearStepsBack); ++step)
        years.append(census.year.value_or(kNewestCensusYear) - step);
    for (const int year : years) {
        const Fetched fetched = fetchAll({censusVariablesUrl(census.baseUrl, year)}, lists, observer, progress);
        if (fetched.early)
            return {fetched.early, year, {}};
        YearList list = judgeYearList(fetched.outcomes.first(), year, census, settings, observer);
        if (list.step == YearList::Step::Read)
            return {std::nullopt, year, std::move(list.labels)};
        if (list.step == YearList::Step::End)
            return {list.exitStatus, year, {}, list.yearMissing};
    }
    observer.message(noYearMessage(years, settings.offline));
    return {kExitIncomplete, 0, {}};
}

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

// Keeps an answer's table (parsed with the rows of the ZCTAs asked for only).
void takeRows(CensusAnswer&& answer, CensusFigures& figures)
{
    const qsizetype index = figures.answers.size();
    for (auto row = answer.rows.constBegin(); row != answer.rows.constEnd(); ++row)
        figures.answersOf[row.key()].append(index);
    figures.answers.append(std::move(answer));
}

// What became of one answer: the run's end (after saying why), or why its
// entries fail; neither when its rows were taken.
struct Taken {
    std::optional<int> exitStatus;
    QString failed;
};

Taken takeAnswer(const FetchOutcome& outcome, const QString& address, const QStringList& zctasAsked,
                 const CensusSettings& census, CensusFigures& figures, RunObserver& observer)
{
    if (isCensusKeyProblem(headOf(outcome), bodyBytes(outcome))) {
        observer.message(keyProblemMessage(census));
        return {kExitUsage, {}};
    }
    if (!outcome.complete)
        return {std::nullopt, failureReason(outcome)};
    if (!outcome.redirectTo.isEmpty())
        return {std::nullopt, "the Census API's answer cannot be used: it answered with status "
                                  + QString::number(outcome.httpStatus) + redirectText(outcome)};
    const QSet<QString> wanted(zctasAsked.begin(), zctasAsked.end());
    CensusAnswer answer =
        parseCensusAnswer(outcome.httpStatus, bodyBytes(outcome), &wanted, censusVariablesAsked(address));
    switch (answer.kind) {
    case CensusAnswerKind::KeyRefused:
        observer.message(keyProblemMessage(census));
        return {kExitUsage, {}};
    case CensusAnswerKind::UserError:
        observer.message(shown("the Census API refused the request: \"" + answer.message + "\"", census));
        return {kExitUsage, {}};
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

// Takes each answer into the figures; the exit status when the API refused the run.
std::optional<int> takeAnswers(const Requests& requests, QList<FetchOutcome>& outcomes,
                               const CensusSettings& census, CensusFigures& figures, RunObserver& observer)
{
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        const FetchOutcome outcome = std::exchange(outcomes[i], {});  // each answer let go once read
        const Taken taken =
            takeAnswer(outcome, requests.addresses[i], requests.zctasAsked[i], census, figures, observer);
        if (taken.exitStatus)
            return taken.exitStatus;
        for (const QString& zcta : taken.failed.isEmpty() ? QStringList() : requests.zctasAsked[i])
            figures.failedZctas.insert(zcta, shown(taken.failed, census));
    }
    return std::nullopt;
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

}  // namespace

std::optional<QString> zctaOfEntry(const QString& entry)
{
    const QString zip = trimZipSpaces(entry);
    const bool fiveDigits =
        zip.size() == 5 && std::all_of(zip.begin(), zip.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!fiveDigits)
        return std::nullopt;
    return zip;
}

QStringList zctasOfEntries(const QStringList& entries)
{
    QStringList zctas;
    QSet<QString> seen;
    for (const QString& entry : entries) {
        const std::optional<QString> zcta = zctaOfEntry(entry);
        if (zcta && !seen.contains(*zcta)) {
            seen.insert(*zcta);
            zctas.append(*zcta);
        }
    }
    return zctas;
}

QHash<QString, CensusValue> CensusFigures::valuesOf(const QString& zcta) const
{
    QHash<QString, CensusValue> values;
    for (const qsizetype index : answersOf.value(zcta)) {
        const CensusAnswer& answer = answers[index];
        const QString row = answer.rows.value(zcta);
        values.reserve(values.size() + answer.columns.size());
        qsizetype from = 0;
        for (qsizetype column = 0; column < answer.columns.size() && from <= row.size(); ++column) {
            qsizetype end = row.indexOf(CensusAnswer::kEnd, from);
            end = end < 0 ? row.size() : end;
            values.insert(answer.columns[column], end == from ? CensusValue() : CensusValue(row.mid(from, end - from)));
            from = end + 1;
        }
    }
    return values;
}

QString zctaName(const QString& zcta) { return "ZCTA5 " + zcta; }

CheckedCensusYear readCensusYear(const CensusSettings& census, const BatchSettings& settings, RunObserver& observer,
                                 CensusProgress& progress)
{
    CheckedCensusYear checkedYear;
    // The Census Bureau's API answers nothing without a key: no request is made.
    if (census.key.isEmpty() && census.baseUrl == builtInCensusUrl()) {
        observer.message(missingCensusKeyMessage());
        checkedYear.exitStatus = kExitUsage;
        return checkedYear;
    }
    YearLabels year = readYearLabels(census, settings, observer, progress);
    if (year.exitStatus) {
        checkedYear.exitStatus = year.exitStatus;
        checkedYear.yearMissing = year.yearMissing;
        return checkedYear;
    }
    const CheckedVariables checked = checkVariables(census.variables, census.userVariables, year.labels, year.year);
    for (const QString& leftOut : checked.leftOut)
        observer.message("warning: " + escapedControls(leftOut));  // it may quote a label of the API
    if (!checked.error.isEmpty()) {
        observer.message(escapedControls(checked.error));
        checkedYear.exitStatus = kExitUsage;
        return checkedYear;
    }
    observer.message(QStringLiteral("figures of the ACS 5-year data profile of %1 (Census Data API)").arg(year.year));
    checkedYear.year = year.year;
    checkedYear.variables = checked.variables;
    checkedYear.labels = shownLabels(checked.variables, year.labels, year.year);
    return checkedYear;
}

CensusFetchResult fetchCensusFiguresOfYear(const QStringList& entries, const CheckedCensusYear& year,
                                           const CensusSettings& census, const BatchSettings& settings,
                                           RunObserver& observer, CensusProgress& progress)
{
    CensusFetchResult result;
    CensusFigures& figures = result.figures;
    figures.year = year.year;
    figures.variables = year.variables;
    figures.labels = year.labels;

    const Requests requests = plannedRequests(census, year.year,
                                              requestedVariables(year.variables, census.marginsOfError),
                                              zctasOfEntries(entries));
    progress.planRequests(requests.zctasAsked);
    BatchSettings data = apiSettings(settings, census);
    // Only an answer that is believed is kept (and used from the cache).
    data.worthKeeping = [](const QString& url, const FetchOutcome& outcome) {
        static const QSet<QString> noRows;  // checked whole, none of its rows kept
        const CensusAnswerKind kind =
            parseCensusAnswer(outcome.httpStatus, bodyBytes(outcome), &noRows, censusVariablesAsked(url)).kind;
        return outcome.redirectTo.isEmpty() && !outcome.notedHeaderSeen
               && (kind == CensusAnswerKind::Table || kind == CensusAnswerKind::NoData);
    };
    Fetched fetched = fetchAll(requests.addresses, data, observer, progress,
                               [&](qsizetype index, const PageResult& page) { progress.requestAnswered(index, page); });
    if (fetched.early) {
        result.exitStatus = fetched.early;
        return result;
    }
    result.exitStatus = takeAnswers(requests, fetched.outcomes, census, figures, observer);
    return result;
}

CensusFetchResult fetchCensusFigures(const QStringList& entries, const CensusSettings& census,
                                     const BatchSettings& settings, RunObserver& observer)
{
    CensusProgress progress(entries);
    const CheckedCensusYear year = readCensusYear(census, settings, observer, progress);
    if (year.exitStatus)
        return {year.exitStatus, {}};
    return fetchCensusFiguresOfYear(entries, year, census, settings, observer, progress);
}

EntryResult censusEntryResult(const QString& entry, const CensusFigures& figures, bool marginsOfError)
{
    EntryResult result;
    result.entry = entry;
    const QString trimmed = trimZipSpaces(entry);
    result.zip = trimmed.size() == 5 ? trimmed : QString();
    const std::optional<QString> zcta = zctaOfEntry(entry);
    if (trimmed.isEmpty())
        result.status = EntryStatus::Blank;
    else if (trimmed.size() != 5)
        result.status = EntryStatus::NotFiveCharacters;
    else if (zcta && figures.failedZctas.contains(*zcta))
        result.status = EntryStatus::Failed;
    else if (!zcta || !figures.holds(*zcta))
        result.status = EntryStatus::NotFound;
    else
        result.status = EntryStatus::Found;
    if (result.status != EntryStatus::Found)
        return result;
    const std::optional<Place> place = PlaceNames::installed().find(*zcta);
    result.location = place ? place->name() : zctaName(*zcta);
    const QHash<QString, CensusValue> row = figures.valuesOf(*zcta);
    for (qsizetype i = 0; i < figures.variables.size(); ++i) {
        const CensusVariable& variable = figures.variables[i];
        Figure figure{figures.labels[i], censusDisplayValue(row.value(variable.id), variable.kind)};
        figure.variable = variable.id;
        if (marginsOfError) {
            figure.marginVariable = marginOfErrorId(variable.id);
            figure.margin = censusDisplayValue(row.value(figure.marginVariable), variable.kind);
        }
        result.figures.append(std::move(figure));
    }
    return result;
}

}  // namespace zd
