#pragma once

#include "census/censussettings.h"
#include "census/censusanswer.h"
#include "census/censusvariables.h"
#include "export/resultstable.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

class CensusProgress;
class RunObserver;
struct BatchSettings;

// The figures the API gave for a run's ZCTAs, ready to become entries' results.
struct CensusFigures {
    int year = 0;
    QList<CensusVariable> variables;                  // as checked against the year's list
    QStringList labels;                               // their short labels, in the same order
    QList<CensusAnswer> answers;                      // the tables, rows of the ZCTAs asked for only
    QHash<QString, QList<qsizetype>> answersOf;       // ZCTA -> the answers that hold its row
    QHash<QString, QString> failedZctas;              // ZCTA -> why its figures could not be had

    bool holds(const QString& zcta) const { return answersOf.contains(zcta); }
    // Every value of the ZCTA's row by variable; nothing for no estimate.
    QHash<QString, CensusValue> valuesOf(const QString& zcta) const;
};

// Reads the year's labels, checks the figures and fetches them for the entries'
// ZCTAs, telling the progress in entries. Returns the exit status when the run
// cannot go on, after saying why.
struct CensusFetchResult {
    std::optional<int> exitStatus;
    CensusFigures figures;
};
CensusFetchResult fetchCensusFigures(const QStringList& entries, const CensusSettings& census,
                                     const BatchSettings& settings, RunObserver& observer);

// The two halves of that, for a caller that asks for figures more than once in
// the year: the year's variable list read (stepping back from the newest year
// when none is set) and the figures checked against it ...
struct CheckedCensusYear {
    std::optional<int> exitStatus;
    int year = 0;
    QList<CensusVariable> variables;  // as checked against the year's list
    QStringList labels;               // their short labels, in the same order
    bool yearMissing = false;         // the API has no data profile of the year asked for
};
CheckedCensusYear readCensusYear(const CensusSettings& census, const BatchSettings& settings, RunObserver& observer,
                                 CensusProgress& progress);
// ... and the figures of the entries' ZCTAs in that year, in the fewest requests.
CensusFetchResult fetchCensusFiguresOfYear(const QStringList& entries, const CheckedCensusYear& year,
                                           const CensusSettings& census, const BatchSettings& settings,
                                           RunObserver& observer, CensusProgress& progress);

// The ZCTA an entry asks for: the entry trimmed of spaces when that is five digits.
std::optional<QString> zctaOfEntry(const QString& entry);
// The distinct ZCTAs of the entries, in input order.
QStringList zctasOfEntries(const QStringList& entries);
// One entry's results from the figures: the ZCTA's place ("City, ST" from the
// place table, else the API's name, "ZCTA5 03053") and its figures, each with its
// variable's ID (and its margin of error and the margin's ID when asked for).
EntryResult censusEntryResult(const QString& entry, const CensusFigures& figures, bool marginsOfError);
// The name the API gives a ZCTA: "ZCTA5 03053".
QString zctaName(const QString& zcta);

}  // namespace zd
