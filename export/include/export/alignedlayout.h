#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace zd {

class ListModel;

// The layout of a column-aligned table, the same for the result file and for text
// on screen: each column is as wide as its longest header or cell, and each cell
// is padded with spaces to its column's width (never cut) and followed by a TAB.
// A cell's C0 controls and DEL are escaped (core/escapedcontrols.h), in the
// file and on screen alike, so that no text breaks the layout.

// The spaces that pad a text of textSize characters to width.
constexpr qsizetype alignedPadding(qsizetype textSize, qsizetype width)
{
    return width > textSize ? width - textSize : 0;
}

// Each column's width over a table of rowCount rows under a header line.
// textSize(line, column) gives a text's length in characters, line 0 being the
// header; columns and rows count from 1. Texts are asked for column by column,
// the header first.
template <typename TextSize>
QList<qsizetype> alignedColumnWidths(int columnCount, int rowCount, TextSize&& textSize)
{
    QList<qsizetype> widths;
    widths.reserve(columnCount);
    for (int column = 1; column <= columnCount; ++column) {
        qsizetype widest = textSize(0, column);
        for (int row = 1; row <= rowCount; ++row)
            widest = std::max<qsizetype>(widest, textSize(row, column));
        widths.append(widest);
    }
    return widths;
}

// One line of such a table, without its line end; a cell without a width has
// width 0.
QString alignedLine(const QStringList& cells, const QList<qsizetype>& widths);

// A whole list as such a table, every row of it, each line ended by LF.
QString alignedText(const ListModel& list);

}  // namespace zd
