#include "cli/cliapp.h"

#include "batch/batchsettings.h"
#include "batch/censusapisource.h"
#include "batch/entrylist.h"
#include "batch/exitstatus.h"
#include "batch/exportrun.h"
#include "batch/lookuprun.h"
#include "batch/showrun.h"
#include "batch/sitesource.h"
#include "cli/areacommands.h"
#include "cli/cliarguments.h"
#include "cli/nearentries.h"
#include "cli/censuskeycommand.h"
#include "cli/clihelp.h"
#include "cli/commandapplication.h"
#include "cli/console.h"
#include "cli/consoleobserver.h"
#include "cli/maprun.h"
#include "cli/stopsignals.h"
#include "core/apperror.h"
#include "core/siteconfig.h"
#include "export/outputclash.h"
#include "export/resultfile.h"
#include "keystore/censuskeystore.h"
#include "keystore/keyfile.h"

#include <QCoreApplication>

#include <chrono>
#include <memory>

namespace zd {
namespace {

int usageError(const QString& message, Console& console)
{
    console.printError(message);
    console.printError(cliUsageHint());
    return kExitUsage;
}

BatchSettings batchSettings(const CliArguments& arguments)
{
    BatchSettings settings = arguments.batch;
    takeRetryBaseFromEnvironment(settings);
    return settings;
}

// The files that the run reads, which OUT must not replace.
QList<RunInput> filesRead(const CliArguments& arguments)
{
    QList<RunInput> files;
    for (const QString& zips : arguments.zipFiles)
        files.append({zips, QStringLiteral("the zip list")});
    if (!arguments.keyFile.isEmpty())
        files.append({arguments.keyFile, QStringLiteral("the key file")});
    if (!arguments.variablesFile.isEmpty())
        files.append({arguments.variablesFile, QStringLiteral("the variables file")});
    if (arguments.source == DataSource::Census)
        files.append({KeyFile::defaultPath(), QStringLiteral("the file of the stored key")});
    return files;
}

// --help and --version; their text must arrive like any other output.
int printInformation(const QString& text, Console& console)
{
    console.print(text);
    if (console.outputFailed()) {
        console.printError("cannot write to standard output");
        return kExitOutputFailed;
    }
    return kExitSuccess;
}

// The source the arguments name, fetching with the settings. --delay is
// lookup's alone: export does not wait between entries.
std::unique_ptr<EntrySource> chosenSource(const CliArguments& arguments, const BatchSettings& settings)
{
    if (arguments.source == DataSource::Census)
        return std::make_unique<CensusApiSource>(arguments.census, settings);
    const qint64 pause = arguments.command == CliCommand::Lookup ? qint64(arguments.delaySeconds * 1000) : 0;
    return std::make_unique<SiteSource>(settings, std::chrono::milliseconds(pause));
}

// lookup and export: SIGINT and SIGTERM end them cleanly from the start to the
// end, writing included.
int runBatchCommand(const CliArguments& arguments, const PackedStrings& entries, RunObserver& observer)
{
    const StopSignals stopSignals;
    BatchSettings settings = batchSettings(arguments);
    settings.stopSignal = &stopSignals.received();
    ResultFile::setStopFlag(&stopSignals.received());
    const std::unique_ptr<EntrySource> source = chosenSource(arguments, settings);
    if (arguments.command == CliCommand::Lookup)
        return runLookup(*source, entries, observer);
    if (arguments.command == CliCommand::Map) {
        MapRequest request = arguments.map;
        request.outputPath = arguments.outputPath;
        return runMap(*source, entries, request, settings, observer);
    }
    return runExport(*source, entries, arguments.outputPath, chosenFormat(arguments), arguments.csvLong, settings,
                     observer);
}

int runCommand(const CliArguments& arguments, const PackedStrings& entries, Console& console)
{
    ConsoleObserver observer(console, !arguments.quiet);
    switch (arguments.command) {
    case CliCommand::Lookup:
    case CliCommand::Export:
    case CliCommand::Map: return runBatchCommand(arguments, entries, observer);
    case CliCommand::Show:
        // One entry, on its own: no cache, no batch settings.
        return runShow(*chosenSource(arguments, BatchSettings{}), entries.at(0), chosenFormat(arguments),
                       arguments.csvLong, observer);
    default: return kExitUsage;
    }
}

// The census source without --census-key-file or CENSUS_API_KEY takes the stored
// key; one that cannot be read is named, and the run goes on without it. A key
// file that others may read is used, with a warning.
void takeStoredKey(CliArguments& arguments, Console& console)
{
    if (!arguments.keyWarning.isEmpty())
        console.printError("warning: " + arguments.keyWarning);
    if (arguments.source != DataSource::Census || !arguments.census.key.isEmpty())
        return;
    const StoredKey stored = CensusKeyStore().read();
    if (!stored.problem.isEmpty())
        console.printError("the stored key cannot be used: " + stored.problem);
    if (!stored.warning.isEmpty())
        console.printError("warning: " + stored.warning);
    arguments.census.key = stored.key;
}

}  // namespace

int runCli(const QStringList& argumentList, Console& console)
{
    const std::unique_ptr<QCoreApplication> application = applicationForCommand(argumentList);
    if (!argumentList.isEmpty() && argumentList.first() == QLatin1String("census-key"))
        return runCensusKeyCommand(argumentList.mid(1), console);
    if (!argumentList.isEmpty() && argumentList.first() == QLatin1String("near"))
        return runNearCommand(argumentList.mid(1), console);
    if (!argumentList.isEmpty() && argumentList.first() == QLatin1String("zips"))
        return runZipsCommand(argumentList.mid(1), console);
    CliArguments arguments = parseCliArguments(argumentList);
    if (arguments.command == CliCommand::Help)
        return printInformation(cliHelpText(), console);
    if (arguments.command == CliCommand::Version)
        return printInformation(cliVersionText(), console);
    if (!arguments.error.isEmpty())
        return usageError(arguments.error, console);
    if (arguments.site)
        setDemographicsHostOverride(*arguments.site);
    if (arguments.command == CliCommand::Export || arguments.command == CliCommand::Map) {
        const QString clash = describeOutputClash(arguments.outputPath, filesRead(arguments), arguments.batch.cacheFolder);
        if (!clash.isEmpty()) {
            console.printError("cannot write \"" + arguments.outputPath + "\": " + clash);
            return kExitUsage;
        }
    }
    takeStoredKey(arguments, console);
    PackedStrings entries;
    try {
        // Every input is read before the first fetch, so a bad one costs nothing.
        entries = collectEntries(arguments.zipFiles, arguments.entries);
    } catch (const AppError& error) {
        console.printError(error.description());
        return kExitUsage;
    }
    if (const QString error = appendNearEntries(arguments, entries); !error.isEmpty())
        return usageError(error, console);
    appendAllZctas(arguments, entries);
    return runCommand(arguments, entries, console);
}

}  // namespace zd
