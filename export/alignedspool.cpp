#include "export/alignedspool.h"

#include "core/escapedcontrols.h"
#include "core/listmodel.h"
#include "core/windows1252.h"
#include "export/alignedcell.h"
#include "export/resultfile.h"

#include <QDataStream>
#include <QFile>

namespace zd {
namespace {

using namespace alignedstatement;

bool writeLine(ResultFile& file, const QList<QByteArray>& cells, const QList<qsizetype>& widths)
{
    for (qsizetype column = 0; column < cells.size(); ++column)
        appendAlignedCell(file, cells[column], widths[column]);
    return file.endLine();
}

}  // namespace

AlignedSpool::AlignedSpool(const ListModel& columns)
{
    for (int column = 1; column <= columns.columnCount(); ++column) {
        m_headers.append(encodeWindows1252(escapedControlBytes(columns.headerText(column))));
        m_widths.append(m_headers.last().size());
    }
}

bool AlignedSpool::open(const QString& besidePath, QString& error)
{
    return m_scratch.open(besidePath, QStringLiteral("rows"), error);
}

void AlignedSpool::addRows(const ListModel& list)
{
    for (int row = 1; row <= list.rowCount(); ++row) {
        QList<QByteArray> cells;
        for (int column = 1; column <= m_headers.size(); ++column) {
            cells.append(encodeWindows1252(escapedControlBytes(list.cellText(row, column))));
            m_widths[column - 1] = std::max(m_widths[column - 1], cells.last().size());
        }
        // Unchecked rows are not written, but their cells widen the columns all the same.
        if (!list.isChecked(row))
            continue;
        QByteArray record;
        QDataStream out(&record, QIODevice::WriteOnly);
        out << cells;
        m_scratch.append(record);
        ++m_rows;
    }
}

void AlignedSpool::setClosingLine(const QString& text) { m_closingLine = encodeWindows1252(text); }

AlignedWriteOutcome AlignedSpool::write(const QString& path)
{
    if (!m_scratch.finish())
        return {false, kRowWrite, m_scratch.failure()};
    ResultFile file(path);
    if (!file.open())
        return {false, kCreate, file.description()};
    if (!writeLine(file, m_headers, m_widths))
        return {false, kHeaderWrite, file.description()};
    QFile rows(m_scratch.fileName());
    if (!rows.open(QIODevice::ReadOnly))
        return {false, kRowWrite, describeFileFailure(rows)};
    QDataStream in(&rows);
    for (qsizetype row = 0; row < m_rows; ++row) {
        QList<QByteArray> cells;
        in >> cells;
        if (in.status() != QDataStream::Ok)
            return {false, kRowWrite, QStringLiteral("the scratch file of the rows cannot be read")};
        if (!writeLine(file, cells, m_widths))
            return {false, kRowWrite, file.description()};
    }
    if (!m_closingLine.isEmpty()) {
        file.append(m_closingLine);
        if (!file.endLine())
            return {false, kRowWrite, file.description()};
    }
    if (!file.flush())
        return {false, kRowWrite, file.description()};
    if (!file.commit())
        return {false, kClose, file.description()};
    return {true, 0, QString()};
}

}  // namespace zd
