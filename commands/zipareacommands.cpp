#include "commands/zipareacommands.h"

#include "area/areaquery.h"
#include "core/applicationtitle.h"
#include "core/dialogs.h"
#include "core/errortrap.h"
#include "core/windowstate.h"
#include "commands/locationclick.h"
#include "commands/locationname.h"

#include <QSet>

namespace zd {
namespace {

const ZipAreas& areasOr(const ZipAreas* areas) { return areas ? *areas : ZipAreas::installed(); }

// The zip list's selected entry as a ZIP code of the table; empty after saying
// why there is none.
QString selectedZip(WindowState& state, const ZipAreas& areas)
{
    const ListModel& zips = state.zipList();
    const int position = zips.selectedPosition();
    if (position == 0) {
        showMessageBox(state.dialogs(), QStringLiteral("Select a ZIP code in the list first."), kMessageExclamation);
        return {};
    }
    const QString zip = zips.rowText(position).trimmed();
    if (!areas.place(zip)) {
        showMessageBox(state.dialogs(), "\"" + zip + "\" is not a ZIP code of the place table.", kMessageExclamation);
        return {};
    }
    return zip;
}

QSet<QString> listedZips(const ListModel& zips)
{
    QSet<QString> listed;
    for (int position = 1; position <= zips.rowCount(); ++position)
        listed.insert(zips.rowText(position));
    return listed;
}

// Adds the selection's ZIP codes not yet listed, as "Add One Zip Code" does,
// with the window busy, then shows the selected location.
void addSelection(WindowState& state, CensusSession* census, const AreaAnswer& answer, const QString& procedure)
{
    if (!answer.error.isEmpty()) {
        showMessageBox(state.dialogs(), answer.error + '.', kMessageExclamation);
        return;
    }
    ErrorTrap trap(state.dialogs(), procedure);
    QSet<QString> listed = listedZips(state.zipList());
    trap.run(100, [&] { state.setMousePointer(WindowState::kPointerBusy); });
    for (const AreaZip& zip : answer.zips) {
        if (listed.contains(zip.zip))
            continue;
        listed.insert(zip.zip);
        RowId row = 0;
        trap.run(102, [&] { state.zipList().addRow(zip.zip); });
        trap.run(104, [&] { row = state.locationList().addRow(zip.zip); });
        // A lookup's wait lets other commands run: a row removed meanwhile takes its name with it.
        trap.run(106, [&] { state.locationList().setSubItem(row, 1, locationNameOf(zip.zip, census)); });
    }
    trap.run(108, [&] { showSelectedLocationAfterAdding(state, census); });
    trap.run(110, [&] { state.setMousePointer(WindowState::kPointerDefault); });
}

}  // namespace

QString addNearMenuText() { return QStringLiteral("Add ZIP codes near this one\u2026"); }
QString addStateMenuText() { return QStringLiteral("Add every ZIP code of this state"); }

QString nearMilesPrompt(const QString& zip)
{
    return "Add the ZIP codes within how many miles of " + zip + "?";
}

void addZipsNearSelected(WindowState& state, CensusSession* census, const ZipAreas* areas)
{
    const QString zip = selectedZip(state, areasOr(areas));
    if (zip.isEmpty())
        return;
    const QString answer = state.dialogs().inputBox(nearMilesPrompt(zip), applicationTitle(), QStringLiteral("5"));
    if (answer.isEmpty())
        return;
    QString error;
    const std::optional<double> miles = readMiles(answer.trimmed(), error);
    if (!miles) {
        showMessageBox(state.dialogs(), "Nothing was added: " + error + '.', kMessageExclamation);
        return;
    }
    addSelection(state, census, selectNear(areasOr(areas), zip, *miles),
                 QStringLiteral("in Form1.ListView1_AddZipsNear "));
}

void addZipsOfSelectedState(WindowState& state, CensusSession* census, const ZipAreas* areas)
{
    const QString zip = selectedZip(state, areasOr(areas));
    if (zip.isEmpty())
        return;
    const std::optional<Place> place = areasOr(areas).place(zip);
    addSelection(state, census, selectState(areasOr(areas), place->state),
                 QStringLiteral("in Form1.ListView1_AddZipsOfState "));
}

}  // namespace zd
