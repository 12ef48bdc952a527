#include "commands/tablesave.h"

#include "core/apperror.h"
#include "core/errortrap.h"
#include "core/windowstate.h"
#include "export/entryresult.h"
#include "export/resultstable.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"

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

QString withDefaultExtension(const QString& path, ExportFormat format)
{
    const QFileInfo typed(path);
    if (!typed.suffix().isEmpty() || typed.fileName().isEmpty())
        return path;
    return path + QLatin1Char('.') + exportFormatName(format);
}

TableSaveOutcome saveAllLocationsAsTable(WindowState& state, ErrorTrap& trap, const QString& path,
                                         ExportFormat format)
{
    const TableWriteOptions options{false, runInfoNow()};
    ResultsTable table;
    TableSaveOutcome outcome;
    trap.run(112, [&] { state.setMousePointer(WindowState::kPointerBusy); });
    const int count = state.locationList().rowCount();
    for (int i = 1; i <= count; ++i) {
        trap.run(128, [&] {
            const QString entry = state.locationList().rowText(i);
            const FetchOutcome fetched = fetchPageWithOutcome(requestUrl(entry));
            if (!fetched.complete)
                outcome.failed.add(entry);
            table.append(entryResult(entry, fetched));
        });
    }
    trap.run(136, [&] { state.setMousePointer(WindowState::kPointerDefault); });
    outcome.targetKept = outcome.failed.keepsTargetAt(path);
    if (outcome.targetKept)
        return outcome;
    trap.run(138, [&] {
        const TableWriteOutcome written = writeResultsTable(table, path, format, options);
        if (!written.written)
            throw AppError(written.description);
        outcome.written = true;
    });
    return outcome;
}

}  // namespace zd
