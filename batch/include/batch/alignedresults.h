#pragma once

namespace zd {

class ListModel;
class ResultsTable;
struct EntryResult;

// The aligned rows of one entry's results, appended to a list that has the
// demographics list's columns (and a third for the margins of error): the name
// row, then a row per figure; with margins of error they stand in the third
// column beside their figures. An entry without a location adds nothing.
void appendAlignedRows(ListModel& list, const EntryResult& result, bool marginsOfError);

// A fresh list given those columns and the rows of every entry of the table.
void fillAlignedList(ListModel& list, const ResultsTable& table, bool marginsOfError);

}  // namespace zd
