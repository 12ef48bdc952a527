#pragma once

#include <QString>

namespace zd {

class CensusSession;
class WindowState;

// The zip list commands of the main window. Each adding command appends every
// entry to the zip list and to the location list, looks up the location name for
// the location list's second column, and ends by showing the selected location's
// demographics. Lookups pump window events, so other commands may run inside them.
// With the census source (a session given) the names come from the bundled place
// table, without a fetch or a wait, and the figures from the session.

// "Add One Zip Code": asks for one entry; Cancel or an empty answer adds nothing.
void PushButton6_Click(WindowState& state, CensusSession* census = nullptr);

// "Load Sample/Example Zips": appends "03053" and then "01830".
void PushButton5_Click(WindowState& state, CensusSession* census = nullptr);

// "Clear List": empties the location and demographics lists, and the zip list too
// unless the window is busy.
void PushButton4_Click(WindowState& state);

// The Delete key (key code 46) in the zip list removes its selected row, unless
// the window is busy. Other keys and the shift state are ignored.
void ListView1_KeyDown(WindowState& state, int keyCode, int shift);

constexpr int kDeleteKeyCode = 46;

// The prompt of "Add One Zip Code".
QString addZipPrompt();

}  // namespace zd
