#pragma once

#include "commands/failedentries.h"
#include "export/exportformat.h"
#include "export/resultstable.h"

#include <functional>
#include <optional>

namespace zd {

class CensusSession;
class ErrorTrap;
class WindowState;

// The format a filter of the save dialog asks for beyond the aligned text file:
// 3 "CSV Files (*.csv)" and 4 "Excel Workbooks (*.xlsx)"; nothing for the first two.
std::optional<ExportFormat> tableFormatOfSaveFilter(int filterIndex);

// The path to write under a table filter: as typed when it names an extension,
// else with the format's (".csv", ".xlsx"), so that the file opens from a double
// click like any other of its kind.
QString withDefaultExtension(const QString& path, ExportFormat format);
// The same for any file the save writes: the path with ".extension" when the
// typed name has none.
QString withExtension(const QString& path, const QString& extension);

// One entry's results for a save of the whole list: from its page, fetched on
// its own by the site's source, or from the census figures fetched for the
// whole list; a failed one is noted in failed.
EntryResult resultOfSavedEntry(const QString& entry, const CensusSession* census, FailedEntries& failed);

// Every location of the location list's results in order, each handed to
// `take`, under the busy pointer (statements 112, 126, 128, 136). With the census
// source the whole list's figures are asked for first; false when the API
// refused them (its box said why) and nothing was handed out.
bool fetchEverySavedLocation(WindowState& state, ErrorTrap& trap, CensusSession* census, FailedEntries& failed,
                             const std::function<void(EntryResult&&)>& take);

// What became of a table save: whether the file was written, or an existing
// target kept because entries failed, and which entries those were.
struct TableSaveOutcome {
    bool written = false;
    bool targetKept = false;
    FailedEntries failed;
};

// The save command's road for a table format: every location of the location
// list in order, one fetch each, written as one table under the busy pointer.
// The demographics list stays as the user had it. A write that fails shows the
// command's error box. When entries failed in transport, an existing target is
// kept as it was. With the census source the figures of the whole list are
// asked for at once; when the API refuses, its box says why and nothing is written.
[[nodiscard]] TableSaveOutcome saveAllLocationsAsTable(WindowState& state, ErrorTrap& trap,
                                                       const QString& path, ExportFormat format,
                                                       CensusSession* census = nullptr);

}  // namespace zd
