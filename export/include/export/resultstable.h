#pragma once

#include "retrieval/demographicsrows.h"
#include "retrieval/entrystatus.h"

#include <QHash>
#include <QSet>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace zd {

// A figure shown as a bound rather than a value, "250,000+" (at least 250,000)
// or "2,500-" (at most 2,500): the Bureau's median in an open-ended interval.
enum class FigureBound { None, AtLeast, AtMost };

// A figure as the page shows it: "Total population", "19,756"; with its margin
// of error ("1,234") when the source gives one and it was asked for, and the
// source's IDs of the figure and of its margin ("DP05_0001E", "DP05_0001M") when
// the source names its figures (the site does not).
struct Figure {
    QString label;
    QString value;
    std::optional<QString> margin = std::nullopt;
    QString variable = {};
    QString marginVariable = {};
    // With a margin: its coefficient of variation ("7.3%") and reliability word
    // ("high", "medium", "low"); empty when the estimate allows none.
    QString cv = {};
    QString reliability = {};
    // Its value is a bound (the value shows it: "250,000+").
    FigureBound bound = FigureBound::None;
    // What the value is in ("count", "percent", "dollars", "years", "minutes") and
    // the people or things it is of ("Occupied housing units"), when the source
    // says (the site does not). A CSV column's name carries the unit, a count's
    // excepted, where the value is written as a plain number.
    QString unit = {};
    QString universe = {};
};

// The name of a figure's column in the wide layout: its label, followed by its
// variable's ID in brackets when it has one ("Total population [DP05_0001E]").
QString figureColumnName(const Figure& figure);

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
    QString note = {};                 // what a reader should know of the figures (a total's); empty: none
};

// The columns of the wide layout that come before the figures: entry, zip,
// status, location.
const QStringList& wideFixedColumns();

// The results of a run, entry after entry in input order, with the figure columns
// of the wide layout: one per column name (figureColumnName), in the order first
// seen across the run. A name that one entry holds more than once gets a column per occurrence, the
// second named "label (2)", so that no figure is lost. A name already taken (by
// a fixed column, or by a label that reads "label (2)") gets the next free
// number instead, so no two columns share a name.
//
// The entries are kept in memory, or for a long run in a scratch file
// (keepOnDisk), so that memory holds no more than the columns whatever the count.
class ResultsTable {
public:
    // Takes each entry with the figure column (0-based) of each of its figures;
    // false stops the walk.
    using EntryTaker = std::function<bool(const EntryResult& entry, const QList<int>& columns)>;

    ResultsTable();
    ~ResultsTable();
    ResultsTable(ResultsTable&&) noexcept;
    ResultsTable& operator=(ResultsTable&&) noexcept;

    // Keeps the entries appended from now on in a scratch file beside the file at
    // path (or in the temporary folder when its folder takes none). False with the
    // reason when no scratch file can be made.
    [[nodiscard]] bool keepOnDisk(const QString& besidePath, QString& error);

    // A failure to write the scratch file is kept and thrown by forEachEntry.
    void append(EntryResult entry);
    qsizetype size() const { return m_count; }
    const QStringList& figureColumns() const { return m_columns; }
    // The first figure of each figure column, in the same order: its label, IDs
    // and unit, without a value.
    const QList<Figure>& columnFigures() const { return m_columnNames; }
    // Whether an entry has a note (a total's).
    bool hasNotes() const { return m_hasNotes; }
    // The longest text of each column of the wide layout (the fixed ones, then
    // the figures), its name included, in characters.
    const QList<qsizetype>& longestTexts() const { return m_longest; }

    // Whether a walk finds each figure's column of the wide layout; a format
    // that needs none skips the cost, and is handed an empty list.
    enum class Columns { Found, Skipped };

    // Every entry in input order; false when take stopped the walk. Throws
    // AppError when the scratch file could not be written or read.
    bool forEachEntry(const EntryTaker& take, Columns columns = Columns::Found) const;

private:
    QList<int> columnsOf(const EntryResult& entry) const;
    QList<int> addColumns(const EntryResult& entry);
    QList<int> newColumns(const EntryResult& entry);
    int columnFor(const QString& figureName, int occurrence);
    QString freeName(const QString& figureName, int occurrence) const;
    void measure(const EntryResult& entry, const QList<int>& columns);

    struct Spool;
    std::unique_ptr<Spool> m_spool;  // none: the entries are in m_entries
    QList<EntryResult> m_entries;
    qsizetype m_count = 0;
    bool m_hasNotes = false;
    QStringList m_columns;
    QList<qsizetype> m_longest;
    QHash<QPair<QString, int>, int> m_columnOf;  // by column name and occurrence
    QSet<QString> m_takenNames;
    QList<Figure> m_lastFigures;  // the figures of the last entry whose columns were looked up, and those
    QList<int> m_lastColumns;
    QList<Figure> m_columnNames;  // each column's first figure: its label and IDs, without a value
};

}  // namespace zd
