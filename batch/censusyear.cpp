#include "batch/censusyear.h"

#include "batch/censusapi.h"
#include "batch/runobserver.h"
#include "census/censuskeyproblem.h"
#include "census/censuslabels.h"
#include "census/censusrequest.h"
#include "census/censussource.h"
#include "core/escapedcontrols.h"
#include "census/figurechoice.h"
#include "export/exportformat.h"
#include "retrieval/pagefetch.h"

namespace zd {
namespace {

struct YearLabels {
    std::optional<EarlyEnd> end;
    int year = 0;
    CensusLabels labels;
};

// What one year's answer to the request for its list means: the labels, a year
// to step over (when stepping back from the newest), or the end of the run.
struct YearList {
    enum class Step { Read, StepOver, End } step = Step::End;
    std::optional<EarlyEnd> end;
    CensusLabels labels;
};

YearList endOfYears(EndReason reason, const QString& message)
{
    return {YearList::Step::End, EarlyEnd{reason, message}, {}};
}

YearList judgeYearList(const FetchOutcome& outcome, int year, const CensusSettings& census,
                       const BatchSettings& settings)
{
    const bool steppingBack = !census.year;
    const QString yearText = QString::number(year);
    if (isCensusKeyProblem(censusAnswerHead(outcome), outcome.bytes))
        return {YearList::Step::End, censusKeyRefused(census), {}};
    if (steppingBack && ((!outcome.complete && settings.offline) || (outcome.complete && outcome.httpStatus == 404)))
        return {YearList::Step::StepOver, std::nullopt, {}};  // offline: the newest year whose list the cache holds
    if (!outcome.complete)
        return endOfYears(EndReason::SourceUnreadable, "cannot read the Census API's list of variables of "
                                                           + yearText + ": "
                                                           + shownCensusText(censusFailureReason(outcome), census));
    if (outcome.httpStatus == 404)
        return endOfYears(EndReason::YearMissing, "the Census API has no ACS 5-year data profile for " + yearText);
    if (std::optional<CensusLabels> labels = CensusLabels::parse(outcome.bytes))
        return {YearList::Step::Read, std::nullopt, std::move(*labels)};
    return endOfYears(EndReason::SourceUnreadable,
                      shownCensusText("the Census API's list of variables of " + yearText
                                          + " cannot be read (status " + QString::number(outcome.httpStatus)
                                          + censusRedirectText(outcome) + ")",
                                      census));
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
    BatchSettings lists = censusApiSettings(settings, census);
    // Only a list that reads is kept (and used from the cache).
    lists.worthKeeping = [](const QString&, const FetchOutcome& outcome) {
        return outcome.httpStatus == 200 && CensusLabels::parse(outcome.bytes).has_value();
    };
    QList<int> years;
    for (int step = 0; step <= (census.year ? 0 : kCensusYearStepsBack); ++step)
        years.append(census.year.value_or(kNewestCensusYear) - step);
    for (const int year : years) {
        const CensusFetched fetched =
            fetchFromCensusApi({censusVariablesUrl(census.baseUrl, year)}, lists, observer, progress);
        if (fetched.end)
            return {fetched.end, year, {}};
        YearList list = judgeYearList(fetched.outcomes.first(), year, census, settings);
        if (list.step == YearList::Step::Read)
            return {std::nullopt, year, std::move(list.labels)};
        if (list.step == YearList::Step::End)
            return {list.end, year, {}};
    }
    return {EarlyEnd{EndReason::SourceUnreadable, noYearMessage(years, settings.offline)}, 0, {}};
}

}  // namespace

CheckedCensusYear readCensusYear(const CensusSettings& census, const BatchSettings& settings, RunObserver& observer,
                                 CensusProgress& progress)
{
    CheckedCensusYear checkedYear;
    // The Census Bureau's API answers nothing without a key: no request is made.
    if (census.key.isEmpty() && census.baseUrl == builtInCensusUrl()) {
        checkedYear.end = censusKeyRefused(census);
        return checkedYear;
    }
    YearLabels year = readYearLabels(census, settings, observer, progress);
    if (year.end) {
        checkedYear.end = year.end;
        return checkedYear;
    }
    const CheckedVariables checked = checkVariables(census.variables, census.userVariables, year.labels, year.year);
    for (const QString& leftOut : checked.leftOut)
        observer.message("warning: " + escapedControls(leftOut));  // it may quote a label of the API
    if (!checked.error.isEmpty()) {
        checkedYear.end = EarlyEnd{EndReason::RequestRefused, escapedControls(checked.error)};
        return checkedYear;
    }
    observer.message(QStringLiteral("figures of the ACS 5-year data profile of %1 (Census Data API)").arg(year.year));
    checkedYear.year = year.year;
    checkedYear.variables = checked.variables;
    checkedYear.labels = shownLabels(checked.variables, year.labels, year.year);
    if (!census.onlyFigure.isEmpty()) {
        // The labels are those of the whole set, so the figure reads as in any other run.
        ChosenFigure chosen = chooseFigure(checkedYear.variables, checkedYear.labels, census.onlyFigure);
        if (!chosen.error.isEmpty()) {
            checkedYear.end = EarlyEnd{EndReason::RequestRefused, chosen.error};
            return checkedYear;
        }
        checkedYear.variables = std::move(chosen.variables);
        checkedYear.labels = std::move(chosen.labels);
    }
    checkedYear.universes = figureUniverses(checkedYear.variables, year.labels);
    if (census.total) {
        checkedYear.totalRules = figureTotalRules(checkedYear.variables, year.labels);
        checkedYear.totalSupportIds = shareSupportIds(checkedYear.totalRules);
    }
    return checkedYear;
}

QString censusVintage(int year) { return QStringLiteral("%1-%2 ACS 5-year").arg(year - 4).arg(year); }

FigureSource censusFigureSource(int year)
{
    return {censusVintage(year), QStringLiteral("U.S. Census Bureau, American Community Survey data profile, "
                                                "through the Census Data API")};
}

RunInfo censusRunInfo(const CensusSettings& census, int year)
{
    RunInfo run = runInfoNow();
    run.site = QStringLiteral("Census Data API (%1), ACS 5-year data profile %2. ").arg(census.baseUrl).arg(year)
               + censusNotice();
    run.figureSource = censusFigureSource(year);
    return run;
}

}  // namespace zd
