#pragma once

#include "census/censussettings.h"
#include "export/exportformat.h"
#include "export/figuresource.h"
#include "export/workbookwriter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

class RunObserver;
struct BatchSettings;

// lookup, export and show with the census source. Each reads the year's variable
// list (once per year, kept in the cache), checks the figures against it, then
// asks for the figures of every entry's ZCTA in the fewest requests, through the
// batch engine. Entries come back in input order; an entry that is no ZCTA is
// not found. The exit statuses are those of the site's runs; a request the API
// refuses (an unknown variable, the key) is a usage error (2).
int runCensusLookup(const QStringList& entries, const CensusSettings& census, const BatchSettings& settings,
                    RunObserver& observer);
int runCensusExport(const QStringList& entries, const QString& outputPath, ExportFormat format, bool csvLong,
                    const CensusSettings& census, const BatchSettings& settings, RunObserver& observer);
int runCensusShow(const QString& entry, ExportFormat format, bool csvLong, const CensusSettings& census,
                  RunObserver& observer);

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
