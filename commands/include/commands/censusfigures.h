#pragma once

#include <QString>
#include <QStringList>

namespace zd {

class CensusSession;
class Dialogs;
class FailedEntries;
class ListModel;
struct EntryResult;

// Asks for the figures of the entries that are not remembered yet. When the API
// refuses (an unknown year or variable, the key, no connection), a warning box
// says why and false is returned; entries whose figures alone could not be had
// are left to the caller (their results fail).
[[nodiscard]] bool fetchCensusFiguresOrSayWhy(CensusSession& census, const QStringList& entries,
                                              Dialogs& dialogs);

// The same for every location of the location list, in one go.
[[nodiscard]] bool fetchCensusFiguresOfListOrSayWhy(CensusSession& census, const ListModel& locations,
                                                    Dialogs& dialogs);

// A saved entry's results from the figures fetched for the whole list; one
// whose figures could not be had is counted among the save's failed entries.
EntryResult censusResultOfSavedEntry(const CensusSession& census, const QString& entry, FailedEntries& failed);

// Appends an entry's figures to the demographics list as the command line's
// census "show" lays them out: the place row, then a row per figure. The
// figures are fetched the first time only. An entry that is no ZCTA, or one the
// API lacks, adds nothing, as a zip code the site does not know; one whose
// figures could not be fetched adds nothing and says why in a warning box.
// With RememberedOnly nothing is fetched: an entry whose figures have not
// arrived yet adds nothing, until it is clicked.
enum class CensusFetching { FetchMissing, RememberedOnly };
void ShowCensusFigures(ListModel& demographics, const QString& entry, CensusSession& census, Dialogs& dialogs,
                       CensusFetching fetching = CensusFetching::FetchMissing);

}  // namespace zd
