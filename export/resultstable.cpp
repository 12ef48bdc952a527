#include "export/resultstable.h"

namespace zd {

void ResultsTable::append(EntryResult entry)
{
    QHash<QString, int> seen;
    QList<int> columns;
    columns.reserve(entry.figures.size());
    for (const Figure& figure : entry.figures)
        columns.append(columnFor(figure.label, ++seen[figure.label]));
    m_entryColumns.append(std::move(columns));
    m_entries.append(std::move(entry));
}

const QStringList& wideFixedColumns()
{
    static const QStringList names{QStringLiteral("entry"), QStringLiteral("zip"), QStringLiteral("status"),
                                   QStringLiteral("location")};
    return names;
}

int ResultsTable::columnFor(const QString& label, int occurrence)
{
    const QPair<QString, int> key(label, occurrence);
    const auto known = m_columnOf.constFind(key);
    if (known != m_columnOf.constEnd())
        return *known;
    const QString name = freeName(label, occurrence);
    m_columns.append(name);
    m_takenNames.insert(name);
    return *m_columnOf.insert(key, int(m_columns.size() - 1));
}

// "label" for the first occurrence, "label (n)" for the n-th, or the next number
// that no column has yet.
QString ResultsTable::freeName(const QString& label, int occurrence) const
{
    for (int number = occurrence;; ++number) {
        const QString name = number == 1 ? label : label + QStringLiteral(" (%1)").arg(number);
        if (!m_takenNames.contains(name) && !wideFixedColumns().contains(name))
            return name;
    }
}

}  // namespace zd
