#pragma once

#include "core/listmodel.h"
#include "tests/support/wholefile.h"

#include <QByteArray>
#include <QDir>
#include <QJsonArray>
#include <QStringList>

#include <initializer_list>

namespace zd::test {

// A Python script that prints a CSV file's rows as read by Python's csv module, as JSON.
inline const char* const kReadCsv = R"(
import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    print(json.dumps(list(csv.reader(f))))
)";

inline QJsonArray strings(const QStringList& texts) { return QJsonArray::fromStringList(texts); }

// A list with the given headers and rows; rows are checked unless listed in unchecked.
inline void fillList(ListModel& list, const QStringList& headers,
                     const QList<QStringList>& rows, std::initializer_list<int> unchecked = {})
{
    for (const QString& header : headers)
        list.addColumn(header);
    for (const QStringList& cells : rows) {
        const RowId row = list.addRow(cells.value(0));
        for (int k = 1; k < cells.size(); ++k)
            list.setSubItem(row, k, cells[k]);
    }
    for (const int position : unchecked)
        list.setChecked(position, false);
}

// The names in a folder, hidden ones included: a leftover temporary file shows here.
inline QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

inline QByteArray expectedFile(const char* name)
{
    return readWholeFile(QStringLiteral(ZD_EXPORT_TEST_DATA "/") + QLatin1String(name));
}

}  // namespace zd::test
