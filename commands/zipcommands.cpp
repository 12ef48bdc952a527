#include "commands/zipcommands.h"

#include "core/applicationtitle.h"
#include "core/dialogs.h"
#include "core/errortrap.h"
#include "core/windowstate.h"
#include "commands/locationclick.h"
#include "commands/locationname.h"

namespace zd {

namespace {

// Appends one entry to the zip list, then to the location list, then fills in its
// location name: three statements numbered from firstLine.
void addEntryWithLookup(WindowState& state, ErrorTrap& trap, int firstLine, const QString& entry,
                        const CensusSession* census)
{
    RowId row = 0;
    trap.run(firstLine, [&] { state.zipList().addRow(entry); });
    trap.run(firstLine + 2, [&] { row = state.locationList().addRow(entry); });
    // setSubItem answers false for a row that "Clear List" removed during the
    // lookup's wait: the result then lands nowhere and the command goes on.
    trap.run(firstLine + 4, [&] {
        const QString name = locationNameOf(entry, census);
        state.locationList().setSubItem(row, 1, name);
    });
}

}  // namespace

QString addZipPrompt() { return QStringLiteral("Enter zip code to add:"); }

void PushButton6_Click(WindowState& state, CensusSession* census)
{
    ErrorTrap trap(state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton6_Click "));
    QString answer;
    trap.run(100, [&] {
        answer = state.dialogs().inputBox(addZipPrompt(), applicationTitle(), QString());
    });
    if (trap.test(102, [&] { return !answer.isEmpty(); }))
        addEntryWithLookup(state, trap, 104, answer, census);
    trap.run(110, [&] { showSelectedLocationAfterAdding(state, census); });
}

void PushButton5_Click(WindowState& state, CensusSession* census)
{
    ErrorTrap trap(state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton5_Click "));
    addEntryWithLookup(state, trap, 100, QStringLiteral("03053"), census);
    addEntryWithLookup(state, trap, 106, QStringLiteral("01830"), census);
    trap.run(112, [&] { showSelectedLocationAfterAdding(state, census); });
}

void PushButton4_Click(WindowState& state)
{
    ErrorTrap trap(state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton4_Click "));
    if (trap.test(100, [&] { return !state.isBusy(); }))
        trap.run(102, [&] { state.zipList().clearRows(); });
    trap.run(104, [&] { state.locationList().clearRows(); });
    trap.run(106, [&] { state.demographicsList().clearRows(); });
}

void ListView1_KeyDown(WindowState& state, int keyCode, int /*shift*/)
{
    if (keyCode != kDeleteKeyCode || state.isBusy())
        return;
    ListModel& zips = state.zipList();
    const int selected = zips.selectedPosition();
    if (zips.rowCount() == 0 || selected == 0)
        return;
    zips.removeRowAt(selected);
}

}  // namespace zd
