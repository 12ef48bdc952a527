#pragma once

#include <QString>

namespace zd {

class Dialogs;
class ListModel;

// What became of one aligned write. On failure, failedStatement is the number of
// the statement that failed: 136 creating the file, 150 writing the header line,
// 180 writing a row's line, 184 closing it; the description says why.
struct AlignedWriteOutcome {
    bool written = false;
    int failedStatement = 0;
    QString description;
};

// Writes the list as a column-aligned table: the header line, then one line per
// checked row. Every cell is padded with spaces to its column's width (the longest
// header or cell of the column, checked rows or not) and followed by a TAB; lines
// end with CR LF; the text is Windows-1252. The list is written as it stood when
// the call began, although events are processed as it goes. The file replaces the
// target only when complete. Shows no dialogs. A closing line (the figures'
// source) follows the rows on a line of its own, unpadded; none when empty.
AlignedWriteOutcome writeListAligned(const ListModel& list, const QString& path,
                                     const QString& closingLine = {});

// The same write for the save command: a failure ends it with one "Application
// Error" box naming the failing statement. True when the file was written.
[[nodiscard]] bool SaveListviewProperlySpacedWithoutProgressBar(const ListModel& list,
                                                                const QString& path,
                                                                Dialogs& dialogs,
                                                                const QString& closingLine = {});

// The procedure text of the writer's error box.
QString alignedWriterProcedureText();

}  // namespace zd
