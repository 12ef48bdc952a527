#include "commands/tablesave.h"

#include "core/apperror.h"
#include "core/errortrap.h"
#include "core/windowstate.h"
#include "commands/censusfigures.h"
#include "commands/censussession.h"
#include "batch/runobserver.h"
#include "batch/sitesource.h"
#include "export/resultstable.h"

#include <QFileInfo>

namespace zd {

std::optional<ExportFormat> tableFormatOfSaveFilter(int filterIndex)
{
    if (filterIndex == 3)
        return ExportFormat::Csv;
    if (filterIndex == 4)
        return ExportFormat::Xlsx;
    return std::nullopt;
}

QString withExtension(const QString& path, const QString& extension)
{
    const QFileInfo typed(path);
    if (!typed.suffix().isEmpty() || typed.fileName().isEmpty())
        return path;
    return path + QLatin1Char('.') + extension;
}

QString withDefaultExtension(const QString& path, ExportFormat format)
{
    return withExtension(path, exportFormatName(format));
}

EntryResult resultOfSavedEntry(const QString& entry, const CensusSession* census, FailedEntries& failed)
{
    if (census)
        return censusResultOfSavedEntry(*census, entry, failed);
    SiteSource pages{BatchSettings{}};
    UnseenRun unseen;
    EntryOutcome outcome;
    pages.fetchOne(entry, unseen, outcome);
    failed.judge(outcome.result);
    return std::move(outcome.result);
}

bool fetchEverySavedLocation(WindowState& state, ErrorTrap& trap, CensusSession* census, FailedEntries& failed,
                             const std::function<void(EntryResult&&)>& take)
{
    bool fetched = true;
    trap.run(112, [&] { state.setMousePointer(WindowState::kPointerBusy); });
    const int count = state.locationList().rowCount();
    if (census && count > 0)
        trap.run(126, [&] {
            fetched = fetchCensusFiguresOfListOrSayWhy(*census, state.locationList(), state.dialogs());
        });
    for (int i = 1; i <= count && fetched; ++i)
        trap.run(128, [&] { take(resultOfSavedEntry(state.locationList().rowText(i), census, failed)); });
    trap.run(136, [&] { state.setMousePointer(WindowState::kPointerDefault); });
    return fetched;
}

TableSaveOutcome saveAllLocationsAsTable(WindowState& state, ErrorTrap& trap, const QString& path,
                                         ExportFormat format, CensusSession* census)
{
    TableWriteOptions options{false, runInfoNow()};
    ResultsTable table;
    TableSaveOutcome outcome;
    const bool fetched = fetchEverySavedLocation(state, trap, census, outcome.failed,
                                                 [&](EntryResult&& result) { table.append(std::move(result)); });
    outcome.targetKept = fetched && outcome.failed.keepsTargetAt(path);
    if (outcome.targetKept || !fetched)
        return outcome;
    if (census) {
        const RunInfo censusRun = census->runInfo();
        options.run.site = censusRun.site;
        options.run.figureSource = censusRun.figureSource;
    }
    trap.run(138, [&] {
        const TableWriteOutcome written = writeResultsTable(table, path, format, options);
        if (!written.written)
            throw AppError(written.description);
        outcome.written = true;
    });
    return outcome;
}

}  // namespace zd
