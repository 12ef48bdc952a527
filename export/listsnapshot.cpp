#include "export/listsnapshot.h"

#include "core/escapedcontrols.h"
#include "core/listmodel.h"
#include "core/windows1252.h"

namespace zd {

ListSnapshot::ListSnapshot(const ListModel& list)
    : m_columns(list.columnCount()), m_rows(list.rowCount())
{
    m_ends.reserve(qsizetype(m_columns) * (m_rows + 1));
    m_checked.reserve(m_rows);
    for (int column = 1; column <= m_columns; ++column)
        append(list.headerText(column));
    for (int row = 1; row <= m_rows; ++row) {
        for (int column = 1; column <= m_columns; ++column)
            append(list.cellText(row, column));
        m_checked.append(list.isChecked(row));
    }
}

void ListSnapshot::append(const QString& text)
{
    appendEncodedWindows1252(m_bytes, escapedControlBytes(text));
    m_ends.append(m_bytes.size());
}

QByteArrayView ListSnapshot::text(int line, int column) const
{
    const qsizetype index = qsizetype(line) * m_columns + (column - 1);
    const qsizetype begin = index == 0 ? 0 : m_ends[index - 1];
    return QByteArrayView(m_bytes.constData() + begin, m_ends[index] - begin);
}

}  // namespace zd
