#pragma once

#include <QString>

namespace zd {

class CensusSession;
class WindowState;
class ZipAreas;

// The zip list's context menu: each adds the ZIP codes of an area around the
// zip list's selected entry (a ZIP code of the place table) as "Add One Zip
// Code" adds one: to the zip list, to the location list with its location name,
// then the selected location is shown. ZIP codes already in the zip list are
// not added again. What cannot be done (no entry selected, an entry the place
// table does not know, a distance that is not a number of miles from 0 to 3000)
// is said in a message box and adds nothing; Cancel adds nothing. `areas`
// defaults to the program's table.

// "Add ZIP codes near this one…": asks the distance in miles, then adds those
// within it, nearest first.
void addZipsNearSelected(WindowState& state, CensusSession* census = nullptr, const ZipAreas* areas = nullptr);

// "Add every ZIP code of this state": those of the selected ZIP code's state,
// by ZIP code.
void addZipsOfSelectedState(WindowState& state, CensusSession* census = nullptr, const ZipAreas* areas = nullptr);

// The menu's entries and the distance question.
QString addNearMenuText();
QString addStateMenuText();
QString nearMilesPrompt(const QString& zip);

}  // namespace zd
