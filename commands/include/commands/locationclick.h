#pragma once

namespace zd {

class CensusSession;
class WindowState;

// Shows the demographics of the location list's selected row: the window turns
// busy, the demographics list is emptied and refilled with the location's name row,
// its figure rows and its household income rows, and the pointer returns to the
// default. Does nothing when the location list is empty or has no selected row.
// A failure part-way passes to the caller; the pointer is back at the default
// then too, and the rows appended before the failure stay.
// With the census source (a session given) the rows are the location's census
// figures, fetched on its first showing only (see ShowCensusFigures).
void ListView2_Click(WindowState& state, CensusSession* census = nullptr);

// The same at the end of a command that added locations. With the census source
// it fetches nothing: adding stays instant, and a location whose figures have not
// arrived yet shows them once it is clicked.
void showSelectedLocationAfterAdding(WindowState& state, CensusSession* census);

// The same for the user's own click on a location, with no command around it: a
// failure is shown in the "Application Error" box with the failing step's number.
void showClickedLocation(WindowState& state, CensusSession* census = nullptr);

// The procedure text of that box.
const char* locationClickProcedureText();

}  // namespace zd
