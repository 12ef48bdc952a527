#pragma once

#include <QString>

namespace zd {

// Where a run's figures come from, as the files of the run record it: the
// vintage of the survey and the body and service that published it. Empty for
// the demographics site, whose files stay as they always were.
struct FigureSource {
    QString vintage;      // "2020-2024 ACS 5-year"
    QString publisher;    // the survey and the service it came through

    bool isNamed() const { return !vintage.isEmpty() || !publisher.isEmpty(); }
};

// The line the aligned file closes with: "Figures: VINTAGE, PUBLISHER"; empty
// for a source that names neither.
QString figureSourceLine(const FigureSource& source);

}  // namespace zd
