#include "export/alignedlayout.h"

#include "core/escapedcontrols.h"
#include "core/listmodel.h"

namespace zd {
namespace {

QString shownCell(const ListModel& list, int line, int column)
{
    return escapedControlBytes(line == 0 ? list.headerText(column) : list.cellText(line, column));
}

QStringList lineCells(const ListModel& list, int line)
{
    QStringList cells;
    for (int column = 1; column <= list.columnCount(); ++column)
        cells.append(shownCell(list, line, column));
    return cells;
}

}  // namespace

QString alignedLine(const QStringList& cells, const QList<qsizetype>& widths)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const qsizetype width = i < widths.size() ? widths[i] : 0;
        line += cells[i];
        line += QString(alignedPadding(cells[i].size(), width), QLatin1Char(' '));
        line += QLatin1Char('\t');
    }
    return line;
}

QString alignedText(const ListModel& list)
{
    const QList<qsizetype> widths =
        alignedColumnWidths(list.columnCount(), list.rowCount(), [&](int line, int column) {
            return shownCell(list, line, column).size();
        });
    QString text;
    for (int line = 0; line <= list.rowCount(); ++line)
        text += alignedLine(lineCells(list, line), widths) + QLatin1Char('\n');
    return text;
}

}  // namespace zd
