#pragma once

#include "core/dialogs.h"

namespace zd {

class WindowState;

// "Save Demographic Results For All Zip Codes Above": asks for a file, refills the
// demographics list with the results of every location of the location list, one
// location after another, writes it as an aligned table, puts the demographics list
// back as the user had it and says "Done." once the file is written. Under the CSV
// or workbook filter it writes that format instead (see saveAllLocationsAsTable).
// When pages of some entries did not arrive, an existing file is kept as it was
// (otherwise the file is written without them), and a warning naming those entries
// takes the place of "Done.".
void PushButton2_Click(WindowState& state);

// What the command sets on the save dialog before showing it.
FileDialogSettings saveDialogSettings();

}  // namespace zd
