#include "commands/saveallcommand.h"

#include "core/errortrap.h"
#include "core/eventpump.h"
#include "core/windowstate.h"
#include "export/alignedwriter.h"
#include "batch/alignedresults.h"
#include "commands/censusfigures.h"
#include "commands/censussession.h"
#include "export/figuresource.h"
#include "commands/failedentries.h"
#include "commands/tablesave.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/pagefetch.h"
#include "commands/locationclick.h"
#include "commands/mapsave.h"

namespace zd {

FileDialogSettings saveDialogSettings()
{
    FileDialogSettings settings = textFileDialogSettings(QStringLiteral("Save"));
    settings.filter += QStringLiteral("CSV Files (*.csv)|*.csv|Excel Workbooks (*.xlsx)|*.xlsx|");
    settings.filter += QLatin1String(kMapSaveFilters);
    return settings;
}

namespace {

// Fills the demographics list with every location's rows, location after location;
// with the census source, from the figures of the whole list asked for at once.
// The loop's bound is read once; an int counts past the 32,767 rows that a 16-bit
// counter stopped at. False when the API refused the census source's request
// (its box said why): the list is then left empty.
bool collectAllLocations(WindowState& state, ErrorTrap& trap, FailedEntries& failed, CensusSession* census)
{
    bool fetched = true;
    ListModel& locations = state.locationList();
    ListModel& demographics = state.demographicsList();
    trap.run(118, [&] { state.setMousePointer(WindowState::kPointerBusy); });
    trap.run(120, [&] { pumpEvents(); });
    trap.run(122, [&] { pumpEvents(); });
    trap.run(124, [&] { demographics.clearRows(); });
    int count = 0;
    trap.run(126, [&] {
        count = locations.rowCount();
        if (census)
            fetched = fetchCensusFiguresOfListOrSayWhy(*census, locations, state.dialogs());
    });
    for (int i = 1; i <= count && fetched; ++i) {
        if (census) {
            trap.run(128, [&] {
                appendAlignedRows(demographics, censusResultOfSavedEntry(*census, locations.rowText(i), failed));
            });
            continue;
        }
        QList<FetchOutcome> fetches;
        trap.run(128, [&] { ShowLocationName(demographics, locations.rowText(i), &fetches); });
        trap.run(130, [&] { ShowDemographics(demographics, locations.rowText(i), &fetches); });
        failed.judge(i <= locations.rowCount() ? locations.rowText(i) : QString(), fetches);
    }
    trap.run(134, [&] { state.setMousePointer(WindowState::kPointerDefault); });
    return fetched;
}

// "Done." when every page arrived; otherwise the warning that names the entries whose
// pages did not, and says what became of the file.
void sayHowItWent(WindowState& state, const FailedEntries& failed, const QString& path, bool targetKept)
{
    if (failed.isEmpty())
        showMessageBox(state.dialogs(), QStringLiteral("Done."), kMessagePlain);
    else
        showFailedEntriesWarning(state.dialogs(), failed, path, targetKept);
}

}  // namespace

void PushButton2_Click(WindowState& state, CensusSession* census)
{
    ErrorTrap trap(state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton2_Click "));
    const FileDialogSettings wanted = saveDialogSettings();
    FileDialogSettings dialog;
    SaveAnswer answer;
    bool hadRows = false;
    bool written = false;
    bool fetched = true;
    FailedEntries failed;
    setUpFileDialog(trap, 100, dialog, wanted);
    trap.run(108, [&] { answer = state.dialogs().showSave(dialog); });
    const QString& path = answer.path;
    if (trap.test(110, [&] { return path.isEmpty(); }))
        return;
    if (const std::optional<ExportFormat> format = tableFormatOfSaveFilter(answer.filterIndex)) {
        const QString tablePath = withDefaultExtension(path, *format);
        const TableSaveOutcome outcome = saveAllLocationsAsTable(state, trap, tablePath, *format, census);
        if (outcome.written || outcome.targetKept)
            trap.run(148, [&] { sayHowItWent(state, outcome.failed, tablePath, outcome.targetKept); });
        return;
    }
    if (const std::optional<MapFormat> map = mapFormatOfSaveFilter(answer.filterIndex)) {
        const QString mapPath = withMapExtension(path, *map);
        const TableSaveOutcome outcome = saveAllLocationsAsMap(state, trap, mapPath, *map, census);
        if (outcome.written || outcome.targetKept)
            trap.run(148, [&] { sayHowItWent(state, outcome.failed, mapPath, outcome.targetKept); });
        return;
    }
    trap.run(112, [&] { state.setMousePointer(WindowState::kPointerBusy); });
    trap.run(114, [&] { hadRows = state.demographicsList().rowCount() > 0; });
    if (trap.test(116, [&] { return state.locationList().rowCount() > 0; }))
        fetched = collectAllLocations(state, trap, failed, census);
    trap.run(136, [&] { state.setMousePointer(WindowState::kPointerDefault); });
    const bool keepTarget = !fetched || failed.keepsTargetAt(path);
    trap.run(138, [&] {
        if (!keepTarget)
            written = SaveListviewProperlySpacedWithoutProgressBar(
                state.demographicsList(), path, state.dialogs(),
                census ? figureSourceLine(census->runInfo().figureSource) : QString());
    });
    if (trap.test(140, [&] { return hadRows; }))
        trap.run(142, [&] { ListView2_Click(state, census); });
    else
        trap.run(144, [&] { state.demographicsList().clearRows(); });
    // After a failed write the writer's own error box is the last word, and so is
    // the box of a request the API refused.
    if (trap.test(146, [&] { return written || (keepTarget && fetched); }))
        trap.run(148, [&] { sayHowItWent(state, failed, path, keepTarget); });
}

}  // namespace zd
