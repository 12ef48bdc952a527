#include "batch/censusapisource.h"

#include "batch/censusanswers.h"
#include "batch/censusprogress.h"
#include "batch/runobserver.h"
#include "census/censussource.h"
#include "census/placenames.h"
#include "census/zctalist.h"
#include "export/exportformat.h"

namespace zd {
namespace {

// The ZIP codes that the place table knows but the API does not: PO boxes,
// single buildings and the like have no ZIP Code Tabulation Area of the year's
// vintage. The first few are named one by one, the rest counted: a whole-country
// list holds thousands. A ZCTA of the vintage that has no figures (a few, without
// people) is named always, as one.
class EntriesWithoutZcta {
public:
    EntriesWithoutZcta(RunObserver& observer, int year) : m_observer(observer), m_year(year) {}

    void add(const QString& entry)
    {
        const std::optional<QString> zip = zctaOfEntry(entry);
        const std::optional<Place> place = zip ? PlaceNames::installed().find(*zip) : std::nullopt;
        const bool isZcta = zip && ZctaList::ofYear(m_year).contains(*zip);
        if (isZcta)
            m_observer.message("entry \"" + entry + "\": a ZIP Code Tabulation Area of "
                               + QString::number(zctaVintageOfYear(m_year)) + ", but the Census Bureau has no "
                               "figures for it in " + QString::number(m_year));
        else if (place && ++m_count <= kNamedOneByOne)
            m_observer.message("entry \"" + entry + "\": ZIP code of " + place->name()
                               + ", but not a ZIP Code Tabulation Area: the Census Bureau has no figures for it");
    }

    // The count of those not named, once the run's entries are done.
    void sayTheRest() const
    {
        if (m_count <= kNamedOneByOne)
            return;
        m_observer.message(QStringLiteral("... and %1 more entries that are ZIP codes but not ZIP Code Tabulation "
                                          "Areas, %2 in all: the Census Bureau has no figures for them")
                               .arg(m_count - kNamedOneByOne)
                               .arg(m_count));
    }

private:
    static constexpr qsizetype kNamedOneByOne = 5;
    RunObserver& m_observer;
    int m_year;
    qsizetype m_count = 0;
};

// The settings of a lookup: the first figure of the set, without its margin.
CensusSettings oneFigure(CensusSettings census)
{
    census.variables = census.variables.mid(0, 1);
    census.marginsOfError = false;
    census.total = false;
    return census;
}

}  // namespace

CensusApiSource::CensusApiSource(CensusSettings census, BatchSettings settings)
    : m_census(std::move(census)), m_settings(std::move(settings))
{
}

std::optional<EarlyEnd> CensusApiSource::fetchEach(const PackedStrings& entries, EntryNeed need,
                                                   RunObserver& observer, const EntryTaker& take)
{
    if (need == EntryNeed::Location) {
        CensusApiSource located(oneFigure(m_census), m_settings);
        return located.handOut(entries, observer, take);
    }
    return handOut(entries, observer, take);
}

std::optional<EarlyEnd> CensusApiSource::fetchOne(const QString& entry, RunObserver& observer,
                                                  EntryOutcome& outcome)
{
    return handOut(PackedStrings{entry}, observer, [&](EntryOutcome&& taken) { outcome = std::move(taken); });
}

std::optional<EarlyEnd> CensusApiSource::handOut(const PackedStrings& entries, RunObserver& observer,
                                                 const EntryTaker& take)
{
    CensusProgress progress(entries);
    if (std::optional<EarlyEnd> end = readYear(observer, progress))
        return end;
    if (std::optional<EarlyEnd> end = fetchZctas(missingZctas(entries), observer, progress))
        return end;
    EntriesWithoutZcta withoutZcta(observer, m_year->year);
    const CensusColumns columns(m_figures, m_census.marginsOfError);
    m_total.reset();
    if (m_census.total)
        m_total.emplace(m_figures, m_year->totalRules, m_year->totalSupportIds, m_census.marginsOfError);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString entry = entries.at(i);
        EntryOutcome outcome{censusEntryResult(entry, columns), {}};
        if (m_total && outcome.result.status == EntryStatus::Found)
            m_total->add(*zctaOfEntry(entry));
        if (entryFailed(outcome.result)) {
            outcome.problems.append(failureOf(entry));
            if (m_total)
                m_total->leaveOut(entry);
        }
        if (outcome.result.status == EntryStatus::NotFound)
            withoutZcta.add(entry);
        take(std::move(outcome));
    }
    withoutZcta.sayTheRest();
    return std::nullopt;
}

