#pragma once

#include "batch/batchsettings.h"
#include "batch/censusentries.h"
#include "batch/censusyear.h"
#include "batch/earlyend.h"
#include "census/censussettings.h"

#include <QStringList>

#include <optional>

namespace zd {

class CensusProgress;
class RunObserver;

// The figures of the ZCTAs in the year, asked for in the fewest requests through
// the batch engine; why the run ended early when the API refused it (the key, a
// request), or a stop or the cache ended it. A ZCTA whose answer could not be
// had is among the figures' failedZctas, with the reason.
struct CensusFetchResult {
    std::optional<EarlyEnd> end;
    CensusFigures figures;
};
CensusFetchResult fetchCensusFiguresOfYear(const QStringList& zctas, const CheckedCensusYear& year,
                                           const CensusSettings& census, const BatchSettings& settings,
                                           RunObserver& observer, CensusProgress& progress);

}  // namespace zd
