#pragma once

#include "tests/reliability/reentry/reentryplaces.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace zd::test {

// What the commands must give, whatever ran inside them.

// The second column of the location list for an entry.
QString expectedLocation(const QString& entry);

// What showing an entry adds to the demographics list: the location click and the
// save command fetch with the entry as it stands, untrimmed.
QList<Row> expectedBlock(const QString& entry);

// Rows that are whole blocks of known places, one after another; empty when so,
// else what is wrong.
QString blocksProblem(const QList<Row>& rows);

// The zip list files the load command is given, and their entries.
struct ListFile {
    const char* name;
    QByteArray bytes;
    QStringList entries;  // as the line rules read them
};
const std::array<ListFile, 3>& listFiles();

// The answers "Add One Zip Code" is given in turn; the last one is Cancel.
const QStringList& addOneAnswers();

// The rows of a saved table after its header; the problem when the file is not a
// whole, aligned table of the demographics list's two columns.
struct SavedTable {
    QList<Row> rows;
    QString problem;
};
SavedTable readSavedTable(const QString& path);

}  // namespace zd::test
