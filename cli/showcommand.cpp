#include "cli/showcommand.h"

#include "app/core/listmodel.h"
#include "cli/console.h"
#include "cli/entryrows.h"
#include "cli/exitstatus.h"
#include "export/alignedwriter.h"

namespace zd {
namespace {

QStringList headerCells(const ListModel& list)
{
    QStringList cells;
    for (int column = 1; column <= list.columnCount(); ++column)
        cells.append(list.headerText(column));
    return cells;
}

QStringList rowCells(const ListModel& list, int position)
{
    QStringList cells;
    for (int column = 1; column <= list.columnCount(); ++column)
        cells.append(list.cellText(position, column));
    return cells;
}

QList<int> columnWidths(const ListModel& list)
{
    QList<int> widths;
    for (const QString& header : headerCells(list))
        widths.append(header.size());
    for (int position = 1; position <= list.rowCount(); ++position) {
        const QStringList cells = rowCells(list, position);
        for (qsizetype column = 0; column < cells.size(); ++column)
            widths[column] = std::max<int>(widths[column], cells[column].size());
    }
    return widths;
}

}  // namespace

QString alignedText(const ListModel& list)
{
    const QList<int> widths = columnWidths(list);
    QString text = alignedLine(headerCells(list), widths) + '\n';
    for (int position = 1; position <= list.rowCount(); ++position)
        text += alignedLine(rowCells(list, position), widths) + '\n';
    return text;
}

int runShow(const QString& entry, Console& console)
{
    ListModel list;
    addDemographicsColumns(list);
    const QStringList reasons = appendEntryRows(list, entry);
    console.print(alignedText(list));
    for (const QString& reason : reasons)
        console.printError("entry \"" + entry + "\": " + reason);
    if (console.outputFailed()) {
        console.printError("cannot write to standard output");
        return kExitOutputFailed;
    }
    return reasons.isEmpty() ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
