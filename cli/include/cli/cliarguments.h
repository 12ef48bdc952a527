#pragma once

#include "batch/batchsettings.h"
#include "census/censussettings.h"
#include "cli/clioptions.h"
#include "cli/maprun.h"
#include "export/exportformat.h"

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
    BatchSettings batch;           // --jobs, --rate, --cache... (lookup and export)
    std::optional<ExportFormat> format;  // --format; else export goes by OUT's extension
    bool csvLong = false;          // --csv-long: the tidy CSV form
    bool quiet = false;            // --quiet: no progress line
    DataSource source = DataSource::Site;  // --source, else ZIPDEMOGRAPHICS_SOURCE
    CensusSettings census;         // --year, --variables, --moe, the key, --census-url
    QString keyFile;               // --census-key-file FILE, read for the key
    QString keyWarning;            // that file may be read by others: how to fix it
    QString variablesFile;         // --variables FILE
    QString nearPlace;             // --near ZIP (or LAT,LON): its selection joins the entries
    double nearMiles = 0;          // --miles, the distance of --near
    bool allZctas = false;         // --all-zctas: every ZCTA of the year's vintage joins the entries
    MapRequest map;                // --figure, --classes, --width: map only (its OUT is outputPath)
    QString error;                 // a usage error, in words; empty when usable
};

// Parses the arguments that follow the program name: the command, then its
// options and entries in any order.
CliArguments parseCliArguments(const QStringList& arguments);

// The format the command writes: --format, else for export the one OUT's
// extension names, else aligned.
ExportFormat chosenFormat(const CliArguments& arguments);

}  // namespace zd
