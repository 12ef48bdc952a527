#include "commands/totalcommand.h"

#include "census/censusrequest.h"
#include "commands/censusenvironment.h"
#include "commands/censussession.h"
#include "core/dialogs.h"
#include "core/listmodel.h"
#include "core/windowstate.h"
#include "export/resultstable.h"
#include "retrieval/entrystatus.h"

namespace zd {
namespace {

QStringList listedPlaces(const ListModel& locations)
{
    QStringList entries;
    for (int position = 1; position <= locations.rowCount(); ++position)
        entries.append(locations.rowText(position));
    return entries;
}

// A total's value with its margin beside it in the one value column.
QString valueWithMargin(const Figure& figure)
{
    if (figure.value.isEmpty() || !figure.margin || figure.margin->isEmpty())
        return figure.value;
    return figure.value + QStringLiteral(" \u00b1 ") + *figure.margin;
}

void showTotal(ListModel& demographics, const EntryResult& total)
{
    QString heading = total.location.value_or(QString());
    if (total.status != EntryStatus::Found)  // every entry failed, or none was found: nothing was added
        heading += " (" + entryStatusText(total.status, total.httpStatus) + ")";
    demographics.addRow(heading);
    for (const Figure& figure : total.figures) {
        const auto row = demographics.addRow(figure.label);
        demographics.setSubItem(row, 1, valueWithMargin(figure));
    }
    if (!total.note.isEmpty())
        demographics.addNoteRow("(" + total.note + ")");
}

}  // namespace

const char* showTotalMenuText() { return "Show the total of the listed places"; }

void ShowTotalOfListedPlaces(WindowState& state, CensusSession* census)
{
    if (!census) {
        showMessageBox(state.dialogs(), QStringLiteral("Totals need the census source: the demographics site's "
                                                       "figures cannot be added up. Start the program with the "
                                                       "census source to see the total of the listed places."));
        return;
    }
    const QStringList entries = listedPlaces(state.locationList());
    if (entries.isEmpty()) {
        showMessageBox(state.dialogs(), QStringLiteral("The locations list is empty: there is nothing to add up."));
        return;
    }
    ListModel& demographics = state.demographicsList();
    state.setMousePointer(WindowState::kPointerBusy);
    demographics.clearRows();
    EntryResult total;
    CensusFetchReport report = census->fetchTotalOf(entries, total);
    state.setMousePointer(WindowState::kPointerDefault);
    while (report.keyRefused && askForAnotherCensusKey(state.dialogs(), *census)) {
        state.setMousePointer(WindowState::kPointerBusy);
        total = {};
        report = census->fetchTotalOf(entries, total);
        state.setMousePointer(WindowState::kPointerDefault);
    }
    if (!report.refusal.isEmpty()) {
        showMessageBox(state.dialogs(),
                       redactCensusKey("The total could not be worked out: " + report.refusal + '.',
                                       census->settings().key),
                       kMessageExclamation);
        return;
    }
    showTotal(demographics, total);
}

}  // namespace zd