RunInfo CensusApiSource::runInfo() const
{
    if (const std::optional<int> known = year())
        return censusRunInfo(m_census, *known);
    // A list without a ZIP Code Tabulation Area asked for nothing, not even the year.
    RunInfo run = runInfoNow();
    run.site = "Census Data API (" + m_census.baseUrl + "). " + censusNotice();
    return run;
}

QString CensusApiSource::nothingToShow(const EntryResult& result) const
{
    return locationLine(result) + " (no ZIP Code Tabulation Area); nothing to show";
}

std::optional<EntryResult> CensusApiSource::totalOfEntries() const
{
    if (!m_total)
        return std::nullopt;
    return m_total->result();
}

std::optional<EarlyEnd> CensusApiSource::fetchTotal(const PackedStrings& entries, RunObserver& observer,
                                                    EntryResult& total) const
{
    CensusSettings adding = m_census;
    adding.total = true;
    adding.marginsOfError = true;
    if (m_year)
        adding.year = m_year->year;
    CensusApiSource source(adding, m_settings);
    if (std::optional<EarlyEnd> end = source.fetchEach(entries, EntryNeed::Figures, observer, [](EntryOutcome&&) {}))
        return end;
    total = *source.totalOfEntries();
    return std::nullopt;
}

std::optional<EarlyEnd> CensusApiSource::readYear(RunObserver& observer, CensusProgress& progress)
{
    if (m_year)
        return std::nullopt;
    CheckedCensusYear read = readCensusYear(m_census, m_settings, observer, progress);
    if (read.end) {
        m_setYearMissing = m_setYearMissing || read.end->reason == EndReason::YearMissing;
        return read.end;
    }
    m_year = std::move(read);
    m_figures.year = m_year->year;
    m_figures.variables = m_year->variables;
    m_figures.labels = m_year->labels;
    m_figures.universes = m_year->universes;
    return std::nullopt;
}

std::optional<int> CensusApiSource::year() const
{
    if (m_year)
        return m_year->year;
    if (m_setYearMissing)
        return std::nullopt;
    return m_census.year;
}

QStringList CensusApiSource::missingZctas(const PackedStrings& entries) const
{
    QStringList missing;
    for (const QString& zcta : zctasOfEntries(entries)) {
        if (!m_answered.contains(zcta))
            missing.append(zcta);
    }
    return missing;
}

std::optional<EarlyEnd> CensusApiSource::fetchZctas(const QStringList& zctas, RunObserver& observer,
                                                    CensusProgress& progress)
{
    m_figures.failedZctas.clear();
    if (std::optional<EarlyEnd> end = readYear(observer, progress))
        return end;
    CensusFetchResult fetched = fetchCensusFiguresOfYear(zctas, *m_year, m_census, m_settings, observer, progress);
    if (fetched.end)
        return fetched.end;
    remember(std::move(fetched.figures), zctas);
    return std::nullopt;
}

void CensusApiSource::remember(CensusFigures&& fetched, const QStringList& asked)
{
    for (CensusAnswer& answer : fetched.answers)
        m_figures.keep(std::move(answer));
    for (const QString& zcta : asked) {
        if (!fetched.failedZctas.contains(zcta))
            m_answered.insert(zcta);
    }
    m_figures.failedZctas = std::move(fetched.failedZctas);
}

EntryResult CensusApiSource::resultOf(const QString& entry, bool marginsOfError) const
{
    return censusEntryResult(entry, m_figures, marginsOfError);
}

bool CensusApiSource::knows(const QString& entry) const
{
    const std::optional<QString> zcta = zctaOfEntry(entry);
    return !zcta || m_answered.contains(*zcta);
}

QString CensusApiSource::failureOf(const QString& entry) const
{
    const std::optional<QString> zcta = zctaOfEntry(entry);
    return zcta ? m_figures.failedZctas.value(*zcta) : QString();
}

}  // namespace zd
