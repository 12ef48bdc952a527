#pragma once

#include "export/exportformat.h"

#include <optional>

namespace zd {

class ErrorTrap;
class WindowState;

// The format a filter of the save dialog asks for beyond the aligned text file:
// 3 "CSV Files (*.csv)" and 4 "Excel Workbooks (*.xlsx)"; nothing for the first two.
std::optional<ExportFormat> tableFormatOfSaveFilter(int filterIndex);

// The save command's road for a table format: every location of the location
// list in order, one fetch each, written as one table under the busy pointer.
// The demographics list stays as the user had it. A write that fails shows the
// command's error box; true when the file was written.
[[nodiscard]] bool saveAllLocationsAsTable(WindowState& state, ErrorTrap& trap, const QString& path,
                                           ExportFormat format);

}  // namespace zd
