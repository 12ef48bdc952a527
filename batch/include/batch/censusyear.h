#pragma once

#include "batch/batchsettings.h"
#include "batch/earlyend.h"
#include "census/censussettings.h"
#include "census/censusvariables.h"
#include "census/totalrules.h"
#include "export/figuresource.h"
#include "export/workbookwriter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

class CensusProgress;
class RunObserver;

// The year's variable list read (stepping back from the newest year when none is
// set, and over years the cache lacks offline) and the figures checked against
// it; or why that could not be done.
struct CheckedCensusYear {
    std::optional<EarlyEnd> end;
    int year = 0;
    QList<CensusVariable> variables;  // as checked against the year's list
    QStringList labels;               // their short labels, in the same order
    QStringList universes;            // their blocks' universes, in the same order (figureUniverses)
    QList<FigureTotalRule> totalRules;  // with a total: how each figure adds up, in the same order
    QStringList totalSupportIds;        // with a total: the counts and bases its percents need
};
CheckedCensusYear readCensusYear(const CensusSettings& census, const BatchSettings& settings, RunObserver& observer,
                                 CensusProgress& progress);

// The vintage a 5-year year names: "2020-2024 ACS 5-year" for 2024.
QString censusVintage(int year);
// What the files of a run from the API say of their figures: the vintage, and
// the Census Bureau's survey through the Census Data API.
FigureSource censusFigureSource(int year);

// What a table file's "About" sheet says of a run from the API: its address, the
// year, and the Census Bureau's notice, the vintage and source; the time and
// version of a run that begins now.
RunInfo censusRunInfo(const CensusSettings& census, int year);

}  // namespace zd
