#include "commands/tablesave.h"

#include "core/apperror.h"
#include "core/errortrap.h"
#include "core/windowstate.h"
#include "export/entryresult.h"
#include "export/resultstable.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"

namespace zd {

std::optional<ExportFormat> tableFormatOfSaveFilter(int filterIndex)
{
    if (filterIndex == 3)
        return ExportFormat::Csv;
    if (filterIndex == 4)
        return ExportFormat::Xlsx;
    return std::nullopt;
}

bool saveAllLocationsAsTable(WindowState& state, ErrorTrap& trap, const QString& path,
                             ExportFormat format)
{
    const TableWriteOptions options{false, runInfoNow()};
    ResultsTable table;
    bool written = false;
    trap.run(112, [&] { state.setMousePointer(WindowState::kPointerBusy); });
    const int count = state.locationList().rowCount();
    for (int i = 1; i <= count; ++i) {
        trap.run(128, [&] {
            const QString entry = state.locationList().rowText(i);
            table.append(entryResult(entry, fetchPageWithOutcome(requestUrl(entry))));
        });
    }
    trap.run(136, [&] { state.setMousePointer(WindowState::kPointerDefault); });
    trap.run(138, [&] {
        const TableWriteOutcome outcome = writeResultsTable(table, path, format, options);
        if (!outcome.written)
            throw AppError(outcome.description);
        written = true;
    });
    return written;
}

}  // namespace zd
