#pragma once

#include "core/dialogs.h"

#include <QString>

namespace zd {

class CensusSession;
class WindowState;

// "Load Zip Code/s From File": the user picks one or more zip list files; each is
// read into the zip list and then, with lookups, into the location list. The
// window is busy from the choice until the selected location's demographics show.
// With the census source the names come from the place table, without lookups.
void PushButton3_Click(WindowState& state, CensusSession* census = nullptr);

// What the command sets on the open dialog before showing it.
FileDialogSettings loadDialogSettings();

// A path joined from the dialog's folder and one chosen name, repaired: on Windows
// by FixPathSlashes, elsewhere by keeping one separator wherever the join (a
// folder at the root) gave two.
QString joinFolderAndName(const QString& folder, const QString& name);
QString repairJoinedPath(const QString& path);

}  // namespace zd
