#pragma once

#include "export/workbookwriter.h"

#include <QString>

namespace zd {

// A map's title: the figure's label, with the vintage when the figures have
// one ("Median household income (dollars), 2020-2024 ACS 5-year").
QString mapTitle(const QString& figureLabel, const RunInfo& run);

// Where a map's figures come from: for the census source the survey and the
// run's years ("U.S. Census Bureau, American Community Survey 5-year estimates
// 2020-2024"), for the site its address.
QString figuresSourceLine(const RunInfo& run);

}  // namespace zd
