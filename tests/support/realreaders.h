#pragma once

#include <QJsonDocument>
#include <QString>
#include <QStringList>

namespace zd::test {

// The programs that users read our files with, run for real.

// Why the Python reader cannot run here (no interpreter, or no module among
// modules); empty when it can.
QString pythonMissing(const QStringList& modules = {});

// Runs a Python script with the arguments and reads what it prints as JSON.
// A failure of the script fails the calling test.
QJsonDocument runPythonForJson(const QString& script, const QStringList& arguments);

// Why LibreOffice cannot convert here; empty when it can.
QString libreOfficeMissing();

// Converts a workbook to CSV (its first sheet) with LibreOffice headless, in a
// profile of its own; gives the CSV's bytes, empty on failure.
QByteArray libreOfficeCsvOf(const QString& workbookPath);

}  // namespace zd::test
