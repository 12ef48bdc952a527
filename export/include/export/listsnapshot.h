#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace zd {

class ListModel;

// The header and cell texts of a list as they stood at one moment, already in
// the result file's code page. Commands that run while a write pumps events may
// change the list; the write goes on from this copy.
//
// The code page maps every UTF-16 code unit to exactly one byte, so a cell's
// length in bytes is its length in characters as the column widths count them.
class ListSnapshot {
public:
    explicit ListSnapshot(const ListModel& list);

    int columnCount() const { return m_columns; }
    int rowCount() const { return m_rows; }
    // Columns and rows are 1-based, as the list counts them.
    QByteArrayView header(int column) const { return text(0, column); }
    QByteArrayView cell(int row, int column) const { return text(row, column); }
    bool isChecked(int row) const { return m_checked[row - 1]; }

private:
    void append(const QString& text);
    QByteArrayView text(int line, int column) const;

    int m_columns = 0;
    int m_rows = 0;
    QByteArray m_bytes;        // every text, header first, row after row
    QList<qsizetype> m_ends;   // where each text ends in m_bytes
    QList<bool> m_checked;
};

}  // namespace zd
