#include "tests/support/realreaders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace zd::test {
namespace {

// Debian's interpreter first: its modules come from the system's packages,
// whatever other Python stands first on PATH.
QString pythonProgram()
{
    if (QFileInfo(QStringLiteral("/usr/bin/python3")).isExecutable())
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

QString libreOfficeProgram() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

// Comma, double quote, UTF-8 (76), from line 1, English (1033), quoted fields not
// forced to text, special numbers detected, cells saved as shown.
QString csvAsShown()
{
    return QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,true");
}

}  // namespace

QString pythonMissing(const QStringList& modules)
{
    if (pythonProgram().isEmpty())
        return QStringLiteral("python3 is not installed");
    for (const QString& module : modules) {
        QProcess probe;
        probe.start(pythonProgram(), {QStringLiteral("-c"), "import " + module});
        if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
            return "the Python module " + module + " is not installed";
    }
    return {};
}

QJsonDocument runPythonForJson(const QString& script, const QStringList& arguments)
{
    QProcess python;
    python.start(pythonProgram(), QStringList{QStringLiteral("-c"), script} + arguments);
    const bool finished = python.waitForFinished(120000);
    const QByteArray errors = python.readAllStandardError();
    EXPECT_TRUE(finished && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0)
        << errors.toStdString();
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(python.readAllStandardOutput(), &parseError);
    EXPECT_EQ(parseError.error, QJsonParseError::NoError) << errors.toStdString();
    return document;
}

QString libreOfficeMissing()
{
    return libreOfficeProgram().isEmpty() ? QStringLiteral("LibreOffice (soffice) is not installed")
                                          : QString();
}

QByteArray libreOfficeCsvOf(const QString& workbookPath)
{
    QTemporaryDir work;
    const QString profile = QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString();
    QProcess office;
    office.start(libreOfficeProgram(),
                 {"-env:UserInstallation=" + profile, QStringLiteral("--headless"),
                  QStringLiteral("--convert-to"), csvAsShown(), QStringLiteral("--outdir"),
                  work.path(), workbookPath});
    const bool finished = office.waitForFinished(180000);
    EXPECT_TRUE(finished && office.exitCode() == 0) << office.readAllStandardError().toStdString();
    QFile csv(QDir(work.path()).filePath(QFileInfo(workbookPath).completeBaseName() + ".csv"));
    return csv.open(QIODevice::ReadOnly) ? csv.readAll() : QByteArray();
}

}  // namespace zd::test
