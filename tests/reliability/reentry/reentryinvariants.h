#pragma once

#include "tests/reliability/reentry/reentryplaces.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>

namespace zd {
class Form1;
class ListModel;
class ScriptedDialogs;
class WindowState;
}  // namespace zd

namespace zd::test {

// What the commands of one sequence did, as far as the checks need to know it.
struct CommandLedger {
    std::map<QString, int> added;                // how often each entry was added
    QHash<QString, QList<QList<Row>>> written;   // what each save took, by file
    QSet<QString> writtenUnknown;                // files of saves whose writer no probe saw
    int savesWithPath = 0;
    int helps = 0;
    int missingLoads = 0;
};

// Each check tells what is wrong through this, one problem a call.
using ProblemReport = std::function<void(const QString&)>;

// The rows of a list's first column, and of the demographics list as pairs.
QStringList rowTexts(const ListModel& list);
QList<Row> demographicsRows(const WindowState& state);

// The demographics list shows the selected location's rows (when one is selected).
void checkShowsSelected(const WindowState& state, const QString& when, const ProblemReport& problem);

// Both lists hold only added entries, each location row its own result (up to
// waitingAllowed rows may still wait for theirs), the demographics list whole blocks.
void checkLists(const WindowState& state, const CommandLedger& ledger, int waitingAllowed,
                const ProblemReport& problem);

// With no command running: the lists as above with none waiting, every pointer
// back at rest, and what each view shows selected is its list's selected row.
void checkAtRest(Form1& form, const CommandLedger& ledger, const ProblemReport& problem);

// Every file in the save folder is a whole table that some save wrote, and every
// save's file is there.
void checkSavedFiles(const QString& folder, const CommandLedger& ledger, const ProblemReport& problem);

// Every box is one that the commands show on purpose, as often as they had cause.
void checkMessages(const ScriptedDialogs& dialogs, const CommandLedger& ledger,
                   const ProblemReport& problem);

}  // namespace zd::test
