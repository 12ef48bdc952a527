#pragma once

#include <functional>

class QMenu;

namespace zd {

class ListModel;
class ReportView;

// The zip list's context menu, which holds the area commands alone: "Add ZIP
// codes near this one…" and "Add every ZIP code of this state". A right click
// on an entry selects it and offers both; one beside the entries offers them
// disabled. The menu (object name "ZipListMenu") pops up without blocking.
QMenu* installZipListMenu(ReportView* view, ListModel& zips, std::function<void()> addNear,
                          std::function<void()> addState);

}  // namespace zd
