#pragma once

#include "batch/batchsettings.h"
#include "census/censussettings.h"
#include "core/dialogs.h"
#include "core/setting.h"

#include <optional>

namespace zd {

class CensusSession;

// The census source's settings from the environment, read as the command line
// reads them without options: ZIPDEMOGRAPHICS_CENSUS_URL (https, or http for a
// loopback address), ZIPDEMOGRAPHICS_CENSUS_YEAR (the window's --year before
// it), the key (CENSUS_API_KEY, else the stored key), and the first back-off of
// a retry (ZIPDEMOGRAPHICS_RETRY_BASE_MS, for tests). error names the setting
// that cannot be used, and why; the key is never in it. keyNotice: why the
// stored key cannot be used, or that its file may be read by others.
struct CensusEnvironment {
    CensusSettings census;
    BatchSettings batch;
    QString error;
    QString keyNotice;
};
CensusEnvironment readCensusEnvironment(const std::optional<Setting>& yearOption = std::nullopt);

// The key question: the key typed, kept in the keyring (else the private file)
// when the user leaves the box checked; a box says where it went when that is
// not the keyring, or why it could not be kept. Cancel, or no key, is said to
// leave the census figures out of reach; the result is then empty.
QString askForCensusKey(Dialogs& dialogs);
// Once the window is up: a session without a key asks for one (askForCensusKey)
// and takes the answer.
void askForMissingCensusKey(Dialogs& dialogs, CensusSession& session);
// After the API refused the session's key (or asked for one it lacks): the key
// question again, saying so, with the choice to keep the new key. A typed text
// that cannot be a key is asked for again, saying why. True when the session
// has a new key to try; false on Cancel, the session's key left as it was.
[[nodiscard]] bool askForAnotherCensusKey(Dialogs& dialogs, CensusSession& session);

}  // namespace zd
