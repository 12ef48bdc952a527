#pragma once

#include "core/dialogs.h"

namespace zd {

class CensusSession;
class WindowState;

// "Save Demographic Results For All Zip Codes Above": asks for a file, refills the
// demographics list with the results of every location of the location list, one
// location after another, writes it as an aligned table, puts the demographics list
// back as the user had it and says "Done." once the file is written. Under the CSV
// or workbook filter it writes that format instead (see saveAllLocationsAsTable),
// under a map filter a map of the selected figure (see saveAllLocationsAsMap).
// When pages of some entries did not arrive, an existing file is kept as it was
// (otherwise the file is written without them), and a warning naming those entries
// takes the place of "Done.". With the census source (a session given) the
// figures of every location not fetched before are asked for at once, in the
// fewest requests; a request the API refuses writes nothing and says why.
void PushButton2_Click(WindowState& state, CensusSession* census = nullptr);

// What the command sets on the save dialog before showing it.
FileDialogSettings saveDialogSettings();

}  // namespace zd
