#include "export/alignedwriter.h"

#include "core/errortrap.h"
#include "core/eventpump.h"
#include "core/windows1252.h"
#include "export/alignedcell.h"
#include "export/alignedlayout.h"
#include "export/listsnapshot.h"
#include "export/resultfile.h"

#include <optional>

namespace zd {
namespace {

using namespace alignedstatement;

// The width of each column. Events are processed once per cell, as the write goes.
QList<qsizetype> measureWidths(const ListSnapshot& snapshot)
{
    return alignedColumnWidths(snapshot.columnCount(), snapshot.rowCount(),
                               [&](int line, int column) {
                                   if (line == 0)
                                       return snapshot.header(column).size();
                                   pumpEvents();
                                   return snapshot.cell(line, column).size();
                               });
}

class AlignedWrite {
public:
    AlignedWrite(const ListSnapshot& snapshot, const QString& path, const QString& closingLine)
        : m_snapshot(snapshot), m_widths(measureWidths(snapshot)), m_file(path),
          m_closingLine(encodeWindows1252(closingLine))
    {
    }

    AlignedWriteOutcome run()
    {
        m_statement = kCreate;
        if (!m_file.open())
            return failure();
        m_statement = kHeaderWrite;
        if (!writeHeader())
            return failure();
        for (int row = 1; row <= m_snapshot.rowCount(); ++row) {
            pumpEvents();
            if (!m_snapshot.isChecked(row))
                continue;
            m_statement = kRowWrite;
            if (!writeRow(row))
                return failure();
        }
        if (!m_closingLine.isEmpty()) {
            m_statement = kRowWrite;
            m_file.append(m_closingLine);
            if (!m_file.endLine())
                return failure();
        }
        // What is still gathered in memory belongs to the last line written.
        if (!m_file.flush())
            return failure();
        m_statement = kClose;
        if (!m_file.commit())
            return failure();
        return {true, 0, QString()};
    }

    int statement() const { return m_statement; }

private:
    bool writeHeader()
    {
        for (int column = 1; column <= m_snapshot.columnCount(); ++column) {
            pumpEvents();
            appendAlignedCell(m_file, m_snapshot.header(column), m_widths[column - 1]);
        }
        return m_file.endLine();
    }

    bool writeRow(int row)
    {
        for (int column = 1; column <= m_snapshot.columnCount(); ++column) {
            pumpEvents();
            appendAlignedCell(m_file, m_snapshot.cell(row, column), m_widths[column - 1]);
        }
        return m_file.endLine();
    }

    AlignedWriteOutcome failure() const { return {false, m_statement, m_file.description()}; }

    const ListSnapshot& m_snapshot;
    QList<qsizetype> m_widths;
    ResultFile m_file;
    QByteArray m_closingLine;
    int m_statement = kRead;
};

}  // namespace

QString alignedWriterProcedureText()
{
    return QStringLiteral(
        "in Tamberlin2021/08/31.modDemographics.SaveListviewProperlySpacedWithoutProgressBar ");
}

AlignedWriteOutcome writeListAligned(const ListModel& list, const QString& path, const QString& closingLine)
{
    std::optional<ListSnapshot> snapshot;
    std::optional<AlignedWrite> write;
    try {
        // Taken before the first event is processed: nothing that runs later can
        // shorten or empty the cells written.
        snapshot.emplace(list);
        write.emplace(*snapshot, path, closingLine);
        return write->run();
    } catch (...) {
        // Only memory can run out here; the temporary file goes with its owner.
        const QString description = describeCurrentException();
        const int statement = write ? write->statement() : kRead;
        write.reset();
        return {false, statement, description};
    }
}

bool SaveListviewProperlySpacedWithoutProgressBar(const ListModel& list, const QString& path,
                                                   Dialogs& dialogs, const QString& closingLine)
{
    const AlignedWriteOutcome outcome = writeListAligned(list, path, closingLine);
    if (!outcome.written)
        ReportError(dialogs, alignedWriterProcedureText(), outcome.failedStatement,
                    outcome.description);
    return outcome.written;
}

}  // namespace zd
