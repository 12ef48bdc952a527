#pragma once

#include "cli/clioptions.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// What the command line asks for, checked for the command's rules.
struct CliArguments {
    CliCommand command = CliCommand::None;
    std::optional<QString> site;   // --site HOST[:PORT], else ZIPDEMOGRAPHICS_SITE
    double delaySeconds = 1.0;     // --delay, lookup only
    QStringList zipFiles;          // --zips FILE, in the order given
    QStringList entries;           // ENTRY arguments, exactly as given
    QString outputPath;            // -o OUT, export only
    QString error;                 // a usage error, in words; empty when usable
};

// Parses the arguments that follow the program name: the command, then its
// options and entries in any order.
CliArguments parseCliArguments(const QStringList& arguments);

}  // namespace zd
