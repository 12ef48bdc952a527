#pragma once

#include "export/alignedwriter.h"
#include "export/scratchfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zd {

class ListModel;

// The aligned result file of a list too long to hold in memory, written in two
// passes: the rows go to a scratch file as they come while each column's width
// is measured, then the header and the checked rows are written padded to those
// widths. The bytes are those writeListAligned gives for one list holding every
// row; the file replaces its target only when complete.
class AlignedSpool {
public:
    // Takes the headers of the list whose rows will come.
    explicit AlignedSpool(const ListModel& columns);

    // Makes the scratch file beside the file at path (or in the temporary
    // folder); false with the reason when none can be made.
    [[nodiscard]] bool open(const QString& besidePath, QString& error);
    // Every row of the list, as it stands.
    void addRows(const ListModel& list);
    // A line of its own after the rows, not padded and in no column (the
    // figures' source); none when empty, as by default.
    void setClosingLine(const QString& text);
    AlignedWriteOutcome write(const QString& path);

private:
    QList<QByteArray> m_headers;  // in the file's code page, as every text here
    QList<qsizetype> m_widths;
    ScratchFile m_scratch;
    qsizetype m_rows = 0;         // checked rows kept
    QByteArray m_closingLine;
};

}  // namespace zd
