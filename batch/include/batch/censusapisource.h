#pragma once

#include "batch/batchsettings.h"
#include "batch/censusentries.h"
#include "batch/censustotal.h"
#include "batch/censusyear.h"
#include "batch/entrysource.h"
#include "census/censussettings.h"

#include <QSet>

#include <optional>

namespace zd {

class CensusProgress;

// The Census Data API as a source: the year's variable list read once, then the
// figures of the entries' ZCTAs in the fewest requests, through the batch engine.
// Every answer is kept once it has arrived, so that nothing is asked for twice
// by a caller that asks more than once (the window). An entry that is no ZCTA is
// not found; one whose ZCTA's answer could not be had fails.
class CensusApiSource : public EntrySource {
public:
    CensusApiSource(CensusSettings census, BatchSettings settings);

    // Lookup asks for one figure only: whether a ZCTA is there shows in any one.
    std::optional<EarlyEnd> fetchEach(const PackedStrings& entries, EntryNeed need, RunObserver& observer,
                                      const EntryTaker& take) override;
    std::optional<EarlyEnd> fetchOne(const QString& entry, RunObserver& observer, EntryOutcome& outcome) override;
    RunInfo runInfo() const override;
    bool marginsOfError() const override { return m_census.marginsOfError; }
    QString nothingToShow(const EntryResult& result) const override;
    std::optional<EntryResult> totalOfEntries() const override;

    const CensusSettings& settings() const { return m_census; }
    void setKey(const QString& key) { m_census.key = key; }

    // The year's variable list, read the first time only.
    std::optional<EarlyEnd> readYear(RunObserver& observer, CensusProgress& progress);
    bool hasYear() const { return m_year.has_value(); }
    // The year the figures are of: the one the API answered with, else the one
    // set at start until the API has said that it has no such year.
    std::optional<int> year() const;
    // The ZCTAs of the entries whose answers have not arrived yet.
    QStringList missingZctas(const PackedStrings& entries) const;
    // Asks for the figures of the ZCTAs (reading the year first when it is not
    // yet read); those whose answer could not be had are failures until asked
    // for again.
    std::optional<EarlyEnd> fetchZctas(const QStringList& zctas, RunObserver& observer, CensusProgress& progress);

    // The total of the entries' found ZCTAs with its margins, asked for on its own
    // (the figures with the counts and bases the total needs, and their margins),
    // so that the figures kept for the entries stay as they were asked for.
    std::optional<EarlyEnd> fetchTotal(const PackedStrings& entries, RunObserver& observer, EntryResult& total) const;

    // An entry's results from the figures at hand, with or without the margins.
    EntryResult resultOf(const QString& entry, bool marginsOfError) const;
    // Whether the entry's results are at hand without a request: it is no ZCTA,
    // or its ZCTA's answer has arrived.
    bool knows(const QString& entry) const;
    // Why the last fetch could not have the entry's figures; empty when it could.
    QString failureOf(const QString& entry) const;

private:
    std::optional<EarlyEnd> handOut(const PackedStrings& entries, RunObserver& observer, const EntryTaker& take);
    void remember(CensusFigures&& fetched, const QStringList& asked);

    CensusSettings m_census;
    BatchSettings m_settings;
    std::optional<CheckedCensusYear> m_year;
    bool m_setYearMissing = false;  // the API has no data profile for the year set at start
    CensusFigures m_figures;        // every answer so far; failedZctas: those of the last fetch
    QSet<QString> m_answered;       // ZCTAs asked for whose answers arrived, with figures or without
    std::optional<CensusTotal> m_total;  // with a total: that of the last entries handed out
};

}  // namespace zd
