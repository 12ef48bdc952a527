#pragma once

namespace zd {

class ListModel;
struct EntryResult;

// The aligned list's columns: those of the demographics list, and with margins
// of error a third beside the figures. Returns the list.
// With reliability two more follow the margin: its coefficient of variation and
// reliability word.
ListModel& withAlignedColumns(ListModel& list, bool marginsOfError, bool reliability = false);

// The aligned rows of one entry's results, appended to a list with those
// columns: the name row, then a row per figure, its margin of error (when it has
// one) in the third column, its CV and word (when it has them) in the next two. An entry without a location adds no name row.
void appendAlignedRows(ListModel& list, const EntryResult& result);

}  // namespace zd
