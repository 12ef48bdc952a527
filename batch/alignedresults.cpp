#include "batch/alignedresults.h"

#include "core/listmodel.h"
#include "export/resultstable.h"
#include "retrieval/demographicsrows.h"

namespace zd {

void appendAlignedRows(ListModel& list, const EntryResult& result, bool marginsOfError)
{
    if (result.location)
        list.addRow(*result.location);
    const qsizetype step = marginsOfError ? 2 : 1;
    for (qsizetype i = 0; i + step - 1 < result.figures.size(); i += step) {
        const auto row = list.addRow(result.figures[i].label);
        list.setSubItem(row, 1, result.figures[i].value);
        if (marginsOfError)
            list.setSubItem(row, 2, result.figures[i + 1].value);
    }
}

void fillAlignedList(ListModel& list, const ResultsTable& table, bool marginsOfError)
{
    addDemographicsColumns(list);
    if (marginsOfError)
        list.addColumn(QStringLiteral(" Margin of error"));
    table.forEachEntry([&](const EntryResult& result, const QList<int>&) {
        appendAlignedRows(list, result, marginsOfError);
        return true;
    });
}

}  // namespace zd
