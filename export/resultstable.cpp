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

int ResultsTable::columnFor(const QString& label, int occurrence)
{
    const QString name =
        occurrence == 1 ? label : label + QStringLiteral(" (%1)").arg(occurrence);
    const auto known = m_columnByName.constFind(name);
    if (known != m_columnByName.constEnd())
        return *known;
    m_columns.append(name);
    m_columnByName.insert(name, int(m_columns.size() - 1));
    return int(m_columns.size() - 1);
}

}  // namespace zd
