#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

enum class CliCommand { None, Lookup, Export, Show, Help, Version, Map };

// One option of zipdemographics-cli and the commands that take it.
struct CliOption {
    QCommandLineOption option;
    QList<CliCommand> commands;  // empty: every command (--help, --version)
    QString misplaced;           // the message for a command that does not take it;
                                 // empty: "--name belongs to lookup and export"
};

// Every option, in the order --help lists them. A new option is declared here,
// gets its field in CliArguments and a reader in cliarguments.cpp.
const QList<CliOption>& cliOptions();
QList<QCommandLineOption> cliQtOptions();
const CliOption* cliOptionNamed(const QString& name);

// "lookup", "export", "show"; None for any other word.
CliCommand cliCommandNamed(const QString& name);
QString cliCommandName(CliCommand command);

}  // namespace zd
