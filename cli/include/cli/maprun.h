#pragma once

#include "core/packedstrings.h"

#include <QString>

namespace zd {

class EntrySource;
class RunObserver;
struct BatchSettings;

// What map draws: one figure, in so many quantile classes, so many pixels wide.
struct MapRequest {
    QString figure;      // a label as the files show it, or a variable's ID
    int classes = 5;
    int width = 1600;
    QString outputPath;  // .svg or .png
};

// Fetches every entry's figures and draws the map of the one asked for: a dot
// per ZIP code with coordinates, over the outlines. An unknown figure names the
// figures there are (status 2, nothing written); a figure only ZIP codes that
// cannot be placed hold is known. A list with no value of the figure that can be
// drawn still draws the outlines and the ZIP codes without values, and says so. When entries
// failed an existing OUT is left as it was (status 1), as by export; a picture
// that cannot be written leaves it as it was too (status 3). Returns the exit status.
int runMap(EntrySource& source, const PackedStrings& entries, const MapRequest& request,
           const BatchSettings& settings, RunObserver& observer);

}  // namespace zd
