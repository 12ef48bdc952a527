#pragma once

namespace zd {

class CensusSession;
class WindowState;

// "Show the total of the listed places", the locations list's context menu
// entry: the demographics list is emptied and filled with the total of the
// listed places' figures, each ZIP Code Tabulation Area once, every total with
// its margin of error ("52,855 ± 8,815"), then a row that says why some
// figures have none. The window is busy meanwhile. With the site source, or
// with nothing listed, a message says why there is no total and nothing
// changes; a refused request is said in a warning and leaves the list empty.
void ShowTotalOfListedPlaces(WindowState& state, CensusSession* census);

// The menu entry's text.
const char* showTotalMenuText();

}  // namespace zd
