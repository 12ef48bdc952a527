#pragma once

#include "batch/batchsettings.h"
#include "census/censussettings.h"
#include "census/censussource.h"
#include "core/dialogs.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace zd {

class CensusSession;

// The desktop program's own options for the source: --source and --year, which
// take the place of ZIPDEMOGRAPHICS_SOURCE and ZIPDEMOGRAPHICS_CENSUS_YEAR.
struct WindowSourceOptions {
    std::optional<SourceSetting> source;
    std::optional<SourceSetting> year;
};

// The census source's settings from the environment, as the command line reads
// them without options: ZIPDEMOGRAPHICS_CENSUS_URL (https, or http for a
// loopback address), ZIPDEMOGRAPHICS_CENSUS_YEAR (--year before it), the key
// (CENSUS_API_KEY, else the stored key), and the first back-off of a retry
// (ZIPDEMOGRAPHICS_RETRY_BASE_MS, for tests). error names the setting that
// cannot be used, and why; the key is never in it.
struct CensusEnvironment {
    CensusSettings census;
    BatchSettings batch;
    QString error;
};
CensusEnvironment readCensusEnvironment(const WindowSourceOptions& options = {});

// At the desktop program's start, when --source or else ZIPDEMOGRAPHICS_SOURCE
// is "census": the session of the census source, or, for a setting that cannot
// be used, a line on the error stream and a warning box naming it, and false
// (the program ends with status 2). With any other source, true and no session;
// --year is then refused.
[[nodiscard]] bool confirmUsableCensusSettings(Dialogs& dialogs, std::shared_ptr<CensusSession>& session,
                                               std::FILE* errorStream = stderr,
                                               const WindowSourceOptions& options = {});

// The key question: the key typed, kept in the keyring (else the private file)
// when the user leaves the box checked; a box says where it went when that is
// not the keyring, or why it could not be kept. Cancel, or no key, is said to
// leave the census figures out of reach; the result is then empty.
QString askForCensusKey(Dialogs& dialogs);
// Once the window is up: a session without a key asks for one (askForCensusKey)
// and takes the answer.
void askForMissingCensusKey(Dialogs& dialogs, CensusSession& session);

}  // namespace zd
