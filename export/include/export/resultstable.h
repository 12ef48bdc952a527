#pragma once

#include "retrieval/demographicsrows.h"
#include "retrieval/entrystatus.h"

#include <QHash>
#include <QSet>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// A figure as the page shows it: "Total population", "19,756".
struct Figure {
    QString label;
    QString value;
};

// One entry's results: the entry as given, the zip code looked up (empty when the
// entry is none), the location name when the page gave one, and the figures in
// page order, household income rows included.
struct EntryResult {
    QString entry;
    QString zip;
    EntryStatus status = EntryStatus::NotFound;
    std::optional<QString> location;
    QList<Figure> figures;
    std::optional<PagePart> brokenIn;  // the part of the page that broke off
    long httpStatus = 0;               // the answer's status; 0 when not fetched
};

// The columns of the wide layout that come before the figures: entry, zip,
// status, location.
const QStringList& wideFixedColumns();

// The results of a run, entry after entry in input order, with the figure columns
// of the wide layout: one per label, in the order first seen across the run. A
// label that one entry holds more than once gets a column per occurrence, the
// second named "label (2)", so that no figure is lost. A name already taken (by
// a fixed column, or by a label that reads "label (2)") gets the next free
// number instead, so no two columns share a name.
class ResultsTable {
public:
    void append(EntryResult entry);

    const QList<EntryResult>& entries() const { return m_entries; }
    const QStringList& figureColumns() const { return m_columns; }
    // The figure column (0-based) of each figure of entry i, in figure order.
    const QList<int>& columnsOfEntry(qsizetype i) const { return m_entryColumns[i]; }

private:
    int columnFor(const QString& label, int occurrence);
    QString freeName(const QString& label, int occurrence) const;

    QList<EntryResult> m_entries;
    QList<QList<int>> m_entryColumns;
    QStringList m_columns;
    QHash<QPair<QString, int>, int> m_columnOf;  // by label and occurrence
    QSet<QString> m_takenNames;
};

}  // namespace zd
