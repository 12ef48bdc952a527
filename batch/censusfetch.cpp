#include "batch/censusfetch.h"

#include "batch/batchrun.h"
#include "batch/batchsettings.h"
#include "batch/censusprogress.h"
#include "batch/exitstatus.h"
#include "batch/runobserver.h"
#include "census/censusfigure.h"
#include "census/censuslabels.h"
#include "census/censusrequest.h"
#include "census/placenames.h"
#include "core/windows1252.h"
#include "retrieval/locationlookup.h"
#include "retrieval/pagefetch.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <utility>

namespace zd {
namespace {

// The answer's bytes as they arrived: the fetch decodes them as Windows-1252,
// one character a byte, which gives them back unchanged.
QByteArray bodyBytes(const FetchOutcome& outcome) { return encodeWindows1252(outcome.body); }

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

// The API is no site: its robots.txt is not read, its general error is tried
// again, and the limit on a page's size makes room for its tables.
BatchSettings apiSettings(const BatchSettings& settings)
{
    BatchSettings api = settings;
    api.readsRobots = false;
    if (api.maxPageSize > 0)
        api.maxPageSize = std::max(api.maxPageSize, kLargestApiAnswer);
    api.answerIsTransient = [](const FetchOutcome& outcome) { return isCensusGeneralError(bodyBytes(outcome)); };
    return api;
}

struct YearLabels {
    std::optional<int> exitStatus;
    int year = 0;
    CensusLabels labels;
};

// The variable list of the year asked for, or of the newest year the API has.
YearLabels readYearLabels(const CensusSettings& census, const BatchSettings& settings, RunObserver& observer,
                          const CensusProgress& progress)
{
    BatchSettings lists = apiSettings(settings);
    // A year the API lacks is kept too, so that a rerun does not ask again.
    lists.worthKeeping = [](const FetchOutcome& outcome) {
        return outcome.httpStatus == 404 || (outcome.httpStatus == 200 && bodyBytes(outcome).startsWith('{'));
    };
    QList<int> years;
    for (int step = 0; step <= (census.year ? 0 : kCensusYearStepsBack); ++step)
        years.append(census.year.value_or(kNewestCensusYear) - step);
    for (const int year : years) {
        const Fetched fetched = fetchAll({censusVariablesUrl(census.baseUrl, year)}, lists, observer, progress);
        if (fetched.early)
            return {fetched.early, year, {}};
        const FetchOutcome& outcome = fetched.outcomes.first();
        const QString yearText = QString::number(year);
        if (!outcome.complete) {
            observer.message("cannot read the Census API's list of variables of " + yearText + ": "
                             + redactCensusKey(outcome.transportError, census.key));
            return {kExitIncomplete, year, {}};
        }
        if (outcome.httpStatus == 404 && !census.year)
            continue;
        if (outcome.httpStatus == 404) {
            observer.message("the Census API has no ACS 5-year data profile for " + yearText);
            return {kExitUsage, year, {}};
        }
        if (std::optional<CensusLabels> labels = CensusLabels::parse(bodyBytes(outcome)))
            return {std::nullopt, year, std::move(*labels)};
        observer.message("the Census API's list of variables of " + yearText + " cannot be read (status "
                         + QString::number(outcome.httpStatus) + ")");
        return {kExitIncomplete, year, {}};
    }
    observer.message(QStringLiteral("the Census API has no ACS 5-year data profile for %1, %2 or %3")
                         .arg(years[0]).arg(years[1]).arg(years[2]));
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

QString refusedKeyMessage(const CensusSettings& census)
{
    if (census.key.isEmpty())
        return QStringLiteral("the Census API refused the request for want of a key: set CENSUS_API_KEY, or "
                              "give --census-key-file FILE");
    return QStringLiteral("the Census API refused the key (from CENSUS_API_KEY or --census-key-file); check it, "
                          "or run without one");
}

QString failureReason(const FetchOutcome& outcome, const QString& key)
{
    if (isCensusGeneralError(bodyBytes(outcome)))
        return QStringLiteral("the Census API answered with its general error on every try");
    return "the transfer failed (" + redactCensusKey(outcome.transportError, key) + ")";
}

// Keeps an answer's table (parsed with the rows of the ZCTAs asked for only).
void takeRows(CensusAnswer&& answer, CensusFigures& figures)
{
    const qsizetype index = figures.answers.size();
    for (auto row = answer.rows.constBegin(); row != answer.rows.constEnd(); ++row)
        figures.answersOf[row.key()].append(index);
    figures.answers.append(std::move(answer));
}

// Takes each answer into the figures; the exit status when the API refused the run.
std::optional<int> takeAnswers(const Requests& requests, QList<FetchOutcome>& outcomes,
                               const CensusSettings& census, CensusFigures& figures, RunObserver& observer)
{
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        FetchOutcome outcome = std::exchange(outcomes[i], {});  // each answer let go once read
        const QSet<QString> wanted(requests.zctasAsked[i].begin(), requests.zctasAsked[i].end());
        QString failed;
        if (!outcome.complete) {
            failed = failureReason(outcome, census.key);
        } else {
            const QByteArray body = bodyBytes(outcome);
            outcome.body.clear();  // only the bytes are read from here on: the text goes before the parse
            CensusAnswer answer = parseCensusAnswer(outcome.httpStatus, body, &wanted);
            switch (answer.kind) {
            case CensusAnswerKind::KeyRefused:
                observer.message(refusedKeyMessage(census));
                return kExitUsage;
            case CensusAnswerKind::UserError:
                observer.message("the Census API refused the request: \"" + redactCensusKey(answer.message, census.key)
                                 + "\"");
                return kExitUsage;
            case CensusAnswerKind::Transient:
            case CensusAnswerKind::Unreadable:
                failed = "the Census API's answer cannot be used: " + redactCensusKey(answer.message, census.key);
                break;
            case CensusAnswerKind::NoData:
                break;
            case CensusAnswerKind::Table:
                takeRows(std::move(answer), figures);
                break;
            }
        }
        if (!failed.isEmpty()) {
            for (const QString& zcta : requests.zctasAsked[i])
                figures.failedZctas.insert(zcta, failed);
        }
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
    static const QRegularExpression fiveDigits(QStringLiteral("^[0-9]{5}$"));
    const QString zip = trimZipSpaces(entry);
    if (!fiveDigits.match(zip).hasMatch())
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
        const QStringList cells = answer.rows.value(zcta).split(CensusAnswer::kEnd);
        for (qsizetype column = 0; column < answer.columns.size() && column < cells.size(); ++column) {
            const QString& cell = cells[column];
            values.insert(answer.columns[column], cell.isEmpty() ? CensusValue() : CensusValue(cell));
        }
    }
    return values;
}

QString zctaName(const QString& zcta) { return "ZCTA5 " + zcta; }

CheckedCensusYear readCensusYear(const CensusSettings& census, const BatchSettings& settings, RunObserver& observer,
                                 CensusProgress& progress)
{
    CheckedCensusYear checkedYear;
    YearLabels year = readYearLabels(census, settings, observer, progress);
    if (year.exitStatus) {
        checkedYear.exitStatus = year.exitStatus;
        return checkedYear;
    }
    const CheckedVariables checked = checkVariables(census.variables, census.userVariables, year.labels, year.year);
    for (const QString& leftOut : checked.leftOut)
        observer.message("warning: " + leftOut);
    if (!checked.error.isEmpty()) {
        observer.message(checked.error);
        checkedYear.exitStatus = kExitUsage;
        return checkedYear;
    }
    observer.message(QStringLiteral("figures of the ACS 5-year data profile of %1 (Census Data API)").arg(year.year));
    checkedYear.year = year.year;
    checkedYear.variables = checked.variables;
    QStringList fullLabels;
    for (const CensusVariable& variable : checked.variables)
        fullLabels.append(year.labels.label(variable.id));
    checkedYear.labels = shortLabels(fullLabels);
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
    BatchSettings data = apiSettings(settings);
    data.sentSuffix = censusKeySuffix(census.key);
    data.worthKeeping = [](const FetchOutcome& outcome) {
        if (outcome.httpStatus == 204)
            return true;
        return outcome.httpStatus == 200
               && parseCensusAnswer(outcome.httpStatus, bodyBytes(outcome)).kind == CensusAnswerKind::Table;
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
