#include "commands/locationclick.h"

#include "core/errortrap.h"
#include "core/eventpump.h"
#include "core/windowstate.h"
#include "batch/censusentries.h"
#include "commands/censusfigures.h"
#include "commands/censussession.h"
#include "retrieval/demographicsrows.h"

namespace zd {
namespace {

// A ZIP code whose figures the API answered without (no ZIP Code Tabulation Area
// of that number) gets a line that says so, instead of an empty list.
void sayWhenTheCensusHasNoFigures(ListModel& demographics, const QString& entry, const CensusSession& census)
{
    const std::optional<QString> zcta = zctaOfEntry(entry);
    if (!zcta || !census.knows(entry) || census.resultOf(entry).status != EntryStatus::NotFound)
        return;
    demographics.addNoteRow("The Census Bureau has no figures for " + *zcta + " (no ZIP Code Tabulation Area)");
}

// Runs the steps, keeping in line the number of the step in progress.
void runLocationClick(WindowState& state, CensusSession* census, CensusFetching fetching, int& line)
{
    ListModel& locations = state.locationList();
    ListModel& demographics = state.demographicsList();
    line = 100;
    if (locations.rowCount() == 0 || locations.selectedPosition() == 0)
        return;
    line = 102;
    state.setMousePointer(WindowState::kPointerBusy);
    try {
        line = 104;
        pumpEvents();
        line = 106;
        pumpEvents();
        line = 108;
        demographics.clearRows();
        line = 110;
        if (census) {
            const QString entry = locations.rowText(locations.selectedPosition());
            ShowCensusFigures(demographics, entry, *census, state.dialogs(), fetching);
            sayWhenTheCensusHasNoFigures(demographics, entry, *census);
        } else {
            ShowLocationName(demographics, locations.rowText(locations.selectedPosition()));
            line = 112;
            ShowDemographics(demographics, locations.rowText(locations.selectedPosition()));
        }
    } catch (...) {
        // The busy pointer is the window's busy flag: left at 11 it would block
        // "Clear List" and the Delete key for good.
        state.setMousePointer(WindowState::kPointerDefault);
        throw;
    }
    line = 114;
    state.setMousePointer(WindowState::kPointerDefault);
}

}  // namespace

const char* locationClickProcedureText()
{
    return "in Tamberlin2021/08/31.Form1.ListView2_Click ";
}

void ListView2_Click(WindowState& state, CensusSession* census)
{
    int line = 0;
    runLocationClick(state, census, CensusFetching::FetchMissing, line);
}

void showSelectedLocationAfterAdding(WindowState& state, CensusSession* census)
{
    int line = 0;
    runLocationClick(state, census, CensusFetching::RememberedOnly, line);
}

void showClickedLocation(WindowState& state, CensusSession* census)
{
    int line = 0;
    try {
        runLocationClick(state, census, CensusFetching::FetchMissing, line);
    } catch (...) {
        ReportError(state.dialogs(), QString::fromLatin1(locationClickProcedureText()), line,
                    describeCurrentException());
    }
}

}  // namespace zd
