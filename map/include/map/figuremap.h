#pragma once

#include "export/workbookwriter.h"
#include "map/figuredots.h"
#include "map/mappicture.h"

namespace zd {

class Atlas;

// The picture of the dots gathered: titled with the figure's label as the
// entries show it (else as asked; "No figures" when none was), the vintage and the sources named, the
// legend in the figure's own unit. Takes the dots.
MapPicture figureMap(FigureDots& dots, const QString& asked, int classes, const RunInfo& run, const Atlas& atlas);

}  // namespace zd
