#include "batch/alignedresults.h"

#include "core/listmodel.h"
#include "export/resultstable.h"
#include "retrieval/demographicsrows.h"

namespace zd {

ListModel& withAlignedColumns(ListModel& list, bool marginsOfError, bool reliability)
{
    addDemographicsColumns(list);
    if (marginsOfError)
        list.addColumn(QStringLiteral(" Margin of error"));
    if (marginsOfError && reliability) {
        list.addColumn(QStringLiteral(" CV"));
        list.addColumn(QStringLiteral(" Reliability"));
    }
    return list;
}

void appendAlignedRows(ListModel& list, const EntryResult& result)
{
    if (result.location)
        list.addRow(*result.location);
    for (const Figure& figure : result.figures) {
        const auto row = list.addRow(figure.label);
        list.setSubItem(row, 1, figure.value);
        if (figure.margin)
            list.setSubItem(row, 2, *figure.margin);
        if (!figure.cv.isEmpty())
            list.setSubItem(row, 3, figure.cv);
        if (!figure.reliability.isEmpty())
            list.setSubItem(row, 4, figure.reliability);
    }
}

}  // namespace zd
