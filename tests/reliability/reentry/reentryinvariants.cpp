#include "tests/reliability/reentry/reentryinvariants.h"

#include "core/apperror.h"
#include "core/applicationpointer.h"
#include "core/errortrap.h"
#include "tests/support/scripteddialogs.h"
#include "core/windowstate.h"
#include "window/form1.h"
#include "window/reportview.h"
#include "commands/locationclick.h"
#include "tests/reliability/reentry/reentrymodel.h"
#include "commands/helpmessage.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace zd::test {
namespace {

// Only entries that were added, each at most as often as it was added.
void checkEntries(const ListModel& list, const QString& name, const CommandLedger& ledger,
                  const ProblemReport& problem)
{
    std::map<QString, int> counts;
    for (int position = 1; position <= list.rowCount(); ++position)
        ++counts[list.rowText(position)];
    for (const auto& [entry, count] : counts) {
        const auto found = ledger.added.find(entry);
        const int added = found == ledger.added.end() ? 0 : found->second;
        if (count > added)
            problem(QStringLiteral("the %1 holds '%2' %3 times, added %4 times").arg(name, entry).arg(count).arg(added));
    }
}

}  // namespace

QStringList rowTexts(const ListModel& list)
{
    QStringList result;
    for (int position = 1; position <= list.rowCount(); ++position)
        result.append(list.rowText(position));
    return result;
}

QList<Row> demographicsRows(const WindowState& state)
{
    const ListModel& list = state.demographicsList();
    QList<Row> rows;
    for (int position = 1; position <= list.rowCount(); ++position)
        rows.append({list.rowText(position), list.subItem(position, 1)});
    return rows;
}

void checkShowsSelected(const WindowState& state, const QString& when, const ProblemReport& problem)
{
    const ListModel& locations = state.locationList();
    const int selected = locations.selectedPosition();
    if (selected == 0)
        return;
    if (demographicsRows(state) != expectedBlock(locations.rowText(selected)))
        problem(QStringLiteral("%1 the demographics list does not show the selected row '%2'")
                    .arg(when, locations.rowText(selected)));
}

void checkLists(const WindowState& state, const CommandLedger& ledger, int waitingAllowed,
                const ProblemReport& problem)
{
    checkEntries(state.zipList(), QStringLiteral("zip list"), ledger, problem);
    checkEntries(state.locationList(), QStringLiteral("location list"), ledger, problem);
    const ListModel& locations = state.locationList();
    int waiting = 0;
    for (int position = 1; position <= locations.rowCount(); ++position) {
        const QString entry = locations.rowText(position);
        const QString shown = locations.subItem(position, 1);
        if (shown.isEmpty()) {
            ++waiting;
            continue;
        }
        if (shown != expectedLocation(entry))
            problem(QStringLiteral("location row %1 ('%2') shows '%3'").arg(position).arg(entry, shown));
    }
    if (waiting > waitingAllowed)
        problem(QStringLiteral("%1 location rows lack their result with %2 commands running")
                    .arg(waiting).arg(waitingAllowed));
    const QString blocks = blocksProblem(demographicsRows(state));
    if (!blocks.isEmpty())
        problem(QStringLiteral("demographics list: ") + blocks);
}

void checkAtRest(Form1& form, const CommandLedger& ledger, const ProblemReport& problem)
{
    const WindowState& state = form.state();
    checkLists(state, ledger, 0, problem);
    if (state.mousePointer() != WindowState::kPointerDefault)
        problem(QStringLiteral("the window's pointer is %1 with no command running").arg(state.mousePointer()));
    if (ApplicationPointer::busyDepth() != 0)
        problem(QStringLiteral("the application-wide pointer is still busy (%1)").arg(ApplicationPointer::busyDepth()));
    if (QGuiApplication::overrideCursor() != nullptr)
        problem(QStringLiteral("an application-wide cursor is still set"));
    if (form.cursor().shape() != Qt::ArrowCursor)
        problem(QStringLiteral("the window shows cursor shape %1").arg(form.cursor().shape()));
    // What the user sees selected is what the commands take as selected.
    for (int number = 1; number <= 3; ++number) {
        const ReportView* view = form.listView(number);
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        const int shown = rows.size() == 1 ? rows.constFirst().row() + 1 : rows.isEmpty() ? 0 : -1;
        if (shown != view->listModel().selectedPosition())
            problem(QStringLiteral("ListView%1 shows row %2 selected, its list row %3")
                        .arg(number).arg(shown).arg(view->listModel().selectedPosition()));
    }
}

void checkSavedFiles(const QString& folderPath, const CommandLedger& ledger, const ProblemReport& problem)
{
    const QDir folder(folderPath);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = folder.filePath(name);
        if (!ledger.written.contains(path) && !ledger.writtenUnknown.contains(path)) {
            problem(QStringLiteral("a stray file %1 stands beside the saved files").arg(name));
            continue;
        }
        const SavedTable table = readSavedTable(path);
        if (!table.problem.isEmpty())
            problem(name + QLatin1Char(' ') + table.problem);
        else if (const QString blocks = blocksProblem(table.rows); !blocks.isEmpty())
            problem(name + QStringLiteral(": ") + blocks);
        else if (!ledger.writtenUnknown.contains(path) && !ledger.written.value(path).contains(table.rows))
            problem(name + QStringLiteral(" holds rows that no save to it wrote"));
    }
    for (const QString& path : ledger.written.keys() + ledger.writtenUnknown.values()) {
        if (!QFileInfo(path).isFile())
            problem(QStringLiteral("%1 was never written").arg(QFileInfo(path).fileName()));
    }
}

// Allowed beside help, "Done." and a missing file: a page that breaks off, or a
// selection gone before it was shown.
void checkMessages(const ScriptedDialogs& dialogs, const CommandLedger& ledger, const ProblemReport& problem)
{
    const QString command = QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton%1_Click ");
    const QString click = QString::fromLatin1(locationClickProcedureText());
    const QList<QPair<QString, int>> brokenShows{
        {command.arg(6), 110}, {command.arg(5), 112}, {command.arg(3), 134}, {command.arg(2), 130},
        {command.arg(2), 142}, {click, 110},          {click, 112}};
    QStringList allowed;
    for (const auto& [procedure, line] : brokenShows)
        allowed.append(composeErrorMessage(procedure, line, errors::subscriptOutOfRange()));
    int helps = 0;
    int dones = 0;
    int missing = 0;
    for (const ScriptedDialogs::Message& message : dialogs.messages()) {
        if (message.text == helpMessageText())
            ++helps;
        else if (message.text == QLatin1String("Done."))
            ++dones;
        else if (message.text == errors::fileNotFound())
            ++missing;
        else if (!allowed.contains(message.text))
            problem(QStringLiteral("unexpected message: ") + message.text);
    }
    if (helps != ledger.helps || dones != ledger.savesWithPath || missing != 2 * ledger.missingLoads)
        problem(QStringLiteral("%1 help boxes for %2 clicks, %3 \"Done.\" for %4 saves, %5 \"File not found\" for %6 missing files")
                    .arg(helps).arg(ledger.helps).arg(dones).arg(ledger.savesWithPath).arg(missing).arg(ledger.missingLoads));
}

}  // namespace zd::test
