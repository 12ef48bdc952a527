#pragma once

#include "batch/batchsettings.h"
#include "batch/censusrun.h"
#include "core/dialogs.h"

#include <cstdio>
#include <memory>

namespace zd {

class CensusSession;

// The census source's settings from the environment, as the command line reads
// them without options: ZIPDEMOGRAPHICS_CENSUS_URL (https, or http for a
// loopback address), ZIPDEMOGRAPHICS_CENSUS_YEAR, CENSUS_API_KEY, and the first
// back-off of a retry (ZIPDEMOGRAPHICS_RETRY_BASE_MS, for tests). error names
// the setting that cannot be used, and why; the key is never in it.
struct CensusEnvironment {
    CensusSettings census;
    BatchSettings batch;
    QString error;
};
CensusEnvironment readCensusEnvironment();

// At the desktop program's start, when ZIPDEMOGRAPHICS_SOURCE is "census": the
// session of the census source, or, for a setting that cannot be used, a line on
// the error stream and a warning box naming it, and false (the program ends with
// status 2). With any other source, true and no session.
[[nodiscard]] bool confirmUsableCensusSettings(Dialogs& dialogs, std::shared_ptr<CensusSession>& session,
                                               std::FILE* errorStream = stderr);

}  // namespace zd
