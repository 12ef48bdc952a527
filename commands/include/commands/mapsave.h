#pragma once

#include "commands/tablesave.h"
#include "map/mapfile.h"

#include <optional>

namespace zd {

class CensusSession;
class ErrorTrap;
class ListModel;
class WindowState;

// The save dialog's map filters, after the table formats: 5 "Map of the
// selected figure (*.svg)" and 6 "Map of the selected figure (*.png)".
inline constexpr const char* kMapSaveFilters =
    "Map of the selected figure (*.svg)|*.svg|Map of the selected figure (*.png)|*.png|";
std::optional<MapFormat> mapFormatOfSaveFilter(int filterIndex);

// The path to write under a map filter: as typed when it names an extension,
// else with the format's (".svg", ".png").
QString withMapExtension(const QString& path, MapFormat format);

// The figure a map of the window shows: the demographics list's selected row
// when it is a figure (a label with a value), else its first figure; empty
// when the list shows none.
QString selectedFigure(const ListModel& demographics);

// The save command's road for a map: the figure chosen in the demographics
// list, every location of the location list fetched in order as for a table,
// drawn as one picture under the busy pointer. When the list shows no figure,
// the first figure of the results is drawn. A write that fails shows the
// command's error box and leaves an existing file as it was; so do failed
// entries, as for a table.
[[nodiscard]] TableSaveOutcome saveAllLocationsAsMap(WindowState& state, ErrorTrap& trap, const QString& path,
                                                     MapFormat format, CensusSession* census = nullptr);

}  // namespace zd
