#include "commands/loadcommand.h"

#include "core/apperror.h"
#include "core/errortrap.h"
#include "core/sharedroutines.h"
#include "core/windowstate.h"
#include "commands/locationclick.h"
#include "commands/ziplistfile.h"

#include <QDir>
#include <QRegularExpression>

namespace zd {
namespace {


QString partAt(const QStringList& parts, qsizetype index)
{
    if (index < 0 || index >= parts.size())
        throwSubscriptOutOfRange();
    return parts.at(index);
}

}  // namespace

FileDialogSettings loadDialogSettings()
{
    return textFileDialogSettings(QStringLiteral("Load List(s) - Hold Ctrl to select multiple list files"));
}

QString joinFolderAndName(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

QString repairJoinedPath(const QString& path)
{
#ifdef Q_OS_WIN
    return FixPathSlashes(path);
#else
    // Names cannot hold a slash, so a run of them is only ever a doubled separator.
    static const QRegularExpression doubledSlashes(QStringLiteral("/{2,}"));
    QString repaired = path;
    return repaired.replace(doubledSlashes, QStringLiteral("/"));
#endif
}

void PushButton3_Click(WindowState& state, CensusSession* census)
{
    ErrorTrap trap(state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton3_Click "));
    const FileDialogSettings wanted = loadDialogSettings();
    FileDialogSettings dialog;
    QString fileName;
    QStringList parts;
    setUpFileDialog(trap, 100, dialog, wanted);
    trap.run(108, [&] { fileName = state.dialogs().showOpen(dialog); });
    if (trap.test(110, [&] { return fileName.isEmpty(); }))
        return;
    trap.run(112, [&] { parts = fileName.split(QChar(0)); });
    trap.run(114, [&] { state.setMousePointer(WindowState::kPointerBusy); });
    if (trap.test(116, [&] { return parts.size() == 1; })) {
        trap.run(118, [&] { LoadZipListFile(state.zipList(), partAt(parts, 0), state.dialogs()); });
        trap.run(120, [&] { LoadZipListFile(state.locationList(), partAt(parts, 0), state.dialogs(), census); });
    } else {
        const qsizetype last = parts.size() - 1;  // 122: the loop's bounds, read once
        for (qsizetype i = 1; i <= last; ++i) {
            QString path;
            trap.run(124, [&] { path = joinFolderAndName(partAt(parts, 0), partAt(parts, i)); });
            trap.run(126, [&] { path = repairJoinedPath(path); });
            trap.run(128, [&] { LoadZipListFile(state.zipList(), path, state.dialogs()); });
            trap.run(130, [&] { LoadZipListFile(state.locationList(), path, state.dialogs(), census); });
        }
    }
    trap.run(134, [&] { showSelectedLocationAfterAdding(state, census); });
    trap.run(136, [&] { state.setMousePointer(WindowState::kPointerDefault); });
}

}  // namespace zd
